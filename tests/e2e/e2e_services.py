"""The other platform services under a real X server: the picture of the desktop under a window, the
start-with-the-session entry and the system information tool."""

import re
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from harness import Probe, Session, main, wait_for  # noqa: E402

BIN_DIR = None
PROBE = None

BAR = (100, 100, 200, 60)  # the probe's bar
BAR_HEX = "#ff0000"


def capture(probe, x, y, w, h, mode=""):
    """(width, height, number of colours, colour of the first pixel) or None for no picture.

    mode "two-step" asks for the picture and then reads it; "then-show" shows the bar in between."""
    answer = probe.ask(f"capture {x} {y} {w} {h} {mode}".strip())
    if answer == "capture none":
        return None
    m = re.fullmatch(r"capture (\d+)x(\d+) (\d+) (#[0-9a-f]{6})", answer)
    if not m:
        raise AssertionError(f"unexpected answer {answer!r}")
    return int(m.group(1)), int(m.group(2)), int(m.group(3)), m.group(4)


def exec_arguments(value):
    """The argument list of a desktop entry's Exec value (string escapes already undone)."""
    args, current, quoted, i, started = [], "", False, 0, False
    while i < len(value):
        c = value[i]
        if quoted:
            if c == "\\" and i + 1 < len(value) and value[i + 1] in '"`$\\':
                current += value[i + 1]
                i += 1
            elif c == '"':
                quoted = False
            else:
                current += c
        elif c == '"':
            quoted, started = True, True
        elif c == " ":
            if started:
                args.append(current)
            current, started = "", False
        else:
            # Characters the Desktop Entry rules reserve must be quoted outside quotes.
            if c in "\t\n'\\><~|&;$*?#()`":
                raise AssertionError(f"reserved character {c!r} outside quotes in {value!r}")
            current += c
            started = True
        i += 1
    if quoted:
        raise AssertionError(f"unterminated quote in {value!r}")
    if started:
        args.append(current)
    return args


def unescape_string(value):
    out, i = "", 0
    escapes = {"s": " ", "n": "\n", "t": "\t", "r": "\r", "\\": "\\"}
    while i < len(value):
        if value[i] == "\\" and i + 1 < len(value) and value[i + 1] in escapes:
            out += escapes[value[i + 1]]
            i += 2
        else:
            out += value[i]
            i += 1
    return out


def entry_values(text):
    values = {}
    for line in text.splitlines():
        if "=" in line and not line.startswith("#"):
            key, value = line.split("=", 1)
            values[key] = value
    return values


class DesktopCapture(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.session = Session(BIN_DIR).__enter__()
        cls.probe = Probe(cls.session, PROBE)
        win = cls.probe.window()
        wait_for(lambda: cls.session.is_viewable(win), what="the bar mapped")

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def tearDown(self):
        self.probe.ask("show")
        self.session.set_root_colour("#336699")

    def test_desktop_in_its_own_colour(self):
        for colour in ("#336699", "#00ff00", "#123456", "#ffffff"):
            with self.subTest(colour=colour):
                self.session.set_root_colour(colour)
                wait_for(lambda: capture(self.probe, 500, 400, 64, 48) == (64, 48, 1, colour),
                         what=f"a capture of the desktop in {colour}")

    def test_under_the_hidden_bar_is_the_desktop(self):
        self.session.set_root_colour("#204080")
        wait_for(lambda: capture(self.probe, *BAR) == (200, 60, 1, BAR_HEX), what="the bar on screen")
        self.assertEqual(self.probe.ask("hide"), "ok")
        wait_for(lambda: capture(self.probe, *BAR) == (200, 60, 1, "#204080"), what="the desktop under the bar")
        # Shown again, the bar is back in the picture.
        self.assertEqual(self.probe.ask("show"), "ok")
        wait_for(lambda: capture(self.probe, *BAR) == (200, 60, 1, BAR_HEX), what="the bar on screen again")

    def test_rectangle_across_bar_and_desktop(self):
        self.session.set_root_colour("#336699")
        wait_for(lambda: capture(self.probe, 80, 80, 40, 40) == (40, 40, 2, "#336699"),
                 what="desktop and bar in one picture")
        self.assertEqual(capture(self.probe, 150, 120, 1, 1), (1, 1, 1, BAR_HEX))

    def test_rectangle_beyond_the_screen_edge(self):
        # The screen is 1024 x 768: the part past its edges is black, the rest is the desktop.
        self.probe.ask("hide")
        self.session.set_root_colour("#445566")
        for mode in ("", "two-step"):
            with self.subTest(mode=mode):
                wait_for(lambda: capture(self.probe, 1000, 700, 100, 100, mode) == (100, 100, 2, "#445566"),
                         what="a capture across the screen's corner")
                self.assertEqual(capture(self.probe, -30, 400, 40, 10, mode), (40, 10, 2, "#000000"))
                self.assertEqual(capture(self.probe, 2000, 10, 20, 20, mode), (20, 20, 1, "#000000"))

    def test_empty_rectangle_gives_no_picture(self):
        for mode in ("", "two-step"):
            with self.subTest(mode=mode):
                self.assertIsNone(capture(self.probe, 10, 10, 0, 0, mode))
                self.assertIsNone(capture(self.probe, 10, 10, 5, 0, mode))
                self.assertIsNone(capture(self.probe, 10, 10, -5, 5, mode))

    def test_picture_asked_for_before_the_bar_shows_holds_the_desktop(self):
        self.session.set_root_colour("#204080")
        self.probe.ask("hide")
        wait_for(lambda: capture(self.probe, *BAR) == (200, 60, 1, "#204080"), what="the desktop under the bar")
        # Read once the bar is on the screen and drawn, the picture is still the desktop's, also
        # where it reaches past the screen's edge and in the bar's first and last pixels.
        self.assertEqual(capture(self.probe, *BAR, mode="then-show"), (200, 60, 1, "#204080"))
        self.assertEqual(capture(self.probe, *BAR), (200, 60, 1, BAR_HEX))
        self.probe.ask("hide")
        wait_for(lambda: capture(self.probe, *BAR) == (200, 60, 1, "#204080"), what="the desktop under the bar")
        self.assertEqual(capture(self.probe, 90, 150, 1000, 20, mode="then-show"), (1000, 20, 2, "#204080"))
        self.probe.ask("hide")
        wait_for(lambda: capture(self.probe, *BAR) == (200, 60, 1, "#204080"), what="the desktop under the bar")
        self.assertEqual(capture(self.probe, 299, 159, 1, 1, mode="then-show"), (1, 1, 1, "#204080"))

    def test_whole_screen(self):
        self.probe.ask("hide")
        self.session.set_root_colour("#445566")
        wait_for(lambda: capture(self.probe, 0, 0, 1024, 768) == (1024, 768, 1, "#445566"),
                 what="the whole desktop")


class AutostartEntry(unittest.TestCase):

    def setUp(self):
        self.session = Session(BIN_DIR).__enter__()
        self.addCleanup(self.session.close)
        self.probe = Probe(self.session, PROBE, "--hidden")
        self.entry = self.session.config_home / "autostart" / "Dovi.desktop"

    def test_entry_starts_exactly_the_program(self):
        for program in ("/opt/Dovi/Dovi",
                        str(self.session.tmp / 'my programs/it\'s "here" $(x) `y` a\\b;c/Dovi')):
            with self.subTest(program=program):
                self.assertEqual(self.probe.ask(f"autostart set {program}"), "autostart true")
                values = entry_values(self.entry.read_text())
                self.assertEqual(values["Type"], "Application")
                self.assertEqual(values["Name"], "Dovi")
                self.assertEqual(exec_arguments(unescape_string(values["Exec"])), [program])

    def test_entry_is_replaced_then_removed(self):
        self.assertEqual(self.probe.ask("autostart set /first/Dovi"), "autostart true")
        self.assertEqual(self.probe.ask("autostart set /second/Dovi"), "autostart true")
        self.assertEqual(exec_arguments(unescape_string(entry_values(self.entry.read_text())["Exec"])),
                         ["/second/Dovi"])
        self.assertEqual([p.name for p in self.entry.parent.iterdir()], ["Dovi.desktop"])
        self.assertEqual(self.probe.ask("autostart remove"), "autostart true")
        self.assertFalse(self.entry.exists())
        # Removing an entry that is not there is no failure.
        self.assertEqual(self.probe.ask("autostart remove"), "autostart true")

    def test_empty_program_writes_nothing(self):
        self.assertEqual(self.probe.ask("autostart set "), "autostart false")
        self.assertFalse(self.entry.exists())


class SystemInformation(unittest.TestCase):

    def setUp(self):
        self.session = Session(BIN_DIR).__enter__()
        self.addCleanup(self.session.close)
        self.tools = self.session.tmp / "tools"
        self.tools.mkdir()
        self.ran = self.session.tmp / "ran"

    def tool(self, name, executable=True):
        path = self.tools / name
        path.write_text(f'#!/bin/sh\npwd > "{self.ran}.part" && mv "{self.ran}.part" "{self.ran}"\n')
        path.chmod(0o755 if executable else 0o644)
        return path

    def probe_with_path(self, path):
        return Probe(self.session, PROBE, "--hidden", env={"PATH": path})

    def test_first_known_tool_on_path_is_started(self):
        self.tool("hardinfo2", executable=False)  # not a program: passed over
        preferred = self.tool("hardinfo")
        self.tool("cpu-x")
        self.tool("unrelated-tool")
        probe = self.probe_with_path(f"relative/dir::{self.tools}:/usr/bin:/bin")
        self.assertEqual(probe.ask("sysinfo"), f"sysinfo {preferred}")
        self.assertEqual(probe.ask("sysinfo start"), "sysinfo true")
        wait_for(self.ran.exists, what="the system information tool to run")
        self.assertEqual(self.ran.read_text().strip(), str(self.session.home))

    def test_no_tool_is_reported(self):
        self.tool("not-a-known-tool")
        bare = self.session.tmp / "emptybin"
        bare.mkdir()
        probe = self.probe_with_path(f"{bare}:{self.tools}")
        self.assertEqual(probe.ask("sysinfo"), "sysinfo -")
        self.assertEqual(probe.ask("sysinfo start"), "sysinfo false")
        self.assertFalse(self.ran.exists())


if __name__ == "__main__":
    main(globals())
