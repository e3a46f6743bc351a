"""Shell open with hostile names: programs, documents, folders and addresses whose names hold blanks,
quotes, "$(...)", back quotes, ";", "|", "&&" or a leading "-", and a path of 4,000 characters. Each
is started as itself or handed to the desktop's opener as one argument, never read by a shell: no
marker file that an injected command would create ever appears. An application entry that runs in a
terminal gets one (xterm as x-terminal-emulator). A double click on a bar button starts its target
once."""

import os
import shutil
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from harness import SKIN, Probe, Session, main, prepare, wait_for  # noqa: E402

BIN_DIR = None
PROBE = None

MARKER = "dovi-injected"

# Names a shell would read as commands: each would create MARKER in its working folder.
HOSTILE = [
    "with blanks  and   tabs\t.x",
    "it's \"quoted\" 'twice'",
    f"$(touch {MARKER})",
    f"`touch {MARKER}`",
    f"a; touch {MARKER}",
    f"b && touch {MARKER} &",
    f"c | touch {MARKER}",
    f"d > {MARKER}",
    "$HOME ${PATH} %f %u ~",
    "ünïcødé €",
]

RECORDER = """#!/bin/sh
# Writes its program name, working folder and arguments, NUL-separated, for the test to read.
out="$DOVI_RECORD_DIR/{kind}.$$"
{{ printf '%s\\0' "$0" "$(pwd)" "$#"; for a in "$@"; do printf '%s\\0' "$a"; done; }} > "$out.part"
mv "$out.part" "$out"
"""


def long_folder(base, total):
    """A folder under base whose path is total characters long (or one less)."""
    path = str(base)
    index = 0
    while total - len(path) - 1 >= 1:
        part = f"{index:02d}-" + "x" * 200
        path = os.path.join(path, part[:min(len(part), total - len(path) - 1)])
        index += 1
    return Path(path)


class Launch(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.session = Session(BIN_DIR).__enter__()
        tmp = cls.session.tmp
        cls.records = tmp / "records"
        cls.records.mkdir()
        cls.targets = tmp / "targets"
        cls.targets.mkdir()
        fake_bin = tmp / "fakebin"
        fake_bin.mkdir()
        # The desktop's opener, replaced by one that only tells what it was given.
        opener = fake_bin / "xdg-open"
        opener.write_text(RECORDER.format(kind="opener"))
        opener.chmod(0o755)
        env = {"PATH": f"{fake_bin}:{os.environ.get('PATH', '/usr/bin:/bin')}",
               "DOVI_RECORD_DIR": str(cls.records)}
        cls.probe = Probe(cls.session, PROBE, "--hidden", env=env)

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def setUp(self):
        for f in self.records.iterdir():
            f.unlink()

    def tearDown(self):
        self.assert_no_marker()

    # ----- helpers

    def assert_no_marker(self):
        places = [self.targets, self.session.home, self.session.program_dir, Path("/"), Path.cwd(),
                  self.records]
        for place in places:
            self.assertFalse((place / MARKER).exists(), f"an injected command ran in {place}")
        found = [str(p) for p in self.session.tmp.rglob(MARKER + "*")]
        self.assertEqual(found, [], "an injected command left a file")

    def open(self, target, folder=None, state=1):
        return self.probe.ask(f"open {state} {folder or '-'} {target}")

    def record(self, kind):
        """The one record of a program started since the test began: name, folder, arguments."""
        def complete():
            done = [f for f in self.records.iterdir() if f.name.startswith(kind + ".") and
                    not f.name.endswith(".part")]
            return done or None
        done = wait_for(complete, what=f"the {kind} to run")
        self.assertEqual(len(done), 1, f"started more than once: {done}")
        fields = done[0].read_bytes().split(b"\0")[:-1]
        name, folder, count, *args = (f.decode() for f in fields)
        self.assertEqual(int(count), len(args))
        done[0].unlink()
        return name, folder, args

    def program(self, folder, name):
        path = folder / name
        path.write_text(RECORDER.format(kind="program"))
        path.chmod(0o755)
        return path

    def document(self, folder, name):
        path = folder / name
        path.write_text("a document\n")
        return path

    # ----- tests

    def test_programs_start_as_themselves(self):
        for name in HOSTILE:
            with self.subTest(name=name):
                path = self.program(self.targets, "prog " + name)
                self.assertEqual(self.open(path, folder=self.targets), "open true")
                started, cwd, args = self.record("program")
                self.assertEqual(started, str(path))
                self.assertEqual(os.path.realpath(cwd), os.path.realpath(self.targets))
                self.assertEqual(args, [], "a program is started without arguments")
                self.assert_no_marker()

    def test_documents_reach_the_opener_as_one_argument(self):
        for name in HOSTILE:
            with self.subTest(name=name):
                path = self.document(self.targets, "doc " + name + ".txt")
                self.assertEqual(self.open(path), "open true")
                _opener, cwd, args = self.record("opener")
                self.assertEqual(args, [str(path)])
                self.assertEqual(cwd, "/")
                self.assert_no_marker()

    def test_folders_reach_the_opener_as_one_argument(self):
        for name in (HOSTILE[2], HOSTILE[4], "-folder"):
            with self.subTest(name=name):
                path = self.targets / ("dir " + name if not name.startswith("-") else name)
                path.mkdir(exist_ok=True)
                self.assertEqual(self.open(path), "open true")
                _opener, _cwd, args = self.record("opener")
                self.assertEqual(args, [str(path)])

    def test_leading_dash_is_never_an_option(self):
        # Relative names are taken from the folder given, and handed on as absolute paths.
        program = self.program(self.targets, "-rf")
        self.assertEqual(self.open("-rf", folder=self.targets), "open true")
        started, _cwd, args = self.record("program")
        self.assertEqual(started, str(program))
        self.assertEqual(args, [])

        document = self.document(self.targets, "--help.txt")
        self.assertEqual(self.open("--help.txt", folder=self.targets), "open true")
        _opener, _cwd, args = self.record("opener")
        self.assertEqual(args, [str(document)])
        self.assertTrue(args[0].startswith("/"))

    def test_path_of_4000_characters(self):
        folder = long_folder(self.targets, 3980)
        folder.mkdir(parents=True)
        document = self.document(folder, "d; touch " + MARKER + ".txt")
        program = self.program(folder, "p $(touch " + MARKER + ")")
        self.assertGreaterEqual(len(str(document)), 4000)
        self.assertGreaterEqual(len(str(program)), 4000)

        self.assertEqual(self.open(document), "open true")
        _opener, _cwd, args = self.record("opener")
        self.assertEqual(args, [str(document)])

        self.assertEqual(self.open(program, folder=self.targets), "open true")
        started, _cwd, args = self.record("program")
        self.assertEqual(started, str(program))

    def test_addresses_are_handed_on_encoded(self):
        address = f'https://example.org/a b/"q"?x=$(touch {MARKER});y=`touch {MARKER}`&z=\'1\''
        self.assertEqual(self.open(address), "open true")
        _opener, _cwd, args = self.record("opener")
        self.assertEqual(len(args), 1)
        self.assertTrue(args[0].startswith("https://example.org/a%20b/%22q%22?x="), args[0])
        # Blanks, double and back quotes are not valid in an address: they arrive percent-encoded.
        for character in ' "`':
            self.assertNotIn(character, args[0])
        self.assertIn("$(touch%20" + MARKER + ")", args[0])

        self.assertEqual(self.open("mailto:someone@example.org?subject=a b;c"), "open true")
        _opener, _cwd, args = self.record("opener")
        self.assertEqual(args, ["mailto:someone@example.org?subject=a%20b;c"])

    def test_file_address_is_the_local_file(self):
        path = self.document(self.targets, "local file ; $(x).txt")
        self.assertEqual(self.open("file://" + str(path).replace(" ", "%20")), "open true")
        _opener, _cwd, args = self.record("opener")
        self.assertEqual(args, [str(path)])

    def test_missing_targets_open_nothing(self):
        for target in (f"/nonexistent/$(touch {MARKER})", f"no such program; touch {MARKER}",
                       f"-{MARKER}", str(self.targets / f"`touch {MARKER}`")):
            with self.subTest(target=target):
                self.assertEqual(self.open(target, folder=self.targets), "open false")
        # The probe has answered each request: had anything been started, it would be recorded now
        # or within the time a started program takes to write; nothing is.
        self.assertEqual(self.open(self.program(self.targets, "after"), folder=self.targets), "open true")
        started, _cwd, _args = self.record("program")
        self.assertTrue(started.endswith("/after"))
        self.assertEqual([f.name for f in self.records.iterdir()], [])

    def test_document_with_exec_bit_is_not_run(self):
        # Files on FAT or NTFS mounts carry the exec bit: one that is not a program goes to the opener.
        path = self.targets / f"photo; touch {MARKER}.jpg"
        path.write_bytes(b"\xff\xd8\xff\xe0 not a program")
        path.chmod(0o755)
        self.assertEqual(self.open(path), "open true")
        _opener, _cwd, args = self.record("opener")
        self.assertEqual(args, [str(path)])

    def test_terminal_entry_runs_in_the_terminal_emulator(self):
        xterm = shutil.which("xterm")
        if not xterm:
            self.skipTest("xterm is not installed")
        # A PATH of its own: xterm as the system's terminal emulator, and no xdg-terminal-exec.
        terminal_bin = self.session.tmp / "terminalbin"
        terminal_bin.mkdir(exist_ok=True)
        for name, target in (("x-terminal-emulator", xterm), ("mv", shutil.which("mv"))):
            link = terminal_bin / name
            if not link.exists():
                link.symlink_to(target)
        self.assertIsNone(shutil.which("xdg-terminal-exec", path=str(terminal_bin)))
        probe = Probe(self.session, PROBE, "--hidden",
                      env={"PATH": str(terminal_bin), "DOVI_RECORD_DIR": str(self.records)})
        script = self.targets / "terminal program; $(x)"
        script.write_text(RECORDER.format(kind="program") + 'test -t 0 && : > "$DOVI_RECORD_DIR/tty.$$"\n')
        script.chmod(0o755)
        entry = self.targets / "in a terminal.desktop"
        entry.write_text("[Desktop Entry]\nType=Application\nName=In a terminal\nTerminal=true\n"
                         f"Path={self.records}\n"
                         f'Exec="{script}" one "two three" %f $(touch {MARKER})\n')
        self.assertEqual(probe.ask(f"open 1 - {entry}"), "open true")
        started, cwd, args = self.record("program")
        self.assertEqual(started, str(script))
        self.assertEqual(cwd, str(self.records), "in the entry's working folder")
        self.assertEqual(args, ["one", "two three", "$(touch", MARKER + ")"])
        wait_for(lambda: any(f.name.startswith("tty.") for f in self.records.iterdir()),
                 what="the program to have a terminal")
        for f in self.records.glob("tty.*"):
            f.unlink()


class BarButton(unittest.TestCase):
    """A bar button's target: started once by a double click, which many users give out of habit; a
    program that runs in a terminal, without a terminal emulator, is explained."""

    def test_a_double_click_starts_the_target_once(self):
        with Session(BIN_DIR) as s:
            records = s.tmp / "records"
            records.mkdir()
            program = s.tmp / "program to start"
            program.write_text(RECORDER.format(kind="program"))
            program.chmod(0o755)
            prepare(s, buttons=[f"{program};;A;1"], position=(100, 50))
            bar = s.start_program(env={"DOVI_RECORD_DIR": str(records)})
            s.wait_window(pid=bar.pid, timeout=30)
            centre = (100 + SKIN // 2, 50 + SKIN // 2)

            def started():
                return [f for f in records.iterdir() if not f.name.endswith(".part")]
            s.move(*centre)
            s.run(["xdotool", "click", "--repeat", "2", "--delay", "80", "1"])
            wait_for(started, what="the target to start")
            # Well past the double-click time, a click is a click of its own again.
            time.sleep(1.0)
            s.click(*centre)
            wait_for(lambda: len(started()) >= 2, what="the target to start again")
            self.assertEqual(len(started()), 2, "the double click started the target once")
            self.assertIsNone(bar.poll())

    def test_a_terminal_program_without_a_terminal_emulator_is_explained(self):
        with Session(BIN_DIR) as s:
            entry = s.tmp / "top.desktop"
            entry.write_text("[Desktop Entry]\nType=Application\nName=Top\nTerminal=true\nExec=/bin/true\n")
            prepare(s, buttons=[f"{entry};;T;1"], position=(100, 50))
            empty = s.tmp / "nothing on the path"
            empty.mkdir()
            bar = s.start_program(env={"PATH": str(empty)})
            s.wait_window(pid=bar.pid, timeout=30)
            s.click(100 + SKIN // 2, 50 + SKIN // 2)
            wait_for(lambda: "xdg-terminal-exec nor x-terminal-emulator" in s.read_log("Dovi"),
                     what="the message that names the missing terminal emulator")
            self.assertIn(str(entry), s.read_log("Dovi"))


if __name__ == "__main__":
    main(globals())
