"""Scrolling the Thumbnail View of a folder whose pages all have thumbnails:
a person holds Page Down through hundreds of tiles and then stops; every
tile on screen shows its picture (not the "no thumbnail" text, not an empty
place), and scrolling leaves the thumbnail files on disk as they were."""

import os
import shutil
import subprocess

import harness

PAGES = 300
# The pages' background; the thumbnails show it over most of their area.
RED = (0xC0, 0x30, 0x20)


class ThumbnailViewScrollTest(harness.ProgramTestCase):
    def make_thumbnails(self, site):
        """One thumbnail made by the batch command for a page of the same
        look, copied as the thumbnail of every page of the site."""
        one = os.path.join(self.program.folder, "one")
        os.makedirs(one)
        with open(os.path.join(one, "a.htm"), "w") as f:
            f.write("<html><body style='background:#c03020'></body></html>")
        tool = os.path.join(os.path.dirname(harness.Setup.executable), "velmora-thumbs")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", QTWEBENGINE_DISABLE_SANDBOX="1")
        done = subprocess.run([tool, "--program-dir", self.program.folder, one], env=env,
                              capture_output=True, text=True, timeout=120)
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        made = self.program.path("THUMBS", one.replace("/", "="), "a.htm.jpg")
        folder = self.program.path("THUMBS", site.rstrip("/").replace("/", "="))
        os.makedirs(folder, exist_ok=True)
        for i in range(PAGES):
            shutil.copyfile(made, os.path.join(folder, "page%03d.htm.jpg" % i))
        return {name: os.stat(os.path.join(folder, name)).st_mtime_ns
                for name in os.listdir(folder)}, folder

    def test_every_tile_on_screen_shows_its_picture_after_fast_scrolling(self):
        site = self.write_site({"page%03d.htm" % i: "<html><body style='background:#c03020'>"
                                "</body></html>" for i in range(PAGES)})
        before, folder = self.make_thumbnails(site)

        window = self.start_program()
        harness.click(harness.find(window, "page tab", "Thumbnail View"))
        grid = harness.find(window, "list", "Thumbnail View files")
        harness.wait_until(lambda: grid.childCount == PAGES, what="a tile per page")
        harness.click(grid.getChildAtIndex(0))
        harness.wait_until(lambda: harness.has_state(grid.getChildAtIndex(0), "selected"),
                           what="the first tile selected")
        for _ in range(25):
            harness.press_key("Page_Down")

        # One tile's picture covers 130 x 100 pixels; the screen shows
        # several rows of several tiles. When tiles stayed empty or said
        # "no thumbnail", far less of the grid would be red.
        left, top, width, height = harness.bounds_of(grid)
        columns = width // 152
        rows = height // 145
        self.assertGreater(columns * rows, 4)
        least = columns * rows * 130 * 100 // 2
        session = harness.Setup.session
        harness.wait_until(lambda: session.colour_count((left, top, width, height), RED) >= least,
                           what="every tile on screen painted with its picture")
        session.screenshot(os.path.join(harness.Setup.artifacts, "thumbnail_view_scrolled.png"))
        shown = [grid.getChildAtIndex(i) for i in range(grid.childCount)
                 if harness.has_state(grid.getChildAtIndex(i), "showing")]
        self.assertTrue(shown)
        self.assertTrue(all(t.description == "thumbnail" for t in shown))
        self.assertGreater(int(shown[0].name.split(":")[0]), 100)  # far down the folder

        after = {name: os.stat(os.path.join(folder, name)).st_mtime_ns
                 for name in os.listdir(folder)}
        self.assertEqual(after, before)
        self.close_through_menu(self.program.main_window())
