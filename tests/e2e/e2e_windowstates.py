"""Window states under openbox: the bar's own (no task-bar entry, kept above others) and the show
state given to the first window of a launched program (normal, iconified, maximized)."""

import os
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from harness import Probe, Session, main, wait_for  # noqa: E402

BIN_DIR = None
PROBE = None

SKIP_STATES = {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}
ABOVE = "_NET_WM_STATE_ABOVE"
MAXIMIZED = {"_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"}


def write_script(path, body):
    path.write_text("#!/bin/sh\n" + body)
    path.chmod(0o755)
    return path


def read_record(path):
    """The pid and working folder a probe window wrote, once the file is complete."""
    if not path.exists():
        return None
    pid, folder = path.read_text().splitlines()[:2]
    return int(pid), folder


def managed_window(session, pid):
    """The window manager's client window of a process, iconified or not."""
    for win in session.client_list():
        if session.cardinal(win, "_NET_WM_PID") == pid:
            return win
    return None


class BarWindow(unittest.TestCase):
    """The services the bar asks for its own window."""

    def setUp(self):
        self.session = Session(BIN_DIR).__enter__()
        self.addCleanup(self.session.close)

    def probe(self, *args):
        return Probe(self.session, PROBE, *args)

    def test_no_taskbar_entry_survives_hide_and_show(self):
        probe = self.probe()
        win = probe.window()
        self.assertEqual(probe.ask("skip"), "ok")
        wait_for(lambda: SKIP_STATES <= self.session.net_wm_state(win), what="skip-taskbar and skip-pager")

        # A hide drops the window's state; the next show must bring both back by itself.
        for _ in range(2):
            self.assertEqual(probe.ask("hide"), "ok")
            wait_for(lambda: not self.session.is_viewable(win), what="the bar hidden")
            self.assertEqual(probe.ask("show"), "ok")
            wait_for(lambda: self.session.is_viewable(win), what="the bar shown again")
            wait_for(lambda: SKIP_STATES <= self.session.net_wm_state(win),
                     what="skip-taskbar and skip-pager after show")

    def test_no_taskbar_entry_after_keep_above_changed_and_shown_again(self):
        probe = self.probe()
        self.assertEqual(probe.ask("skip"), "ok")
        wait_for(lambda: SKIP_STATES <= self.session.net_wm_state(probe.window()), what="skip-taskbar and skip-pager")
        # A reload sets keep-above and hides and shows the bar to copy the desktop under it; the
        # window system may then give the bar a new window, which must stay off the task bar too.
        self.assertEqual(probe.ask("above 1"), "ok")
        self.assertEqual(probe.ask("hide"), "ok")
        wait_for(lambda: not self.session.windows(pid=probe.proc.pid), what="the bar hidden")
        self.assertEqual(probe.ask("show"), "ok")

        def shown_states():
            shown = self.session.windows(pid=probe.proc.pid)
            return self.session.net_wm_state(shown[0]) if len(shown) == 1 else set()
        wait_for(lambda: SKIP_STATES | {ABOVE} <= shown_states(), what="skip states and above on the shown bar")

    def test_keep_above_switches_in_place(self):
        probe = self.probe()
        win = probe.window()
        wait_for(lambda: self.session.is_viewable(win), what="the bar mapped")
        self.assertNotIn(ABOVE, self.session.net_wm_state(win))

        self.assertEqual(probe.ask("above 1"), "ok")
        wait_for(lambda: ABOVE in self.session.net_wm_state(win), what="_NET_WM_STATE_ABOVE set")
        self.assertEqual(probe.window(), win, "the window was re-created instead of changed in place")
        self.assertTrue(self.session.is_viewable(win))

        self.assertEqual(probe.ask("above 0"), "ok")
        wait_for(lambda: ABOVE not in self.session.net_wm_state(win), what="_NET_WM_STATE_ABOVE cleared")
        self.assertEqual(probe.window(), win)
        self.assertTrue(self.session.is_viewable(win))

    def test_keep_above_asked_before_the_first_show(self):
        probe = self.probe("--hidden")
        self.assertEqual(probe.ask("above 1"), "ok")
        self.assertEqual(probe.ask("show"), "ok")
        win = probe.window()
        wait_for(lambda: self.session.is_viewable(win), what="the bar mapped")
        wait_for(lambda: ABOVE in self.session.net_wm_state(win), what="_NET_WM_STATE_ABOVE on the new window")


class LaunchedWindows(unittest.TestCase):
    """The show state of a launched program's first window."""

    @classmethod
    def setUpClass(cls):
        cls.session = Session(BIN_DIR).__enter__()
        cls.bar = Probe(cls.session, PROBE)
        cls.count = 0

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def launcher(self, exec_it=True):
        """A script that runs a probe window (in its own process, or as a child) and its record file."""
        LaunchedWindows.count += 1
        folder = self.session.tmp / f"launch{self.count}"
        folder.mkdir()
        record = folder / "record"
        line = f'"{PROBE}" window --title "launched {self.count}" --record "{record}"'
        script = write_script(folder / "start window", ("exec " + line + "\n") if exec_it else (line + "\n"))
        return script, record

    def launch(self, state, exec_it=True, folder="-"):
        script, record = self.launcher(exec_it)
        self.assertEqual(self.bar.ask(f"open {state} {folder} {script}"), "open true")
        pid, cwd = wait_for(lambda: read_record(record), what="the launched window's record")
        self.session.track_pid(pid)
        win = wait_for(lambda: managed_window(self.session, pid), what=f"the window of process {pid}")
        return win, pid, cwd

    def test_normal_state_is_left_alone(self):
        win, _pid, cwd = self.launch(1)
        wait_for(lambda: self.session.wm_state(win) == "Normal", what="a normal window")
        self.assertFalse(MAXIMIZED & self.session.net_wm_state(win))
        self.assertNotIn("_NET_WM_STATE_HIDDEN", self.session.net_wm_state(win))
        self.assertEqual(cwd, "/")

    def test_minimized_state_iconifies(self):
        win, _pid, _cwd = self.launch(2)
        wait_for(lambda: self.session.wm_state(win) == "Iconic", what="the window iconified")
        self.assertFalse(MAXIMIZED & self.session.net_wm_state(win))

    def test_maximized_state_maximizes(self):
        win, _pid, _cwd = self.launch(3)
        wait_for(lambda: MAXIMIZED <= self.session.net_wm_state(win), what="the window maximized")
        self.assertEqual(self.session.wm_state(win), "Normal")
        _x, _y, width, height = self.session.geometry(win)
        self.assertGreater(width, 900)
        self.assertGreater(height, 600)

    def test_window_of_a_wrapper_child_gets_the_state(self):
        # The script starts the window as its child instead of handing over its own process.
        win, pid, _cwd = self.launch(2, exec_it=False)
        wait_for(lambda: self.session.wm_state(win) == "Iconic", what="the child's window iconified")
        self.assertEqual(self.session.cardinal(win, "_NET_WM_PID"), pid)

    def test_working_folder_is_the_one_asked(self):
        folder = self.session.tmp / "work"
        folder.mkdir(exist_ok=True)
        _win, _pid, cwd = self.launch(1, folder=str(folder))
        self.assertEqual(os.path.realpath(cwd), os.path.realpath(folder))

    def test_windows_already_there_are_never_touched(self):
        other = self.session.spawn([PROBE, "window", "--title", "already there"], name="other")
        self.session.track_pid(other.pid)
        other_win = wait_for(lambda: managed_window(self.session, other.pid), what="the other window")
        wait_for(lambda: self.session.wm_state(other_win) == "Normal", what="the other window mapped")

        win, _pid, _cwd = self.launch(3)
        wait_for(lambda: MAXIMIZED <= self.session.net_wm_state(win), what="the launched window maximized")
        self.assertEqual(self.session.wm_state(other_win), "Normal")
        self.assertFalse(MAXIMIZED & self.session.net_wm_state(other_win))

    def test_program_without_a_window_is_given_up_quietly(self):
        folder = self.session.tmp / "nowindow"
        folder.mkdir(exist_ok=True)
        done = folder / "ran"
        script = write_script(folder / "no window", f'touch "{done}"\n')
        self.assertEqual(self.bar.ask(f"open 3 - {script}"), "open true")
        wait_for(done.exists, what="the windowless program to run")
        # The bar goes on answering, and the next launch still gets its state.
        self.assertTrue(self.bar.ask("id").startswith("id 0x"))
        win, _pid, _cwd = self.launch(2)
        wait_for(lambda: self.session.wm_state(win) == "Iconic", what="the next launch iconified")


if __name__ == "__main__":
    main(globals())
