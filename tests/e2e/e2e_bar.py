"""The bar itself under Xvfb and openbox, started as a user would after the first launch: one borderless
bar at the configured place and size with no task-bar entry, a second start that ends at once, a left
click that runs a button's target in "/" with no arguments, a right click that pops the menu up at
the pointer, cut-out button corners that show the desktop, and a new wallpaper, and Exit, which ends the program and
stores the transparency level. With a compositing manager, a bar stored at 128 blends with the desktop.
A first launch that is abandoned ends with nothing stored."""

import re
import shutil
import signal
import stat
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import harness  # noqa: E402
from harness import SKIN, Probe, Session, close_to, main, skin_pixel, wait_for  # noqa: E402

BIN_DIR = None
PROBE = None

BAR_X, BAR_Y = 100, 50
BUTTONS = 3

RECORDER = """#!/bin/sh
# Notes where it ran, how many arguments it got, the window system it was told to use and the start
# command it was told it came from.
{{ pwd; echo "$#"; echo "${{QT_QPA_PLATFORM-unset}}"; echo "${{DOVI_LAUNCHER-unset}}"; }} > "{out}.part"
mv "{out}.part" "{out}"
"""


def prepare(session, level=255, buttons=(), on_top=False):
    """A program folder after a completed first launch, the bar at BAR_X, BAR_Y."""
    return harness.prepare(session, level=level, buttons=buttons, position=(BAR_X, BAR_Y), on_top=on_top)


def settings_text(session):
    path = session.config_home / "Dovi" / "Dovi.ini"
    return path.read_text() if path.exists() else ""


def start_bar(session, env=None):
    bar = session.start_program(env=env)
    win = session.wait_window(pid=bar.pid, timeout=15)
    # The window manager may report the window at 0,0 for a moment after it is mapped.
    wait_for(lambda: session.geometry(win) == (BAR_X, BAR_Y, SKIN * BUTTONS, SKIN), timeout=10,
             what="the bar at its place and size")
    return bar, win


class Bar(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.session = Session(BIN_DIR).__enter__()
        s = cls.session
        cls.record = s.tmp / "ran"
        target = s.tmp / "targets" / "record me.sh"
        target.parent.mkdir()
        target.write_text(RECORDER.format(out=cls.record))
        target.chmod(target.stat().st_mode | stat.S_IXUSR)
        cls.skins = prepare(s, buttons=[f"{target};;Record;1", "/usr/bin/xev;;Minimized;2",
                                                   "/usr/bin/xev;;Maximized;3"])
        # As from a desktop session, which names no window system (the bar picks its own), and through
        # a start command, as the package starts it.
        cls.bar, cls.win = start_bar(s, env={"QT_QPA_PLATFORM": None, "DOVI_LAUNCHER": str(target)})

    @classmethod
    def tearDownClass(cls):
        cls.session.__exit__(None, None, None)

    def centre(self, index):
        return BAR_X + SKIN * (index - 1) + SKIN // 2, BAR_Y + SKIN // 2

    def test_1_one_borderless_bar_without_taskbar_entry(self):
        s = self.session
        self.assertEqual(s.windows(pid=self.bar.pid), [self.win])
        self.assertEqual(s.geometry(self.win), (BAR_X, BAR_Y, SKIN * BUTTONS, SKIN))
        self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", s.net_wm_state(self.win))
        extents = s.xprop(self.win, "_NET_FRAME_EXTENTS")
        if extents is not None:
            self.assertEqual([int(v) for v in extents.split(",")], [0, 0, 0, 0])
        self.assertEqual(s.xprop(self.win, "_NET_WM_NAME"), '"Dovi"')

    def test_2_cut_out_corners_show_the_desktop(self):
        s = self.session
        up = self.skins / "XP_Up.bmp"
        # Corners of the first and the last button are in the see-through colour of the skin.
        corners = [(0, 0), (1, 1), (SKIN - 1, 0), (0, SKIN - 1), (SKIN - 2, SKIN - 2)]
        for x, y in corners:
            self.assertEqual(skin_pixel(up, x, y), (255, 0, 230))
        centre_colour = skin_pixel(up, SKIN // 2, SKIN // 2)

        def painted():
            shot = s.screenshot()
            return shot if close_to(shot.pixel(*self.centre(1)), centre_colour) else None
        shot = wait_for(painted, timeout=10, what="the bar painted")
        for button in (0, BUTTONS - 1):
            for x, y in corners:
                self.assertEqual(shot.pixel(BAR_X + button * SKIN + x, BAR_Y + y), s.root_rgb, (button, x, y))
        self.assertNotEqual(shot.pixel(*self.centre(2)), s.root_rgb)

    def test_3_second_start_ends_at_once(self):
        s = self.session
        second = s.start_program(name="Dovi")
        self.assertEqual(second.wait(timeout=15), 0)
        self.assertIsNone(self.bar.poll())
        bars = [w for w in s.windows(name="^Dovi$")]
        self.assertEqual(bars, [self.win])

    def test_4_left_click_runs_target(self):
        s = self.session
        s.click(*self.centre(1))
        wait_for(self.record.exists, timeout=10, what="the target to run")
        folder, count, window_system, launcher = self.record.read_text().splitlines()
        self.assertEqual(folder, "/")
        self.assertEqual(count, "0")
        # The bar's own choice of window system and its start command are not handed on.
        self.assertEqual(window_system, "unset")
        self.assertEqual(launcher, "unset")
        # A left click opens no menu.
        time.sleep(0.3)
        self.assertEqual(s.windows(pid=self.bar.pid), [self.win])

    def test_6_window_states_of_a_real_program(self):
        s = self.session
        for index, check in ((2, lambda w: s.wm_state(w) == "Iconic"),
                             (3, lambda w: {"_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"}
                              <= s.net_wm_state(w))):
            before = set(s.windows(name="^Event Tester$", visible=False))
            s.click(*self.centre(index))
            window = wait_for(lambda: [w for w in s.windows(name="^Event Tester$", visible=False)
                                       if w not in before and s.wm_state(w) is not None],
                              timeout=15, what="the program's window")[0]
            self.addCleanup(s.run, ["xdotool", "windowkill", str(window)], check=False)
            wait_for(lambda: check(window), timeout=10, what=f"the state of button {index}")
        # The maximized window would cover the bar for the next tests.
        self.doCleanups()

    def test_5_right_click_pops_menu_and_escape_closes_it(self):
        s = self.session
        x, y = self.centre(2)
        s.click(x, y, button=3)
        menu = wait_for(lambda: [w for w in s.windows(pid=self.bar.pid) if w != self.win], timeout=10,
                        what="the menu")
        self.assertEqual(len(menu), 1)
        mx, my, mw, mh = s.geometry(menu[0])
        # At the pointer (the menu may be moved to stay on the screen, not here).
        self.assertEqual((mx, my), (x, y))
        self.assertGreater(mh, mw // 4)
        s.key("Escape")
        wait_for(lambda: s.windows(pid=self.bar.pid) == [self.win], timeout=10, what="the menu to close")
        self.assertIsNone(self.bar.poll())

    def test_7_tooltip_shows_while_another_program_is_active(self):
        # The bar is seldom the active window: its buttons' tooltips show all the same.
        s = self.session
        before = set(s.windows(name="^Event Tester$"))
        s.spawn(["xev", "-geometry", "200x150+500+400"], name="xev-active")
        window = wait_for(lambda: [w for w in s.windows(name="^Event Tester$") if w not in before], timeout=15,
                          what="another program's window")[0]
        self.addCleanup(s.run, ["xdotool", "windowkill", str(window)], check=False)
        s.run(["xdotool", "windowactivate", "--sync", str(window)], check=False)
        wait_for(lambda: s.run(["xdotool", "getactivewindow"], check=False).strip() == str(window), timeout=10,
                 what="the other program to be active")
        s.move(600, 300)
        x, y = self.centre(1)
        s.move(x - 3, y - 3)
        s.move(x, y)
        tip = wait_for(lambda: [w for w in s.windows(pid=self.bar.pid) if w != self.win], timeout=10,
                       what="the button's tooltip")
        tx, ty, _tw, _th = s.geometry(tip[0])
        self.assertLess(abs(tx - x), 100)
        self.assertLess(abs(ty - y), 100)
        s.move(600, 300)
        wait_for(lambda: s.windows(pid=self.bar.pid) == [self.win], timeout=10, what="the tooltip to go")
        self.doCleanups()

    def test_8_a_new_wallpaper_shows_around_the_buttons(self):
        s = self.session
        corner = (BAR_X, BAR_Y)  # a cut-out corner of the first button
        before, before_rgb = s.root_colour, s.root_rgb
        wait_for(lambda: s.screenshot().pixel(*corner) == before_rgb, timeout=10, what="the desktop in the corner")

        def announce_wallpaper():
            s.run(["xprop", "-root", "-f", "_XROOTPMAP_ID", "32x", "-set", "_XROOTPMAP_ID", "0x0"])
        try:
            s.set_root_colour("#aa3311")
            # The bar shows the copy it has until a wallpaper setter says it set a new picture.
            time.sleep(0.5)
            self.assertEqual(s.screenshot().pixel(*corner), before_rgb)
            announce_wallpaper()
            wait_for(lambda: s.screenshot().pixel(*corner) == s.root_rgb, timeout=10,
                     what="the new wallpaper in the corner")
            self.assertEqual(s.windows(pid=self.bar.pid), [self.win])
            self.assertEqual(s.geometry(self.win), (BAR_X, BAR_Y, SKIN * BUTTONS, SKIN))
        finally:
            s.set_root_colour(before)
            announce_wallpaper()
            wait_for(lambda: s.screenshot().pixel(*corner) == before_rgb, timeout=10,
                     what="the first wallpaper again")

    def test_9_exit_ends_program_and_stores_level(self):
        s = self.session
        config = s.config_home / "Dovi" / "Dovi.ini"
        config.write_text("[GeneralSetLng]\nFirstLaunch=1\nLang=1\n")
        s.click(*self.centre(3), button=3)
        wait_for(lambda: len(s.windows(pid=self.bar.pid)) == 2, timeout=10, what="the menu")
        # Exit is the last item: Up from no selection goes to it.
        s.key("Up")
        s.key("Return")
        self.assertEqual(self.bar.wait(timeout=15), 0)
        self.assertIn("Val_Trans=255", settings_text(s))
        self.assertTrue((s.program_dir / "Dovi_Run.txt").exists())


class EndRequest(unittest.TestCase):
    """Asked by the system to end (the session or the machine shutting down), the bar closes as its
    Exit closes it: idle or with a dialog open, it ends normally and stores the transparency level."""

    def test_end_request_closes_the_bar(self):
        for sig, dialog in ((signal.SIGTERM, False), (signal.SIGHUP, False), (signal.SIGTERM, True)):
            with self.subTest(signal=sig.name, dialog=dialog), Session(BIN_DIR) as s:
                prepare(s, buttons=["/bin/true;;A;1"] * BUTTONS)
                bar, win = start_bar(s)
                (s.config_home / "Dovi" / "Dovi.ini").write_text("[GeneralSetLng]\nFirstLaunch=1\nLang=1\n")
                if dialog:
                    s.click(BAR_X + SKIN // 2, BAR_Y + SKIN // 2, button=3)
                    wait_for(lambda: len(s.windows(pid=bar.pid)) == 2, timeout=10, what="the menu")
                    # The about box is the item above Exit.
                    s.key("Up")
                    s.key("Up")
                    s.key("Return")
                    wait_for(lambda: any(s.xprop(w, "_NET_WM_NAME") not in ('"Dovi"', None)
                                             for w in s.windows(pid=bar.pid)),
                             timeout=10, what="the about box")
                bar.send_signal(sig)
                self.assertEqual(bar.wait(timeout=15), 0)
                self.assertIn("Val_Trans=255", settings_text(s))
                self.assertTrue((s.program_dir / "Dovi_Run.txt").exists())


class FirstLaunch(unittest.TestCase):
    """An empty settings folder and no run marker: the language chooser, then the preferences instead
    of the bar; closed without a button, the program says so, ends and leaves nothing behind."""

    def test_abandoned_first_launch_leaves_nothing(self):
        with Session(BIN_DIR) as s:
            bar = s.start_program()
            language = s.wait_window(pid=bar.pid, timeout=15)
            self.assertEqual(s.xprop(language, "_NET_WM_NAME"), '"Language..."')
            time.sleep(0.3)
            s.key("Return")
            titles = []

            def next_window():
                if bar.poll() is not None:
                    return True
                windows = [w for w in s.windows(pid=bar.pid) if w != language]
                if not windows:
                    return False
                titles.append(s.xprop(windows[-1], "_NET_WM_NAME"))
                time.sleep(0.3)
                s.key("Escape")
                wait_for(lambda: bar.poll() is not None or windows[-1] not in s.windows(pid=bar.pid),
                         timeout=10, what=f"{titles[-1]} to close")
                return bar.poll() is not None
            wait_for(next_window, timeout=60, what="the program to end")
            self.assertEqual(bar.wait(timeout=10), 0)
            # The French preferences (the language chooser's first choice), then the version title
            # of the message about the missing button.
            self.assertIn('"Préférences de Dovi..."', titles)
            self.assertTrue(titles[-1].startswith('"Dovi V'), titles)
            self.assertFalse((s.program_dir / "Dovi_Run.txt").exists())
            self.assertEqual(settings_text(s), "")
            for skin, folder in (("XP_Up.bmp", "XP"), ("XP_Blue_Mask.bmp", "XP_Blue")):
                self.assertTrue((s.program_dir / "Boutons" / folder / skin).exists())
                self.assertFalse((s.program_dir / skin).exists())


@unittest.skipUnless(shutil.which("xrdb"), "xrdb is not installed")
class Scales(unittest.TestCase):
    """The same bar on a 2560x1600 screen at 200 %, with Qt's scaling and without it, at 150 % and at
    115 %: at its place in logical pixels, each button's icon centred in it, a click at each button's
    centre runs that button's target, the desktop in the cut-out corners, an outline as wide on the
    right as on the left and corners cut as mirror images (the skins are), and from 150 % on the
    skins' @2x siblings."""

    def test_icons_centred_and_clicks_at_every_scale(self):
        for dpi, scaling, ratio in ((192, "1", 2.0), (192, "0", 1.0), (144, "1", 1.5), (110, "1", 110 / 96)):
            with self.subTest(dpi=dpi, qt_scaling=scaling), Session(BIN_DIR, screen="2560x1600x24") as s:
                # Each button's target is an application whose icon is a checkerboard of green and red
                # pixels in a green frame 4 pixels wide, 64 pixels in all: what a 200 % screen shows
                # of it as it is.
                icon = s.tmp / "checker.png"
                s.run(["convert", "-size", "2x2", "xc:#ff0000", "-fill", "#00ff00", "-draw", "point 0,0", "-draw",
                       "point 1,1", "-write", "mpr:tile", "+delete", "-size", "64x64", "tile:mpr:tile", "+antialias",
                       "-fill", "none", "-stroke", "#00ff00", "-strokewidth", "4", "-draw", "rectangle 2,2 61,61",
                       str(icon)])
                buttons = []
                for index in range(1, BUTTONS + 1):
                    script = s.tmp / f"record{index}.sh"
                    script.write_text(RECORDER.format(out=s.tmp / f"ran{index}"))
                    script.chmod(0o755)
                    entry = s.tmp / f"app{index}.desktop"
                    entry.write_text(f"[Desktop Entry]\nType=Application\nName=App {index}\nExec={script}\n"
                                     f"Icon={icon}\n")
                    buttons.append(f"{entry};;App {index};1")
                skins = prepare(s, buttons=buttons)
                # Twice as large, blue inside the outline.
                s.run(["convert", str(skins / "XP_Up.bmp"), "-scale", "200%", "-fill", "#0000ff", "-draw",
                       "rectangle 8,8 87,87", f"BMP3:{skins / 'XP_Up@2x.bmp'}"])
                config = s.program_dir / "DoviConfig.txt"
                lines = config.read_bytes().split(b"\r\n")
                lines[5] = b"TRUE"  # the targets' own icons
                config.write_bytes(b"\r\n".join(lines))
                s.run(["xrdb", "-merge"], input=f"Xft.dpi: {dpi}\n")
                bar = s.start_program(env={"QT_ENABLE_HIGHDPI_SCALING": scaling})
                win = s.wait_window(pid=bar.pid, timeout=15)
                side = round(SKIN * ratio)
                at = (round(BAR_X * ratio), round(BAR_Y * ratio))
                wait_for(lambda: s.geometry(win) == (*at, side * BUTTONS, side), timeout=10,
                         what=f"the bar at {at}, {side * BUTTONS}x{side}: {s.geometry(win)}")

                def icons():
                    shot = s.screenshot()
                    boxes = []
                    for index in range(BUTTONS):
                        left = at[0] + index * side
                        green = [(x, y) for y in range(at[1], at[1] + side) for x in range(left, left + side)
                                 if shot.pixel(x, y) == (0, 255, 0)]
                        if not green:
                            return None
                        xs, ys = [x for x, _ in green], [y for _, y in green]
                        boxes.append((min(xs) - left, min(ys) - at[1], max(xs) - left + 1, max(ys) - at[1] + 1))
                    return shot, boxes
                shot, boxes = wait_for(icons, timeout=10, what="the icons drawn")
                for box in boxes:
                    x0, y0, x1, y1 = box
                    # Inside the button, with as much room on each side as on the other.
                    self.assertTrue(0 < x0 and 0 < y0 and x1 < side and y1 < side, (box, side))
                    self.assertLessEqual(abs(x0 - (side - x1)), 1, (box, side))
                    self.assertLessEqual(abs(y0 - (side - y1)), 1, (box, side))
                    self.assertGreaterEqual(x1 - x0, side // 2, (box, side))
                if ratio == 2.0:
                    # Taken at the screen's ratio, not enlarged: green and red alternate pixel by pixel.
                    x0, y0, x1, y1 = boxes[0]
                    row = [shot.pixel(at[0] + x, at[1] + (y0 + y1) // 2) for x in range(x0 + 6, x1 - 6)]
                    changes = sum(a != b for a, b in zip(row, row[1:]))
                    self.assertGreater(changes, 0.8 * (len(row) - 1), row)
                self.assertEqual(shot.pixel(*at), s.root_rgb)
                self.assertEqual(shot.pixel(at[0] + side * BUTTONS - 1, at[1] + side - 1), s.root_rgb)
                edge = round(8 * ratio)
                for index in range(BUTTONS):
                    left, right = at[0] + index * side, at[0] + (index + 1) * side - 1
                    for y in [at[1] + side // 2, *range(at[1], at[1] + edge)]:
                        from_left = [shot.pixel(left + i, y) for i in range(edge)]
                        from_right = [shot.pixel(right - i, y) for i in range(edge)]
                        self.assertEqual(from_left, from_right, (index, y - at[1]))
                    inside = shot.pixel(left + round(6 * ratio), at[1] + side // 2)
                    self.assertEqual(inside == (0, 0, 255), ratio >= 1.5, inside)
                for index in range(1, BUTTONS + 1):
                    s.click(at[0] + side * (index - 1) + side // 2, at[1] + side // 2)
                    wait_for(lambda: (s.tmp / f"ran{index}").exists(), timeout=10, what=f"button {index}'s target")
                    self.assertEqual([p.name for p in s.tmp.glob("ran?")], [f"ran{index}"])
                    (s.tmp / f"ran{index}").unlink()


@unittest.skipUnless(shutil.which("xrandr"), "xrandr is not installed")
class TwoScreens(unittest.TestCase):
    """Two screens side by side, the main one on the right at 200 %, the left one at 100 %: a bar on
    the left screen is there in its pixels; moved onto the main screen (the file changed, then the
    menu's Reload), it is there at that screen's ratio, with the skin's @2x sibling, its outline as
    wide on both sides, and its buttons take clicks."""

    def test_bar_on_either_screen(self):
        with Session(BIN_DIR, screen="2560x1024x24") as s:
            s.run(["xrandr", "--setmonitor", "LEFT", "1280/338x1024/270+0+0", "none"])
            s.run(["xrandr", "--setmonitor", "*RIGHT", "1280/338x1024/270+1280+0", "screen"])
            record = s.tmp / "ran"
            target = s.tmp / "record.sh"
            target.write_text(RECORDER.format(out=record))
            target.chmod(0o755)
            skins = prepare(s, buttons=[f"{target};;A;1"] * BUTTONS)
            s.run(["convert", str(skins / "XP_Up.bmp"), "-scale", "200%", "-fill", "#0000ff", "-draw",
                   "rectangle 8,8 87,87", f"BMP3:{skins / 'XP_Up@2x.bmp'}"])
            bar = s.start_program(env={"QT_SCREEN_SCALE_FACTORS": "LEFT=1;RIGHT=2"})
            win = s.wait_window(pid=bar.pid, timeout=15)
            # The main screen's logical pixels start where its screen pixels do, at 1280, and count
            # two screen pixels each.
            config = s.program_dir / "DoviConfig.txt"
            for (x, y), ratio in (((BAR_X, BAR_Y), 1), ((1400, 100), 2)):
                if ratio == 2:
                    lines = config.read_bytes().split(b"\r\n")
                    lines[0] = f"{x} {y}".encode()
                    config.write_bytes(b"\r\n".join(lines))
                    s.click(BAR_X + SKIN // 2, BAR_Y + SKIN // 2, button=3)
                    wait_for(lambda: len(s.windows(pid=bar.pid)) == 2, timeout=10, what="the menu")
                    # Reload is the third item from the end.
                    s.key("Up")
                    s.key("Up")
                    s.key("Up")
                    s.key("Return")
                at = (x, y) if ratio == 1 else (1280 + (x - 1280) * 2, y * 2)
                side = SKIN * ratio
                wait_for(lambda: s.geometry(win) == (*at, side * BUTTONS, side), timeout=10,
                         what=f"the bar at {at}, {side * BUTTONS}x{side}: {s.geometry(win)}")

                def drawn():
                    shot = s.screenshot()
                    inside = shot.pixel(at[0] + 6 * ratio, at[1] + side // 2)
                    return shot if (inside == (0, 0, 255)) == (ratio == 2) and shot.pixel(*at) == s.root_rgb else None
                shot = wait_for(drawn, timeout=10, what=f"the bar drawn at {ratio}x")
                for index in range(BUTTONS):
                    left, right = at[0] + index * side, at[0] + (index + 1) * side - 1
                    for row in (at[1] + side // 2, at[1] + 1):
                        self.assertEqual([shot.pixel(left + i, row) for i in range(4 * ratio)],
                                         [shot.pixel(right - i, row) for i in range(4 * ratio)], (ratio, index))
                s.click(at[0] + side * 2 + side // 2, at[1] + side // 2)
                wait_for(record.exists, timeout=10, what=f"the target run from the bar at {ratio}x")
                record.unlink()


    def test_placed_on_either_screen_from_the_position_page(self):
        """Both screens at 100 %, the main one on the right: the position page's fields put the bar
        on the left screen, then on the main one, and the file keeps where it is."""
        with Session(BIN_DIR, screen="2560x1024x24") as s:
            s.run(["xrandr", "--setmonitor", "LEFT", "1280/338x1024/270+0+0", "none"])
            s.run(["xrandr", "--setmonitor", "*RIGHT", "1280/338x1024/270+1280+0", "screen"])
            harness.prepare(s, buttons=["/bin/true;;A;1"] * BUTTONS, position=(1400, 50))
            bar = s.start_program()
            win = s.wait_window(pid=bar.pid, timeout=15)
            wait_for(lambda: s.geometry(win)[:2] == (1400, 50), timeout=10, what="the bar on the main screen")
            for x, y in ((100, 60), (1500, 70)):
                bx, by, _w, _h = s.geometry(win)
                s.click(bx + SKIN // 2, by + SKIN // 2, button=3)
                wait_for(lambda: len(s.windows(pid=bar.pid)) == 2, timeout=10, what="the menu")
                # Preferences, then its second item, the position page.
                for key in ("Down", "Right", "Down", "Return"):
                    s.key(key)
                    time.sleep(0.1)
                prefs = wait_for(lambda: [w for w in s.windows(pid=bar.pid) if w != win and s.xprop(w, "_NET_WM_NAME")
                                          not in ('"Dovi"', None)], timeout=10, what="the preferences")[0]
                time.sleep(0.5)
                # The "X" and "Y" position fields, then OK, where the dialog lays them out.
                for field, text in (((385, 179), x), ((385, 207), y)):
                    s.run(["xdotool", "mousemove", "--window", str(prefs), *map(str, field), "click", "--repeat", "3",
                           "1"])
                    s.run(["xdotool", "type", str(text)])
                s.run(["xdotool", "mousemove", "--window", str(prefs), "502", "397", "click", "1"])
                wait_for(lambda: s.windows(pid=bar.pid) == [win], timeout=10, what="the preferences to close")
                wait_for(lambda: s.geometry(win) == (x, y, SKIN * BUTTONS, SKIN), timeout=10,
                         what=f"the bar at {x},{y}: {s.geometry(win)}")
                wait_for(lambda: s.screenshot().pixel(x, y) == s.root_rgb, timeout=10, what="the desktop in its corner")
                self.assertEqual((s.program_dir / "DoviConfig.txt").read_bytes().split(b"\r\n")[0], f"{x} {y}".encode())


@unittest.skipUnless(shutil.which("hsetroot"), "hsetroot is not installed")
class WallpaperCopy(unittest.TestCase):
    """Without a compositor, where the desktop published its wallpaper, the bar's corners show it,
    not a window that happened to lie under the bar when it started."""

    def test_window_under_the_bar_is_not_copied(self):
        with Session(BIN_DIR) as s:
            prepare(s, buttons=["/bin/true;;A;1"] * BUTTONS)
            s.run(["hsetroot", "-solid", "#aa3311"])
            probe = Probe(s, PROBE, "--colour", "#00ff00")
            s.run(["xdotool", "windowmove", "--sync", str(probe.window()), str(BAR_X - 20), str(BAR_Y - 20)])
            corner = (BAR_X, BAR_Y)
            wait_for(lambda: s.screenshot().pixel(*corner) == (0, 255, 0), what="the window under the bar")
            start_bar(s)
            wait_for(lambda: s.screenshot().pixel(*corner) == (0xaa, 0x33, 0x11), timeout=10,
                     what=f"the wallpaper in the corner: {s.screenshot().pixel(*corner)}")


@unittest.skipUnless(shutil.which("xcompmgr"), "xcompmgr is not installed")
class Translucent(unittest.TestCase):
    """A bar stored at 128 under a compositing manager: its pixels are half desktop, half skin."""

    def test_blends_with_what_is_under_it(self):
        """Around the buttons the live desktop shows, a window moved under the bar after it started
        included, and the level applies to the bar's own pixels, not as a window property."""
        with Session(BIN_DIR, compositor=True) as s:
            skins = prepare(s, level=128, buttons=["/bin/true;;A;1"] * BUTTONS, on_top=True)
            bar, win = start_bar(s)
            skin = skin_pixel(skins / "XP_Up.bmp", SKIN // 2, SKIN // 2)
            centre, corner = (BAR_X + SKIN // 2, BAR_Y + SKIN // 2), (BAR_X, BAR_Y)
            # The compositor draws the desktop itself: what is behind is read beside the bar.
            desktop = s.screenshot().pixel(BAR_X - 10, BAR_Y + SKIN + 10)
            for behind in (desktop, (0, 255, 0)):
                if behind != desktop:
                    probe = Probe(s, PROBE, "--colour", "#00ff00")
                    s.run(["xdotool", "windowmove", "--sync", str(probe.window()), str(BAR_X - 20), str(BAR_Y - 20)])
                blend = tuple(round((c * 128 + r * 127) / 255) for c, r in zip(skin, behind))
                wait_for(lambda: close_to(s.screenshot().pixel(*centre), blend, 3), timeout=10,
                         what=f"the bar blended with {behind} to {blend}: {s.screenshot().pixel(*centre)}")
                # A cut-out corner is what lies under the bar, whatever the level.
                self.assertEqual(s.screenshot().pixel(*corner), behind)
            self.assertIsNone(s.xprop(win, "_NET_WM_WINDOW_OPACITY"))
            # The pointer over a corner is over the window under the bar (or its frame); over a button,
            # over the bar.
            for point, owner in ((corner, probe.window()), (centre, win)):
                s.move(*point)
                pointed = re.search(r"WINDOW=(\d+)", s.run(["xdotool", "getmouselocation", "--shell"])).group(1)
                tree = s.run(["xwininfo", "-tree", "-id", pointed])
                self.assertIn(hex(owner), tree, point)
            self.assertIsNone(bar.poll())

    @unittest.skipUnless(shutil.which("hsetroot"), "hsetroot is not installed")
    def test_compositor_coming_and_going(self):
        """A compositor started or stopped while the bar runs: the bar follows within a second, and
        its corners show the wallpaper all along, never black or grey."""
        with Session(BIN_DIR) as s:
            skins = prepare(s, level=128, buttons=["/bin/true;;A;1"] * BUTTONS)
            wallpaper = (0xaa, 0x33, 0x11)
            s.run(["hsetroot", "-solid", "#aa3311"])
            bar, win = start_bar(s)
            skin = skin_pixel(skins / "XP_Up.bmp", SKIN // 2, SKIN // 2)
            blend = tuple(round((c * 128 + r * 127) / 255) for c, r in zip(skin, wallpaper))
            centre, corner = (BAR_X + SKIN // 2, BAR_Y + SKIN // 2), (BAR_X, BAR_Y)

            def follows(expected, what):
                seen = []

                def shows():
                    shot = s.screenshot()
                    seen.append(shot.pixel(*corner))
                    return close_to(shot.pixel(*centre), expected, 3)
                started = time.monotonic()
                wait_for(shows, timeout=10, interval=0.02, what=what)
                self.assertLess(time.monotonic() - started, 2.0, what)
                self.assertEqual(set(seen), {wallpaper}, what)
            follows(skin, "the bar opaque without a compositor")
            compositor = s.spawn(["xcompmgr", "-n"], name="xcompmgr")
            follows(blend, f"the bar blended to {blend} once the compositor runs")
            compositor.terminate()
            compositor.wait(timeout=5)
            follows(skin, "the bar opaque again once the compositor is gone")
            self.assertIsNone(bar.poll())

    def test_transparency_item_only_with_compositor(self):
        """The menu holds one item more, the transparency item, when a compositor runs."""
        heights = {}
        for compositor in (False, True):
            with Session(BIN_DIR, compositor=compositor) as s:
                prepare(s, buttons=["/bin/true;;A;1"] * BUTTONS)
                bar, win = start_bar(s)
                s.click(BAR_X + SKIN // 2, BAR_Y + SKIN // 2, button=3)
                menu = wait_for(lambda: [w for w in s.windows(pid=bar.pid) if w != win], timeout=10,
                                what="the menu")[0]
                heights[compositor] = s.geometry(menu)[3]
                s.key("Escape")
        item = heights[True] - heights[False]
        self.assertTrue(10 <= item <= 40, heights)


if __name__ == "__main__":
    main(globals())
