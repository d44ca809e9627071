"""The main window operated as an assistive tool operates it (a screen
reader, voice control, switch access): through the accessible actions of its
controls rather than with the mouse. Every control that can be toggled is
toggled that way and must do what a click does; the view buttons switch the
preview between the browser and the editor."""

import harness
from harness import accessible
from harness.accessible import has_state

PAGES = {
    "about.htm": "<html><head><title>About Us</title></head><body><h1>About Us</h1></body></html>\n",
    "index.htm": "<html><head><title>Start Page</title></head><body><h1>Start</h1></body></html>\n",
}


def actions_of(acc):
    try:
        actions = acc.queryAction()
    except NotImplementedError:
        return []
    return [actions.getName(i) for i in range(actions.nActions)]


def toggle_controls(window):
    """Every control of the window that a tool operates by "Toggle", by name."""
    found = {}
    for acc in accessible.descendants(window):
        if "Toggle" in actions_of(acc):
            found[harness.name_of(acc)] = acc
    return found


class AccessibleActionsTest(harness.ProgramTestCase):
    def open_site(self):
        self.write_site(PAGES)
        window = self.start_program()
        files = harness.find(window, "list", "Folder View files")
        about = harness.wait_for_entry(files, "about.htm")
        harness.click(about)
        harness.find(window, "filler", "Browser", description="About Us")
        return window

    def editor_shows_the_page(self, window):
        editor = harness.first(window, "text", "Editor")
        return (editor is not None and "<title>About Us</title>" in harness.text_of(editor)
                and harness.first(window, "filler", "Browser") is None)

    def browser_shows_the_page(self, window):
        return (harness.first(window, "filler", "Browser", description="About Us") is not None
                and harness.first(window, "text", "Editor") is None)

    def test_each_toggle_control_acts_when_toggled_by_a_tool(self):
        window = self.open_site()
        controls = toggle_controls(window)
        # A new toggle control needs its own check here.
        self.assertEqual(sorted(controls), ["Browser", "Editor"])
        browser, editor = controls["Browser"], controls["Editor"]
        self.assertTrue(has_state(browser, "checked"))

        harness.perform(editor, "Toggle")
        harness.wait_until(lambda: self.editor_shows_the_page(window),
                           what="the page's source in the docked editor")
        self.assertTrue(has_state(editor, "checked"))
        self.assertFalse(has_state(browser, "checked"))
        # Toggling the button that is down leaves the editor where it is.
        harness.perform(editor, "Toggle")
        self.assertTrue(has_state(editor, "checked"))
        self.assertTrue(self.editor_shows_the_page(window))

        harness.perform(browser, "Toggle")
        harness.wait_until(lambda: self.browser_shows_the_page(window),
                           what="the page in the docked browser")
        self.assertTrue(has_state(browser, "checked"))
        self.assertFalse(has_state(editor, "checked"))

        # From the keyboard: the focus moved to the button by the tool, then
        # the space bar.
        harness.perform(editor, "SetFocus")
        harness.wait_until(lambda: has_state(editor, "focused"), what="Editor focused")
        harness.press_key("space")
        harness.wait_until(lambda: self.editor_shows_the_page(window),
                           what="the editor after the space bar")
        self.close_through_menu(self.program.main_window())
