"""The editor at work as a person uses it: the find-and-replace dialog opened
with Ctrl+R walks the occurrences with Find Next, says when there are no
more, replaces them all through its button, and Save writes the changed text
with the page's own line ends; in the editor window the palettes change the
colours on screen, a typed tag shows its hint, and Format followed by Save
writes what velmora-format makes of the same text."""

import os
import subprocess

import harness
from harness.accessible import has_state

RED, BLUE = (255, 0, 0), (0, 0, 255)

PAGE = (b"<html><head><title>Prices</title></head>\r\n"
        b"<body><p>apple pie</p>\r\n<p>apple tart</p>\r\n<p>apple cake</p></body></html>\r\n")


class EditorAtWorkTest(harness.ProgramTestCase):
    def open_page_in_editor(self, content=PAGE, expected="apple cake"):
        path = os.path.join(self.write_site({"prices.htm": content}), "prices.htm")
        window = self.start_program()
        return (path,) + self.show_in_editor(window, expected)

    def show_in_editor(self, window, expected):
        """Picks prices.htm in the file list and docks the editor."""
        files = harness.find(window, "list", "Folder View files")
        entry = harness.wait_for_entry(files, "prices.htm")
        harness.click(entry)
        harness.click(harness.find(window, "check box", "Editor"))
        editor = harness.find(window, "text", "Editor")
        harness.wait_until(lambda: expected in harness.text_of(editor),
                           what="the page's source in the editor")
        harness.click(editor)
        return window, editor

    def open_editor_window(self, content):
        """The page in the editor tab of the modal editor window."""
        path, window, _ = self.open_page_in_editor(content, "apple tart")
        files = harness.find(window, "list", "Folder View files")
        harness.double_click(files.getChildAtIndex(0))
        dialog = harness.find_window(self.program.application(), "dialog")
        harness.click(harness.find(dialog, "page tab", "Internal Editor"))
        editor = harness.find(dialog, "text", "Editor")
        harness.click(editor)
        return path, dialog, editor

    def colour_count(self, editor, rgb):
        return harness.Setup.session.colour_count(harness.bounds_of(editor), rgb)

    def open_replace_dialog(self):
        harness.press_key("r", "Control")
        return harness.find_window(self.program.application(), "dialog", "Replace")

    def fill(self, dialog, field, text):
        edit = harness.find(dialog, "text", field)
        harness.click_to_focus(edit)
        harness.type_text(text)
        harness.wait_until(lambda: harness.text_of(edit) == text, what=field + " filled")

    def test_find_next_walks_then_replace_all_and_save(self):
        path, window, editor = self.open_page_in_editor()
        dialog = self.open_replace_dialog()
        self.fill(dialog, "Find what", "apple")
        find_next = harness.find(dialog, "push button", "Find Next")
        text = harness.text_of(editor)
        occurrences = [i for i in range(len(text)) if text.startswith("apple", i)]
        self.assertEqual(len(occurrences), 3)
        for start in occurrences:
            harness.click(find_next)
            harness.wait_until(lambda: selection_of(editor) == (start, start + 5),
                               what="occurrence at %d selected" % start)
        harness.click(find_next)
        box = self.program.message_box()
        self.assertEqual(box.text, '"apple" not found.')
        box.press("OK")

        # Searching starts after the selection: with the caret put back in the
        # text by a click, Replace All starts from the top again.
        harness.click(editor)
        dialog = harness.find(self.program.application(), "dialog", "Replace")
        self.fill(dialog, "Replace with", "plum")
        harness.click(harness.find(dialog, "push button", "Replace All"))
        box = self.program.message_box()
        self.assertEqual(box.text, '"apple", Replace done: 3 times')
        box.press("OK")
        harness.wait_until(lambda: "plum cake" in harness.text_of(editor),
                           what="the replaced text in the editor")
        dialog = harness.find_window(self.program.application(), "dialog", "Replace")
        harness.click(harness.find(dialog, "push button", "Cancel"))
        harness.wait_gone(dialog)

        save = harness.find(window, "push button", "Save")
        harness.wait_until(lambda: has_state(save, "enabled"), what="Save enabled")
        harness.click(save)
        harness.wait_until(lambda: b"plum" in open(path, "rb").read(), what="the saved text")
        with open(path, "rb") as f:
            self.assertEqual(f.read(), PAGE.replace(b"apple", b"plum"))

        # The next run of the program opens the dialog with the texts of this one.
        self.close_through_menu(self.program.main_window())
        self.program.wait_exit()
        options = harness.read_values(self.program.path("prg.ini"))["OPTIONS"]
        self.assertEqual((options.get("LastSearch"), options.get("LastReplace")),
                         ("apple", "plum"))
        window, editor = self.show_in_editor(self.start_program(), "plum cake")
        dialog = self.open_replace_dialog()
        self.assertEqual(harness.text_of(harness.find(dialog, "text", "Find what")), "apple")
        self.assertEqual(harness.text_of(harness.find(dialog, "text", "Replace with")), "plum")
        harness.press_key("Escape")
        harness.wait_gone(dialog)
        self.close_through_menu(self.program.main_window())

    def test_palettes_a_typed_tag_replace_format_and_save(self):
        page = (b"<html><head><title>Work</title></head>\r\n<body><table border=\"1\">"
                b"<tr><td>apple pie</td></tr></table>\r\n<p>apple tart</p></body></html>\r\n")
        path, dialog, editor = self.open_editor_window(page)
        # Palette 1 shows the quoted value red; palette 2 greys everything
        # but the blue tags; Ctrl+1 brings the red back.
        harness.wait_until(lambda: self.colour_count(editor, RED) > 0, what="red quotes")
        harness.press_key("2", "Control")
        harness.wait_until(lambda: self.colour_count(editor, RED) == 0
                           and self.colour_count(editor, BLUE) > 0, what="palette 2")
        harness.press_key("1", "Control")
        harness.wait_until(lambda: self.colour_count(editor, RED) > 0, what="palette 1 again")

        # A tag typed at the start shows its hint.
        harness.press_key("Home", "Control")
        harness.type_text("<b>")
        harness.wait_until(lambda: harness.text_of(editor).startswith("<b><html>"),
                           what="the typed tag")
        hint = harness.find(dialog, "text", "Tag Syntax:")
        harness.wait_until(lambda: harness.text_of(hint) == "<B>...</B>", what="the B hint")

        replace = self.open_replace_dialog()
        self.fill(replace, "Find what", "apple")
        self.fill(replace, "Replace with", "plum")
        harness.click(harness.find(replace, "push button", "Replace All"))
        box = self.program.message_box()
        self.assertEqual(box.text, '"apple", Replace done: 2 times')
        box.press("OK")
        replace = harness.find(self.program.application(), "dialog", "Replace")
        harness.click(harness.find(replace, "push button", "Cancel"))
        harness.wait_gone(replace)

        edited = b"<b>" + page.replace(b"apple", b"plum")
        before = harness.text_of(editor)
        harness.click(harness.find(dialog, "push button", "Format"))
        harness.wait_until(lambda: harness.text_of(editor) != before, what="the formatted text")
        harness.click(harness.find(dialog, "push button", "Save"))
        harness.wait_until(lambda: open(path, "rb").read() != page, what="the saved page")

        # What velmora-format makes of the same text, line ends included.
        other = os.path.join(self.program.folder, "same.htm")
        with open(other, "wb") as f:
            f.write(edited)
        formatter = os.path.join(os.path.dirname(harness.Setup.executable), "velmora-format")
        expected = subprocess.run([formatter, other], check=True, capture_output=True).stdout
        self.assertIn(b"\r\n", expected)
        with open(path, "rb") as f:
            self.assertEqual(f.read(), expected)
        harness.press_key("Escape")
        harness.wait_gone(dialog)
        self.close_through_menu(self.program.main_window())


def selection_of(editor):
    """(start, end) of the editor's selection, or None."""
    text = editor.queryText()
    if text.getNSelections() == 0:
        return None
    return tuple(text.getSelection(0))
