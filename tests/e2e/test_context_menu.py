"""The context menu of the Folder View's file list: it opens from the
keyboard and with the mouse, and launches the selected page in an external
application configured in prg.ini. The General Options dialog opens from the
main menu with every control reachable by name, and Cancel closes it."""

import os
import stat

import harness
from harness.popups import PopupWatcher

# Keys the harness does not name: the Menu key, F10 and the left Shift key,
# whose key code the X server's standard keyboard map gives.
MENU_KEY = 0xFF67
F10_KEY = 0xFFC7
SHIFT_KEYCODE = 50

DESCRIPTION = "Recorder"
MENU_NAME = "Context menu"


def press_keysym(keysym):
    pyatspi = harness.accessible.atspi()
    pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)


def press_shift_f10():
    pyatspi = harness.accessible.atspi()
    pyatspi.Registry.generateKeyboardEvent(SHIFT_KEYCODE, None, pyatspi.KEY_PRESS)
    try:
        press_keysym(F10_KEY)
    finally:
        pyatspi.Registry.generateKeyboardEvent(SHIFT_KEYCODE, None, pyatspi.KEY_RELEASE)


class ContextMenuTest(harness.ProgramTestCase):
    def make_site(self):
        """A site in a folder with a blank in its name, and a program that
        records its arguments one per line."""
        site = os.path.join(self.program.folder, "my site")
        os.makedirs(site)
        for name in ("about.htm", "index.htm"):
            with open(os.path.join(site, name), "w") as f:
                f.write(f"<html><head><title>{name}</title></head><body>x</body></html>")
        self.record = os.path.join(self.program.folder, "arguments.txt")
        recorder = os.path.join(self.program.folder, "tools", "record args.sh")
        os.makedirs(os.path.dirname(recorder))
        with open(recorder, "w") as f:
            f.write("#!/bin/sh\n"
                    f"for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '{self.record}.part'\n"
                    f"mv '{self.record}.part' '{self.record}'\n")
        os.chmod(recorder, os.stat(recorder).st_mode | stat.S_IXUSR)
        with open(self.program.path("prg.ini"), "w") as f:
            f.write(f"[PATHS]\nVIEW_PATH={site}/\n"
                    f"[EDITOR1]\nLocation={recorder}\nParam=-t \"My Site\"\n"
                    f"Descript={DESCRIPTION}\n")
        return site

    def setUp(self):
        super().setUp()
        self.popups = PopupWatcher()
        self.addCleanup(self.popups.close)

    def wait_for_menu(self):
        return self.popups.wait_for_menu(MENU_NAME)

    def close_menu(self, menu):
        harness.press_key("Escape")
        harness.wait_gone(menu)

    def test_the_menu_launches_the_selected_page_with_its_application(self):
        site = self.make_site()
        window = self.start_program()
        files = harness.find(window, "list", "Folder View files")
        page = harness.find(files, "list item", "index.htm")
        harness.click(page)
        harness.wait_until(lambda: harness.accessible.has_state(page, "selected"),
                           what="index.htm to be selected")

        # Shift+F10 opens the menu with the entries for one file.
        press_shift_f10()
        menu = self.wait_for_menu()
        for name, enabled in (("View in default browser", True), ("Jump to Folder", False),
                              ("Launch file with: External Application 2", False)):
            item = harness.find(menu, "menu item", name)
            self.assertEqual(harness.accessible.has_state(item, "enabled"), enabled, name)
        shots = os.path.join(harness.Setup.artifacts, "context_menu")
        os.makedirs(shots, exist_ok=True)
        harness.Setup.session.screenshot(os.path.join(shots, "menu_for_one_file.png"))
        self.close_menu(menu)

        # A right click on the entry opens it too.
        harness.click(page, button=3)
        self.close_menu(self.wait_for_menu())

        # The Menu key, and the launch.
        press_keysym(MENU_KEY)
        menu = self.wait_for_menu()
        harness.click(harness.find(menu, "menu item", "Launch file with: " + DESCRIPTION))
        harness.wait_until(lambda: os.path.exists(self.record), what="the recorded arguments")
        with open(self.record) as f:
            arguments = f.read().splitlines()
        self.assertEqual(arguments, ["-t", "My Site", os.path.join(site, "index.htm")])
        self.close_through_menu(self.program.main_window())

    def test_general_options_show_their_controls_by_name_and_cancel_closes(self):
        self.make_site()
        window = self.start_program()
        application = self.program.application()
        harness.choose_menu(window, "Options", "General Options")
        dialog = harness.find_window(application, "dialog", "General Options")
        location = harness.find(dialog, "text", "Application1 Program Location")
        self.assertTrue(harness.text_of(location).endswith("record args.sh"))
        self.assertEqual(harness.text_of(harness.find(dialog, "text", "Application1 Parameters")),
                         '-t "My Site"')
        self.assertEqual(harness.text_of(harness.find(dialog, "text", "Application1 Description")),
                         DESCRIPTION)
        for n in range(1, 7):
            for column in ("Program Location", "Parameters", "Description"):
                harness.find(dialog, "text", f"Application{n} {column}")
            harness.find(dialog, "push button", f"Choose program for Application{n}")
        for caption in ("Enable editor syntax coloring", "Show Hints",
                        "Change folder on single click", "Show file icons in folder view"):
            harness.find(dialog, "check box", caption)
        self.assertIsNone(harness.first(dialog, "check box", "Use trash for deleted files"))
        harness.find(dialog, "push button", "OK")
        harness.click(harness.find(dialog, "push button", "Cancel"))
        harness.wait_gone(dialog)

        self.close_through_menu(self.program.main_window())
