"""The README's pictures: the bar on a desktop, and its preferences dialog opened from the bar's menu.

As a test it checks that both can be reached the way a user does; with --out FOLDER (tools/screenshots.sh)
it also keeps the pictures there."""

import os
import shutil
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from harness import Session, main, wait_for  # noqa: E402
from e2e_robustness import config_text, set_up  # noqa: E402

BIN_DIR = None
OUT = os.environ.get("DOVI_SCREENSHOTS")

TARGETS = ["/usr/bin/xdotool", "/usr/share", "/etc/hostname", "https://example.org", "/tmp"]


def crop(session, source, target, x, y, width, height):
    session.run(["convert", str(source), "-crop", f"{width}x{height}+{x}+{y}", "+repage", str(target)])


class Screenshots(unittest.TestCase):
    def test_bar_and_preferences(self):
        with Session(BIN_DIR, root_colour="#2e5e8c", screen="800x500x24") as s:
            set_up(s, lang=1)
            (s.program_dir / "DoviConfig.txt").write_bytes(config_text(s.program_dir, TARGETS, position="220 60", icons=True))
            bar = s.start_program()
            window = s.wait_window(pid=bar.pid, timeout=30)
            x, y, width, height = s.geometry(window)
            self.assertEqual((x, y), (220, 60))
            self.assertEqual(height, 48)
            self.assertEqual(width, 48 * len(TARGETS))
            shots = Path(OUT) if OUT else s.tmp / "shots"
            shots.mkdir(parents=True, exist_ok=True)
            whole = s.tmp / "desktop.png"
            picture = s.screenshot(save_as=whole)
            # The corners of the rounded buttons show the desktop, their middles do not.
            self.assertEqual(picture.pixel(x, y), s.root_rgb)
            self.assertNotEqual(picture.pixel(x + 24, y + 24), s.root_rgb)
            crop(s, whole, shots / "bar.png", x - 40, y - 30, width + 80, height + 60)

            # Right click on a button, then Preferences > General options, as a user would.
            s.click(x + 24, y + 24, button=3)
            s.key("Down")
            s.key("Right")
            s.key("Return")
            dialog = wait_for(lambda: [w for w in s.windows(pid=bar.pid) if w != window
                                       and s.geometry(w)[2] > 200], what="the preferences dialog",
                              timeout=20)[0]
            wait_for(lambda: s.is_viewable(dialog), what="the dialog on screen")
            dx, dy, dw, dh = s.geometry(dialog)
            s.screenshot(save_as=whole)
            crop(s, whole, shots / "preferences.png", max(0, dx - 8), max(0, dy - 30), dw + 16, dh + 46)
            self.assertTrue((shots / "preferences.png").stat().st_size > 1000)
            s.key("Escape")
            wait_for(lambda: not s.is_viewable(dialog), what="the dialog to close", timeout=10)
            self.assertIsNone(bar.poll())


if __name__ == "__main__":
    main(globals())
