"""The bar in Wayland sessions, checked on screenshots of what the user sees: under sway (headless)
as an X11 client of its XWayland and as a native Wayland client, and under the XWayland of weston,
mutter and KWin, each nested in an Xvfb (tests/e2e/compositors.py starts them).

The bar holds three 48 x 48 buttons with cut-out corners, in a row at 100,100 (a column for one
case): on the screen that is the buttons' skin in 100..243 x 100..147 and the desktop around it and
in the cut-out corners. Under sway a left click runs a button's target, a right click opens the menu
at the pointer and a bar stored at 128 is half desktop; under weston the bar shows at once, with no
pointer motion and no frame; natively under sway it comes up alone, a small floating window.

Each compositor's tests share one compositor; they are skipped, with the reason, where it is missing
or cannot start here."""

import stat
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from compositors import KWin, Mutter, Sway, Weston, tail  # noqa: E402
from harness import MASK_RGB, SKIN, close_to, main, prepare, read_bmp, wait_for  # noqa: E402

BIN_DIR = None
PROBE = None

BAR_X, BAR_Y = 100, 100
BUTTONS = 3
MARGIN = 3  # the ring around the bar that must show the desktop

RECORDER = """#!/bin/sh
# Notes that it ran.
pwd > "{out}.part"
mv "{out}.part" "{out}"
"""


def hexcolour(rgb):
    return "#%02x%02x%02x" % tuple(rgb)


def bar_size(vertical=False, buttons=BUTTONS):
    return (SKIN, SKIN * buttons) if vertical else (SKIN * buttons, SKIN)


def blend(level, front, back):
    return tuple(round((f * level + b * (255 - level)) / 255) for f, b in zip(front, back))


class BarPicture:
    """What the screen shows where the bar is: each button's skin where its mask is not see-through,
    the desktop in the cut-out corners and around the bar."""

    def __init__(self, skins, desktop, origin=(BAR_X, BAR_Y), vertical=False, buttons=BUTTONS):
        self.up = read_bmp(skins / "XP_Up.bmp")
        self.mask = read_bmp(skins / "XP_Mask.bmp")
        self.desktop = desktop
        self.origin = origin
        self.size = bar_size(vertical, buttons)

    def expected(self, x, y):
        """(colour, what) at a screen point."""
        ox, oy = self.origin
        w, h = self.size
        if not (ox <= x < ox + w and oy <= y < oy + h):
            return self.desktop.pixel(x, y), "outside the bar"
        bx, by = (x - ox) % SKIN, (y - oy) % SKIN
        if self.mask.pixel(bx, by) == MASK_RGB:
            return self.desktop.pixel(x, y), "a cut-out corner"
        return self.up.pixel(bx, by), "a button"

    def mismatches(self, shot, inside=3, outside=3):
        """[(x, y, seen, expected, what)] where the screenshot is not the bar on the desktop."""
        ox, oy = self.origin
        w, h = self.size
        found = []
        for y in range(max(0, oy - MARGIN), min(shot.height, oy + h + MARGIN)):
            for x in range(max(0, ox - MARGIN), min(shot.width, ox + w + MARGIN)):
                expected, what = self.expected(x, y)
                seen = shot.pixel(x, y)
                if not close_to(seen, expected, outside if what == "outside the bar" else inside):
                    found.append((x, y, seen, expected, what))
        return found

    def report(self, shot, found):
        w, h = self.size
        lines = [f"the screen does not show the bar of {w}x{h} at {self.origin[0]},{self.origin[1]}: "
                 f"{len(found)} pixels differ"]
        shown = {}
        for x, y, seen, expected, what in found:
            if len(shown.setdefault(what, [])) < 4:
                shown[what].append(f"({x},{y}) is {hexcolour(seen)}, not {hexcolour(expected)}")
        for what, examples in shown.items():
            lines.append(f"  {what}: " + "; ".join(examples))
        lines.append("  what differs from the desktop on the screen: " + changed_area(shot, self.desktop))
        return "\n".join(lines)


def changed_area(shot, desktop, threshold=24):
    """The bounding box of what differs clearly from the desktop, as WxH+X+Y."""
    row_bytes = shot.width * 3
    xs, ys = [], []
    for y in range(shot.height):
        a = shot.rgb[y * row_bytes:(y + 1) * row_bytes]
        b = desktop.rgb[y * row_bytes:(y + 1) * row_bytes]
        if a == b:
            continue
        columns = [i // 3 for i in range(row_bytes) if abs(a[i] - b[i]) > threshold]
        if columns:
            ys.append(y)
            xs += (columns[0], columns[-1])
    if not ys:
        return "nothing"
    return f"{max(xs) - min(xs) + 1}x{max(ys) - min(ys) + 1}+{min(xs)}+{min(ys)}"


class CompositorCase(unittest.TestCase):
    """One compositor for the class, the desktop as it shows before any bar, a bar per test."""

    compositor = None
    options = {}

    @classmethod
    def setUpClass(cls):
        try:
            cls.c = cls.compositor(BIN_DIR, **cls.options).__enter__()
        except unittest.SkipTest as e:
            print(f"\n{cls.__name__} skipped: {e}", file=sys.stderr)
            raise
        cls.addClassCleanup(cls.c.__exit__, None, None, None)
        cls.desktop = cls.c.screenshot()
        target = cls.c.tmp / "targets" / "record me.sh"
        target.parent.mkdir()
        cls.record = cls.c.tmp / "ran"
        target.write_text(RECORDER.format(out=cls.record))
        target.chmod(target.stat().st_mode | stat.S_IXUSR)
        cls.buttons = [f"{target};;Record;1", "/bin/true;;Two;1", "/bin/true;;Three;1"]

    def start_bar(self, level=255, align="HORIZONTAL", env=None):
        """The bar configured with three buttons at BAR_X, BAR_Y; ended after the test."""
        skins = prepare(self.c, level=level, buttons=self.buttons, position=(BAR_X, BAR_Y), align=align)
        bar = self.c.start_program(env=env)
        self.addCleanup(self.check_compositor)
        self.addCleanup(self.c.stop_program, bar)
        return bar, skins

    def check_compositor(self):
        ended = self.c.ended()
        if ended:
            raise self.failureException(f"{self.c.name} {ended} while the bar ran; its log ends:\n"
                                        f"{tail(self.c.read_log(self.c.name), 12)}")

    def program_log(self):
        return tail(self.c.read_log("Dovi"), 15)

    def fail(self, msg=None):
        # A compositor that went down explains everything else.
        ended = self.c.ended()
        if ended:
            msg = (f"{self.c.name} {ended} while the bar ran; its log ends:\n{tail(self.c.read_log(self.c.name), 12)}\n"
                   f"the program's output:\n{self.program_log()}\n(then: {msg})")
        super().fail(msg)

    def window_place(self, win):
        try:
            x, y, w, h = self.c.geometry(win)
            return f"{w}x{h} at {x},{y}"
        except Exception as e:
            return f"unknown ({e})"

    def wait_bar_window(self, bar):
        """The bar's X11 window, once mapped."""
        try:
            return self.c.wait_window(pid=bar.pid, timeout=15)
        except Exception as e:
            self.fail(f"{e}; the program {'ended with ' + str(bar.returncode) if bar.poll() is not None else 'runs'}; "
                      f"its output:\n{self.program_log()}")

    def other_windows(self, bar, win, settle=1.0):
        """[(window, title, place)] of the program's X11 windows besides the bar, after settle seconds
        for what it may put up with the bar."""
        time.sleep(settle)
        return [(w, self.c.xprop(w, "_NET_WM_NAME"), self.window_place(w))
                for w in self.c.windows(pid=bar.pid) if w != win]

    def close_messages(self, bar, win):
        """Closes what the program puts up with the bar, as a user would (Return), so that the bar
        takes clicks; a test of its own checks that nothing comes up."""
        for w, title, place in self.other_windows(bar, win):
            self.c.run(["xdotool", "windowactivate", "--sync", str(w)], check=False, timeout=5)
            self.c.run(["xdotool", "windowfocus", "--sync", str(w)], check=False, timeout=5)
            self.c.key("Return")
            try:
                wait_for(lambda: w not in self.c.windows(pid=bar.pid), timeout=5, what=f"{title} to close")
            except Exception:
                self.fail(f"the window {title} ({place}) the program put up with its bar does not close on Return")

    def wait_picture(self, picture, timeout, inside=3, outside=3):
        """Screenshots until the bar shows as pictured or the time is up: (last shot, mismatches)."""
        deadline = time.monotonic() + timeout
        while True:
            shot = self.c.screenshot()
            found = picture.mismatches(shot, inside, outside)
            if not found or time.monotonic() >= deadline:
                return shot, found
            time.sleep(0.05)

    def assert_bar_shown(self, picture, win=None, timeout=10, inside=3, outside=3):
        shot, found = self.wait_picture(picture, timeout, inside, outside)
        if found:
            message = picture.report(shot, found)
            if win is not None:
                message += f"\n  the bar's X11 window: {self.window_place(win)}"
            self.fail(message)
        return shot

    def assert_menu_at_pointer(self, bar, win):
        """A right click on the second button opens the bar's menu there; Escape closes it."""
        x, y = self.button_centre(win, 2)
        self.c.click(x, y, button=3)
        try:
            menu = wait_for(lambda: [w for w in self.c.windows(pid=bar.pid) if w != win], timeout=10, what="the menu")
        except Exception:
            self.fail(f"a right click at {x},{y} opened no menu")
        self.assertEqual(len(menu), 1, "more than one new window")
        mx, my, mw, mh = self.c.geometry(menu[0])
        self.assertTrue(abs(mx - x) <= 3 and abs(my - y) <= 3,
                        f"the menu's top-left is at {mx},{my}, the click was at {x},{y}")
        # Drawn where it is: its middle is not the desktop any more.
        middle = (mx + mw // 2, my + mh // 2)
        wait_for(lambda: not close_to(self.c.screenshot().pixel(*middle), self.desktop.pixel(*middle), 10),
                 timeout=10, what=f"the menu drawn at {mx},{my} {mw}x{mh}")
        self.c.key("Escape")
        wait_for(lambda: self.c.windows(pid=bar.pid) == [win], timeout=10, what="the menu to close on Escape")
        self.assertIsNone(bar.poll())

    def button_centre(self, win, index):
        """Where button index (1...) of the bar's window is, from the window's place."""
        x, y, _w, _h = self.c.geometry(win)
        return x + SKIN * (index - 1) + SKIN // 2, y + SKIN // 2


class SwayXWayland(CompositorCase):
    """The bar as an X11 client of sway's XWayland: placed and sized as configured, its corners cut,
    answering clicks, translucent when stored so."""

    compositor = Sway

    def test_1_bar_comes_up_alone(self):
        # The bar is placed where it was asked to be here: nothing to tell the user.
        bar, _skins = self.start_bar()
        win = self.wait_bar_window(bar)
        others = self.other_windows(bar, win)
        self.assertEqual(others, [], f"the program puts up more than its bar ({self.window_place(win)}): {others}; "
                                     f"its output:\n{self.program_log()}")

    def test_2_bar_at_its_place_in_its_size_with_corners_cut(self):
        bar, skins = self.start_bar()
        win = self.wait_bar_window(bar)
        self.c.move(900, 700)  # no button under the pointer
        shot = self.assert_bar_shown(BarPicture(skins, self.desktop), win)
        # The first button's top-left corner is cut: the desktop shows there, not the window's grey.
        self.assertEqual(shot.pixel(BAR_X, BAR_Y), self.desktop.pixel(BAR_X, BAR_Y))
        # On another workspace too.
        self.c.swaymsg("command", "workspace", "2")
        self.addCleanup(self.c.swaymsg, "command", "workspace", "1")
        self.assert_bar_shown(BarPicture(skins, self.desktop), win)

    def test_3_vertical_bar_is_a_column_of_its_buttons(self):
        # Not sway's smallest floating window (75x50) either.
        bar, skins = self.start_bar(align="VERTICAL")
        win = self.wait_bar_window(bar)
        self.c.move(900, 700)
        self.assert_bar_shown(BarPicture(skins, self.desktop, vertical=True), win)

    def test_4_left_click_runs_the_target(self):
        bar, _skins = self.start_bar()
        win = self.wait_bar_window(bar)
        self.close_messages(bar, win)
        if self.record.exists():
            self.record.unlink()
        x, y = self.button_centre(win, 1)
        self.c.click(x, y)
        try:
            wait_for(self.record.exists, timeout=10, what="the target to run")
        except Exception:
            self.fail(f"a left click at {x},{y} on the first button (window {self.window_place(win)}) ran nothing; "
                      f"the program's output:\n{self.program_log()}")
        self.assertEqual(self.record.read_text().strip(), "/")

    def test_5_right_click_opens_the_menu_at_the_pointer(self):
        bar, _skins = self.start_bar()
        win = self.wait_bar_window(bar)
        self.close_messages(bar, win)
        self.assert_menu_at_pointer(bar, win)

    def test_6_translucent_bar_is_half_desktop(self):
        bar, skins = self.start_bar(level=128)
        win = self.wait_bar_window(bar)
        self.c.move(900, 700)
        picture = BarPicture(skins, self.desktop)
        centres = [(BAR_X + SKIN * i + SKIN // 2, BAR_Y + SKIN // 2) for i in range(BUTTONS)]
        wanted = {p: blend(128, picture.up.pixel(SKIN // 2, SKIN // 2), self.desktop.pixel(*p)) for p in centres}
        corners = [(BAR_X, BAR_Y), (BAR_X + SKIN * BUTTONS - 1, BAR_Y + SKIN - 1)]

        def blended():
            shot = self.c.screenshot()
            return shot if all(close_to(shot.pixel(*p), wanted[p], 3) for p in centres) else None
        try:
            shot = wait_for(blended, timeout=10, what="the bar blended")
        except Exception:
            shot = self.c.screenshot()
            seen = ", ".join(f"({x},{y}) is {hexcolour(shot.pixel(x, y))}, not {hexcolour(wanted[(x, y)])}"
                             for x, y in centres)
            self.fail(f"the buttons' middles at 128 are not half skin {hexcolour(picture.up.pixel(SKIN // 2, SKIN // 2))}, "
                      f"half desktop: {seen}; the bar's X11 window: {self.window_place(win)}")
        for p in corners:
            self.assertEqual(shot.pixel(*p), self.desktop.pixel(*p), f"cut-out corner {p} at 128")


class SwayWayland(CompositorCase):
    """The bar as a native Wayland client of sway (no XWayland): it comes up alone, with no message
    about what it cannot do, as a small floating window of its buttons, not a tiled window."""

    compositor = Sway
    options = {"xwayland": False}

    def test_native_bar_is_one_small_floating_window(self):
        """The first start says once that the desktop places the bar (no word about Windows); the
        next one shows the bar alone. Either way the bar is a small floating window of its buttons."""
        size = bar_size()
        for start in ("first", "second"):
            if start == "first":
                bar, skins = self.start_bar(env=self.c.env_wayland)
            else:
                # The same folders, settings included.
                bar = self.c.start_program(env=self.c.env_wayland)
                self.addCleanup(self.c.stop_program, bar)

            def shown():
                return [(v["name"], "floating" if v["floating"] else "tiled",
                         (v["rect"]["width"], v["rect"]["height"]), (v["rect"]["x"], v["rect"]["y"]))
                        for v in self.c.views(pid=bar.pid)]
            try:
                wait_for(lambda: any(v[2] == size for v in shown()), timeout=15, what="the bar's window")
            except Exception:
                self.fail(f"no bar; the program {'ended' if bar.poll() is not None else 'runs'}; its windows: "
                          f"{shown()}; its output:\n{self.program_log()}")
            # A message the program puts up comes with the bar.
            time.sleep(1.5)
            views = shown()
            seen = f"the program's windows (title, kind, size, place): {views}; its output:\n{self.program_log()}"
            bars = [v for v in views if v[0] == "Dovi"]
            notices = [v for v in views if v[0] != "Dovi"]
            self.assertEqual(len(bars), 1, seen)
            self.assertEqual(bars[0][1:3], ("floating", size), f"not the bar's {size[0]}x{size[1]} floating window: "
                                                               + seen)
            if start == "first":
                self.assertEqual(len(notices), 1, seen)
                self.assertTrue(notices[0][0].startswith("Dovi V"), seen)
                self.assertIn("places the windows of programs itself", self.program_log())
                self.assertNotIn("Windows", self.program_log())
            else:
                # Alone on the screen this time, the bar shows as pictured.
                self.assertEqual(notices, [], "the notice came again: " + seen)
                self.assert_bar_shown(BarPicture(skins, self.desktop, origin=bars[0][3]))
            # Ended as at a logout, also with the notice open.
            self.assertEqual(self.c.stop_program(bar), 0, self.program_log())


class WestonXWayland(CompositorCase):
    """The bar under weston's XWayland shows at its place within a second of its window being mapped,
    with no pointer motion to make it show, and without a frame or shadow; its menu opens at the
    pointer."""

    compositor = Weston

    def test_bar_shows_at_once_at_its_place_without_frame(self):
        bar, skins = self.start_bar()
        win = self.wait_bar_window(bar)
        picture = BarPicture(skins, self.desktop)
        shot, found = self.wait_picture(picture, timeout=1.0)
        if found:
            message = "1 s after its window was mapped, " + picture.report(shot, found)
            later, still = self.wait_picture(picture, timeout=3.0)
            message += ("\n  4 s after, still not: what differs from the desktop: " + changed_area(later, self.desktop)
                        if still else "\n  it showed as pictured later, within 4 s")
            message += f"\n  the bar's X11 window: {self.window_place(win)}"
            message += "\n  a plain X11 window (xev) " + self.plain_window_shows()
            message += ("; with it on the screen the bar shows " +
                        ("as pictured" if not picture.mismatches(self.c.screenshot()) else "still not"))
            self.fail(message)
        self.assert_menu_at_pointer(bar, win)

    def plain_window_shows(self):
        """Whether another X11 client's window shows at once here: the fault is the bar's if so."""
        xev = self.c.spawn(["xev", "-geometry", "120x90+600+400"], name="xev")
        self.addCleanup(self.c.stop_program, xev)
        try:
            self.c.wait_window(name="^Event Tester$", timeout=10)
        except Exception:
            return "did not map here either"
        deadline = time.monotonic() + 1.0
        while time.monotonic() < deadline:
            if self.c.screenshot().pixel(660, 445) != self.desktop.pixel(660, 445):
                return "showed within 1 s of being mapped, without pointer motion"
            time.sleep(0.05)
        return "did not show within 1 s either"


class PlacedAsAsked:
    """Under a window manager that places X windows as asked: the bar at its place in its size, the
    desktop in the cut-out corners."""

    def test_bar_at_its_place_with_desktop_in_corners(self):
        bar, skins = self.start_bar()
        win = self.wait_bar_window(bar)
        self.assert_bar_shown(BarPicture(skins, self.desktop), win)


class MutterXWayland(PlacedAsAsked, CompositorCase):
    compositor = Mutter


class KWinXWayland(PlacedAsAsked, CompositorCase):
    compositor = KWin


if __name__ == "__main__":
    main(globals())
