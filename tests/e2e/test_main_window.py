"""The main window as a screen reader finds it."""

import re

import harness

# Roles a person can operate; each needs a name, of its own or from a label.
CONTROL_ROLES = {"push button", "toggle button", "check box", "radio button", "combo box",
                 "text", "spin button", "slider", "list", "tree", "table", "tree table",
                 "page tab", "menu item", "progress bar"}


def controls_below(acc):
    """The controls below acc; the drop-down list of a combo box is part of
    the box and named by it."""
    for child in harness.accessible.children(acc):
        role = harness.accessible.role_of(child)
        if role in CONTROL_ROLES or harness.accessible.has_state(child, "focusable"):
            yield child
        if role not in ("combo box", "list", "tree", "table", "tree table"):
            yield from controls_below(child)


def in_named_view(acc, levels=3):
    """True when one of acc's nearest ancestors has a name: the rendered
    page sits inside the browser view, which is named "Browser" and
    described by the page's title."""
    parent = acc.parent
    for _ in range(levels):
        if parent is None:
            return False
        if harness.name_of(parent):
            return True
        parent = parent.parent
    return False


def unnamed_controls(window):
    return [harness.accessible.describe(acc) for acc in controls_below(window)
            if not harness.name_of(acc) and not any(harness.labels_of(acc))
            and not (harness.accessible.role_of(acc) == "document web" and in_named_view(acc))]


class MainWindowTest(harness.ProgramTestCase):
    def test_every_control_has_an_accessible_name(self):
        window = self.start_program()
        for name in ("Views", "Folder tree", "Folder View files", "Thumbnail View files",
                     "File Lists files"):
            harness.find(window, None, name, showing=False)
        harness.find(window, "label", "Thumbnail corner")
        harness.find(window, "progress bar", "Progress")
        harness.find(window, "combo box", labelled_by="Folder Selection")
        harness.find(window, "combo box", labelled_by=re.compile(r"^Filter: "))
        self.assertEqual(unnamed_controls(window), [])
        self.close_through_menu(window)
