"""End-to-end test harness: real programs under Xvfb with openbox, driven like a user would.

A Session makes a temporary program folder (a copy of build/bin), its own settings, runtime, data
and home folders, starts Xvfb on a free display, openbox, optionally xcompmgr, paints the root
window one colour, and offers what a test needs: start the program, find its windows, click,
take screenshots and read pixels, read window properties. Everything it started is stopped and
every temporary folder removed when the session ends, also when a test fails or is interrupted.

    with Session(bin_dir) as s:
        bar = s.start_program()
        win = s.wait_window(pid=bar.pid)
        s.click(110, 110)
        assert s.screenshot().pixel(5, 5) == s.root_rgb

Python 3 standard library only; the X tools come from tools/setup.sh.
"""

import argparse
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

SKIP = 77  # ctest's SKIP_RETURN_CODE for these scripts

REQUIRED_TOOLS = ("Xvfb", "openbox", "xdotool", "xprop", "xsetroot", "xwininfo", "import")


# Files a bar writes into its program folder, never part of what the build delivers.
USER_FILES = shutil.ignore_patterns("DoviConfig.txt", "DoviConfig.old.txt", "tmpconfig.txt", "Dovi_Run.txt",
                                    "Boutons")

class HarnessError(RuntimeError):
    pass


def missing_tools(extra=()):
    return [t for t in (*REQUIRED_TOOLS, *extra) if shutil.which(t) is None]


def wait_for(predicate, timeout=10.0, interval=0.05, what="condition"):
    """Polls predicate until it returns a true value, which is returned; raises after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise HarnessError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


def parse_colour(text):
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16))


class Image:
    """A screenshot: width, height and 8-bit RGB pixels."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    @classmethod
    def from_ppm(cls, data):
        # Binary PPM (P6): "P6", width, height, max value, one blank, then the pixels.
        fields, pos = [], 2
        if data[:2] != b"P6":
            raise HarnessError("screenshot is not a binary PPM")
        while len(fields) < 3:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos) + 1
                continue
            start = pos
            while not data[pos:pos + 1].isspace():
                pos += 1
            fields.append(int(data[start:pos]))
        width, height, maxval = fields
        if maxval != 255:
            raise HarnessError(f"unexpected PPM depth {maxval}")
        pixels = data[pos + 1:pos + 1 + width * height * 3]
        return cls(width, height, pixels)

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError(f"pixel {x},{y} outside {self.width}x{self.height}")
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def region_colours(self, x, y, w, h):
        """The set of colours in a rectangle."""
        return {self.pixel(px, py) for py in range(y, y + h) for px in range(x, x + w)}


def close_to(a, b, tolerance=3):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def read_bmp(path):
    """A 24-bit BMP file (the skins' format) as an Image."""
    data = Path(path).read_bytes()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bits = struct.unpack_from("<H", data, 28)[0]
    if data[:2] != b"BM" or bits != 24:
        raise HarnessError(f"{path} is not a 24-bit BMP file")
    row = (width * 3 + 3) // 4 * 4
    rgb = bytearray()
    for y in range(abs(height)):
        # Rows are stored from the bottom up unless the height is negative.
        start = offset + (abs(height) - 1 - y if height > 0 else y) * row
        line = data[start:start + width * 3]
        for x in range(0, width * 3, 3):
            rgb += bytes((line[x + 2], line[x + 1], line[x]))
    return Image(width, abs(height), bytes(rgb))


def skin_pixel(path, x, y):
    """The RGB of one pixel of a skin bitmap."""
    return read_bmp(path).pixel(x, y)


# The delivered skins: 48 x 48 pixels, RGB(255, 0, 230) where they are see-through.
SKIN = 48
MASK_COLOUR = 15073535
MASK_RGB = (255, 0, 230)


def prepare(session, level=255, buttons=(), position=(100, 50), align="HORIZONTAL", on_top=False):
    """A program folder after a completed first launch: skins in their folders, run marker, settings
    (transparency level) and a configuration with the bar at position, in a row or a column (align
    "HORIZONTAL" or "VERTICAL"), kept in front of other windows or not, holding the given button
    lines. Called again on the same folder, it writes the configuration and the settings anew.
    Returns the folder of the skins in use."""
    program = session.program_dir
    skins = program / "Boutons" / "XP"
    if not skins.is_dir():
        skins.mkdir(parents=True)
        (program / "Boutons" / "XP_Blue").mkdir()
        for part in ("Up", "Down", "Mask"):
            os.replace(program / f"XP_{part}.bmp", skins / f"XP_{part}.bmp")
            os.replace(program / f"XP_Blue_{part}.bmp", program / "Boutons" / "XP_Blue" / f"XP_Blue_{part}.bmp")
    (program / "Dovi_Run.txt").write_bytes(b"run=1\r\n")
    lines = [f"{position[0]} {position[1]}", "FALSE", "TRUE" if on_top else "FALSE", "TRUE", "TRUE", "FALSE", "TRUE",
             align, "2",
             str(MASK_COLOUR), str(skins / "XP_Up.bmp"), str(skins / "XP_Down.bmp"), str(skins / "XP_Mask.bmp"),
             *buttons]
    (program / "DoviConfig.txt").write_bytes("".join(line + "\r\n" for line in lines).encode())
    settings = session.config_home / "Dovi"
    settings.mkdir(parents=True, exist_ok=True)
    (settings / "Dovi.ini").write_text(
        f"[GeneralSetLng]\nFirstLaunch=1\nLang=1\n\n[Transparency]\nVal_Trans={level}\n")
    return skins


class Session:
    """One X session with its own folders. Use as a context manager."""

    def __init__(self, bin_dir=None, compositor=False, window_manager=True, root_colour="#336699",
                 screen="1024x768x24", copy_program=True):
        self.bin_dir = Path(bin_dir) if bin_dir else None
        self.compositor = compositor
        self.window_manager = window_manager
        self.root_colour = root_colour
        self.root_rgb = parse_colour(root_colour)
        self.screen = screen
        self.copy_program = copy_program
        self._processes = []  # (name, Popen), stopped in reverse order
        self._pids = []       # processes started by programs under test, stopped by pid
        self._log_files = []
        self.tmp = None
        self.display = None

    # ----- set-up and tear-down

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def start(self):
        self._make_folders()
        self._start_xvfb()
        self.env = self._session_env()
        if self.window_manager:
            self._start_window_manager()
        self.set_root_colour(self.root_colour)
        if self.compositor:
            self._start_compositor()

    def _make_folders(self):
        """The temporary program, home, settings, data, cache, runtime and log folders."""
        self.tmp = Path(tempfile.mkdtemp(prefix="dovi-e2e-"))
        self.program_dir = self.tmp / "program"
        if self.copy_program and self.bin_dir and self.bin_dir.is_dir():
            # Only what the build makes and delivers: a bar started from the build folder leaves the
            # user's configuration, run marker and skin folders there.
            shutil.copytree(self.bin_dir, self.program_dir, symlinks=True, ignore=USER_FILES)
        else:
            self.program_dir.mkdir()
        self.home = self._folder("home")
        self.config_home = self._folder("config")
        self.data_home = self._folder("data")
        self.cache_home = self._folder("cache")
        self.runtime_dir = self._folder("runtime")
        os.chmod(self.runtime_dir, 0o700)
        self.logs = self._folder("logs")

    def close(self):
        self._stop_processes()
        self._remove_folders()

    def _stop_processes(self):
        for pid in reversed(self._pids):
            try:
                os.kill(pid, signal.SIGKILL)
            except (ProcessLookupError, PermissionError):
                pass
        self._pids.clear()
        for _name, proc in reversed(self._processes):
            self._stop(proc)
        self._processes.clear()
        for f in self._log_files:
            f.close()
        self._log_files.clear()

    def _remove_folders(self):
        if self.tmp and os.environ.get("DOVI_E2E_KEEP") != "1":
            shutil.rmtree(self.tmp, ignore_errors=True)

    @staticmethod
    def _stop(proc):
        if proc.poll() is not None:
            return
        try:
            os.killpg(proc.pid, signal.SIGTERM)
        except (ProcessLookupError, PermissionError):
            proc.terminate()
        try:
            proc.wait(timeout=3)
        except subprocess.TimeoutExpired:
            try:
                os.killpg(proc.pid, signal.SIGKILL)
            except (ProcessLookupError, PermissionError):
                proc.kill()
            proc.wait(timeout=3)

    def _folder(self, name):
        path = self.tmp / name
        path.mkdir(parents=True, exist_ok=True)
        return path

    def _session_env(self):
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("XDG_", "DBUS_", "WAYLAND_", "QT_", "DESKTOP_", "GNOME_", "KDE_"))}
        env.update({
            "DISPLAY": f":{self.display}",
            "HOME": str(self.home),
            "XDG_CONFIG_HOME": str(self.config_home),
            "XDG_DATA_HOME": str(self.data_home),
            "XDG_CACHE_HOME": str(self.cache_home),
            "XDG_RUNTIME_DIR": str(self.runtime_dir),
            "QT_QPA_PLATFORM": "xcb",
            "LC_ALL": env.get("LC_ALL", "C.UTF-8"),
        })
        env.pop("XAUTHORITY", None)
        return env

    def _start_xvfb(self):
        read_fd, write_fd = os.pipe()
        log = self._log("Xvfb")
        proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", self.screen, "-nolisten", "tcp",
             "-noreset"],
            pass_fds=(write_fd,), stdin=subprocess.DEVNULL, stdout=log, stderr=log,
            start_new_session=True)
        os.close(write_fd)
        self._processes.append(("Xvfb", proc))
        number = b""
        with os.fdopen(read_fd, "rb") as pipe:
            # Xvfb writes the display number it took once it accepts connections.
            number = pipe.readline().strip()
        if not number:
            raise HarnessError("Xvfb did not start: " + self.read_log("Xvfb"))
        self.display = int(number)

    def _start_window_manager(self):
        self.spawn(["openbox", "--sm-disable", "--config-file", str(self._openbox_config())], name="openbox")
        wait_for(lambda: re.search(r"window id # 0x[0-9a-f]+",
                                   self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False)),
                 what="openbox")

    def _openbox_config(self):
        # The stock behaviour, but no desktop margins and no animation, so geometry is exact.
        path = self.tmp / "openbox-rc.xml"
        path.write_text("""<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew></focus>
  <placement><policy>Smart</policy></placement>
  <theme><animateIconify>no</animateIconify></theme>
  <desktops><number>1</number></desktops>
</openbox_config>
""")
        return path

    def _start_compositor(self):
        self.spawn(["xcompmgr", "-n"], name="xcompmgr")
        wait_for(lambda: '"xcompmgr"' in self.run(["xwininfo", "-root", "-children"], check=False),
                 what="xcompmgr")

    def set_root_colour(self, colour):
        self.root_colour = colour
        self.root_rgb = parse_colour(colour)
        self.run(["xsetroot", "-solid", colour])

    # ----- processes

    def _log(self, name):
        f = open(self.logs / f"{name}.log", "ab")
        self._log_files.append(f)
        return f

    def read_log(self, name):
        path = self.logs / f"{name}.log"
        return path.read_text(errors="replace") if path.exists() else ""

    def spawn(self, argv, name=None, env=None, cwd=None, stdin=subprocess.DEVNULL, stdout=None):
        """Starts a process in this session; its output goes to logs/<name>.log unless piped."""
        name = name or Path(argv[0]).name
        log = self._log(name)
        full_env = dict(self.env)
        # A value of None takes the variable out.
        for key, value in (env or {}).items():
            if value is None:
                full_env.pop(key, None)
            else:
                full_env[key] = value
        proc = subprocess.Popen([str(a) for a in argv], env=full_env, cwd=str(cwd or self.home),
                                stdin=stdin, stdout=stdout if stdout is not None else log, stderr=log,
                                start_new_session=True)
        self._processes.append((name, proc))
        return proc

    def track_pid(self, pid):
        """A process started by a program under test (a launched target): killed at the end."""
        self._pids.append(int(pid))

    def start_program(self, args=(), name="Dovi", env=None):
        """Starts the program from the temporary program folder."""
        program = self.program_dir / name
        if not program.exists():
            raise HarnessError(f"{program} is missing: build the program first")
        return self.spawn([program, *args], name=name, env=env, cwd=self.program_dir)

    def run(self, argv, check=True, timeout=20, input=None):
        """Runs a short command in the session and returns its standard output."""
        result = subprocess.run([str(a) for a in argv], env=self.env, capture_output=True, text=True,
                                timeout=timeout, input=input)
        if check and result.returncode != 0:
            raise HarnessError(f"{argv[0]} failed ({result.returncode}): {result.stderr.strip()}")
        return result.stdout

    # ----- windows

    def windows(self, pid=None, cls=None, name=None, visible=True):
        """Window ids (ints) matching a process id, WM_CLASS or title regular expression."""
        argv = ["xdotool", "search"]
        if visible:
            argv.append("--onlyvisible")
        if pid is not None:
            argv += ["--pid", str(pid)]
        if cls is not None:
            argv += ["--class", cls]
        if name is not None:
            argv += ["--name", name]
        if pid is None and cls is None and name is None:
            argv += ["--name", ".*"]
        out = self.run(argv, check=False)
        return [int(w) for w in out.split()]

    def wait_window(self, timeout=10, **match):
        return wait_for(lambda: (self.windows(**match) or [None])[0], timeout=timeout,
                        what=f"a window matching {match}")

    def client_list(self):
        out = self.run(["xprop", "-root", "_NET_CLIENT_LIST"], check=False)
        return [int(w, 16) for w in re.findall(r"0x[0-9a-f]+", out)]

    def xprop(self, window, prop):
        """The text xprop shows for one property, without the "NAME(TYPE) = " part; None if unset."""
        out = self.run(["xprop", "-id", str(window), prop], check=False).strip()
        if not out or "not found" in out or "no such atom" in out:
            return None
        return out.split("=", 1)[1].strip() if "=" in out else out

    def net_wm_state(self, window):
        value = self.xprop(window, "_NET_WM_STATE")
        return set(a.strip() for a in value.split(",")) if value else set()

    def wm_state(self, window):
        """ICCCM state: "Normal", "Iconic", "Withdrawn" or None."""
        out = self.run(["xprop", "-id", str(window), "WM_STATE"], check=False)
        m = re.search(r"window state: (\w+)", out)
        return m.group(1) if m else None

    def cardinal(self, window, prop):
        value = self.xprop(window, prop)
        return int(value.split(",")[0]) if value else None

    def geometry(self, window):
        """(x, y, width, height) of a window on the root, from xwininfo."""
        out = self.run(["xwininfo", "-id", str(window)])
        get = lambda key: int(re.search(rf"{key}:\s+(-?\d+)", out).group(1))
        return (get("Absolute upper-left X"), get("Absolute upper-left Y"), get("Width"), get("Height"))

    def is_viewable(self, window):
        out = self.run(["xwininfo", "-id", str(window)], check=False)
        return "IsViewable" in out

    # ----- input and output

    def move(self, x, y):
        self.run(["xdotool", "mousemove", "--sync", str(x), str(y)])

    def click(self, x, y, button=1):
        self.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", str(button)])

    def key(self, *keys):
        self.run(["xdotool", "key", *keys])

    def screenshot(self, save_as=None):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.env, capture_output=True,
                              timeout=30, check=True).stdout
        if save_as:
            subprocess.run(["import", "-window", "root", str(save_as)], env=self.env, timeout=30, check=True)
        return Image.from_ppm(data)


class Probe:
    """The platform probe's bar mode: a one-colour window that answers commands line by line."""

    def __init__(self, session, probe_path, *args, env=None):
        self.session = session
        self.proc = session.spawn([probe_path, "bar", *args], name="probe", env=env,
                                  stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        if self.read() != "ready":
            raise HarnessError("probe did not start: " + session.read_log("probe"))

    def read(self, timeout=20):
        import selectors
        sel = selectors.DefaultSelector()
        sel.register(self.proc.stdout, selectors.EVENT_READ)
        if not sel.select(timeout):
            raise HarnessError("probe did not answer: " + self.session.read_log("probe"))
        return self.proc.stdout.readline().decode().rstrip("\n")

    def ask(self, line):
        self.proc.stdin.write((line + "\n").encode())
        self.proc.stdin.flush()
        return self.read()

    def window(self):
        return int(self.ask("id").split()[1], 16)


def main(test_globals):
    """Entry of each e2e script: --bin and --probe, then unittest; 77 when the tools are missing."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True, help="the build's program folder (build/bin)")
    parser.add_argument("--probe", help="the platformprobe executable")
    parser.add_argument("rest", nargs="*")
    args = parser.parse_args()
    needed = test_globals.get("EXTRA_TOOLS", ())
    missing = missing_tools(needed)
    if missing:
        print("skipped: missing " + ", ".join(missing))
        sys.exit(SKIP)
    test_globals["BIN_DIR"] = args.bin
    test_globals["PROBE"] = args.probe
    program = unittest.main(module=test_globals["__name__"], argv=[sys.argv[0], *args.rest], exit=False,
                            verbosity=2)
    result = program.result
    # A class that cannot set up here is skipped whole, and its tests are not counted as run.
    ran = result.testsRun - sum(1 for test, _reason in result.skipped if isinstance(test, unittest.TestCase))
    if result.wasSuccessful() and result.skipped and ran == 0:
        # Nothing could run here (each case said why above): skipped, not passed.
        print("skipped: " + "; ".join(sorted({reason.splitlines()[0] for _test, reason in result.skipped})))
        sys.exit(SKIP)
    sys.exit(0 if result.wasSuccessful() else 1)
