"""The preview as a person meets it around the main window's activation: the
page named on the command line is opened once, selected and shown, and
closing a dialog later leaves the user's choice alone; coming back to the
Folder View from the Thumbnail View shows the Folder View's own file again,
with its thumbnail; and a double click on a page that is still loading opens
the editor/browser window once the page is there."""

import os
import re
import time

import harness
from harness.accessible import has_state

# A script that keeps the page loading for a while, as a heavy page does.
SLOW = "<script>const t = Date.now(); while (Date.now() - t < %d) {}</script>"


def page(title, body="", colour="#ffffff"):
    return ("<html><head><title>%s</title></head><body style='background:%s'>"
            "<h1>%s</h1>%s</body></html>" % (title, colour, title, body))


def entry(files, name):
    return harness.find(files, "list item", name)


def tile(grid, index, count):
    """Tile index of a grid of count tiles, in the file list's order."""
    harness.wait_until(lambda: grid.childCount == count, what="%d tiles" % count)
    return grid.getChildAtIndex(index)


def selected(item):
    return has_state(item, "selected")


class ActivationAndPreviewTest(harness.ProgramTestCase):
    def shoot(self, name):
        target = os.path.join(harness.Setup.artifacts, "activation_and_preview")
        os.makedirs(target, exist_ok=True)
        harness.Setup.session.screenshot(os.path.join(target, name))

    def browser_shows(self, window, title):
        return harness.find(window, "filler", "Browser", description=title)

    def no_message_box_for(self, seconds):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            app = self.program.application()
            for child in harness.accessible.children(app):
                if harness.accessible.matches(child, "alert"):
                    self.fail("a message box came up: " + harness.MessageBox(child).text)
            time.sleep(0.2)

    def close_about(self, window):
        harness.choose_menu(window, "Help", "About")
        about = harness.find_window(self.program.application(), "dialog",
                                    re.compile(r"^About -"))
        harness.press_key("Escape")
        harness.wait_gone(about)
        return self.program.main_window()

    def test_the_command_line_page_is_shown_once(self):
        site = self.write_site({"about.htm": page("About Us"), "index.htm": page("Start Page"),
                                "zebra.htm": page("Zebra")})
        window = self.start_program(os.path.join(site, "index.htm"))
        files = harness.find(window, "list", "Folder View files")
        index = entry(files, "index.htm")
        # Selected and shown, as a click would.
        harness.wait_until(lambda: selected(index), what="index.htm selected")
        harness.find(window, "page tab", re.compile(r"^Folder View +\(1 of 3 files selected\)"))
        self.browser_shows(window, "Start Page")

        about = entry(files, "about.htm")
        harness.click(about)
        self.browser_shows(window, "About Us")
        # Closing a dialog makes the main window active again: it stays on
        # the user's page.
        window = self.close_about(window)
        time.sleep(1)
        self.assertTrue(selected(about))
        self.assertFalse(selected(index))
        self.browser_shows(window, "About Us")

        # With unsaved text, closing a dialog asks nothing.
        harness.click(harness.find(window, "check box", "Editor"))
        editor = harness.find(window, "text", "Editor")
        harness.wait_until(lambda: "About Us" in harness.text_of(editor), what="the source")
        harness.click_to_focus(editor)
        harness.press_key("Home")
        harness.type_text("<!-- mine -->")
        harness.wait_until(lambda: "<!-- mine -->" in harness.text_of(editor), what="typed text")
        window = self.close_about(window)
        self.no_message_box_for(2)
        self.assertIn("<!-- mine -->", harness.text_of(editor))

        # The question comes when the program closes.
        harness.choose_menu(window, "File", "Close Velmora")
        box = self.program.message_box()
        self.assertEqual(box.text, "Save changes in: " + os.path.join(site, "about.htm"))
        box.press("No")
        self.assertEqual(self.program.wait_exit(), 0, self.program.log())

    def test_back_in_the_folder_view_its_file_is_shown_again(self):
        site = self.write_site({"a.htm": page("Page A", colour="#2050c0"),
                                "b.htm": page("Page B", colour="#c02020")})
        window = self.start_program()
        files = harness.find(window, "list", "Folder View files")
        a = entry(files, "a.htm")
        harness.click(a)
        self.browser_shows(window, "Page A")
        # The thumbnail of a.htm, made from the corner.
        harness.double_click(harness.find(window, "label", "Thumbnail corner"))
        harness.find(window, "image", "Thumbnail corner")

        # A tile of another page shown from the Thumbnail View.
        harness.click(harness.find(window, "page tab", "Thumbnail View"))
        tiles = harness.find(window, "list", "Thumbnail View files")
        b = tile(tiles, 1, 2)
        harness.click(b)
        harness.wait_until(lambda: selected(b), what="the tile of b.htm selected")
        harness.find(window, "label", "Thumbnail corner")  # b.htm has none

        # Back in the Folder View: its own file, a.htm, with its thumbnail.
        harness.click(harness.find(window, "page tab", re.compile(r"^Folder View")))
        self.browser_shows(window, "Page A")
        harness.find(window, "image", "Thumbnail corner")
        hint = harness.find(window, "label", description="Hint line")
        harness.wait_until(lambda: harness.name_of(hint) == os.path.join(site, "a.htm"),
                           what="the hint line naming a.htm")
        time.sleep(0.5)
        self.shoot("back_in_folder_view.png")

        # The modal window opens on that file, with its name as the caption.
        harness.double_click(a)
        dialog = harness.find_window(self.program.application(), "dialog",
                                     os.path.join(site, "a.htm"))
        harness.press_key("Escape")
        harness.wait_gone(dialog)
        self.close_through_menu(self.program.main_window())

    def test_a_double_click_while_the_page_loads_opens_the_window(self):
        site = self.write_site({
            "a.htm": page("Page A"),
            "slow.htm": page("Slow Page", SLOW % 2500, colour="#20a040"),
            "tile.htm": page("Slow Tile", SLOW % 2500, colour="#a04020")})
        window = self.start_program()
        files = harness.find(window, "list", "Folder View files")
        a = entry(files, "a.htm")
        harness.click(a)
        self.browser_shows(window, "Page A")

        # A double click on a page not yet selected: its load starts with the
        # first click, and the window opens on the page once it is there.
        harness.double_click(entry(files, "slow.htm"))
        path = os.path.join(site, "slow.htm")
        dialog = harness.find_window(self.program.application(), "dialog", path, timeout=20)
        self.browser_shows(dialog, "Slow Page")
        time.sleep(0.5)
        self.shoot("opened_while_loading.png")
        harness.press_key("Escape")
        harness.wait_gone(dialog)

        # The same for a tile that is not the page on show.
        window = self.program.main_window()
        harness.click(harness.find(window, "page tab", "Thumbnail View"))
        tiles = harness.find(window, "list", "Thumbnail View files")
        harness.double_click(tile(tiles, 2, 3))
        dialog = harness.find_window(self.program.application(), "dialog",
                                     os.path.join(site, "tile.htm"), timeout=20)
        self.browser_shows(dialog, "Slow Tile")
        harness.press_key("Escape")
        harness.wait_gone(dialog)
        self.close_through_menu(self.program.main_window())
