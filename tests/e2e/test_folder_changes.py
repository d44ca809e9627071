"""Another program changes the folder on show: a page it adds appears in the
Folder View and the Thumbnail View, a page it removes goes from both, the
page the user selected stays selected and previewed, and F5 lists the folder
again at once."""

import os

import harness
from harness.accessible import has_state


def names_in(files):
    """The names the list shows; None while it is being listed anew, when a
    child it counted a moment ago is already gone."""
    children = [files.getChildAtIndex(i) for i in range(files.childCount)]
    if any(child is None for child in children):
        return None
    return [harness.name_of(child) for child in children]


def entry(files, name):
    for i in range(files.childCount):
        child = files.getChildAtIndex(i)
        if child is not None and harness.name_of(child) == name:
            return child
    return None


class FolderChangesTest(harness.ProgramTestCase):
    def page(self, site, name, title):
        with open(os.path.join(site, name), "w") as f:
            f.write("<html><head><title>%s</title></head><body><h1>%s</h1></body></html>"
                    % (title, title))

    def test_pages_added_and_removed_outside_are_listed(self):
        site = self.write_site({})
        for name in ("about.htm", "index.htm", "zoo.htm"):
            self.page(site, name, name.split(".")[0].title())
        window = self.start_program()
        files = harness.find(window, "list", "Folder View files")
        harness.wait_until(lambda: names_in(files) == ["about.htm", "index.htm", "zoo.htm"],
                           what="the site's pages listed")
        index = entry(files, "index.htm")
        harness.click(index)
        harness.find(window, "filler", "Browser", description="Index")

        # Added and removed by another program, with no action in the window.
        self.page(site, "contact.htm", "Contact")
        os.remove(os.path.join(site, "zoo.htm"))
        harness.wait_until(lambda: names_in(files) == ["about.htm", "contact.htm", "index.htm"],
                           what="the list following the folder")
        harness.wait_until(lambda: has_state(entry(files, "index.htm"), "selected"),
                           what="index.htm still selected")
        self.assertFalse(has_state(entry(files, "contact.htm"), "selected"))
        # The preview still shows the page, and no question was asked.
        harness.find(window, "filler", "Browser", description="Index")
        self.assertIsNone(harness.first(self.program.application(), "alert"))

        # The Thumbnail View lists the same pages.
        harness.click(harness.find(window, "page tab", "Thumbnail View"))
        tiles = harness.find(window, "list", "Thumbnail View files")
        harness.wait_until(lambda: len(names_in(tiles) or []) == 3, what="three tiles")
        self.page(site, "news.htm", "News")
        harness.wait_until(lambda: len(names_in(tiles) or []) == 4, what="a tile for the new page")
        harness.click(harness.find(window, "page tab", "Folder View"))
        harness.wait_until(lambda: "news.htm" in (names_in(files) or []), what="news.htm listed")

        # F5 lists the folder again at once.
        harness.click(entry(files, "index.htm"))
        os.remove(os.path.join(site, "about.htm"))
        harness.press_key("F5")
        harness.wait_until(lambda: names_in(files) == ["contact.htm", "index.htm", "news.htm"],
                           timeout=5, what="the list after F5")
        self.close_through_menu(self.program.main_window())
