"""Translucent windows: told available exactly while a compositing manager runs, blended with the
desktop by the opacity asked, and an ordinary window again at 255."""

import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from harness import Probe, Session, close_to, main, wait_for  # noqa: E402

BIN_DIR = None
PROBE = None
EXTRA_TOOLS = ("xcompmgr",)

BAR_COLOUR = (255, 0, 0)
INSIDE_BAR = (200, 130)   # the probe's bar covers 100,100 to 300,160
OUTSIDE_BAR = (600, 500)


def blend(level, front, back):
    alpha = level / 255
    return tuple(round(alpha * f + (1 - alpha) * b) for f, b in zip(front, back))


class Translucency:
    """What both kinds of session share."""

    compositor = False

    def setUp(self):
        self.session = Session(BIN_DIR, compositor=self.compositor).__enter__()
        self.addCleanup(self.session.close)

    @staticmethod
    def opacity(probe, level):
        """Sets a level, then has the probe make one X round trip.

        The window services write the opacity property without flushing the X connection, so a level
        set while no other X traffic follows would stay in the program's output buffer."""
        assert probe.ask(f"opacity {level}") == "ok"
        assert probe.ask("capture 0 0 1 1").startswith("capture 1x1")

    def pixel(self, point):
        return self.session.screenshot().pixel(*point)

    def bar_shown(self, probe):
        win = probe.window()
        wait_for(lambda: self.session.is_viewable(win), what="the bar mapped")
        wait_for(lambda: self.pixel(INSIDE_BAR) == BAR_COLOUR, what="the bar painted")
        return win

    def start_compositor(self):
        proc = self.session.spawn(["xcompmgr", "-n"], name="xcompmgr-late")
        wait_for(lambda: '"xcompmgr"' in self.session.run(["xwininfo", "-root", "-children"], check=False),
                 what="xcompmgr")
        return proc


class WithCompositor(Translucency, unittest.TestCase):
    compositor = True

    def test_available(self):
        probe = Probe(self.session, PROBE)
        self.assertEqual(probe.ask("translucency"), "translucency 1")

    def test_levels_blend_with_the_desktop(self):
        probe = Probe(self.session, PROBE)
        win = self.bar_shown(probe)
        behind = self.pixel(OUTSIDE_BAR)
        for level in (128, 64, 200, 25):
            self.opacity(probe, level)
            expected = blend(level, BAR_COLOUR, behind)
            wait_for(lambda: close_to(self.pixel(INSIDE_BAR), expected),
                     what=f"the bar blended at {level}: {expected}")
            opacity = self.session.cardinal(win, "_NET_WM_WINDOW_OPACITY")
            self.assertAlmostEqual(opacity / 0xFFFFFFFF, level / 255, places=3)
        # The desktop around the bar is untouched.
        self.assertEqual(self.pixel(OUTSIDE_BAR), behind)

    def test_255_is_an_ordinary_window_again(self):
        probe = Probe(self.session, PROBE)
        win = self.bar_shown(probe)
        self.opacity(probe, 100)
        wait_for(lambda: self.pixel(INSIDE_BAR) != BAR_COLOUR, what="the bar translucent")
        self.opacity(probe, 255)
        wait_for(lambda: self.pixel(INSIDE_BAR) == BAR_COLOUR, what="the bar opaque again")
        # No opacity left on the window at all, so the compositor treats it as any other window.
        self.assertIsNone(self.session.xprop(win, "_NET_WM_WINDOW_OPACITY"))

    def test_levels_out_of_range_are_bounded(self):
        probe = Probe(self.session, PROBE)
        win = self.bar_shown(probe)
        self.opacity(probe, 300)
        self.assertEqual(self.pixel(INSIDE_BAR), BAR_COLOUR)
        self.assertIsNone(self.session.xprop(win, "_NET_WM_WINDOW_OPACITY"))
        self.opacity(probe, -5)
        behind = self.pixel(OUTSIDE_BAR)
        wait_for(lambda: close_to(self.pixel(INSIDE_BAR), behind), what="a fully transparent bar")

    def test_level_given_before_the_first_show(self):
        probe = Probe(self.session, PROBE, "--hidden")
        self.opacity(probe, 128)
        self.assertEqual(probe.ask("show"), "ok")
        win = probe.window()
        wait_for(lambda: self.session.is_viewable(win), what="the bar mapped")
        behind = self.pixel(OUTSIDE_BAR)
        expected = blend(128, BAR_COLOUR, behind)
        wait_for(lambda: close_to(self.pixel(INSIDE_BAR), expected), what=f"the bar blended: {expected}")


class WithoutCompositor(Translucency, unittest.TestCase):
    compositor = False

    def test_unavailable_with_no_reason(self):
        # Nobody owns the compositing selection: a definite "no", not "cannot tell".
        probe = Probe(self.session, PROBE)
        self.assertEqual(probe.ask("translucency"), "translucency 0")

    def test_opacity_changes_nothing_on_screen(self):
        probe = Probe(self.session, PROBE)
        win = self.bar_shown(probe)
        self.opacity(probe, 128)
        # Once the window carries the level, the screen still shows the bar as it was.
        wait_for(lambda: self.session.cardinal(win, "_NET_WM_WINDOW_OPACITY"), what="the opacity property")
        self.assertEqual(self.pixel(INSIDE_BAR), BAR_COLOUR)
        self.assertTrue(self.session.is_viewable(win))

    def test_compositor_coming_and_going_is_seen(self):
        probe = Probe(self.session, PROBE)
        self.bar_shown(probe)
        self.assertEqual(probe.ask("translucency"), "translucency 0")
        compositor = self.start_compositor()
        wait_for(lambda: probe.ask("translucency") == "translucency 1", what="translucency available")
        self.opacity(probe, 128)
        behind = self.pixel(OUTSIDE_BAR)
        expected = blend(128, BAR_COLOUR, behind)
        wait_for(lambda: close_to(self.pixel(INSIDE_BAR), expected), what=f"the bar blended: {expected}")

        compositor.terminate()
        compositor.wait(timeout=5)
        wait_for(lambda: probe.ask("translucency") == "translucency 0", what="translucency gone")
        # With nobody blending, the bar is drawn as it is.
        wait_for(lambda: self.pixel(INSIDE_BAR) == BAR_COLOUR, what="the bar opaque without a compositor")


if __name__ == "__main__":
    main(globals())
