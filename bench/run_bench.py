#!/usr/bin/env python3
"""Speed and memory of the bar, side by side with a minimal Qt window and two other launchers.

Every subject is started on one Xvfb server, by default without a window manager so that mapping is
not delayed by one (--wm runs openbox), and measured the same way, as medians over several rounds
in which each subject starts once:

- time from exec to the first window of its own mapped on the screen (MapNotify seen on the root
  window, of a window the subject made or of the frame the window manager put it in; windows of the
  window manager or compositor alone do not count);
- resident memory two seconds after that;
- CPU time and wakeups (context switches of all threads) over an idle period;
- for the bar, the time from the release of a button to its target running (less the time the
  target, a two-command shell script, takes to start by itself) and the time of one reload
  (bench/dovi_bench_reload, in-process on the offscreen platform).

The bar is measured with 10 and with 100 buttons, and so is a bar of the same skins and icons made of
plain Qt labels (bench/plainbar.cpp): what Qt itself costs for such buttons, without the bar's files,
libraries and controls. The figures are printed as a table with the ratio of each to the Qt baseline,
run in the same session.

The same figures are taken under a compositing manager with --compositor (openbox, then
`xcompmgr -n` on the same server, before the subjects), or both ways in one run with
--ways plain,composited: one server per way, each with openbox, the subjects started in turn on each,
one table per way, then the ratio composited/plain of the time to the first mapped window (and that
ratio over the Qt baseline's: vs Qt), the memory and the idle wakeups of every subject in each way
side by side. The compositor adds a few milliseconds to any first map, and over 3 rounds a ratio
moves by some 15% from one session to the next: read it next to the Qt baseline's, or take more rounds.

    bench/run_bench.py --bin build/bin [--runs 5] [--idle 30] [--no-peers] [--wm]
                       [--compositor | --ways plain,composited]
"""

import argparse
import os
import re
import select
import shutil
import signal
import socket
import statistics
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ICON_DIR = "/usr/share/icons/Adwaita/48x48"
TARGETS = ["/usr/bin/xterm", "/usr/bin/openbox", "/usr/bin/wmctrl", "/usr/bin/xdotool", "/usr/bin/xev",
           "/tmp", "/etc/hostname", "https://example.org", "/usr/bin/env", "/usr/share"]


def free_display():
    for number in range(140, 400):
        if not os.path.exists("/tmp/.X11-unix/X%d" % number) and not os.path.exists("/tmp/.X%d-lock" % number):
            return ":%d" % number
    raise RuntimeError("no free X display")


# The ways the subjects can be measured: whether a compositing manager runs.
WAYS = {"plain": False, "composited": True}


class Xserver:
    def __init__(self, with_wm, compositor=False):
        self.display = free_display()
        self.proc = subprocess.Popen(["Xvfb", self.display, "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        socket = "/tmp/.X11-unix/X" + self.display[1:]
        deadline = time.time() + 10
        while not os.path.exists(socket):
            if time.time() > deadline:
                raise RuntimeError("Xvfb did not start")
            time.sleep(0.05)
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("WAYLAND_DISPLAY", None)
        # A desktop session has a message bus, and every Qt program asks it at start whether an
        # accessibility bus is there. Without one, each would try to launch a bus of its own instead,
        # a cost no desktop user pays. The session gets a private bus; without dbus-daemon, none.
        self.env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        self.bus = None
        if shutil.which("dbus-daemon"):
            self.bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=1"],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
            address = self.bus.stdout.readline().strip()
            if address:
                self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        else:
            print("no dbus-daemon: the subjects run without a session bus", file=sys.stderr)
        self.wm = None
        if with_wm:
            self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            time.sleep(1)
        self.compositor = None
        if compositor:
            self.compositor = subprocess.Popen(["xcompmgr", "-n"], env=self.env, stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL)
            # It owns a window of its own (never mapped) once it has found the extensions it needs;
            # it redirects the windows right after.
            deadline = time.time() + 10
            while b'"xcompmgr"' not in subprocess.run(["xwininfo", "-root", "-children"], env=self.env,
                                                       capture_output=True).stdout:
                if self.compositor.poll() is not None or time.time() > deadline:
                    self.close()
                    raise RuntimeError("xcompmgr did not start (exit %s)" % self.compositor.poll())
                time.sleep(0.05)
            time.sleep(1)
        subprocess.run(["xsetroot", "-solid", "#336699"], env=self.env, check=False)
        self.id_mask = resource_id_mask(self.display)

    def compositing(self):
        """Whether the compositing manager asked for still runs."""
        return self.compositor is None or self.compositor.poll() is None

    def close(self):
        for helper in (self.compositor, self.wm):
            if helper:
                helper.terminate()
                helper.wait()
        self.proc.terminate()
        self.proc.wait()
        if self.bus:
            self.bus.terminate()
            self.bus.wait()


def resource_id_mask(display):
    """The bits of a window id its client chooses; the others name the client (from the connection setup)."""
    try:
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as x:
            x.settimeout(5)
            x.connect("/tmp/.X11-unix/X" + display[1:])
            x.sendall(b"l\0" + struct.pack("<HHHH", 11, 0, 0, 0) + b"\0\0")
            reply = b""
            while len(reply) < 8 or len(reply) < 8 + struct.unpack_from("<H", reply, 6)[0] * 4:
                chunk = x.recv(65536)
                if not chunk:
                    break
                reply += chunk
        if len(reply) >= 20 and reply[0] == 1:
            return struct.unpack_from("<I", reply, 16)[0]
    except OSError:
        pass
    return 0x1FFFFF  # what Xvfb gives with its default number of clients


XID = r"(0x[0-9a-f]+)"
EVENT_WINDOWS = {  # the windows of an event seen on the root, from xev's lines
    "ReparentNotify": re.compile(r"event 0x[0-9a-f]+, window " + XID + ", parent " + XID),
    "MapNotify": re.compile(r"event 0x[0-9a-f]+, window " + XID),
}


def first_map(server, argv, env, cwd):
    """Starts argv and returns (process, seconds from exec to the first top-level window of its own mapped).

    Not every MapNotify on the root is the subject's: a window manager maps frames and popups of its
    own, a compositing manager may map windows too. A window counts when a client that had no window
    before the start made it (the client is in the high bits of the window id), or when the window
    manager put such a window in it (a frame, which the window manager maps)."""
    watcher = subprocess.Popen(["stdbuf", "-oL", "xev", "-root", "-event", "substructure"], env=server.env,
                               stdout=subprocess.PIPE, bufsize=0)
    tree = subprocess.run(["xwininfo", "-root", "-tree"], env=server.env, capture_output=True, text=True).stdout
    others = {int(xid, 16) & ~server.id_mask for xid in re.findall(r"^\s*(0x[0-9a-f]+)", tree, re.M)}
    time.sleep(0.3)  # xev selects the events before it prints anything
    start = time.perf_counter()
    proc = subprocess.Popen(argv, env=env, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    mapped = None
    try:
        # A subject that ends or never maps a window gives no figure instead of holding up the run.
        deadline = start + 10
        pending = b""
        event, text, done = None, "", True
        frames = set()
        while mapped is None and proc.poll() is None and time.perf_counter() < deadline:
            if not select.select([watcher.stdout], [], [], 0.5)[0]:
                continue
            chunk = os.read(watcher.stdout.fileno(), 65536)
            if not chunk:
                break
            *lines, pending = (pending + chunk).split(b"\n")
            # xev prints an event over several lines, the windows in the second; a blank line comes
            # before the next one, not after this one, so an event is read as soon as its windows are.
            for line in lines:
                line = line.decode(errors="replace")
                header = re.match(r"(\w+) event, ", line)
                if header:
                    event, text = header.group(1), ""
                    done = event not in EVENT_WINDOWS
                    continue
                if done:
                    continue
                text += line
                found = EVENT_WINDOWS[event].search(text)
                if not found:
                    continue
                done = True
                window = int(found.group(1), 16)
                own = window & ~server.id_mask not in others
                if event == "ReparentNotify" and own:
                    frames.add(int(found.group(2), 16))
                elif event == "MapNotify" and (own or window in frames):
                    mapped = time.perf_counter() - start
                    break
    finally:
        watcher.kill()
        watcher.wait()
    return proc, mapped


def rss_kib(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def wakeups(pid):
    """Context switches of every thread: {(thread id, name): count}."""
    counts = {}
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/comm" % (pid, task)) as comm:
                name = comm.read().strip()
            total = 0
            with open("/proc/%d/task/%s/status" % (pid, task)) as status:
                for line in status:
                    if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                        total += int(line.split()[1])
        except FileNotFoundError:  # a thread that just ended
            continue
        counts[(int(task), name)] = total
    return counts


def woken(before, after):
    """The wakeups between two readings of wakeups(), by thread; a thread started since counts whole."""
    return {thread: count - before.get(thread, 0) for thread, count in after.items()
            if count - before.get(thread, 0) > 0}


def stop(proc):
    if proc.poll() is None:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


def icon(index):
    names = ["apps/utilities-terminal.png", "apps/preferences-system.png", "places/folder.png",
             "places/user-home.png", "mimetypes/text-x-generic.png", "places/network-workgroup.png",
             "devices/computer.png", "apps/help-browser.png", "places/user-trash.png", "places/folder-documents.png"]
    path = os.path.join(ICON_DIR, names[index % len(names)])
    return path if os.path.exists(path) else ""


def dovi_folder(bin_dir, buttons, root):
    """A program folder of its own, past the first launch, with `buttons` buttons."""
    folder = os.path.join(root, "Dovi")
    # What the build delivers, without what a bar started from the build folder left there.
    shutil.copytree(bin_dir, folder, symlinks=True,
                    ignore=shutil.ignore_patterns("DoviConfig.txt", "DoviConfig.old.txt", "tmpconfig.txt",
                                                  "Dovi_Run.txt", "Boutons"))
    skins = os.path.join(folder, "Boutons", "XP")
    os.makedirs(skins, exist_ok=True)
    os.makedirs(os.path.join(folder, "Boutons", "XP_Blue"), exist_ok=True)
    for name in ("XP_Up.bmp", "XP_Down.bmp", "XP_Mask.bmp"):
        if os.path.exists(os.path.join(folder, name)):
            shutil.move(os.path.join(folder, name), os.path.join(skins, name))
    for name in ("XP_Blue_Up.bmp", "XP_Blue_Down.bmp", "XP_Blue_Mask.bmp"):
        if os.path.exists(os.path.join(folder, name)):
            shutil.move(os.path.join(folder, name), os.path.join(folder, "Boutons", "XP_Blue", name))
    lines = ["0 0", "FALSE", "FALSE", "TRUE", "TRUE", "FALSE", "TRUE", "HORIZONTAL", "2", "16744703",
             os.path.join(skins, "XP_Up.bmp"), os.path.join(skins, "XP_Down.bmp"), os.path.join(skins, "XP_Mask.bmp")]
    stamp = os.path.join(folder, "stamp.sh")
    with open(stamp, "w") as script:
        script.write('#!/bin/sh\ndate +%%s%%N >> "%s"\n' % os.path.join(folder, "stamps"))
    os.chmod(stamp, 0o755)
    for i in range(buttons):
        target = stamp if i == 0 else TARGETS[i % len(TARGETS)]
        lines.append("%s;%s;Button %d;1" % (target, icon(i), i + 1))
    with open(os.path.join(folder, "DoviConfig.txt"), "wb") as config:
        config.write(("\r\n".join(lines) + "\r\n").encode())
    with open(os.path.join(folder, "Dovi_Run.txt"), "w") as marker:
        marker.write("run=1\n")
    config_home = os.path.join(root, "config")
    os.makedirs(os.path.join(config_home, "Dovi"), exist_ok=True)
    with open(os.path.join(config_home, "Dovi", "Dovi.ini"), "w") as ini:
        ini.write("[GeneralSetLng]\nFirstLaunch=1\nLang=1\n[Infos]\nToolTip=1\n")
    return folder, config_home


def wbar_config(root, buttons):
    path = os.path.join(root, "wbar.cfg")
    with open(path, "w") as cfg:
        cfg.write("i: /usr/share/pixmaps/wbar/dock.png\nc: wbar --pos top --isize 32 --nanim 1\nt: none\n\n")
        for i in range(buttons):
            cfg.write("i: %s\nc: %s\nt: Button %d\n\n" % (icon(i), TARGETS[i % len(TARGETS)], i + 1))
    return path


def tint2_config(root, buttons):
    apps = os.path.join(root, "apps")
    os.makedirs(apps, exist_ok=True)
    items = []
    for i in range(buttons):
        desktop = os.path.join(apps, "b%d.desktop" % i)
        with open(desktop, "w") as entry:
            entry.write("[Desktop Entry]\nType=Application\nName=Button %d\nExec=%s\nIcon=%s\n"
                        % (i + 1, TARGETS[i % len(TARGETS)], icon(i)))
        items.append("launcher_item_app = %s" % desktop)
    path = os.path.join(root, "tint2rc")
    with open(path, "w") as rc:
        rc.write("panel_items = L\npanel_position = top left horizontal\npanel_size = 40% 40\n"
                 "launcher_icon_size = 32\n" + "\n".join(items) + "\n")
    return path


def subjects(args, root):
    bench_bin = os.path.join(os.path.dirname(os.path.abspath(args.bin)), "bench", "dovi_bench_baseline")
    found = [("Qt baseline", lambda r: ([bench_bin], {}, r))]
    for buttons in (10, 100):
        def dovi(run_root, buttons=buttons):
            folder, config_home = dovi_folder(args.bin, buttons, run_root)
            return [os.path.join(folder, "Dovi")], {"XDG_CONFIG_HOME": config_home}, folder
        found.append(("Dovi, %d buttons" % buttons, dovi))
    plain_bin = os.path.join(os.path.dirname(bench_bin), "dovi_bench_plainbar")
    icons = [path for path in (icon(i) for i in range(10)) if path]
    if os.path.exists(plain_bin) and icons:
        for buttons in (10, 100):
            found.append(("Qt plain bar, %d" % buttons,
                          lambda r, buttons=buttons: ([plain_bin, str(buttons), os.path.abspath(args.bin)] + icons, {}, r)))
    if not args.no_peers:
        if shutil.which("wbar"):
            found.append(("wbar, 10 buttons", lambda r: (["wbar", "--config", wbar_config(r, 10)], {}, r)))
        if shutil.which("tint2"):
            found.append(("tint2, 10 launchers", lambda r: (["tint2", "-c", tint2_config(r, 10)], {}, r)))
    return found


def read_stamps(folder, count, timeout=5):
    path = os.path.join(folder, "stamps")
    deadline = time.time() + timeout
    while time.time() < deadline:
        if os.path.exists(path):
            with open(path) as f:
                stamps = [int(line) for line in f.read().split()]
            if len(stamps) >= count:
                return stamps
        time.sleep(0.01)
    return None


def click_latency(server, folder, clicks=10):
    """Median seconds from the release of the first button to its target's stamp, less the stamp
    script's own start-up measured by starting it directly."""
    script = os.path.join(folder, "stamp.sh")
    direct = []
    for i in range(clicks):
        start = time.time_ns()
        subprocess.run([script], check=True)
        direct.append((read_stamps(folder, i + 1)[-1] - start) / 1e9)
    released = []
    for i in range(clicks):
        # The pointer leaves the bar first: a synchronous move to where it already is would wait for a
        # motion that never comes.
        subprocess.run(["xdotool", "mousemove", "--sync", "300", "400", "mousemove", "--sync", "24", "24",
                        "mousedown", "1"], env=server.env, check=True)
        time.sleep(0.1)
        subprocess.run(["xdotool", "mouseup", "1"], env=server.env, check=True)
        after = time.time_ns()
        stamps = read_stamps(folder, clicks + i + 1)
        if stamps is None:
            return None
        released.append((stamps[-1] - after) / 1e9)
        time.sleep(0.2)
    return max(0.0, statistics.median(released) - statistics.median(direct))


def reload_time(args, folder):
    tool = os.path.join(os.path.dirname(os.path.abspath(args.bin)), "bench", "dovi_bench_reload")
    result = subprocess.run([tool, folder, "20"], capture_output=True, text=True)
    return float(result.stdout) / 1000 if result.returncode == 0 else None


def measure_once(server, name, make, first, idle, root, args, figures, way=None):
    """One start of a subject; the first start of each also measures idle use, clicks and reload."""
    run_root = tempfile.mkdtemp(dir=root)
    runtime = os.path.join(run_root, "runtime")
    os.makedirs(runtime, mode=0o700)
    argv, extra, cwd = make(run_root)
    # The bar's program folder was just copied: its files are written out to disk before the start,
    # or the start waits for that writing now and then (several milliseconds).
    os.sync()
    env = dict(server.env, HOME=run_root, XDG_RUNTIME_DIR=runtime, **extra)
    proc, mapped = first_map(server, argv, env, cwd)
    try:
        if mapped is None:
            print("  %s: no window mapped (exit %s)" % (name, proc.poll()), file=sys.stderr)
            return
        figures["maps"].append(mapped)
        time.sleep(2)
        figures["rss"].append(rss_kib(proc.pid))
        if first and idle > 0:
            cpu0, wake0 = cpu_seconds(proc.pid), wakeups(proc.pid)
            time.sleep(idle)
            threads = woken(wake0, wakeups(proc.pid))
            figures["cpu"], figures["wake"] = cpu_seconds(proc.pid) - cpu0, sum(threads.values())
            if threads:
                # Nothing is asked of a subject while idle: say which threads woke.
                print("  %s%s: %d idle wakeups: %s" % (
                    name, " (%s)" % way if way else "", figures["wake"],
                    ", ".join("%s[%d] %d" % (thread[1], thread[0], count)
                              for thread, count in sorted(threads.items(), key=lambda t: -t[1]))),
                      file=sys.stderr)
        if first and name.startswith("Dovi"):
            figures["latency"] = click_latency(server, cwd)
            figures["reload"] = reload_time(args, cwd)
    finally:
        stop(proc)


def summary(figures):
    if not figures["maps"]:
        return None
    return {"map": statistics.median(figures["maps"]), "rss": statistics.median(figures["rss"]),
            "cpu": figures["cpu"], "wake": figures["wake"], "latency": figures["latency"],
            "reload": figures["reload"]}


def print_table(results):
    base = dict(results).get("Qt baseline")
    print("%-22s %12s %7s %11s %7s %12s %9s %14s %12s" % ("subject", "mapped (ms)", "ratio", "RSS (MiB)", "ratio",
                                                        "idle CPU (s)", "wakeups", "release (ms)", "reload (ms)"))
    for name, r in results:
        if r is None:
            print("%-22s %12s" % (name, "failed"))
            continue
        map_ratio = r["map"] / base["map"] if base else float("nan")
        rss_ratio = r["rss"] / base["rss"] if base else float("nan")
        cpu = "-" if r["cpu"] is None else "%.2f" % r["cpu"]
        wake = "-" if r["wake"] is None else "%d" % r["wake"]
        latency = "-" if r["latency"] is None else "%.1f" % (r["latency"] * 1000)
        reload = "-" if r["reload"] is None else "%.1f" % (r["reload"] * 1000)
        print("%-22s %12.1f %7.2f %11.1f %7.2f %12s %9s %14s %12s" % (
            name, r["map"] * 1000, map_ratio, r["rss"] / 1024, rss_ratio, cpu, wake, latency, reload))


def print_comparison(reference, way, results):
    """Each subject in one way against the reference way: what the difference of the ways costs, also
    against what it costs the Qt baseline (vs Qt)."""
    base_ref, base = dict(results[reference]).get("Qt baseline"), dict(results[way]).get("Qt baseline")
    base_ratio = base["map"] / base_ref["map"] if base and base_ref else float("nan")
    print("%-22s %36s %28s %17s" % ("", "mapped (ms)", "RSS (MiB)", "idle wakeups"))
    print("%-22s %9s %10s %7s %7s %9s %10s %7s %8s %8s" % ("subject", reference, way, "ratio", "vs Qt", reference,
                                                           way, "ratio", reference, way))
    for name, _ in results[reference]:
        ref, r = dict(results[reference])[name], dict(results[way])[name]
        if ref is None or r is None:
            print("%-22s %9s" % (name, "failed"))
            continue
        wake = ["-" if x["wake"] is None else "%d" % x["wake"] for x in (ref, r)]
        ratio = r["map"] / ref["map"]
        print("%-22s %9.1f %10.1f %7.2f %7.2f %9.1f %10.1f %7.2f %8s %8s" % (
            name, ref["map"] * 1000, r["map"] * 1000, ratio, ratio / base_ratio, ref["rss"] / 1024,
            r["rss"] / 1024, r["rss"] / ref["rss"], wake[0], wake[1]))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin", default=os.path.join(HERE, "..", "build", "bin"))
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--idle", type=int, default=30, help="seconds of idle measured (0: none)")
    parser.add_argument("--no-peers", action="store_true")
    parser.add_argument("--wm", action="store_true", help="run openbox (tint2 waits for a window manager)")
    parser.add_argument("--compositor", action="store_true",
                        help="run xcompmgr -n after openbox (implies --wm); same as --ways composited")
    parser.add_argument("--ways", default=None,
                        help="comma-separated ways to measure side by side, of %s (any composited implies --wm "
                             "for all, so that the ways differ by the compositor alone)" % ", ".join(WAYS))
    args = parser.parse_args()
    if args.compositor and args.ways:
        parser.error("--compositor is --ways composited: give one of them")
    ways = args.ways.split(",") if args.ways else ["composited" if args.compositor else "plain"]
    if not ways or any(way not in WAYS for way in ways) or len(set(ways)) != len(ways):
        parser.error("--ways takes distinct names among: %s" % ", ".join(WAYS))
    if any(WAYS[way] for way in ways):
        args.wm = True
        if not shutil.which("xcompmgr"):
            parser.error("a composited way needs xcompmgr (apt-get install xcompmgr)")

    root = tempfile.mkdtemp(prefix="dovi-bench-")
    servers = {}
    results = {}
    broken = []
    try:
        # One server per way, all up for the whole session: the rounds take turns between them.
        for way in ways:
            servers[way] = Xserver(args.wm, WAYS[way])
        found = subjects(args, root)
        figures = {(way, name): {"maps": [], "rss": [], "cpu": None, "wake": None, "latency": None, "reload": None}
                   for way in ways for name, _ in found}
        # Round by round, every subject once per round: a machine that slows down or speeds up during
        # the session weighs on all of them alike, and the ratios stay fair. Each round starts one
        # subject further on, so that no subject always comes right after the same other one (a
        # panel that reserved screen space leaves the window manager some work when it ends). With
        # several ways, each subject starts in every way in turn, the first way changing every round.
        for run in range(args.runs):
            print("round %d of %d..." % (run + 1, args.runs), file=sys.stderr)
            for turn in range(len(found)):
                name, make = found[(run + turn) % len(found)]
                for step in range(len(ways)):
                    way = ways[(run + step) % len(ways)]
                    measure_once(servers[way], name, make, run == 0, args.idle, root, args, figures[(way, name)],
                                 way if len(ways) > 1 or way != "plain" else None)
        results = {way: [(name, summary(figures[(way, name)])) for name, _ in found] for way in ways}
        broken = [way for way in ways if not servers[way].compositing()]
    finally:
        for server in servers.values():
            server.close()
        shutil.rmtree(root, ignore_errors=True)

    if ways == ["plain"]:
        print_table(results["plain"])
    else:
        for index, way in enumerate(ways):
            if index:
                print()
            print("%s: %s" % (way, "openbox, xcompmgr -n" if WAYS[way] else "openbox" if args.wm else
                              "no window manager"))
            print_table(results[way])
        reference = "plain" if "plain" in ways else ways[0]
        for way in ways:
            if way != reference:
                print("\n%s / %s" % (way, reference))
                print_comparison(reference, way, results)
    for way in broken:
        print("the compositing manager of the %s way ended during the session: its figures are not composited"
              % way, file=sys.stderr)
    failed = any(r is None for way in ways for _, r in results[way])
    return 0 if not failed and not broken else 1


if __name__ == "__main__":
    sys.exit(main())
