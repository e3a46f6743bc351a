"""Real Wayland compositors for the end-to-end tests: sway (headless), and weston, mutter and KWin
nested in an Xvfb, each with its XWayland, driven as harness.Session drives Xvfb and openbox.

    with Sway(bin_dir) as c:
        bar = c.start_program()            # an X11 client of the compositor's XWayland
        win = c.wait_window(pid=bar.pid)   # xdotool and xwininfo on the XWayland display
        shot = c.screenshot()              # the whole output, in output pixels
        c.click(110, 110)                  # XTEST input on the XWayland display

Each compositor is a context manager. On enter it makes its temporary folders (a program folder
copied from the build's bin folder without a user's files, home, settings, data, cache, runtime and
log folders), starts the compositor and waits until it shows its background. It offers env_x11 (the
environment of an X11 client of its XWayland, as a session would give it: DISPLAY, XAUTHORITY where
needed, WAYLAND_DISPLAY, the XDG folders and HOME, no QT_QPA_PLATFORM) and env_wayland (a native
Wayland client: WAYLAND_DISPLAY and XDG_RUNTIME_DIR, no DISPLAY). A compositor or tool that is
missing or cannot start here raises unittest.SkipTest with the reason and the compositor's log.
Everything started is stopped (by process group, then whatever still runs in the session's folders)
and the folders are removed on exit, also when a test fails. DOVI_E2E_KEEP=1 keeps the folders.

Run directly, it tells what each compositor's XWayland looks like to an X11 client:

    python3 tests/e2e/compositors.py --bin build/bin --describe [sway weston mutter kwin]

Python 3 standard library only; the compositors and tools come from tools/setup.sh.
"""

import argparse
import glob
import json
import os
import pwd
import re
import shutil
import signal
import socket
import struct
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from harness import HarnessError, Image, Session, parse_colour, wait_for  # noqa: E402

X_TOOLS = ("xdotool", "xwininfo", "xprop")


def crop(image, x, y, width, height):
    """A rectangle of an Image as an Image."""
    if x < 0 or y < 0 or x + width > image.width or y + height > image.height:
        raise HarnessError(f"{width}x{height}+{x}+{y} is not inside the {image.width}x{image.height} picture")
    rows = [image.rgb[((y + row) * image.width + x) * 3:((y + row) * image.width + x + width) * 3]
            for row in range(height)]
    return Image(width, height, b"".join(rows))


def tail(text, lines=40):
    return "\n".join(text.rstrip().splitlines()[-lines:])


# ----- a few X11 requests the command line tools do not make

def _xauth_cookie(path, number):
    """The MIT-MAGIC-COOKIE-1 of a display in an Xauthority file, or None."""
    try:
        data = Path(path).read_bytes()
    except OSError:
        return None
    pos = 0
    while pos + 2 <= len(data):
        pos += 2  # the address family
        fields = []
        for _ in range(4):
            (length,) = struct.unpack_from(">H", data, pos)
            fields.append(data[pos + 2:pos + 2 + length])
            pos += 2 + length
        _address, display, name, cookie = fields
        if name == b"MIT-MAGIC-COOKIE-1" and display in (str(number).encode(), b""):
            return cookie
    return None


def _pad(data):
    return data + b"\0" * (-len(data) % 4)


def selection_owner(display, selection, xauthority=None):
    """The window owning an X selection (0 for none), asked on the display's local socket."""
    number = int(display.lstrip(":").split(".")[0])
    conn = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    conn.settimeout(5)
    try:
        conn.connect(f"/tmp/.X11-unix/X{number}")
        cookie = _xauth_cookie(xauthority, number) if xauthority else None
        name = b"MIT-MAGIC-COOKIE-1" if cookie else b""
        cookie = cookie or b""
        conn.sendall(struct.pack("<BxHHHHxx", 0x6C, 11, 0, len(name), len(cookie)) + _pad(name) + _pad(cookie))

        def read(count):
            data = b""
            while len(data) < count:
                chunk = conn.recv(count - len(data))
                if not chunk:
                    raise HarnessError(f"X server {display} closed the connection")
                data += chunk
            return data
        head = read(8)
        extra = read(struct.unpack_from("<H", head, 6)[0] * 4)
        if head[0] != 1:
            raise HarnessError(f"X server {display} refused the connection: {extra[:head[1]].decode(errors='replace')}")

        def reply():
            while True:
                data = read(32)
                if data[0] == 0:
                    raise HarnessError(f"X error {data[1]} from {display}")
                if data[0] == 1:
                    read(struct.unpack_from("<I", data, 4)[0] * 4)
                    return data
                # An event: not asked for, skipped.
        atom_name = selection.encode()
        conn.sendall(struct.pack("<BBHHxx", 16, 1, 2 + len(_pad(atom_name)) // 4, len(atom_name)) + _pad(atom_name))
        (atom,) = struct.unpack_from("<I", reply(), 8)
        if atom == 0:
            return 0
        conn.sendall(struct.pack("<BxHI", 23, 2, atom))
        return struct.unpack_from("<I", reply(), 8)[0]
    finally:
        conn.close()


class Compositor(Session):
    """What every compositor shares. A subclass starts its compositor in _launch()."""

    name = "compositor"
    tools = ()              # executables it needs, besides the X tools when it has an XWayland
    desktop = ""            # XDG_CURRENT_DESKTOP of such a session
    xwayland = True

    def __init__(self, bin_dir=None, size=(1024, 768), background="#336699", copy_program=True):
        super().__init__(bin_dir, window_manager=False, root_colour=background,
                         screen=f"{size[0]}x{size[1]}x24", copy_program=copy_program)
        self.size = tuple(size)
        self.background = background
        self.background_rgb = parse_colour(background)
        self.wayland_name = None   # WAYLAND_DISPLAY of its clients, in self.runtime_dir
        self.x_display = None      # ":N" of its XWayland
        self.xauthority = None
        self.bus_address = None
        self.host_env = None       # the Xvfb a nested compositor shows its output in
        self.output_origin = (0, 0)
        self.env_x11 = None
        self.env_wayland = None
        self.proc = None           # the compositor's own process

    # ----- set-up and tear-down

    def start(self):
        needed = (*self.tools, *(X_TOOLS if self.xwayland else ()))
        missing = [t for t in needed if shutil.which(t) is None]
        if missing:
            raise unittest.SkipTest(f"{self.name}: missing {', '.join(missing)}")
        self._make_folders()
        try:
            self._launch()
            self.env_wayland = self._client_env()
            if self.xwayland:
                self.env_x11 = self._client_env(x11=True)
            self.env = self.env_x11 or self.env_wayland
            wait_for(self._background_shown, timeout=20, what=f"{self.name} to show its background {self.background}")
        except (HarnessError, OSError, subprocess.SubprocessError) as e:
            raise unittest.SkipTest(f"{self.name} cannot start here: {e}\n--- {self.name} log ---\n"
                                    f"{tail(self.read_log(self.name))}") from e

    def close(self):
        self._stop_processes()
        self._sweep()
        self._remove_folders()

    def _sweep(self):
        """Ends what the started programs left running in this session (a service started by its
        bus, a program a test started through the bar): processes whose environment names its
        folders."""
        if not self.tmp:
            return
        mark = str(self.tmp).encode()
        for entry in os.listdir("/proc"):
            if not entry.isdigit() or int(entry) == os.getpid():
                continue
            try:
                environ = Path(f"/proc/{entry}/environ").read_bytes()
            except OSError:
                continue
            if mark in environ:
                try:
                    os.kill(int(entry), signal.SIGKILL)
                except (ProcessLookupError, PermissionError):
                    pass

    def _launch(self):
        raise NotImplementedError

    def _background_shown(self):
        shot = self.screenshot()
        w, h = self.size
        # Away from the middle, where some compositors draw the pointer.
        return all(shot.pixel(x, y) == self.background_rgb for x, y in ((w * 3 // 4, h // 4), (w - 5, h - 5), (w // 3, 5)))

    def _base_env(self):
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("XDG_", "DBUS_", "WAYLAND_", "QT_", "DESKTOP_", "GNOME_", "KDE_", "WLR_",
                                    "SWAYSOCK", "I3SOCK", "MUTTER_", "KWIN_"))
               and k not in ("DISPLAY", "XAUTHORITY")}
        env.update({
            "HOME": str(self.home),
            "XDG_CONFIG_HOME": str(self.config_home),
            "XDG_DATA_HOME": str(self.data_home),
            "XDG_CACHE_HOME": str(self.cache_home),
            "XDG_RUNTIME_DIR": str(self.runtime_dir),
            "LC_ALL": env.get("LC_ALL", "C.UTF-8"),
        })
        if self.bus_address:
            env["DBUS_SESSION_BUS_ADDRESS"] = self.bus_address
        return env

    def _client_env(self, x11=False):
        env = self._base_env()
        env.update({"WAYLAND_DISPLAY": self.wayland_name, "XDG_SESSION_TYPE": "wayland"})
        if self.desktop:
            env["XDG_CURRENT_DESKTOP"] = self.desktop
        if x11:
            env["DISPLAY"] = self.x_display
            if self.xauthority:
                env["XAUTHORITY"] = str(self.xauthority)
        return env

    def _start_host(self):
        """The Xvfb a nested compositor opens its output window in, without a window manager."""
        self._start_xvfb()
        self.host_env = dict(self._base_env(), DISPLAY=f":{self.display}")

    def _start_bus(self):
        """A session bus of the session's own."""
        path = self.tmp / "bus"
        self.spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile", f"--address=unix:path={path}"],
                   name="dbus-daemon", env=self._base_env())
        wait_for(path.exists, timeout=10, what="the session bus")
        self.bus_address = f"unix:path={path}"

    def _find_output(self):
        """Where the nested compositor's output window lies on the Xvfb screen."""
        def output_window():
            out = self.host_run(["xwininfo", "-root", "-children"], check=False)
            for line in out.splitlines():
                m = re.match(r"\s*(0x[0-9a-f]+) .*\s(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)\s*$", line)
                if m and (int(m.group(2)), int(m.group(3))) == self.size:
                    info = self.host_run(["xwininfo", "-id", m.group(1)], check=False)
                    if "IsViewable" in info:
                        get = lambda key: int(re.search(rf"{key}:\s+(-?\d+)", info).group(1))
                        return get("Absolute upper-left X"), get("Absolute upper-left Y")
            return None
        self.output_origin = wait_for(output_window, timeout=20, what=f"the output window of {self.name}")

    def _check_alive(self, proc):
        if proc.poll() is not None:
            raise HarnessError(f"{self.name} {self.ended()}")

    def ended(self):
        """How the compositor ended ("was killed by SIGSEGV", "ended with status 1"), None while it runs."""
        if self.proc is None or self.proc.poll() is None:
            return None
        code = self.proc.returncode
        if code < 0:
            try:
                return f"was killed by {signal.Signals(-code).name}"
            except ValueError:
                return f"was killed by signal {-code}"
        return f"ended with status {code}"

    def _wait_x11(self, timeout=20):
        """Waits until the XWayland display takes connections (it may start at the first)."""
        env = self._client_env(x11=True)
        wait_for(lambda: subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env, capture_output=True,
                                        timeout=20).returncode == 0,
                 timeout=timeout, interval=0.2, what=f"XWayland {self.x_display} of {self.name}")

    # ----- processes

    def spawn(self, argv, name=None, env=None, cwd=None, stdin=subprocess.DEVNULL, stdout=None):
        """Starts a process in this session with a whole environment (env_x11 unless given; a value
        of None takes a variable out); its output goes to logs/<name>.log unless piped."""
        name = name or Path(str(argv[0])).name
        full_env = {k: v for k, v in (self.env if env is None else env).items() if v is not None}
        log = self._log(name)
        proc = subprocess.Popen([str(a) for a in argv], env=full_env, cwd=str(cwd or self.home), stdin=stdin,
                                stdout=stdout if stdout is not None else log, stderr=log, start_new_session=True)
        self._processes.append((name, proc))
        return proc

    def start_program(self, args=(), name="Dovi", env=None):
        """Starts the program from the temporary program folder, by default as an X11 client."""
        program = self.program_dir / name
        if not program.exists():
            raise HarnessError(f"{program} is missing: build the program first")
        return self.spawn([program, *args], name=name, env=env, cwd=self.program_dir)

    def stop_program(self, proc, timeout=5):
        """Asks a program to end as the system would (SIGTERM); kills it if it does not."""
        if proc.poll() is None:
            proc.send_signal(signal.SIGTERM)
            try:
                proc.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait(timeout=5)
        return proc.returncode

    def run(self, argv, check=True, timeout=20, input=None, env=None):
        """Runs a short command (an X11 client of the XWayland unless env says otherwise)."""
        result = subprocess.run([str(a) for a in argv], env=env or self.env, capture_output=True, text=True,
                                timeout=timeout, input=input)
        if check and result.returncode != 0:
            raise HarnessError(f"{argv[0]} failed ({result.returncode}): {result.stderr.strip()}")
        return result.stdout

    def host_run(self, argv, check=True, timeout=20):
        return self.run(argv, check=check, timeout=timeout, env=self.host_env)

    # ----- output

    def screenshot(self, save_as=None):
        """The whole output, in output pixels."""
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.host_env,
                              capture_output=True, timeout=30, check=True).stdout
        shot = Image.from_ppm(data)
        shot = crop(shot, *self.output_origin, *self.size)
        if save_as:
            save_ppm(shot, save_as)
        return shot

    # ----- what an X11 client sees

    def describe_x11(self):
        """The X window manager and compositing manager an X11 client of the XWayland finds."""
        check = self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False).strip()
        m = re.search(r"window id # (0x[0-9a-f]+)", check)
        wm_name = self.xprop(int(m.group(1), 16), "_NET_WM_NAME") if m else None
        root = self.run(["xprop", "-root"], check=False)
        owner = selection_owner(self.x_display, "_NET_WM_CM_S0", self.xauthority)
        owner_name = (self.xprop(owner, "_NET_WM_NAME") or self.xprop(owner, "WM_NAME")) if owner else None
        return {
            "display": self.x_display,
            "xauthority": str(self.xauthority) if self.xauthority else None,
            "_NET_SUPPORTING_WM_CHECK": check,
            "its _NET_WM_NAME": wm_name,
            "root properties with CM_S": [line for line in root.splitlines() if "CM_S" in line],
            "_NET_WM_CM_S0 owner": hex(owner) if owner else "none",
            "_NET_WM_CM_S0 owner's name": owner_name,
        }


def save_ppm(image, path):
    Path(path).write_bytes(f"P6\n{image.width} {image.height}\n255\n".encode() + bytes(image.rgb))


class Sway(Compositor):
    """sway with its headless backend and one output; XWayland unless xwayland=False.

    sway refuses to run as root: run by root, it runs as the user "nobody" (setpriv), with a runtime
    folder of that user's own, and lets the tests' user connect to its XWayland (xhost). The tests'
    clients reach its Wayland socket through a link in their own runtime folder."""

    name = "sway"
    tools = ("sway", "swaymsg", "grim")
    desktop = "sway"

    def __init__(self, bin_dir=None, xwayland=True, **kwargs):
        super().__init__(bin_dir, **kwargs)
        self.xwayland = xwayland
        self.user = None   # (uid, gid) sway runs as, None for this process's own
        self.sway_dir = None
        self.ipc_socket = None

    def _as_user(self, argv):
        if self.user is None:
            return [str(a) for a in argv]
        uid, gid = self.user
        return ["setpriv", f"--reuid={uid}", f"--regid={gid}", "--clear-groups", "--", *[str(a) for a in argv]]

    def _launch(self):
        if self.xwayland and shutil.which("xhost") is None:
            raise unittest.SkipTest("sway: missing xhost")
        if os.geteuid() == 0:
            if shutil.which("setpriv") is None:
                raise unittest.SkipTest("sway refuses to run as root and setpriv is missing")
            nobody = pwd.getpwnam("nobody")
            self.user = (nobody.pw_uid, nobody.pw_gid)
        own = self.sway_dir = self._folder("sway")
        runtime, home = own / "runtime", own / "home"
        runtime.mkdir()
        home.mkdir()
        os.chmod(runtime, 0o700)
        if self.user:
            os.chmod(self.tmp, 0o711)  # the user may pass through to its own folder, no further
            for path in (own, runtime, home):
                os.chown(path, *self.user)
        w, h = self.size
        config = own / "config"
        config.write_text(
            f"xwayland {'enable' if self.xwayland else 'disable'}\n"
            f"output HEADLESS-1 mode {w}x{h} position 0 0\n"
            f"output * bg {self.background} solid_color\n"
            # Tells the session's display names once the compositor runs.
            f"exec sh -c 'printf \"%s\\n%s\\n\" \"$WAYLAND_DISPLAY\" \"$DISPLAY\" > {own}/names.part"
            f" && mv {own}/names.part {own}/names'\n")
        os.chmod(config, 0o644)
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": str(home), "XDG_RUNTIME_DIR": str(runtime),
               "WLR_BACKENDS": "headless", "WLR_LIBINPUT_NO_DEVICES": "1", "WLR_RENDERER": "pixman",
               "LC_ALL": "C.UTF-8"}
        proc = self.proc = self.spawn(self._as_user(["sway", "-c", config]), name=self.name, env=env, cwd=own)
        names = own / "names"

        def started():
            self._check_alive(proc)
            return names.exists()
        wait_for(started, timeout=20, what="sway to start")
        wayland, display = (names.read_text().splitlines() + ["", ""])[:2]
        if not wayland:
            raise HarnessError("sway named no Wayland display")
        self.wayland_name = wayland
        os.symlink(runtime / wayland, self.runtime_dir / wayland)
        self.ipc_socket = wait_for(lambda: (glob.glob(str(runtime / "sway-ipc.*.sock")) or [None])[0], timeout=10,
                                   what="sway's IPC socket")
        if self.xwayland:
            if not display:
                raise HarnessError("sway named no X display")
            self.x_display = display
            # XWayland starts with the first X client; it takes only its own user's clients.
            me = pwd.getpwuid(os.geteuid()).pw_name
            user_env = dict(env, DISPLAY=display)
            wait_for(lambda: subprocess.run(self._as_user(["xhost", f"+si:localuser:{me}"]), env=user_env,
                                            capture_output=True, timeout=20).returncode == 0,
                     timeout=20, interval=0.2, what=f"sway's XWayland {display}")
            self._wait_x11()

    def screenshot(self, save_as=None):
        data = subprocess.run(["grim", "-t", "ppm", "-"], env=self.env_wayland or self._client_env(),
                              capture_output=True, timeout=30, check=True).stdout
        shot = Image.from_ppm(data)
        if save_as:
            save_ppm(shot, save_as)
        return shot

    def swaymsg(self, kind, *args):
        """sway's answer to an IPC message (get_tree, get_outputs, ...) or command, parsed."""
        out = subprocess.run(self._as_user(["swaymsg", "-s", self.ipc_socket, "-r", "-t", kind, *args]),
                             capture_output=True, text=True, timeout=20)
        if out.returncode != 0:
            raise HarnessError(f"swaymsg -t {kind} failed: {out.stderr.strip()} {out.stdout.strip()}")
        return json.loads(out.stdout)

    def views(self, pid=None):
        """The windows sway manages (native and XWayland), each with "floating" set."""
        found = []

        def walk(node, floating):
            if node.get("pid") is not None and (pid is None or node["pid"] == pid):
                found.append(dict(node, floating=floating))
            for child in node.get("nodes", []):
                walk(child, floating)
            for child in node.get("floating_nodes", []):
                walk(child, True)
        walk(self.swaymsg("get_tree"), False)
        return found


class Weston(Compositor):
    """weston's x11 backend in an Xvfb, one output the size of the Xvfb screen, --xwayland, its
    desktop shell without panel or animations on a background of one colour."""

    name = "weston"
    tools = ("weston", "Xvfb", "import")
    desktop = "weston"

    def _launch(self):
        self._start_host()
        ini = self.tmp / "weston.ini"
        colour = "0xff" + self.background.lstrip("#")
        ini.write_text(f"[core]\nidle-time=0\n\n[shell]\nbackground-color={colour}\npanel-position=none\n"
                       "locking=false\nanimation=none\nstartup-animation=none\nclose-animation=none\n"
                       "focus-animation=none\n")
        self.wayland_name = "wayland-1"
        w, h = self.size
        proc = self.proc = self.spawn(["weston", "--backend=x11-backend.so", f"--width={w}", f"--height={h}", "--xwayland",
                           f"--config={ini}", f"--socket={self.wayland_name}", "--idle-time=0"],
                          name=self.name, env=self.host_env)

        def listening():
            self._check_alive(proc)
            return re.search(r"xserver listening on display (:\d+)", self.read_log(self.name))
        self.x_display = wait_for(listening, timeout=30, what="weston's XWayland").group(1)
        self._find_output()
        self._wait_x11()


class Mutter(Compositor):
    """mutter --nested --wayland in an Xvfb, with a session bus of its own; its XWayland takes clients
    with the cookie in $XDG_RUNTIME_DIR/.mutter-Xwaylandauth.*. mutter alone draws a background of
    its own (a blue gradient), not the one asked for: background_rgb is its colour at 3/4 of the
    output's width and 1/4 of its height."""

    name = "mutter"
    tools = ("mutter", "Xvfb", "dbus-daemon", "import")
    desktop = "GNOME"

    def _launch(self):
        self._start_host()
        self._start_bus()
        self.wayland_name = "wayland-1"
        w, h = self.size
        env = dict(self.host_env, DBUS_SESSION_BUS_ADDRESS=self.bus_address, MUTTER_DEBUG_DUMMY_MODE_SPECS=f"{w}x{h}",
                   GSETTINGS_BACKEND="memory")
        proc = self.proc = self.spawn(["mutter", "--nested", "--wayland", f"--wayland-display={self.wayland_name}"],
                          name=self.name, env=env)

        def listening():
            self._check_alive(proc)
            m = re.search(r"Using public X11 display (:\d+)", self.read_log(self.name))
            auth = glob.glob(str(self.runtime_dir / ".mutter-Xwaylandauth.*"))
            return m and auth and (m.group(1), auth[0])
        self.x_display, self.xauthority = wait_for(listening, timeout=30, what="mutter's XWayland")
        self._find_output()
        self._wait_x11()
        # mutter's own background: its colour, once drawn, is what "background" means here.
        self.background_rgb = wait_for(lambda: (lambda p: p if p != (0, 0, 0) else None)(self.screenshot().pixel(*self._point())),
                                       timeout=20, what="mutter's background")
        self.background = "#%02x%02x%02x" % self.background_rgb

    def _point(self):
        return self.size[0] * 3 // 4, self.size[1] // 4

    def _background_shown(self):
        return self.screenshot().pixel(*self._point()) == self.background_rgb


class KWin(Compositor):
    """kwin_wayland's X11 windowed mode in an Xvfb, --xwayland, with a session bus of its own. KWin alone
    draws no wallpaper: a window of the background colour, which a window rule makes the desktop,
    stands for one. kwin_wayland carries a file capability (cap_sys_resource) that a sandbox may
    refuse to execute; it runs from a copy of the binary, which has none."""

    name = "kwin"
    tools = ("kwin_wayland", "Xvfb", "dbus-daemon", "import", "display")
    desktop = "KDE"

    def _launch(self):
        self._start_host()
        self._start_bus()
        binary = self._folder("bin") / "kwin_wayland"
        shutil.copy(shutil.which("kwin_wayland"), binary)  # the mode bits, not the capability
        (self.config_home / "kwinrulesrc").write_text(
            "[General]\ncount=1\nrules=wallpaper\n\n"
            "[wallpaper]\nDescription=the tests' wallpaper\ntitle=dovi-wallpaper\ntitlematch=1\n"
            "type=1\ntyperule=2\nnoborder=true\nnoborderrule=2\nbelow=true\nbelowrule=2\n")
        names = self.tmp / "kwin-names"
        reporter = self.tmp / "kwin-names.sh"
        reporter.write_text(f'#!/bin/sh\nprintf "%s\\n%s\\n" "$DISPLAY" "${{XAUTHORITY-}}" > {names}.part\n'
                            f"mv {names}.part {names}\n")
        reporter.chmod(0o755)
        self.wayland_name = "wayland-1"
        w, h = self.size
        env = dict(self.host_env, DBUS_SESSION_BUS_ADDRESS=self.bus_address)
        # The program after the options is started once Wayland and XWayland run, with their names.
        proc = self.proc = self.spawn([binary, "--x11-display", self.host_env["DISPLAY"], "--xwayland", "--socket", self.wayland_name,
                           "--width", str(w), "--height", str(h), "--no-lockscreen", "--no-global-shortcuts",
                           "--no-kactivities", str(reporter)],
                          name=self.name, env=env)

        def started():
            self._check_alive(proc)
            return names.exists()
        wait_for(started, timeout=30, what="KWin and its XWayland")
        display, auth = (names.read_text().splitlines() + ["", ""])[:2]
        if not display:
            raise HarnessError("KWin named no X display")
        self.x_display, self.xauthority = display, (auth or None)
        self._find_output()
        self._wait_x11()
        self.spawn(["display", "-title", "dovi-wallpaper", "-geometry", f"{w}x{h}+0+0", "-size", f"{w}x{h}",
                    f"xc:{self.background}"], name="wallpaper", env=self._client_env(x11=True))


COMPOSITORS = {"sway": Sway, "weston": Weston, "mutter": Mutter, "kwin": KWin}


def _describe(bin_dir, names):
    for name in names:
        print(f"== {name}")
        try:
            with COMPOSITORS[name](bin_dir, copy_program=False) as c:
                for key, value in c.describe_x11().items():
                    print(f"   {key}: {value}")
        except unittest.SkipTest as e:
            print(f"   skipped: {e}")


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", help="the build's program folder (build/bin)")
    parser.add_argument("--describe", nargs="*", metavar="COMPOSITOR", choices=sorted(COMPOSITORS),
                        help="tells what X11 clients of each compositor's XWayland find")
    options = parser.parse_args()
    _describe(options.bin, options.describe or sorted(COMPOSITORS))
