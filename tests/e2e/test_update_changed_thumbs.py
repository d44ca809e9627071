"""Update Changed Thumbnails as a person uses it: the thumbnails of a folder
were made earlier (with velmora-thumbs), one page was saved since; the
Thumbnail View marks that page's tile, and the context menu entry makes that
one thumbnail again and leaves the others as they were on disk. Run again
from the Extras menu, it finds nothing to do and says so."""

import os
import subprocess
import time

import harness
from harness.popups import PopupWatcher

PAGES = ("a.htm", "b.htm", "c.htm", "d.htm")
CHANGED = "c.htm"
HOUR = 3600


class UpdateChangedThumbsTest(harness.ProgramTestCase):
    def setUp(self):
        super().setUp()
        self.popups = PopupWatcher()
        self.addCleanup(self.popups.close)

    def thumb(self, name):
        return self.program.path("THUMBS", self.site.replace("/", "="), name + ".jpg")

    def make_thumbnails_beforehand(self):
        """Pages saved two hours ago, their thumbnails made by the batch
        command and dated one hour ago; then one page is saved now."""
        now = time.time()
        for name in PAGES:
            os.utime(os.path.join(self.site, name), (now - 2 * HOUR, now - 2 * HOUR))
        tool = os.path.join(os.path.dirname(harness.Setup.executable), "velmora-thumbs")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", QTWEBENGINE_DISABLE_SANDBOX="1")
        done = subprocess.run([tool, "--program-dir", self.program.folder, self.site], env=env,
                              capture_output=True, text=True, timeout=120)
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        for name in PAGES:
            os.utime(self.thumb(name), (now - HOUR, now - HOUR))
        os.utime(os.path.join(self.site, CHANGED))  # "touch": saved now
        return {name: os.stat(self.thumb(name)).st_mtime_ns for name in PAGES}

    def tiles(self, grid):
        return {grid.getChildAtIndex(i).name.split(": ", 1)[1]: grid.getChildAtIndex(i)
                for i in range(grid.childCount)}

    def descriptions(self, grid):
        return {name: tile.description for name, tile in self.tiles(grid).items()}

    def test_only_the_changed_page_gets_its_thumbnail_again(self):
        self.site = self.write_site(
            {name: f"<html><body style='background:#c03020'><h1>{name}</h1></body></html>"
             for name in PAGES})
        before = self.make_thumbnails_beforehand()

        window = self.start_program()
        harness.click(harness.find(window, "page tab", "Thumbnail View"))
        grid = harness.find(window, "list", "Thumbnail View files")
        harness.wait_until(lambda: grid.childCount == len(PAGES), what="a tile per page")
        expected = {name: "outdated thumbnail" if name == CHANGED else "thumbnail"
                    for name in PAGES}
        harness.wait_until(lambda: self.descriptions(grid) == expected,
                           what="the changed page's tile alone marked outdated")
        time.sleep(0.5)  # the tiles are painted
        harness.Setup.session.screenshot(
            os.path.join(harness.Setup.artifacts, "update_changed_mark.png"))

        # A right click on a tile, once the window has taken the first click.
        first = self.tiles(grid)["a.htm"]
        harness.click(first)
        harness.wait_until(lambda: harness.has_state(first, "selected"),
                           what="a.htm to be selected")
        harness.click(first, button=3)
        menu = self.popups.wait_for_menu("Context menu")
        harness.click(harness.find(menu, "menu item", "Update Changed Thumbnails"))
        harness.wait_until(lambda: os.stat(self.thumb(CHANGED)).st_mtime_ns != before[CHANGED],
                           timeout=60, what="the changed page's thumbnail made again")
        harness.wait_until(lambda: harness.has_state(grid, "enabled"),
                           what="the window to be enabled again")
        after = {name: os.stat(self.thumb(name)).st_mtime_ns for name in PAGES}
        page_saved = os.stat(os.path.join(self.site, CHANGED)).st_mtime_ns
        self.assertGreaterEqual(after[CHANGED], page_saved)
        self.assertEqual({n: t for n, t in after.items() if n != CHANGED},
                         {n: t for n, t in before.items() if n != CHANGED})
        with open(self.thumb(CHANGED), "rb") as f:
            self.assertEqual(f.read(2), b"\xff\xd8")  # a whole JPEG
        harness.wait_until(lambda: set(self.descriptions(grid).values()) == {"thumbnail"},
                           what="no tile marked any more")

        # Nothing left to do: the Extras entry says so and makes nothing.
        harness.choose_menu(window, "Extras", "Update Changed Thumbnails")
        box = self.program.message_box()
        self.assertIn("up to date", box.text)
        box.press("OK")
        self.assertEqual({name: os.stat(self.thumb(name)).st_mtime_ns for name in PAGES}, after)
        self.close_through_menu(self.program.main_window())
