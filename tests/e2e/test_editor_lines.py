"""The editor's line numbers, Go to Line, a regular-expression Replace All and
the matching tag, as a person uses them: the numbers are seen beside the text
on the screen, Ctrl+G puts the caret at the start of the line asked for, the
find-and-replace dialog with "Regular expression" rewrites every match with
its groups and Save writes the result, and with the caret in a tag the tag
that closes it gets its background in every colour scheme."""

import os

import harness
from harness.accessible import has_state
from harness.desktop import read_xwd

GUTTER = (240, 240, 240)      # the line-number strip's background
MATCHING = (255, 220, 130)    # the matching tag's background

LINES = ["<html><head><title>Fruit</title></head>", "<body>", "<div class=\"list\">"]
LINES += ["<p>line %d</p>" % n for n in range(4, 30)]
LINES += ["<p>apple pie</p>", "<p>apple tart</p>", "<p>apple cake</p>"]
LINES += ["<p>line %d</p>" % n for n in range(33, 40)]
LINES += ["</div>", "</body></html>"]
PAGE = ("\r\n".join(LINES) + "\r\n").encode()


class EditorLinesTest(harness.ProgramTestCase):
    def shots(self, name):
        folder = os.path.join(harness.Setup.artifacts, "editor_lines")
        os.makedirs(folder, exist_ok=True)
        return os.path.join(folder, name)

    def open_page(self):
        path = os.path.join(self.write_site({"fruit.htm": PAGE}), "fruit.htm")
        window = self.start_program()
        files = harness.find(window, "list", "Folder View files")
        entry = harness.wait_for_entry(files, "fruit.htm")
        # The page is previewed first: a double click whose first click also
        # starts the preview's load was once taken as two single clicks on a
        # busy machine.
        harness.click(entry)
        harness.find(window, "filler", "Browser", description="Fruit")
        application = self.program.application()
        dialog = harness.double_click_until(
            entry, lambda: next((w for w in harness.accessible.children(application)
                                 if harness.accessible.matches(w, "dialog", None)), None),
            what="the editor/browser window")
        dialog = harness.find_window(application, "dialog")
        harness.click(harness.find(dialog, "page tab", "Internal Editor"))
        editor = harness.find(dialog, "text", "Editor")
        harness.wait_until(lambda: "apple cake" in harness.text_of(editor),
                           what="the page's source in the editor")
        harness.click(editor)
        return path, dialog, editor


    def test_lines_go_to_line_regex_replace_and_matching_tag(self):
        path, dialog, editor = self.open_page()

        # The numbers' strip is at the editor's left (the strip is inside the
        # text control, which shows no children): its grey fills the left
        # edge, with the numbers drawn on it.
        ex, ey, ewidth, eheight = harness.bounds_of(editor)
        strip = (ex + 3, ey + 3, 20, eheight - 40)
        area = strip[2] * strip[3]
        harness.wait_until(lambda: exact_count(strip, GUTTER) > area // 2,
                           what="the line-number strip painted")
        numbers = area - exact_count(strip, GUTTER)
        self.assertGreater(numbers, 50)
        harness.Setup.session.screenshot(self.shots("line_numbers.png"))

        # Ctrl+G to line 30: the caret at its start.
        harness.press_key("g", "Control")
        go = harness.find_window(self.program.application(), "dialog", "Go to Line")
        box = harness.find(go, "spin button", "Line number")
        harness.click_to_focus(box)
        harness.press_key("a", "Control")
        harness.type_text("30")
        harness.wait_until(lambda: harness.text_of(box) == "30", what="30 typed")
        harness.click(harness.find(go, "push button", "OK"))
        harness.wait_gone(go)
        text = harness.text_of(editor)
        line30 = text.index("<p>apple pie</p>")
        harness.wait_until(lambda: editor.queryText().caretOffset == line30,
                           what="the caret at the start of line 30")

        # Replace All of a regular expression through the dialog's buttons.
        harness.press_key("r", "Control")
        replace = harness.find_window(self.program.application(), "dialog", "Replace")
        self.fill(replace, "Find what", r"apple (\w+)")
        self.fill(replace, "Replace with", r"\1 of apple")
        harness.click(harness.find(replace, "check box", "Regular expression"))
        harness.wait_until(lambda: has_state(
            harness.find(replace, "check box", "Regular expression"), "checked"),
            what="Regular expression on")
        harness.click(harness.find(replace, "push button", "Replace All"))
        box = self.program.message_box()
        self.assertEqual(box.text, r'"apple (\w+)", Replace done: 3 times')
        box.press("OK")
        harness.wait_until(lambda: "tart of apple" in harness.text_of(editor),
                           what="the replaced text")
        replace = harness.find(self.program.application(), "dialog", "Replace")
        harness.click(harness.find(replace, "push button", "Cancel"))
        harness.wait_gone(replace)
        harness.click(harness.find(dialog, "push button", "Save"))
        expected = PAGE.replace(b"apple pie", b"pie of apple").replace(
            b"apple tart", b"tart of apple").replace(b"apple cake", b"cake of apple")
        harness.wait_until(lambda: open(path, "rb").read() == expected, what="the saved page")

        # The caret in <div class="list">: its </div> gets the background, in
        # each of the four colour schemes.
        harness.click(editor)
        text = harness.text_of(editor)
        in_div = text.index("<div") + 2

        # The click may reach the editor after the caret was set: set it
        # again until it stays.
        def caret_in_div():
            if editor.queryText().caretOffset == in_div:
                return True
            editor.queryText().setCaretOffset(in_div)
            return False

        harness.wait_until(caret_in_div, what="the caret in <div>")
        for palette in "1234":
            harness.press_key(palette, "Control")
            harness.wait_until(lambda: exact_count(harness.bounds_of(editor), MATCHING) > 50,
                               what="the matching tag shown in palette " + palette)
            harness.Setup.session.screenshot(self.shots("matching_tag_%s.png" % palette))
        # Ctrl+M: the caret into the closing tag.
        harness.wait_until(caret_in_div, what="the caret still in <div>")
        harness.press_key("m", "Control")
        closing = text.index("</div>")
        harness.wait_until(lambda: editor.queryText().caretOffset == closing + 1,
                           what="the caret in </div>")
        harness.press_key("Escape")
        harness.wait_gone(dialog)
        self.close_through_menu(self.program.main_window())

    def fill(self, dialog, field, text):
        edit = harness.find(dialog, "text", field)
        harness.click_to_focus(edit)
        harness.press_key("a", "Control")
        harness.type_text(text)
        harness.wait_until(lambda: harness.text_of(edit) == text, what=field + " filled")


def exact_count(bounds, rgb):
    """How many pixels of the screen area bounds show exactly the colour rgb:
    the backgrounds here are flat colours close to white, which the harness's
    tolerant count would confuse with it."""
    _, _, rows = read_xwd(os.path.join(harness.Setup.session.root, "fb", "Xvfb_screen0"))
    x, y, width, height = bounds
    wanted = bytes(rgb)
    count = 0
    for row in rows[max(0, y):y + height]:
        piece = row[max(0, x) * 3:(x + width) * 3]
        count += sum(1 for i in range(0, len(piece), 3) if piece[i:i + 3] == wanted)
    return count
