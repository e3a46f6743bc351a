"""The Debian package as a user gets it. tools/package.sh builds it once, in a build folder of its own
(--package-build), and dpkg -x unpacks it into a throw-away root:

- lintian, appstreamcli and desktop-file-validate have nothing to say about it;
- a first start of its command, with a fresh home, goes through the language chooser and the
  preferences; the bar then runs the program from <root>/usr/lib/dovi and keeps its configuration,
  skins and run marker in ~/.local/share/Dovi, where nothing can be run, and registers the command to
  start with the session;
- over what the previous package left (a private copy of the program beside the user's files in
  ~/.local/share/Dovi, and a start-with-the-session entry naming the command), the entry starts the
  bar from <root>/usr/lib/dovi with the user's buttons, and the copy's program files are gone.

It needs dpkg's tools and the checkers (tools/setup.sh installs them); it is skipped without them."""

import os
import shlex
import shutil
import stat
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

import harness
from harness import SKIN, Session, main, wait_for

SOURCE = Path(__file__).resolve().parents[2]
EXTRA_TOOLS = ("cmake", "ninja", "dpkg-deb", "dpkg-buildflags", "dpkg-shlibdeps", "dpkg-parsechangelog",
               "lintian", "appstreamcli", "desktop-file-validate")

# Where the preferences dialog lays out what the first launch fills in (window coordinates).
BUTTONS_TAB = (329, 24)
AUTOSTART_BOX = (274, 55)
TITLE_FIELD = (562, 56)
TARGET_FIELD = (539, 84)
OK_BUTTON = (549, 397)

_package = {}


def package_build_folder():
    """--package-build DIR, taken out of the arguments the harness reads."""
    if "--package-build" in sys.argv:
        at = sys.argv.index("--package-build")
        folder = sys.argv[at + 1]
        del sys.argv[at:at + 2]
        return Path(folder)
    return SOURCE / "build-package"


PACKAGE_BUILD = package_build_folder()


def unpacked():
    """The package, built once, and the throw-away root it is unpacked into."""
    if not _package:
        result = subprocess.run([str(SOURCE / "tools" / "package.sh"), str(PACKAGE_BUILD)], capture_output=True,
                                text=True, timeout=1500)
        if result.returncode != 0:
            raise AssertionError("tools/package.sh failed:\n" + result.stdout[-3000:] + result.stderr[-3000:])
        deb = Path(result.stdout.strip().splitlines()[-1])
        root = Path(tempfile.mkdtemp(prefix="dovi-package-"))
        subprocess.run(["dpkg-deb", "-x", str(deb), str(root)], check=True)
        _package.update(deb=deb, root=root)
    return _package["deb"], _package["root"]


def tearDownModule():
    if _package:
        shutil.rmtree(_package["root"], ignore_errors=True)


def executables(folder):
    """Every file under folder that anybody may run."""
    return sorted(str(p.relative_to(folder)) for p in folder.rglob("*")
                  if p.is_file() and p.stat().st_mode & (stat.S_IXUSR | stat.S_IXGRP | stat.S_IXOTH))


def running_program(pid):
    return Path(os.readlink(f"/proc/{pid}/exe"))


class Checkers(unittest.TestCase):
    """What Debian's checkers say of the package: nothing."""

    @classmethod
    def setUpClass(cls):
        cls.deb, cls.root = unpacked()

    def test_lintian(self):
        result = subprocess.run(["lintian", "--fail-on", "error,warning", str(self.deb)], capture_output=True,
                                text=True, timeout=240)
        self.assertEqual(result.stdout, "")
        self.assertEqual(result.returncode, 0, result.stderr)

    def test_appstream(self):
        for argv in (["validate", "--no-net", "--pedantic",
                      str(self.root / "usr/share/metainfo/org.example.dovi.metainfo.xml")],
                     ["validate-tree", "--no-net", "--pedantic", str(self.root)]):
            result = subprocess.run(["appstreamcli", *argv], capture_output=True, text=True, timeout=60)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            self.assertNotRegex(result.stdout, r"(?m)^[EWIP]:", result.stdout)

    def test_menu_entry(self):
        entry = self.root / "usr/share/applications/dovi.desktop"
        result = subprocess.run(["desktop-file-validate", str(entry)], capture_output=True, text=True, timeout=30)
        self.assertEqual((result.returncode, result.stdout + result.stderr), (0, ""))
        lines = entry.read_text().splitlines()
        self.assertIn("Icon=dovi", lines)
        self.assertIn("Exec=dovi", lines)

    def test_layout(self):
        """Nothing in /opt, the icon in the theme, the manual pages and documents where Debian wants them."""
        files = {str(p.relative_to(self.root)) for p in self.root.rglob("*") if not p.is_dir()}
        for name in ("usr/bin/dovi", "usr/lib/dovi/Dovi", "usr/lib/dovi/libDoviButton.so",
                     "usr/lib/dovi/libVistelPerso.so", "usr/lib/dovi/libDoviPlatform.so",
                     "usr/share/dovi/XP_Up.bmp", "usr/share/dovi/Licence eng.txt",
                     "usr/share/icons/hicolor/48x48/apps/dovi.png", "usr/share/icons/hicolor/scalable/apps/dovi.svg",
                     "usr/share/man/man1/dovi.1.gz", "usr/share/man/fr/man1/dovi.1.gz",
                     "usr/share/doc/dovi/copyright", "usr/share/doc/dovi/changelog.gz"):
            self.assertIn(name, files)
        self.assertFalse([f for f in files if not f.startswith("usr/")], files)


class Installed(unittest.TestCase):
    """The installed command, started by a user with a fresh home."""

    @classmethod
    def setUpClass(cls):
        cls.deb, cls.root = unpacked()
        cls.command = cls.root / "usr/bin/dovi"
        cls.program = (cls.root / "usr/lib/dovi/Dovi").resolve()

    def test_first_launch_lands_in_the_users_folder(self):
        with Session(None, copy_program=False) as s:
            target = s.tmp / "target.sh"
            target.write_text("#!/bin/sh\n")
            target.chmod(0o755)
            bar = s.spawn([self.command], name="dovi")
            language = s.wait_window(pid=bar.pid, timeout=20)
            self.assertEqual(running_program(bar.pid), self.program)
            self.assertEqual(s.xprop(language, "_NET_WM_NAME"), '"Language..."')
            time.sleep(0.3)
            s.key("Return")
            seen = {language}

            def next_window():
                found = [w for w in s.windows(pid=bar.pid) if w not in seen]
                if bar.poll() is not None:
                    raise AssertionError("the bar ended: " + s.read_log("dovi"))
                return found[0] if found else None
            # The first launch's notice, then the preferences.
            while True:
                window = wait_for(next_window, timeout=20, what="the first launch's next window")
                seen.add(window)
                time.sleep(0.5)
                if s.xprop(window, "_NET_WM_NAME") == '"Préférences de Dovi..."':
                    break
                s.key("Return")
            prefs = window
            for point in (AUTOSTART_BOX, BUTTONS_TAB):
                s.run(["xdotool", "mousemove", "--window", str(prefs), *map(str, point), "click", "1"])
                time.sleep(0.3)
            for point, text in ((TITLE_FIELD, "Target"), (TARGET_FIELD, str(target))):
                s.run(["xdotool", "mousemove", "--window", str(prefs), *map(str, point), "click", "1"])
                s.run(["xdotool", "type", "--delay", "20", text])
            s.run(["xdotool", "mousemove", "--window", str(prefs), *map(str, OK_BUTTON), "click", "1"])

            def bar_shown():
                if bar.poll() is not None:
                    raise AssertionError("the bar ended: " + s.read_log("dovi"))
                windows = s.windows(pid=bar.pid)
                for w in windows:
                    try:
                        if w not in seen and s.geometry(w)[2:] == (SKIN, SKIN):
                            return w
                    except harness.HarnessError:
                        pass  # a notice that closed meanwhile
                # A notice after the preferences is answered.
                if any(w not in seen for w in windows):
                    s.key("Return")
                    time.sleep(0.5)
                return None
            wait_for(bar_shown, timeout=30, what="the bar with its button")

            user = s.data_home / "Dovi"
            config = (user / "DoviConfig.txt").read_text()
            self.assertIn(f"{target};;Target;1", config)
            self.assertIn(str(user / "Boutons" / "XP" / "XP_Up.bmp"), config)
            self.assertEqual((user / "Dovi_Run.txt").read_bytes(), b"run=1\r\n")
            for folder, part in (("XP", "XP_Up"), ("XP", "XP_Mask"), ("XP_Blue", "XP_Blue_Down")):
                self.assertEqual((user / "Boutons" / folder / f"{part}.bmp").read_bytes(),
                                 (self.root / "usr/share/dovi" / f"{part}.bmp").read_bytes())
            self.assertEqual(executables(user), [])
            self.assertEqual(sorted(p.name for p in user.iterdir()), ["Boutons", "DoviConfig.txt", "Dovi_Run.txt"])
            # The installed files are only read.
            self.assertFalse((self.root / "usr/lib/dovi/DoviConfig.txt").exists())
            self.assertFalse(list((self.root / "usr/share/dovi").glob("Boutons")))
            self.assertEqual(len(list((self.root / "usr/share/dovi").glob("*.bmp"))), 6)
            # Starting with the session goes through the command.
            entry = (s.config_home / "autostart" / "Dovi.desktop").read_text().splitlines()
            exec_line = next(line for line in entry if line.startswith("Exec="))
            self.assertEqual(shlex.split(exec_line[len("Exec="):]), [str(self.command.resolve())])
            self.assertIsNone(bar.poll())


class Upgrade(unittest.TestCase):
    """What the previous package left in a user's home: its private copy of the program in
    ~/.local/share/Dovi beside the user's configuration, skins and run marker, and an entry that
    starts its command with the session."""

    BUTTONS = 3

    @classmethod
    def setUpClass(cls):
        cls.deb, cls.root = unpacked()
        cls.command = cls.root / "usr/bin/dovi"

    def test_the_session_entry_starts_the_installed_bar_with_the_users_buttons(self):
        with Session(None, copy_program=False) as s:
            user = s.data_home / "Dovi"
            user.mkdir()
            # The old copy: the program and its libraries, run from there, and the texts.
            for name in ("Dovi", "libDoviButton.so", "libVistelPerso.so", "libDoviPlatform.so"):
                shutil.copy2(self.root / "usr/lib/dovi" / name, user / name)
            for name in ("Licence fr.txt", "Licence eng.txt", "Informations fr.txt", "Informations eng.txt"):
                shutil.copy2(self.root / "usr/share/dovi" / name, user / name)
            shutil.copy2(self.root / "usr/share/icons/hicolor/64x64/apps/dovi.png", user / "dovi.png")
            (user / ".start.lock").write_bytes(b"")
            s.program_dir = user
            for name in ("XP_Up", "XP_Down", "XP_Mask", "XP_Blue_Up", "XP_Blue_Down", "XP_Blue_Mask"):
                shutil.copy2(self.root / "usr/share/dovi" / f"{name}.bmp", user / f"{name}.bmp")
            harness.prepare(s, buttons=[f"/bin/true;;Button {n};1" for n in range(self.BUTTONS)], position=(120, 80))
            kept = {p: p.read_bytes() for p in (user / "DoviConfig.txt", user / "Dovi_Run.txt",
                                                *sorted((user / "Boutons").rglob("*.bmp")))}
            autostart = s.config_home / "autostart"
            autostart.mkdir()
            (autostart / "Dovi.desktop").write_text(
                f'[Desktop Entry]\nType=Application\nName=Dovi\nExec="{self.command}"\n')

            exec_line = next(line for line in (autostart / "Dovi.desktop").read_text().splitlines()
                             if line.startswith("Exec="))
            bar = s.spawn(shlex.split(exec_line[len("Exec="):]), name="dovi")
            window = s.wait_window(pid=bar.pid, timeout=20)
            wait_for(lambda: s.geometry(window) == (120, 80, SKIN * self.BUTTONS, SKIN), timeout=15,
                     what=f"the user's bar of {self.BUTTONS} buttons")
            self.assertEqual(s.windows(pid=bar.pid), [window])
            self.assertEqual(running_program(bar.pid), (self.root / "usr/lib/dovi/Dovi").resolve())
            self.assertEqual({p: p.read_bytes() for p in kept}, kept)
            self.assertEqual(executables(user), [])
            self.assertEqual(sorted(p.name for p in user.iterdir()), ["Boutons", "DoviConfig.txt", "Dovi_Run.txt"])
            self.assertIsNone(bar.poll())


if __name__ == "__main__":
    main(globals())
