"""The bar under faults: many starts at once, a killed bar, a program folder or settings that cannot be
written or read. Each case checks what the user sees (windows, messages) and what is left on disk."""

import os
import shutil
import signal
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from harness import Session, main, wait_for  # noqa: E402

BIN_DIR = None

SKINS = {"XP": ("XP_Up.bmp", "XP_Down.bmp", "XP_Mask.bmp"),
         "XP_Blue": ("XP_Blue_Up.bmp", "XP_Blue_Down.bmp", "XP_Blue_Mask.bmp")}
MASK_COLOUR = 255 + 0 * 256 + 230 * 65536  # the delivered skins' see-through colour


def config_text(program_dir, targets, position="100 50", icons=False):
    """A configuration of buttons in a row; with icons, each shows its target's icon."""
    skins = program_dir / "Boutons" / "XP"
    icons = "TRUE" if icons else "FALSE"
    lines = [position, "FALSE", "FALSE", "TRUE", "TRUE", icons, icons, "HORIZONTAL", "3",
             str(MASK_COLOUR), str(skins / "XP_Up.bmp"), str(skins / "XP_Down.bmp"), str(skins / "XP_Mask.bmp")]
    lines += [f"{t};;Button {i};1" for i, t in enumerate(targets, 1)]
    return "".join(line + "\r\n" for line in lines).encode()


def set_up(session, buttons=3, lang=1):
    """A program folder and settings as a completed first launch leaves them."""
    program = session.program_dir
    for folder, names in SKINS.items():
        (program / "Boutons" / folder).mkdir(parents=True, exist_ok=True)
        for name in names:
            if (program / name).exists():
                shutil.move(str(program / name), str(program / "Boutons" / folder / name))
    (program / "Dovi_Run.txt").write_bytes(b"run=1\r\n")
    (program / "DoviConfig.txt").write_bytes(config_text(program, ["/bin/true"] * buttons))
    settings = session.config_home / "Dovi"
    settings.mkdir(parents=True, exist_ok=True)
    (settings / "Dovi.ini").write_text(f"[GeneralSetLng]\nFirstLaunch=1\nLang={lang}\n")


def snapshot(folder):
    """Every file under a folder with its contents."""
    return {str(p.relative_to(folder)): p.read_bytes() for p in sorted(Path(folder).rglob("*")) if p.is_file()}


def bar_windows(session, pid):
    return session.windows(pid=pid)


def close_bar(session, bar, window):
    """Closes the bar as the window manager's close would, and waits for the program to end."""
    session.run(["wmctrl", "-i", "-c", hex(window)], check=False)
    bar.wait(timeout=15)


def messages(session):
    """The lines the program's message boxes echoed to its log."""
    return [line for line in session.read_log("Dovi").splitlines() if line.startswith("Dovi V")]


def mount_available():
    return os.geteuid() == 0 and shutil.which("mount") is not None


class Mounts:
    """Read-only bind mounts and small tmpfs folders, undone at the end (root only)."""

    def __init__(self):
        self.points = []

    def run(self, *argv):
        return subprocess.run(["mount", *argv], capture_output=True, text=True).returncode == 0

    def read_only(self, folder):
        if not (self.run("--bind", str(folder), str(folder))):
            return False
        self.points.append(folder)
        return self.run("-o", "remount,ro,bind", str(folder))

    def tmpfs(self, folder, size):
        folder.mkdir(parents=True, exist_ok=True)
        if not self.run("-t", "tmpfs", "-o", f"size={size}", "tmpfs", str(folder)):
            return False
        self.points.append(folder)
        return True

    def undo(self):
        for point in reversed(self.points):
            subprocess.run(["umount", "-l", str(point)], capture_output=True)
        self.points.clear()


def fill(folder):
    """Fills the file system of a folder to the last byte."""
    fd = os.open(folder / "filler", os.O_WRONLY | os.O_CREAT, 0o644)
    try:
        for chunk in (1 << 20, 4096, 1):
            try:
                while True:
                    os.write(fd, b"\0" * chunk)
            except OSError:
                pass
    finally:
        os.close(fd)


class Robustness(unittest.TestCase):
    def session(self):
        s = Session(BIN_DIR)
        s.__enter__()
        self.addCleanup(s.__exit__, None, None, None)
        return s

    def mounts(self):
        if not mount_available():
            self.skipTest("mounting needs root")
        m = Mounts()
        self.addCleanup(m.undo)
        return m

    def message_shown(self, s, pid, words):
        """The program shows a message box whose text (echoed in its log) holds the words."""
        wait_for(lambda: s.windows(pid=pid, name="^Dovi V"), what="a message box", timeout=15)
        wait_for(lambda: words in s.read_log("Dovi"), what=f"the message {words!r}", timeout=5)

    def test_ten_starts_at_once_leave_one_bar(self):
        s = self.session()
        set_up(s)
        starts = [s.start_program() for _ in range(10)]
        wait_for(lambda: sum(p.poll() is None for p in starts) <= 1, timeout=30, what="the extra starts to end")
        running = [p for p in starts if p.poll() is None]
        self.assertEqual(len(running), 1, "exactly one bar runs")
        self.assertTrue(all(p.returncode == 0 for p in starts if p is not running[0]),
                        "the extra starts end quietly")
        s.wait_window(pid=running[0].pid, timeout=30)
        time.sleep(0.5)
        self.assertIsNone(running[0].poll())
        self.assertEqual(len(bar_windows(s, running[0].pid)), 1)
        self.assertEqual(messages(s), [], "no message to the user")

    def test_a_killed_bar_does_not_block_the_next_start(self):
        s = self.session()
        set_up(s)
        first = s.start_program()
        s.wait_window(pid=first.pid, timeout=30)
        os.kill(first.pid, signal.SIGKILL)
        first.wait(timeout=10)
        second = s.start_program()
        window = s.wait_window(pid=second.pid, timeout=30)
        self.assertIsNone(second.poll())
        x, y, width, height = s.geometry(window)
        self.assertEqual((x, y), (100, 50))
        self.assertEqual(b"run=1\r\n", (s.program_dir / "Dovi_Run.txt").read_bytes())

    def test_a_settings_file_that_is_not_ini(self):
        s = self.session()
        set_up(s)
        ini = s.config_home / "Dovi" / "Dovi.ini"
        foreign = b"\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x01\0"
        ini.write_bytes(foreign)
        before = snapshot(s.program_dir)
        bar = s.start_program()
        self.message_shown(s, bar.pid, "cannot be read")
        s.key("Return")
        # The bar comes up with its defaults, in French, at its place.
        window = wait_for(lambda: [w for w in s.windows(pid=bar.pid) if s.geometry(w)[:2] == (100, 50)],
                          what="the bar", timeout=15)[0]
        self.assertIsNone(bar.poll())
        close_bar(s, bar, window)
        self.assertEqual(ini.read_bytes(), foreign, "the foreign file is left as it was")
        self.assertEqual(snapshot(s.program_dir), before, "the program folder is left as it was")

    def test_a_settings_folder_that_cannot_be_written(self):
        s = self.session()
        set_up(s)
        shutil.rmtree(s.config_home / "Dovi")
        (s.config_home / "Dovi").write_text("a file where the settings folder should be")
        bar = s.start_program()
        # First launch: the language chooser comes, after the message about the settings.
        self.message_shown(s, bar.pid, "cannot be saved")
        s.key("Return")
        self.assertIsNone(bar.poll(), "no crash")
        self.assertEqual((s.config_home / "Dovi").read_text(), "a file where the settings folder should be")

    def test_a_read_only_program_folder_at_the_first_start(self):
        m = self.mounts()
        s = self.session()
        before = snapshot(s.program_dir)
        if not m.read_only(s.program_dir):
            self.skipTest("read-only bind mounts are not allowed here")
        # A program folder that cannot be written leaves the bar's files to the user's folder: neither
        # can be written here.
        (s.data_home / "Dovi").write_text("a file where the user's folder should be")
        bar = s.start_program()
        self.message_shown(s, bar.pid, str(s.data_home / "Dovi"))
        s.key("Return")
        bar.wait(timeout=15)
        self.assertEqual(bar.returncode, 0)
        m.undo()
        self.assertEqual(snapshot(s.program_dir), before, "nothing was moved or written")
        self.assertFalse((s.config_home / "Dovi" / "Dovi.ini").exists(), "no half set-up left behind")

    def test_a_read_only_program_folder_later(self):
        m = self.mounts()
        s = self.session()
        set_up(s)
        before = snapshot(s.program_dir)
        if not m.read_only(s.program_dir):
            self.skipTest("read-only bind mounts are not allowed here")
        bar = s.start_program()
        window = s.wait_window(pid=bar.pid, timeout=30)
        self.assertEqual(s.geometry(window)[:2], (100, 50), "a set-up bar runs from a read-only folder")
        close_bar(s, bar, window)
        m.undo()
        self.assertEqual(snapshot(s.program_dir), before)

    def test_a_full_disk_at_the_first_start(self):
        m = self.mounts()
        s = self.session()
        full = s.tmp / "full"
        if not m.tmpfs(full, "64m"):
            self.skipTest("tmpfs mounts are not allowed here")
        program = full / "program"
        shutil.copytree(s.program_dir, program, symlinks=True)
        fill(full)
        before = snapshot(program)
        s.program_dir = program
        bar = s.start_program()
        self.message_shown(s, bar.pid, str(program))
        s.key("Return")
        bar.wait(timeout=15)
        self.assertEqual(snapshot(program), before, "no half-written marker or moved skin")

    def test_a_full_disk_for_the_settings(self):
        m = self.mounts()
        s = self.session()
        set_up(s)
        if not m.tmpfs(s.config_home, "4m"):
            self.skipTest("tmpfs mounts are not allowed here")
        (s.config_home / "Dovi").mkdir()
        ini = s.config_home / "Dovi" / "Dovi.ini"
        ini.write_text("[GeneralSetLng]\nFirstLaunch=1\nLang=1\n[Transparency]\nVal_Trans=200\n")
        fill(s.config_home)
        bar = s.start_program()
        window = s.wait_window(pid=bar.pid, timeout=30)
        self.assertEqual(s.geometry(window)[:2], (100, 50))
        close_bar(s, bar, window)
        self.assertIn("Val_Trans=200", ini.read_text(), "the stored settings survive a failed save")
        self.assertIn("FirstLaunch=1", ini.read_text())

    def test_an_end_request_during_the_first_launch(self):
        # A logout or a shutdown while the set-up's dialogs are open: they close as their Cancel does
        # and the bar ends at once, with nothing a restart would take for a completed set-up.
        for stage in ("language chooser", "first-run message", "preferences"):
            with self.subTest(stage=stage), Session(BIN_DIR) as s:
                bar = s.start_program()
                language = s.wait_window(pid=bar.pid, name="^Language", timeout=30)
                if stage != "language chooser":
                    s.key("Return")
                    wait_for(lambda: language not in s.windows(pid=bar.pid), what="the chooser to close")
                    message = s.wait_window(pid=bar.pid, name="^Premier lancement", timeout=15)
                if stage == "preferences":
                    s.key("Return")
                    wait_for(lambda: message not in s.windows(pid=bar.pid), what="the message to close")
                    s.wait_window(pid=bar.pid, name="^Préférences", timeout=15)
                bar.send_signal(signal.SIGTERM)
                self.assertEqual(bar.wait(timeout=1), 0, "the bar ends within a second")
                self.assertFalse((s.program_dir / "DoviConfig.txt").exists())
                self.assertFalse((s.program_dir / "Dovi_Run.txt").exists())
                ini = s.config_home / "Dovi" / "Dovi.ini"
                self.assertNotIn("FirstLaunch=1", ini.read_text() if ini.exists() else "")
                self.assertEqual(messages(s), [], "nothing said on the way out")


if __name__ == "__main__":
    main(globals())
