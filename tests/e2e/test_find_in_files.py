"""Find in Files as a person uses it: Ctrl+Shift+F opens the window on the
folder on show, Find All counts the occurrences of a generated site of a few
folders; Replace All with a regular expression shows its preview, where one
of three pages is unchecked, and Apply changes exactly the two others, byte
for byte as Python's re.sub changes them; a double click on an occurrence
shows it selected in the docked editor."""

import os
import re

import harness

# Three pages with occurrences in three folders, with other line ends and a
# byte-order mark; one page without, and one outside the masks.
PAGES = {
    "index.htm": b"<p>old shop</p>\n<p>the old prices</p>\n<p>bold</p>\n",
    "about/team.htm": b"\xef\xbb\xbf<p>Old friends</p>\r\n<p>old hands, old ways</p>\r\n",
    "news/2020/item.html": b"<h1>old news</h1>\r<p>caf\xc3\xa9 old menu</p>\r",
    "news/none.htm": b"<p>nothing to see</p>\n",
    "news/notes.txt": b"old notes, not a page\n",
}
FIND = r"\bold (\w+)"
REPLACE = r"new \1"


class FindInFilesTest(harness.ProgramTestCase):
    def shoot(self, name):
        target = os.path.join(harness.Setup.artifacts, "find_in_files")
        os.makedirs(target, exist_ok=True)
        harness.Setup.session.screenshot(os.path.join(target, name))

    def open_window(self, pages=PAGES):
        self.site = self.write_site(pages)
        main = self.start_program()
        harness.wait_for_entry(harness.find(main, "list", "Folder View files"), "index.htm")
        harness.press_key("f", "Control", "Shift")
        window = harness.find_window(self.program.application(), None, "Find in Files")
        return main, window

    def fill(self, window, field, text):
        edit = harness.find(window, "text", field)
        harness.click_to_focus(edit)
        harness.press_key("a", "Control")
        harness.type_text(text)
        harness.wait_until(lambda: harness.text_of(edit) == text, what=field + " filled")

    def check(self, window, name):
        """Ticks a check box and waits until it shows ticked. In a full run of
        the suite a click right after another once left the box unticked; the
        box is clicked again only while it still shows unticked, so a box that
        toggles wrongly still fails here."""
        box = harness.find(window, "check box", name)
        for _ in range(3):
            harness.click(box)
            try:
                harness.wait_until(lambda: harness.accessible.has_state(box, "checked"),
                                   timeout=3, what=name + " ticked")
                return
            except harness.HarnessError:
                pass
        self.fail(name + " never showed ticked")

    def uncheck_row(self, row):
        """Selects a page's row and unticks it with the space bar, then waits
        until it shows unticked. Under load a click right after the window
        appeared once went unseen, leaving the row ticked; the row is tried
        again only while it still shows ticked."""
        harness.wait_until(lambda: harness.accessible.has_state(row, "checked"),
                           what="the row ticked at first")
        for _ in range(3):
            harness.click(row)
            try:
                harness.wait_until(lambda: harness.accessible.has_state(row, "selected"),
                                   timeout=3, what="the row selected")
            except harness.HarnessError:
                continue
            harness.press_key("space")
            try:
                harness.wait_until(lambda: not harness.accessible.has_state(row, "checked"),
                                   timeout=3, what="the row unticked")
                return
            except harness.HarnessError:
                pass
        self.fail("the row never showed unticked")

    def find_all(self, window, find, regular=False):
        self.assertEqual(harness.text_of(harness.find(window, "text", "Folder")),
                         self.site + "/")
        self.fill(window, "Find what", find)
        self.fill(window, "File masks", "*.htm")
        if regular:
            self.check(window, "Regular expression")
        self.check(window, "Match case")
        harness.click(harness.find(window, "push button", "Find All"))
        status = harness.find(window, "label", description="Find in Files status")
        harness.wait_until(lambda: not harness.text_of(status).startswith("Searching")
                           and harness.text_of(status).endswith("skipped)"),
                           what="the search's end")
        return harness.text_of(status)

    def test_find_all_counts_and_double_click_selects_in_editor(self):
        main, window = self.open_window()
        status = self.find_all(window, "old")
        # "bold" holds "old" too; Match case leaves "Old" out.
        self.assertEqual(status, "7 matches in 3 files (4 files searched, 0 skipped)")
        results = harness.find(window, None, "Find in Files results")
        row = harness.find(results, None, "2: <p>the old prices</p>")
        self.shoot("find_in_files_results.png")
        harness.double_click(row)
        editor = harness.find(main, "text", "Editor")
        text = PAGES["index.htm"].decode()
        start = text.index("old prices")
        harness.wait_until(lambda: selection_of(editor) == (start, start + 3),
                           what="the occurrence selected in the editor")
        self.assertTrue(harness.text_of(editor).startswith("<p>old shop</p>"))
        self.shoot("find_in_files_editor.png")

    def test_replace_all_with_one_page_unchecked(self):
        _, window = self.open_window()
        self.fill(window, "Replace with", REPLACE)
        status = self.find_all(window, FIND, regular=True)
        self.assertEqual(status, "6 matches in 3 files (4 files searched, 0 skipped)")
        harness.click(harness.find(window, "push button", "Replace All..."))
        preview = harness.find_window(self.program.application(), "dialog", "Replace in Files")
        files = harness.find(preview, "tree", "Files to change")
        row = harness.find(files, None, re.compile(r"^about/team\.htm  \("))
        self.uncheck_row(row)
        self.shoot("replace_in_files_preview.png")
        harness.click(harness.find(preview, "push button", "Apply"))
        box = harness.find_message_box(self.program.application())
        self.assertIn("Replaced 4 occurrences in 2 files.", box.text)
        box.press("OK")

        pattern = re.compile(FIND.encode())
        for name, before in PAGES.items():
            with open(os.path.join(self.site, name), "rb") as f:
                after = f.read()
            changed = name in ("index.htm", "news/2020/item.html")
            expected = pattern.sub(REPLACE.encode(), before) if changed else before
            self.assertEqual(after, expected, name)
            # Backups are on by default: the old bytes beside each changed page.
            backup = os.path.join(self.site, name + ".pbak")
            self.assertEqual(os.path.exists(backup), changed, name)
            if changed:
                with open(backup, "rb") as f:
                    self.assertEqual(f.read(), before)


    def test_a_minified_page_is_previewed_around_each_change(self):
        """A page of one long line: the preview shows each change with some
        text either side, cut off with an ellipsis, not the whole line."""
        line = "<p>" + "a" * 3000 + " old " + "b" * 3000 + " old " + "c" * 3000 + "</p>"
        _, window = self.open_window({"index.htm": line.encode() + b"\n"})
        self.fill(window, "Replace with", "new")
        status = self.find_all(window, "old")
        self.assertTrue(status.startswith("2 matches in 1 "), status)
        harness.click(harness.find(window, "push button", "Replace All..."))
        preview = harness.find_window(self.program.application(), "dialog", "Replace in Files")
        files = harness.find(preview, "tree", "Files to change")
        for at in (line.index(" old "), line.rindex(" old ")):
            start, end = at + 1, at + 4
            before = line[start - 20:end + 60]
            after = line[start - 20:start] + "new" + line[end:end + 60]
            harness.find(files, None, "\u2026" + before + "\u2026")
            harness.find(files, None, "\u2026" + after + "\u2026")
        self.shoot("replace_in_files_long_line.png")
        harness.click(harness.find(preview, "push button", "Cancel"))
        with open(os.path.join(self.site, "index.htm"), "rb") as f:
            self.assertEqual(f.read(), line.encode() + b"\n")


def selection_of(editor):
    """(start, end) of the editor's selection, or None."""
    text = editor.queryText()
    if text.getNSelections() == 0:
        return None
    return tuple(text.getSelection(0))
