"""Check Links as a person uses it: Extras › Check Links on a generated site
with broken links, the rows listed in the report with the status line; a
double click on a row brings the main window's editor up on that page with
the caret on the row's line; Save Report writes the rows as CSV."""

import os
import re

import harness


PAGES = {
    "index.htm": "<html><body>\n<a href=\"about.htm\">about</a>\n"
                 "<a href=\"gone.htm\">gone</a>\n<a href=\"sub/\">sub</a>\n</body></html>\n",
    "about.htm": "<html><body><a href=\"index.htm#nowhere\">home</a></body></html>\n",
    "sub/index.html": "<html><body>\n<p>one</p>\n<p>two</p>\n<p>three</p>\n"
                      "<img src=\"missing.png\">\n<p>six</p>\n</body></html>\n",
}


class CheckLinksTest(harness.ProgramTestCase):
    def shoot(self, name):
        target = os.path.join(harness.Setup.artifacts, "check_links")
        os.makedirs(target, exist_ok=True)
        harness.Setup.session.screenshot(os.path.join(target, name))

    def cells(self, report):
        return [harness.name_of(cell)
                for cell in harness.accessible.descendants(report)
                if harness.accessible.role_of(cell) == "table cell"]

    def test_rows_double_click_and_saved_report(self):
        site = self.write_site(PAGES)
        window = self.start_program()
        # Extras is open while a file is selected.
        harness.click(harness.find(harness.find(window, "list", "Folder View files"),
                                   "list item", "about.htm"))
        harness.wait_until(lambda: harness.accessible.has_state(
            harness.find(harness.find(window, "menu bar"), "menu item", "Extras"), "enabled"),
            what="the Extras menu enabled")
        harness.choose_menu(window, "Extras", "Check Links...")
        checker = harness.find_window(self.program.application(), "dialog",
                                      re.compile(r"^Check Links"))

        # The folder on show is filled in; the check runs with the defaults.
        folder = harness.find(checker, "text", "Folder")
        self.assertEqual(harness.text_of(folder).rstrip("/"), site)
        for name, on in (("Include subfolders", True), ("Check anchors", True),
                         ("List external links", False)):
            box = harness.find(checker, "check box", name)
            self.assertEqual(harness.has_state(box, "checked"), on, name)
        harness.click(harness.find(checker, "push button", "Check"))
        status = harness.find(checker, "label", description="Check Links status")
        harness.wait_until(lambda: re.match(r"^3 problems in 3 pages \(\d+ links checked, [\d.]+ s\)$",
                                            harness.name_of(status)),
                           what="the finished check's status line")
        report = next(found for role in ("tree table", "tree", "table")
                      if (found := harness.first(checker, role, "Check Links results")))
        cells = self.cells(report)
        for row in (["index.htm", "3", "gone.htm", "Missing file"],
                    ["about.htm", "1", "index.htm#nowhere", "Missing anchor"],
                    ["sub/index.html", "5", "missing.png", "Missing file"]):
            at = next(i for i in range(0, len(cells), 4) if cells[i:i + 4] == row)
            self.assertGreaterEqual(at, 0, row)
        self.shoot("check_links.png")

        # Double click on the sub/index.html row: the editor on that page, the
        # caret at the start of line 5.
        cell = next(c for c in harness.accessible.descendants(report)
                    if harness.accessible.role_of(c) == "table cell" and harness.name_of(c) == "sub/index.html")
        harness.double_click_until(cell, lambda: harness.first(window, "text", "Editor"),
                                   what="the editor in the main window")
        editor = harness.find(window, "text", "Editor")
        harness.wait_until(lambda: "missing.png" in harness.text_of(editor),
                           what="the page in the editor")
        text = harness.text_of(editor)
        line5 = text.index("<img")
        harness.wait_until(lambda: editor.queryText().caretOffset == line5,
                           what="the caret at the start of line 5")
        # The Folder View on the page's folder, the page selected.
        harness.find(window, "page tab", re.compile(r"^Folder View .*\(1 of 1 files selected\)"))
        self.shoot("editor_at_line.png")

        # Save Report... through the save dialog: the rows as CSV.
        checker = harness.find(self.program.application(), "dialog", re.compile(r"^Check Links"))
        harness.perform(harness.find(checker, "push button", "Save Report..."))
        dialog = harness.find_window(self.program.application(), "dialog", "Save Report")
        target = os.path.join(self.program.folder, "links.csv")
        edit = harness.find(dialog, "text", labelled_by=re.compile("name"))
        edit.queryEditableText().setTextContents(target)
        harness.click(harness.find(dialog, "push button", "Save"))
        harness.wait_gone(dialog)
        harness.wait_until(lambda: os.path.exists(target), what="the report written")
        with open(target, "rb") as f:
            lines = f.read().split(b"\r\n")
        self.assertEqual(lines[0], b"Page,Line,Link,Problem")
        self.assertEqual(sorted(lines[1:-1]),
                         [b"about.htm,1,index.htm#nowhere,Missing anchor",
                          b"index.htm,3,gone.htm,Missing file",
                          b"sub/index.html,5,missing.png,Missing file"])
        self.assertEqual(lines[-1], b"")
