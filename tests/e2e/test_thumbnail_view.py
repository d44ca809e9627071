"""The Thumbnail View as a person uses it: all tiles selected and Make Thumbs
pressed, the progress window runs to its end and every page has its
thumbnail on disk and in its tile; Esc stops a run over slow pages that the
worker processes render several at once; and ClearThumbs on one tile brings
its placeholder back."""

import os
import subprocess
import time

import harness

SLOW_SCRIPT = ("<script>const t = Date.now(); while (Date.now() - t < 1000) {}</script>")


class ThumbnailViewTest(harness.ProgramTestCase):
    def make_site(self, count, slow=False):
        return self.write_site({
            "page%02d.htm" % i: "<html><head><title>Page %d</title></head><body style='background:"
                                "#%02x8040'><h1>Page %d</h1>%s</body></html>"
                                % (i, (i * 8) % 256, i, SLOW_SCRIPT if slow else "")
            for i in range(count)})

    def thumb_folder(self, site):
        """The site's thumbnail subfolder: its path with "/" made "=". """
        return self.program.path("THUMBS", site.rstrip("/").replace("/", "="))

    def thumbnails(self, site):
        folder = self.thumb_folder(site)
        if not os.path.isdir(folder):
            return []
        return sorted(name for name in os.listdir(folder) if name.endswith(".jpg"))

    def open_thumbnail_view(self):
        window = self.start_program()
        harness.click(harness.find(window, "page tab", "Thumbnail View"))
        grid = harness.find(window, "list", "Thumbnail View files")
        return window, grid

    def workers(self):
        """The worker processes of velmora-thumbs making this program's thumbnails."""
        found = subprocess.run(["pgrep", "-f", "--", "--worker --program-dir " + self.program.folder],
                               capture_output=True, text=True).stdout.split()
        return [pid for pid in found if int(pid) != os.getpid()]

    def tiles(self, grid):
        return [grid.getChildAtIndex(i) for i in range(grid.childCount)]

    def run_make_thumbs(self, window, grid):
        harness.click(harness.find(window, "push button", "Select All"))
        # With only the first tile selected Make Thumbs makes one thumbnail
        # without a progress window: the selection must be complete first.
        harness.wait_until(
            lambda: all(harness.has_state(t, "selected") for t in self.tiles(grid)),
            what="every tile selected")
        harness.click(harness.find(window, "push button", "Make Thumbs"))
        # The progress window is a plain window of its own (no dialog: it
        # runs beside the disabled main window, not over it).
        return harness.find_window(self.program.application(), "filler", "Velmora Progress")

    def test_make_thumbs_for_every_tile_then_clear_one(self):
        site = self.make_site(30)
        window, grid = self.open_thumbnail_view()
        harness.wait_until(lambda: grid.childCount == 30, what="30 tiles")
        progress = self.run_make_thumbs(window, grid)
        harness.wait_gone(progress, timeout=120)
        self.assertEqual(len(self.thumbnails(site)), 30)
        for name in self.thumbnails(site):
            with open(os.path.join(self.thumb_folder(site), name), "rb") as f:
                self.assertEqual(f.read(2), b"\xff\xd8", name)  # a JPEG, not half a file
        harness.wait_until(
            lambda: all(t.description == "thumbnail" for t in self.tiles(grid)),
            what="every tile with its picture")
        harness.Setup.session.screenshot(os.path.join(harness.Setup.artifacts, "grid.png"))

        # ClearThumbs on the first tile alone.
        harness.click(self.tiles(grid)[0])
        # ClearThumbs works on the selection: it must be the first tile alone.
        harness.wait_until(
            lambda: [harness.has_state(t, "selected") for t in self.tiles(grid)]
            == [True] + [False] * 29,
            what="the first tile alone selected")
        harness.click(harness.find(window, "push button", "ClearThumbs"))
        harness.wait_until(lambda: self.tiles(grid)[0].description == "no thumbnail",
                           what="the placeholder back in the first tile")
        self.assertEqual(len(self.thumbnails(site)), 29)
        self.close_through_menu(self.program.main_window())

    def test_esc_stops_a_run_over_slow_pages(self):
        site = self.make_site(8, slow=True)
        window, grid = self.open_thumbnail_view()
        harness.wait_until(lambda: grid.childCount == 8, what="8 tiles")
        progress = self.run_make_thumbs(window, grid)
        # The pages are rendered at once by the thumbnail program beside the
        # window's, while the progress window stays live.
        harness.wait_until(lambda: len(self.workers()) >= 2, what="two workers rendering")
        time.sleep(1.5)
        harness.Setup.session.screenshot(os.path.join(harness.Setup.artifacts, "progress.png"))
        harness.press_key("Escape")
        harness.wait_gone(progress, timeout=30)
        # The progress window closes at once; the pages in hand are finished
        # and the workers end with the run.
        harness.wait_until(lambda: not self.workers(), timeout=60,
                           what="the workers ended with the run")
        made = len(self.thumbnails(site))
        self.assertGreaterEqual(made, 1)
        self.assertLess(made, 8)
        for name in self.thumbnails(site):
            with open(os.path.join(self.thumb_folder(site), name), "rb") as f:
                self.assertEqual(f.read()[-2:], b"\xff\xd9", name)  # a whole JPEG
        self.close_through_menu(self.program.main_window())
