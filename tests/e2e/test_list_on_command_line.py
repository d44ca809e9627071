"""A list file handed to the program as a file manager does, as its one
argument: the program starts on the File Lists tab with the list's entries,
verified as a list loaded from the saved lists is, from where the list lies."""

import os
import re

import harness

PAGES = ("a.htm", "b.htm", "sub/c.htm")


class ListOnCommandLineTest(harness.ProgramTestCase):
    def make_list(self):
        site = os.path.join(self.program.folder, "site")
        for name in PAGES:
            path = os.path.join(site, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as f:
                f.write(f"<html><body>{name}</body></html>")
        # Outside FILELISTS; the sizes are out of date and one page is gone.
        folder = os.path.join(self.program.folder, "downloads")
        os.makedirs(folder)
        lines = [f"{os.path.dirname(os.path.join(site, name))}/*"
                 f"{os.path.splitext(os.path.basename(name))[0]}*.htm*1*2000-01-01  10:00"
                 for name in PAGES + ("gone.htm",)]
        path = os.path.join(folder, "site pages.lst")
        with open(path, "wb") as f:
            f.write("".join(line + "\r\n" for line in lines).encode())
        return path

    def test_list_entries_shown_in_the_file_lists_tab(self):
        path = self.make_list()
        # The verification's save question opens at the first activation, so
        # the main window is found once it is answered.
        self.program.start(path)
        application = self.program.application()
        dialog = harness.find_window(application, "dialog", "Save File List (*.lst)")
        message = harness.text_of(harness.find(dialog, "text", "Message"))
        self.assertIn("Loaded list contains 4 entries.", message)
        self.assertIn("1 orphaned file entries removed from list", message)
        self.assertIn("3 file entries updated", message)
        harness.click(harness.find(dialog, "push button", "Cancel"))
        harness.wait_gone(dialog)

        window = self.program.main_window()
        # Only the shown tab's caption counts its entries: three are loaded.
        harness.find(window, "page tab", re.compile(r"^File Lists .*of 3 files"))
        report = next(found for role in ("tree table", "tree", "table")
                      if (found := harness.first(window, role, "File list entries")))
        # The Filename column shows the names without their extension.
        for name in ("a", "b", "c"):
            harness.find(report, "table cell", name)
        self.assertIsNone(harness.first(report, "table cell", "gone"))
        # The list stays where it was and is not copied into FILELISTS.
        self.assertTrue(os.path.isfile(path))
        self.assertEqual(os.listdir(self.program.path("FILELISTS")), [])
        self.close_through_menu(self.program.main_window())
