"""The File Lists tab as a person uses it: a search of a generated site with
its subfolders through the search dialog, the results saved under a typed
name; two pages deleted from disk, the list loaded again and its verification
read in the save question and the report window; two saved lists merged; and
three rows of the list copied to a new folder through the folder chooser."""

import os
import re

import harness
from harness.popups import PopupWatcher


SITE_PAGES = ("a.htm", "b.htm", "c.htm", "sub/d.htm", "sub/e.htm")


class FileListsTest(harness.ProgramTestCase):
    def make_site(self):
        self.site = self.write_site(
            {name: f"<html><body>{name}" + "x" * len(name) * 10 + "</body></html>"
             for name in SITE_PAGES})
        os.makedirs(self.program.path("FILELISTS"), exist_ok=True)
        with open(self.program.path("FILELISTS", "other.lst"), "wb") as f:
            f.write(f"{self.site}/*b*.htm*1*2000-01-01  10:00\r\n"
                    f"/elsewhere/*z*.htm*5*2000-01-01  10:00\r\n".encode())

    def shoot(self, name):
        target = os.path.join(harness.Setup.artifacts, "file_lists")
        os.makedirs(target, exist_ok=True)
        harness.Setup.session.screenshot(os.path.join(target, name))

    def list_lines(self, name):
        with open(self.program.path("FILELISTS", name), "rb") as f:
            data = f.read()
        self.assertTrue(data.endswith(b"\r\n"))
        return data.decode().split("\r\n")[:-1]

    def save_dialog(self):
        return harness.find_window(self.program.application(), "dialog",
                                   "Save File List (*.lst)")

    def save_as(self, dialog, name):
        edit = harness.find(dialog, "text", "List Filename:")
        harness.click_to_focus(edit)
        harness.press_key("a", "Control")
        harness.type_text(name)
        harness.wait_until(lambda: harness.text_of(edit) == name, what="the typed name")
        harness.click(harness.find(dialog, "push button", "Save"))
        harness.wait_gone(dialog)

    def report_view(self, window):
        return next(found for role in ("tree table", "tree", "table")
                    if (found := harness.first(window, role, "File list entries")))

    def search_site(self, window):
        harness.click(harness.find(window, "page tab", "File Lists"))
        harness.perform(harness.find(window, "push button", "Search"))
        search = harness.find_window(self.program.application(), "dialog", "Search Files")
        harness.perform(harness.find(search, "push button", "Start"))
        return self.save_dialog()

    def test_three_rows_copied_to_a_new_folder(self):
        self.make_site()
        popups = PopupWatcher()
        self.addCleanup(popups.close)
        window = self.start_program()
        dialog = self.search_site(window)
        harness.click(harness.find(dialog, "push button", "Cancel"))
        harness.wait_gone(dialog)

        # The first row clicked (below the header), then two more with Shift+Down.
        report = self.report_view(window)
        left, top, _, _ = harness.bounds_of(report)
        # Each step waits for its own effect, so that a key pressed before the
        # click has landed (a busy machine) cannot go missing.
        harness.accessible.atspi().Registry.generateMouseEvent(left + 300, top + 30, "b1c")
        for selected in (2, 3):
            harness.find(window, "page tab", re.compile(rf"^File Lists .*\({selected - 1} of 5 files selected\)"))
            harness.press_key("Down", "Shift")
        harness.find(window, "page tab", re.compile(r"^File Lists .*\(3 of 5 files selected\)"))
        harness.press_key("Menu")
        menu = popups.wait_for_menu("Context menu")
        harness.click(harness.find(menu, "menu item", "Copy file(s) to"))

        application = self.program.application()
        chooser = harness.find_window(application, "dialog", "Copy Files To")
        target = os.path.join(self.program.folder, "copies")
        harness.type_text(target)
        harness.press_key("Return")
        box = harness.find_message_box(application)
        self.assertIn("does not exist. Create it?", box.text)
        box.press("Yes")
        harness.wait_gone(chooser)
        box = harness.find_message_box(application)
        self.assertIn("Copy 3 file(s) to folder:", box.text)
        box.press("Yes")
        names = {os.path.basename(page) for page in SITE_PAGES}
        harness.wait_until(lambda: os.path.isdir(target) and len(os.listdir(target)) == 3,
                           what="the three copies")
        self.assertTrue(set(os.listdir(target)) <= names)
        self.close_through_menu(self.program.main_window())

    def test_search_save_verify_and_merge(self):
        self.make_site()
        window = self.start_program()
        harness.click(harness.find(window, "page tab", "File Lists"))
        harness.perform(harness.find(window, "push button", "Search"))
        search = harness.find_window(self.program.application(), "dialog", "Search Files")
        self.assertTrue(harness.has_state(
            harness.find(search, "check box", "Include all subfolders"), "checked"))
        harness.find(search, "check box", "Add to current list")
        harness.perform(harness.find(search, "push button", "Start"))

        dialog = self.save_dialog()
        message = harness.text_of(harness.find(dialog, "text", "Message"))
        self.assertIn("5 unique entries in list.", message)
        self.assertIn("5 new entries added.", message)
        self.assertIsNone(harness.first(dialog, "push button",
                                        "Show updated and removed entries"))
        self.shoot("save_dialog.png")
        self.save_as(dialog, "site pages")
        lines = self.list_lines("site pages.lst")
        self.assertEqual(sorted(line.split("*")[0] + line.split("*")[1] + line.split("*")[2]
                                for line in lines),
                         sorted(os.path.join(self.site, name) for name in SITE_PAGES))

        # Sorted by name: a click on the Filename column's header, which lies
        # beside the 270-pixel Folder column at the top of the view.
        report = self.report_view(window)
        left, top, _, _ = harness.bounds_of(report)
        harness.accessible.atspi().Registry.generateMouseEvent(left + 300, top + 8, "b1c")
        harness.wait_until(lambda: harness.text_of(report) is not None, what="the sort")
        self.shoot("sorted_list.png")

        # Two pages go; loading the list again verifies it.
        os.remove(os.path.join(self.site, "a.htm"))
        os.remove(os.path.join(self.site, "sub/d.htm"))
        saved = harness.find(window, "list", "Saved Lists")
        harness.click(harness.find(saved, "list item", "site pages.lst"))
        # Load List is offered once the click has chosen the list.
        load = harness.find(window, "push button", "Load List")
        harness.wait_until(lambda: harness.has_state(load, "enabled"), what="Load List offered")
        harness.perform(load)
        dialog = self.save_dialog()
        message = harness.text_of(harness.find(dialog, "text", "Message"))
        self.assertIn("Loaded list contains 5 entries.", message)
        self.assertIn("2 orphaned file entries removed from list", message)
        self.assertIn("0 file entries updated", message)
        harness.perform(harness.find(dialog, "push button", "Show updated and removed entries"))
        shown = harness.find_window(self.program.application(), "dialog", "Verification Report")
        report_lines = harness.text_of(harness.find(shown, "text", "Report")).split("\n")
        self.assertEqual(sorted(report_lines),
                         sorted("Not Found:  " + os.path.join(self.site, name)
                                for name in ("a.htm", "sub/d.htm")))
        self.shoot("verification_report.png")
        harness.click(harness.find(shown, "push button", "Close"))
        harness.wait_gone(shown)
        dialog = self.save_dialog()
        self.save_as(dialog, "site pages")
        self.assertEqual(len(self.list_lines("site pages.lst")), 3)

        # Both lists hold b.htm: the merge keeps it once.
        other = harness.find(saved, "list item", "other.lst")
        harness.click(other)
        # Shift+Down goes to the list only once the click has reached it.
        harness.wait_until(lambda: harness.has_state(other, "selected")
                           and harness.has_state(saved, "focused"), what="other.lst selected")
        harness.press_key("Down", "Shift")
        harness.wait_until(lambda: harness.has_state(
            harness.find(saved, "list item", "site pages.lst"), "selected"),
            what="both lists to be selected")
        harness.perform(harness.find(window, "push button", "Merge"))
        question = harness.find_message_box(self.program.application())
        self.assertIn("other.lst", question.text)
        self.assertIn("(Note: Duplicates will be detected)", question.text)
        question.press("Yes")
        dialog = self.save_dialog()
        self.assertIn("Filelists merged ...", harness.text_of(harness.find(dialog, "text",
                                                                           "Message")))
        self.save_as(dialog, "merged")
        merged = self.list_lines("merged.lst")
        paths = [line.split("*")[0] + line.split("*")[1] + line.split("*")[2] for line in merged]
        self.assertEqual(len(paths), 4)
        self.assertEqual(len(set(paths)), 4)
        self.assertIn("/elsewhere/z.htm", paths)
        self.close_through_menu(self.program.main_window())
