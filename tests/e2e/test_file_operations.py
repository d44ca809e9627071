"""Copying and deleting files from the Folder View: three selected pages go
to a new folder made in the folder chooser, and the Delete key deletes one
page from disk and from the list after its question. With VELMORA_DELETE_SHOT
set to a path, a screenshot of the delete question is saved there."""

import os

import harness
from harness.popups import PopupWatcher

PAGES = ("a.htm", "b.htm", "c.htm", "d.htm")



class FileOperationsTest(harness.ProgramTestCase):
    def setUp(self):
        super().setUp()
        self.popups = PopupWatcher()
        self.addCleanup(self.popups.close)

    def make_site(self):
        self.site = self.write_site(
            {name: f"<html><body><h1>{name}</h1></body></html>" for name in PAGES})

    def select(self, files, name):
        item = harness.find(files, "list item", name)
        harness.click(item)
        harness.wait_until(lambda: harness.accessible.has_state(item, "selected"),
                           what=f"{name} to be selected")
        return item

    def answer(self, contains, button):
        box = harness.find_message_box(self.program.application())
        self.assertIn(contains, box.text)
        box.press(button)

    def test_copy_three_pages_to_a_new_folder_then_delete_one(self):
        self.make_site()
        window = self.start_program()
        files = harness.find(window, "list", "Folder View files")

        self.select(files, "a.htm")
        harness.press_key("Down", "Shift")
        harness.press_key("Down", "Shift")
        harness.wait_until(lambda: all(harness.accessible.has_state(
            harness.find(files, "list item", name), "selected") for name in PAGES[:3]),
            what="a.htm to c.htm to be selected")
        harness.press_key("Menu")
        menu = self.popups.wait_for_menu("Context menu")
        harness.click(harness.find(menu, "menu item", "Copy file(s) to"))

        # The folder chooser: a typed folder that does not exist yet is made.
        application = self.program.application()
        chooser = harness.find_window(application, "dialog", "Copy Files To")
        target = os.path.join(self.program.folder, "copies")
        harness.type_text(target)
        harness.press_key("Return")
        self.answer("does not exist. Create it?", "Yes")
        harness.wait_gone(chooser)
        self.answer("Copy 3 file(s) to folder:", "Yes")
        harness.wait_until(lambda: sorted(os.listdir(target)) == list(PAGES[:3]),
                           what="the three copies")
        for name in PAGES[:3]:
            with open(os.path.join(target, name)) as copy, \
                    open(os.path.join(self.site, name)) as source:
                self.assertEqual(copy.read(), source.read())
        harness.wait_until(lambda: harness.accessible.has_state(files, "enabled"),
                           what="the window to be enabled again")

        # Delete with the Delete key, after the question.
        self.select(files, "d.htm")
        harness.press_key("Delete")
        box = harness.find_message_box(application)
        self.assertIn("--- File(s) will not be moved to the trash! ---", box.text)
        self.assertIn(f'Delete file "{os.path.join(self.site, "d.htm")}" permanently from disk?',
                      box.text)
        shot = os.environ.get("VELMORA_DELETE_SHOT")
        if shot:
            harness.Setup.session.screenshot(shot)
        box.press("Yes")
        harness.wait_until(lambda: not os.path.exists(os.path.join(self.site, "d.htm")),
                           what="d.htm to be deleted")
        harness.wait_until(lambda: harness.first(files, "list item", "d.htm") is None,
                           what="d.htm to leave the list")
        self.assertEqual(sorted(os.listdir(self.site)), list(PAGES[:3]))
        self.close_through_menu(self.program.main_window())
