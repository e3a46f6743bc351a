#!/usr/bin/env python3
"""The bar through its accessibility tree, as a screen reader sees it, and from the keyboard alone,
under Xvfb and openbox with a private session bus and its accessibility bus: the buttons are push
buttons named by their titles whose Press starts the target; the preferences' fields are found by
their labels; the language chooser takes a choice made by a Toggle. The bar leaves the keyboard
where it is when it starts, and once brought forward moves along its buttons with the arrows,
starts one with Return, opens its menu at it with the Menu key and gives the keyboard back with
Escape. Super+1 to Super+9 start the first buttons, and a key another program holds is told once. A
first launch can be gone through from the tree, and its last message tells what this desktop gives
without speaking of another system."""
import json
import os
import shutil
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import wait_for  # noqa: E402

CLIENT = Path(__file__).with_name("atspi_client.py")


def atspi_python():
    """A Python that has the accessibility bindings: this one, else the system's."""
    for python in (sys.executable, "/usr/bin/python3"):
        if python and shutil.which(python) and subprocess.run(
                [python, "-c", "import pyatspi"], capture_output=True).returncode == 0:
            return python
    return None


PYTHON = atspi_python()
EXTRA_TOOLS = ("dbus-daemon", "xdotool")


class AccessibleBar(unittest.TestCase):
    """One session, bus and bar for every case; each case starts from the bar as it was laid out."""

    @classmethod
    def setUpClass(cls):
        if PYTHON is None:
            raise unittest.SkipTest("python3-pyatspi is not installed")
        if not Path("/usr/libexec/at-spi-bus-launcher").exists():
            raise unittest.SkipTest("at-spi2-core is not installed")
        cls.session = harness.Session(bin_dir=BIN_DIR).__enter__()
        try:
            cls.start_bus()
            cls.records = cls.session.tmp / "records"
            cls.records.mkdir()
            buttons = [f"{cls.recorder(name)};;{name};1" for name in ("Alpha", "Beta", "Gamma")]
            harness.prepare(cls.session, buttons=buttons)
        except BaseException:
            cls.session.close()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    @classmethod
    def start_bus(cls, session=None):
        s = session or cls.session
        out = s.run(["dbus-daemon", "--session", "--fork", "--print-address=1", "--print-pid=1"])
        address, pid = out.split()[:2]
        s.track_pid(int(pid))
        s.env["DBUS_SESSION_BUS_ADDRESS"] = address
        s.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"

    @classmethod
    def recorder(cls, name):
        script = cls.records / f"{name}.sh"
        script.write_text(f'#!/bin/sh\necho started >> "{cls.records / name}"\n')
        script.chmod(0o755)
        return script

    def setUp(self):
        for record in self.records.glob("*"):
            if record.suffix != ".sh":
                record.unlink()
        self.bar = None
        self.env = None  # the class's session

    def tearDown(self):
        if self.bar is not None and self.bar.poll() is None:
            self.bar.kill()
            self.bar.wait()

    # ----- helpers

    def atspi(self, *args, check=True):
        env = getattr(self, "env", None) or self.session.env
        result = subprocess.run([PYTHON, str(CLIENT), *args], env=env, capture_output=True,
                                text=True, timeout=30)
        if check and result.returncode != 0:
            raise harness.HarnessError(f"atspi_client {args} failed ({result.returncode}): {result.stderr}")
        return result

    def tree(self):
        """The bar's objects; None when the registry did not list it (it may miss one now and then)."""
        for _attempt in range(3):
            result = self.atspi("tree", "Dovi", check=False)
            if result.returncode == 0:
                return json.loads(result.stdout)
        return None

    def do(self, role, name, action):
        return self.atspi("do", "Dovi", role, name, action)

    def started(self, name):
        record = self.records / name
        return record.read_text().count("started") if record.exists() else 0

    def wait_started(self, name):
        wait_for(lambda: self.started(name) >= 1, timeout=10, what=f"{name} to start")
        time.sleep(0.5)  # a second start would have come meanwhile
        self.assertEqual(self.started(name), 1, f"{name} started more than once")

    def start_bar(self):
        s = self.session
        self.bar = s.start_program()
        self.win = s.wait_window(pid=self.bar.pid)
        # The buttons are in the tree once the bar has joined the accessibility bus.
        wait_for(lambda: any(n["name"] == "Gamma" for n in (self.tree() or [])), timeout=20,
                 what="the bar's buttons in the accessibility tree")

    def active_window(self):
        return int(self.session.run(["xdotool", "getactivewindow"], check=False).strip() or 0)

    def other_window(self):
        """An ordinary window of another program, active."""
        s = self.session
        other = s.spawn(["xterm", "-geometry", "40x10+300+300"], name="xterm") if shutil.which("xterm") else None
        if other is None:
            self.skipTest("xterm is not installed")
        window = s.wait_window(pid=other.pid)
        s.run(["xdotool", "windowactivate", "--sync", str(window)], check=False)
        wait_for(lambda: self.active_window() == window, timeout=10, what="the other window to be active")
        return window

    # ----- cases

    def test_buttons_are_named_push_buttons_that_press(self):
        self.start_bar()
        nodes = self.tree()
        buttons = [n for n in nodes if n["role"] == "push button" and "showing" in n["states"]]
        self.assertEqual([b["name"] for b in buttons], ["Alpha", "Beta", "Gamma"])
        for button in buttons:
            self.assertIn("Press", button["actions"])
            self.assertEqual(button["description"], button["name"])
        self.assertTrue(any(n["name"] == "Dovi" and n["depth"] == 1 for n in nodes), "the bar is named Dovi")
        self.do("push button", "Beta", "Press")
        self.wait_started("Beta")
        self.assertEqual(self.started("Alpha") + self.started("Gamma"), 0)

    def test_keyboard_alone(self):
        s = self.session
        other = self.other_window()
        self.start_bar()
        time.sleep(0.5)
        self.assertEqual(self.active_window(), other, "the bar took the keyboard as it started")
        s.run(["xdotool", "windowactivate", "--sync", str(self.win)], check=False)
        wait_for(lambda: self.active_window() == self.win, timeout=10, what="the bar to be active")
        focused = lambda: [n["name"] for n in self.tree() if "focused" in n["states"]]  # noqa: E731
        wait_for(lambda: focused() == ["Alpha"], timeout=10, what="the first button to take the keyboard")
        s.key("Right", "Right")
        wait_for(lambda: focused() == ["Gamma"], timeout=10, what="the arrows to reach the third button")
        s.key("Right")  # the end of the bar: it stays
        s.key("Left")
        wait_for(lambda: focused() == ["Beta"], timeout=10, what="the left arrow to go back")
        s.key("Return")
        self.wait_started("Beta")
        # The menu, at the focused button.
        s.key("Menu")
        menu = wait_for(lambda: [w for w in s.windows(pid=self.bar.pid) if w != self.win], timeout=10,
                        what="the menu")
        mx, my, _mw, _mh = s.geometry(menu[0])
        bx, by, bw, bh = s.geometry(self.win)
        self.assertTrue(bx + bw // 3 <= mx <= bx + 2 * bw // 3 and by <= my <= by + bh,
                        f"menu at {(mx, my)}, bar at {(bx, by, bw, bh)}")
        s.key("Escape")
        wait_for(lambda: s.windows(pid=self.bar.pid) == [self.win], timeout=10, what="the menu to close")
        s.key("shift+F10")
        wait_for(lambda: len(s.windows(pid=self.bar.pid)) == 2, timeout=10, what="the menu from Shift+F10")
        s.key("Escape")
        wait_for(lambda: s.windows(pid=self.bar.pid) == [self.win], timeout=10, what="the menu to close")
        # Escape on the bar gives the keyboard back.
        s.key("Escape")
        wait_for(lambda: self.active_window() == other, timeout=10, what="the keyboard to go back")
        self.assertEqual(self.started("Alpha") + self.started("Gamma"), 0)

    def test_super_digits_start_the_first_buttons(self):
        self.start_bar()
        self.session.key("super+3")
        self.wait_started("Gamma")
        self.session.key("super+1")
        self.wait_started("Alpha")
        self.assertEqual(self.started("Beta"), 0)

    def test_keys_another_program_holds_are_told_once(self):
        s = self.session
        holder = s.spawn([PROBE, "keys"], name="holder", stdout=subprocess.PIPE)
        self.assertEqual(holder.stdout.readline().strip(), b"grabbed 9")
        try:
            for start in (1, 2):
                self.bar = s.start_program()
                self.win = s.wait_window(pid=self.bar.pid)
                if start == 1:
                    wait_for(lambda: [w for w in s.windows(pid=self.bar.pid) if w != self.win], timeout=10,
                             what="the notice of the keys taken")
                    notice = wait_for(lambda: [n["name"] for n in (self.tree() or []) if "Super+2" in n["name"]],
                                      timeout=10, what="the notice's text")
                    self.assertIn("Super+9", notice[0])
                else:
                    wait_for(lambda: any(n["name"] == "Gamma" for n in (self.tree() or [])), timeout=20,
                             what="the bar's buttons")
                    time.sleep(1)
                    self.assertEqual(s.windows(pid=self.bar.pid), [self.win], "told a second time")
                self.bar.kill()
                self.bar.wait()
        finally:
            holder.kill()
            holder.wait()
            holder.stdout.close()

    def test_preferences_fields_by_name_and_language_by_toggle(self):
        s = self.session
        self.start_bar()
        bx, by, bw, bh = s.geometry(self.win)

        def menu_command(*keys):
            # A pop-up menu is not in the tree (a screen reader follows it by its events): it is
            # driven by its letters, which also shows that its items have them.
            s.click(bx + bw // 6, by + bh // 2, button=3)
            wait_for(lambda: len(s.windows(pid=self.bar.pid)) == 2, timeout=10, what="the menu")
            s.key(*keys)

        menu_command("l")
        wait_for(lambda: any(n["name"] == "Français / French" for n in (self.tree() or [])), timeout=10,
                 what="the language chooser")
        self.do("radio button", "Français / French", "Toggle")
        self.do("push button", "OK", "Press")
        wait_for(lambda: "Lang=0" in (s.config_home / "Dovi" / "Dovi.ini").read_text(), timeout=10,
                 what="the French language to be saved")
        # The preferences, now in French: every field, list and slider has its label's name.
        menu_command("p", "a")
        nodes = wait_for(lambda: [n for n in (self.tree() or []) if n["role"] == "page tab"], timeout=10,
                         what="the preferences")
        self.assertIn("Liste des boutons", [n["name"] for n in nodes])
        fields = [(n["role"], n["name"]) for n in self.tree()
                  if n["role"] in ("text", "list", "slider", "spin button", "combo box")]
        self.assertGreaterEqual(len(fields), 8, fields)
        self.assertEqual([f for f in fields if not f[1].strip()], [], f"fields without a name: {fields}")
        self.assertIn(("text", "Titre du bouton :"), fields)

    def test_first_launch_through_the_tree(self):
        # A first launch on an X11 desktop without a compositing manager, by a screen reader's user.
        with harness.Session(bin_dir=BIN_DIR) as s:
            self.start_bus(s)
            self.env = s.env
            target = self.recorder("First")
            bar = s.start_program()
            self.bar = bar

            def named(name, role=None):
                return [n for n in (self.tree() or []) if n["name"] == name and (role is None or n["role"] == role)]
            wait_for(lambda: named("Anglais / English"), timeout=20, what="the language chooser")
            self.do("radio button", "Anglais / English", "Toggle")
            self.do("push button", "OK", "Press")
            # The first launch's notice, then the preferences.
            wait_for(lambda: named("OK", "push button") and not named("Anglais / English"), timeout=15,
                     what="the first launch's notice")
            self.do("push button", "OK", "Press")
            wait_for(lambda: named("Buttons list", "page tab"), timeout=15, what="the preferences")
            self.atspi("set", "Dovi", "text", "Button title :", "First")
            self.atspi("set", "Dovi", "text", "Program to launching :", str(target))
            self.do("push button", "OK", "Press")
            # The button typed in is created.
            wait_for(lambda: named("Yes", "push button"), timeout=15, what="the question on the button in creation")
            self.do("push button", "Yes", "Press")
            # The end of the first launch says what this desktop gives, in words true here.
            labels = wait_for(lambda: [n["name"] for n in (self.tree() or []) if n["role"] == "label"
                                       and "compositing manager" in n["name"]], timeout=15,
                              what="the first launch's last message")
            texts = " ".join(n["name"] for n in self.tree() if n["role"] == "label")
            self.assertNotIn("Windows", texts)
            self.assertIn("no compositing manager is running", labels[0])
            self.do("push button", "OK", "Press")
            wait_for(lambda: named("First", "push button"), timeout=15, what="the bar with its button")
            self.assertIn(f"{target};;First;1", (s.program_dir / "DoviConfig.txt").read_text())
            self.env = None


if __name__ == "__main__":
    harness.main(globals())
