"""Making and clearing thumbnails from the window: a double click on the
thumbnail corner makes the selected page's thumbnail and shows it there; the
context menu makes and clears the thumbnails of several selected pages, and
the window is usable again after each run."""

import os

import harness
from harness.popups import PopupWatcher

PAGES = ("a.htm", "b.htm", "c.htm")



class MakeThumbsTest(harness.ProgramTestCase):
    def setUp(self):
        super().setUp()
        self.popups = PopupWatcher()
        self.addCleanup(self.popups.close)

    def make_site(self):
        self.site = self.write_site(
            {name: f"<html><body style='background:#2050c0'><h1>{name}</h1></body></html>"
             for name in PAGES})

    def thumb(self, name):
        return self.program.path("THUMBS", self.site.replace("/", "="), name + ".jpg")

    def choose_from_context_menu(self, entry):
        harness.press_key("Menu")
        menu = self.popups.wait_for_menu("Context menu")
        harness.click(harness.find(menu, "menu item", entry))

    def test_the_corner_and_the_context_menu_make_and_clear_thumbnails(self):
        self.make_site()
        window = self.start_program()
        files = harness.find(window, "list", "Folder View files")
        first = harness.find(files, "list item", "a.htm")
        harness.click(first)
        harness.wait_until(lambda: harness.accessible.has_state(first, "selected"),
                           what="a.htm to be selected")

        corner = harness.find(window, "label", "Thumbnail corner")
        harness.double_click(corner)
        harness.wait_until(lambda: os.path.isfile(self.thumb("a.htm")),
                           what="the thumbnail of a.htm")
        harness.wait_until(lambda: harness.first(window, "image", "Thumbnail corner") is not None,
                           what="the thumbnail in the corner")

        # Several pages: the context menu makes all their thumbnails.
        harness.click(first)
        harness.press_key("End", "Shift")
        harness.wait_until(lambda: all(harness.accessible.has_state(
            harness.find(files, "list item", name), "selected") for name in PAGES),
            what="all pages to be selected")
        self.choose_from_context_menu("Make/Update Thumbnail(s)")
        harness.wait_until(lambda: all(os.path.isfile(self.thumb(n)) for n in PAGES),
                           what="the thumbnails of all pages")
        harness.wait_until(lambda: harness.accessible.has_state(files, "enabled"),
                           what="the window to be enabled again")

        self.choose_from_context_menu("Clear Thumbnail(s)")
        harness.wait_until(lambda: not any(os.path.exists(self.thumb(n)) for n in PAGES),
                           what="the thumbnails to be gone")
        harness.wait_until(lambda: harness.accessible.has_state(files, "enabled"),
                           what="the window to be enabled again")
        self.close_through_menu(self.program.main_window())
