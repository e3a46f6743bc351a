"""Drag and drop onto the bar, from a real drag source (a Gtk window offering text/uri-list) moved with
xdotool: an application's entry, a folder and an address dropped between two buttons, several items at
once, drops refused while the preferences are open or of something that is no launcher, an untrusted
entry, a program folder that cannot be written, and a button moved along the bar by dragging it. Each
time the file, the bar's width and a click on the button that moved or came are checked."""

import os
import select
import shutil
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import harness  # noqa: E402
from harness import SKIN, Session, main, wait_for  # noqa: E402

EXTRA_TOOLS = ("wmctrl",)

BIN_DIR = None
PROBE = None

BAR_X, BAR_Y = 100, 50

RECORDER = """#!/bin/sh
# Writes its arguments, NUL-separated, for the test to read.
out="$DOVI_RECORD_DIR/{kind}.$$"
{{ for a in "$@"; do printf '%s\\0' "$a"; done; }} > "$out.part"
mv "$out.part" "$out"
"""

# A drag source: a window that offers the URIs of its arguments as text/uri-list, copy or link, and
# says "ready" when shown, then "failed" when a drop was refused or "end" when it was taken.
SOURCE = r"""
import sys
import gi
gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, Gtk

title, uris = sys.argv[1], sys.argv[2:]
window = Gtk.Window(title=title)
window.set_default_size(120, 120)
window.move(600, 400)
area = Gtk.EventBox()
area.add(Gtk.Label(label="drag"))
window.add(area)
area.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [Gtk.TargetEntry.new("text/uri-list", 0, 0)],
                     Gdk.DragAction.COPY | Gdk.DragAction.LINK)
area.connect("drag-data-get", lambda _w, _c, data, _i, _t: data.set_uris(uris))
# Handled: no animation back to the source before the drag ends.
area.connect("drag-failed", lambda *_a: print("failed", flush=True) or True)
area.connect("drag-end", lambda *_a: print("end", flush=True))
window.connect("destroy", Gtk.main_quit)
window.connect("map-event", lambda *_a: print("ready", flush=True) or False)
window.show_all()
Gtk.main()
"""


def gtk_python():
    """A Python that has Gtk 3 through gi: this one, or the system's."""
    probe = "import gi; gi.require_version('Gtk', '3.0'); from gi.repository import Gtk"
    for python in dict.fromkeys((sys.executable, "/usr/bin/python3")):
        if python and os.path.exists(python) and subprocess.run(
                [python, "-c", probe], capture_output=True, env={**os.environ, "DISPLAY": ""}).returncode == 0:
            return python
    return None


GTK_PYTHON = gtk_python()


class DragSource:
    def __init__(self, session, uris):
        self.session = session
        script = session.tmp / "dragsource.py"
        script.write_text(SOURCE)
        self.title = f"dovi-drag-source-{len(session._processes)}"
        self.proc = session.spawn([GTK_PYTHON, script, self.title, *uris], name="dragsource",
                                  env={"NO_AT_BRIDGE": "1", "GDK_BACKEND": "x11"}, stdout=subprocess.PIPE)
        if self.read() != "ready":
            raise harness.HarnessError("the drag source did not start: " + session.read_log("dragsource"))
        self.window = session.wait_window(name=f"^{self.title}$")
        x, y, w, h = session.geometry(self.window)
        self.centre = (x + w // 2, y + h // 2)

    def read(self, timeout=20):
        ready, _, _ = select.select([self.proc.stdout], [], [], timeout)
        if not ready:
            raise harness.HarnessError("the drag source said nothing: " + self.session.read_log("dragsource"))
        return self.proc.stdout.readline().decode().strip()

    def drop_at(self, x, y):
        """Drags from the source onto x, y and drops; True when the drop was taken."""
        drag(self.session, self.centre, (x, y))
        said = self.read()
        while said not in ("end", "failed"):
            said = self.read()
        self.proc.terminate()
        self.proc.wait(timeout=10)
        return said == "end"


def drag(session, start, end, steps=16):
    """Presses the left button at start, moves in steps onto end and lets go there."""
    session.move(*start)
    time.sleep(0.2)
    session.run(["xdotool", "mousedown", "1"])
    for step in range(1, steps + 1):
        x = start[0] + (end[0] - start[0]) * step // steps
        y = start[1] + (end[1] - start[1]) * step // steps
        session.run(["xdotool", "mousemove", str(x), str(y)])
        time.sleep(0.05)
    # The last position reaches the bar and its answer the source before the button is let go.
    time.sleep(0.4)
    session.run(["xdotool", "mouseup", "1"])


@unittest.skipUnless(GTK_PYTHON, "no Python with Gtk 3 (python3-gi, gir1.2-gtk-3.0)")
class Drop(unittest.TestCase):

    def setUp(self):
        self.s = s = Session(BIN_DIR).__enter__()
        self.addCleanup(s.__exit__, None, None, None)
        self.records = s.tmp / "records"
        self.records.mkdir()
        fake_bin = s.tmp / "fakebin"
        fake_bin.mkdir()
        self.recorder(fake_bin / "xdg-open", "opener")
        self.env = {"PATH": f"{fake_bin}:{os.environ.get('PATH', '/usr/bin:/bin')}",
                    "DOVI_RECORD_DIR": str(self.records)}
        self.targets = s.tmp / "targets"
        self.targets.mkdir()

    # ----- helpers

    def recorder(self, path, kind):
        path.write_text(RECORDER.format(kind=kind))
        path.chmod(0o755)
        return path

    def entry(self, folder, name, display_name, kind, executable=False):
        """An application's entry whose program records it ran as kind."""
        program = self.recorder(self.targets / f"{kind}.sh", kind)
        folder.mkdir(parents=True, exist_ok=True)
        path = folder / name
        path.write_text(f"[Desktop Entry]\nType=Application\nName={display_name}\nName[fr]=Nom français\n"
                        f"Name[en]={display_name}\nExec={program}\n")
        path.chmod(0o755 if executable else 0o644)
        return path

    def start_bar(self, buttons):
        harness.prepare(self.s, buttons=buttons, position=(BAR_X, BAR_Y))
        self.config = self.s.program_dir / "DoviConfig.txt"
        self.bar = self.s.start_program(env=self.env)
        self.win = self.s.wait_window(pid=self.bar.pid, timeout=15)
        self.wait_width(len(buttons))

    def width(self):
        return self.s.geometry(self.win)[2]

    def wait_width(self, buttons):
        def placed():
            try:
                return self.s.geometry(self.win) == (BAR_X, BAR_Y, SKIN * buttons, SKIN)
            except harness.HarnessError:
                # The window found at the start may have been a tooltip of the bar, the pointer
                # resting where the last test left it: the bar is looked for again.
                self.win = self.s.wait_window(pid=self.bar.pid, timeout=5)
                return False
        wait_for(placed, timeout=10, what=f"the bar {buttons} buttons wide")

    def buttons(self):
        return self.config.read_bytes().decode().split("\r\n")[13:-1]

    def wait_buttons(self, count):
        wait_for(lambda: len(self.buttons()) == count, timeout=10, what=f"{count} buttons in the file")
        self.wait_width(count)

    def point(self, button, where=0.75):
        """A point on button (1-based): a quarter before its right edge, in its second half."""
        return BAR_X + int(SKIN * (button - 1 + where)), BAR_Y + SKIN // 2

    def drop(self, uris, at):
        return DragSource(self.s, [str(u) for u in uris]).drop_at(*at)

    def started(self, kind):
        """The arguments of the one start of kind since the last call."""
        def done():
            return [f for f in self.records.iterdir() if f.name.startswith(kind + ".")
                    and not f.name.endswith(".part")] or None
        found = wait_for(done, timeout=10, what=f"the {kind} to run")
        self.assertEqual(len(found), 1, f"started more than once: {found}")
        args = [a.decode() for a in found[0].read_bytes().split(b"\0")[:-1]]
        found[0].unlink()
        return args

    def click(self, button):
        self.s.click(*self.point(button, 0.5))

    def message_shown(self, words):
        wait_for(lambda: words in self.s.read_log("Dovi"), timeout=15, what=f"the message {words!r}")
        box = wait_for(lambda: [w for w in self.s.windows(pid=self.bar.pid) if w != self.win], timeout=10,
                       what="the message box")[0]
        self.s.run(["wmctrl", "-i", "-c", hex(box)])
        wait_for(lambda: box not in self.s.windows(pid=self.bar.pid), timeout=10, what="the message to close")

    # ----- tests

    def test_entry_between_buttons(self):
        self.start_bar(["/bin/true;;A;2", "/bin/true;;B;3"])
        entry = self.entry(self.s.data_home / "applications", "dovi-editor.desktop", "Editor", "entry")
        self.assertTrue(self.drop([entry.as_uri()], self.point(1)))
        self.wait_buttons(3)
        self.assertEqual(self.buttons(), ["/bin/true;;A;2", f"{entry};;Editor;1", "/bin/true;;B;3"])
        self.click(2)
        self.assertEqual(self.started("entry"), [])

    def test_folder_and_address_between_buttons(self):
        self.start_bar(["/bin/true;;A;1", "/bin/true;;B;1"])
        folder = self.targets / "My Photos"
        folder.mkdir()
        self.assertTrue(self.drop([folder.as_uri()], self.point(2, 0.25)))
        self.wait_buttons(3)
        self.assertEqual(self.buttons()[1], f"{folder};;My Photos;1")
        self.click(2)
        self.assertEqual(self.started("opener"), [str(folder)])

        self.assertTrue(self.drop(["https://www.example.org/news?a=1"], self.point(3, 0.1)))
        self.wait_buttons(4)
        self.assertEqual(self.buttons()[2], "https://www.example.org/news?a=1;;www.example.org;1")
        self.click(3)
        self.assertEqual(self.started("opener"), ["https://www.example.org/news?a=1"])

    def test_several_at_once_in_their_order(self):
        self.start_bar(["/bin/true;;A;1"])
        document = self.targets / "notes.txt"
        document.write_text("notes\n")
        folder = self.targets / "Music"
        folder.mkdir()
        self.assertTrue(self.drop([document.as_uri(), "mailto:someone@example.org", folder.as_uri()],
                                  self.point(1, 0.25)))
        self.wait_buttons(4)
        self.assertEqual(self.buttons(), [f"{document};;notes.txt;1",
                                          "mailto:someone@example.org;;mailto:someone@example.org;1",
                                          f"{folder};;Music;1", "/bin/true;;A;1"])
        self.click(3)
        self.assertEqual(self.started("opener"), [str(folder)])

    def test_refused_while_preferences_are_open_and_for_no_launcher(self):
        self.start_bar(["/bin/true;;A;1", "/bin/true;;B;1"])
        before = self.config.read_bytes()
        folder = self.targets / "Refused"
        folder.mkdir()
        # Something that is no file, folder, address or entry.
        self.assertFalse(self.drop([(self.targets / "missing.txt").as_uri()], self.point(1)))

        s = self.s
        s.click(*self.point(1, 0.5), button=3)
        wait_for(lambda: len(s.windows(pid=self.bar.pid)) == 2, timeout=10, what="the menu")
        for key in ("Down", "Right", "Return"):
            s.key(key)
            time.sleep(0.1)
        prefs = wait_for(lambda: [w for w in s.windows(pid=self.bar.pid) if w != self.win],
                         timeout=15, what="the preferences")[0]
        self.assertIn("preferences", s.xprop(prefs, "_NET_WM_NAME"))
        self.assertFalse(self.drop([folder.as_uri()], self.point(1)))
        # Closed by its frame, as Cancel.
        s.run(["wmctrl", "-i", "-c", hex(prefs)])
        wait_for(lambda: prefs not in s.windows(pid=self.bar.pid), timeout=10, what="the preferences to close")

        self.assertEqual(self.config.read_bytes(), before)
        self.assertEqual(self.width(), 2 * SKIN)
        self.assertEqual(list(self.records.iterdir()), [])

    def test_untrusted_entry_is_told_and_not_added(self):
        self.start_bar(["/bin/true;;A;1"])
        before = self.config.read_bytes()
        entry = self.entry(self.targets, "downloaded.desktop", "Downloaded", "untrusted")
        self.drop([entry.as_uri()], self.point(1))
        self.message_shown("Dovi does not trust these launchers")
        self.assertEqual(self.config.read_bytes(), before)
        self.assertEqual(self.width(), SKIN)
        self.assertEqual([f.name for f in self.records.iterdir()], [], "nothing of the entry ran")

        # Marked executable, the same entry is the user's own and is taken.
        entry.chmod(0o755)
        self.assertTrue(self.drop([entry.as_uri()], self.point(1)))
        self.wait_buttons(2)
        self.click(2)
        self.assertEqual(self.started("untrusted"), [])

    def test_read_only_program_folder_says_why_and_changes_nothing(self):
        if os.geteuid() != 0 or shutil.which("mount") is None:
            self.skipTest("a read-only folder for root needs a read-only mount")
        self.start_bar(["/bin/true;;A;1", "/bin/true;;B;1"])
        before = self.config.read_bytes()
        program = self.s.program_dir
        ok = subprocess.run(["mount", "--bind", str(program), str(program)], capture_output=True).returncode == 0
        if not ok:
            self.skipTest("cannot bind-mount here")
        self.addCleanup(subprocess.run, ["umount", "-l", str(program)], capture_output=True)
        if subprocess.run(["mount", "-o", "remount,ro,bind", str(program)], capture_output=True).returncode:
            self.skipTest("cannot remount read-only here")
        folder = self.targets / "Kept"
        folder.mkdir()
        self.assertTrue(self.drop([folder.as_uri()], self.point(1)))
        self.message_shown("The configuration could not be saved, the bar stays as it was")
        self.assertEqual(self.config.read_bytes(), before)
        self.assertEqual(self.width(), 2 * SKIN)
        self.assertFalse((program / "tmpconfig.txt").exists())

    def test_button_moved_by_dragging(self):
        first = self.recorder(self.targets / "first.sh", "first")
        self.start_bar([f"{first};;First;1", "/bin/true;;B;1", "/bin/true;;C;3"])
        # Dragged within itself, it stays where it is.
        drag(self.s, self.point(1, 0.2), self.point(1, 0.8))
        drag(self.s, self.point(1, 0.5), self.point(3))
        wait_for(lambda: self.buttons()[-1] == f"{first};;First;1", timeout=10, what="the button moved")
        self.assertEqual(self.buttons(), ["/bin/true;;B;1", "/bin/true;;C;3", f"{first};;First;1"])
        self.wait_width(3)
        # The presses that began the drags started nothing.
        self.assertEqual(list(self.records.iterdir()), [])
        self.click(3)
        self.assertEqual(self.started("first"), [])

        # Let go outside the bar, a button stays where it is.
        drag(self.s, self.point(3, 0.5), (600, 600))
        self.click(3)
        self.assertEqual(self.started("first"), [])
        self.assertEqual(self.buttons(), ["/bin/true;;B;1", "/bin/true;;C;3", f"{first};;First;1"])
        self.assertEqual(self.width(), 3 * SKIN)


if __name__ == "__main__":
    main(globals())
