"""The Clean menu: removing thumbnails from disk."""

import os

import harness

# Thumbnails as the program names them: one subfolder per page folder, the
# folder's path with '=' for '/'.
PLANTED_THUMBS = ["=srv=www=site/index.htm.jpg", "=srv=www=site/about.htm.jpg",
                  "=srv=www=news/today.htm.JPG"]
# Not a thumbnail: it stays, and so does the folder that holds it.
PLANTED_OTHER = "=srv=www=news/notes.txt"


class CleanMenuTest(harness.ProgramTestCase):
    def plant(self, relative):
        path = self.program.path("THUMBS", relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(b"\xff\xd8\xff\xd9")

    def test_remove_all_thumbs_reports_and_removes_them(self):
        for relative in PLANTED_THUMBS + [PLANTED_OTHER]:
            self.plant(relative)
        window = self.start_program()

        harness.choose_menu(window, "Clean", "Remove all thumbs from disk")
        box = self.program.message_box()
        self.assertEqual(box.title, harness.WINDOW_TITLE)
        self.assertEqual(box.text, "3 thumbnails removed.")
        self.assertEqual(box.buttons, ["OK"])
        box.press("OK")

        thumbs = self.program.path("THUMBS")
        self.assertEqual(sorted(os.listdir(thumbs)), ["=srv=www=news"])
        self.assertEqual(os.listdir(os.path.join(thumbs, "=srv=www=news")), ["notes.txt"])

        # A second run, chosen as a screen reader chooses a menu entry, finds
        # nothing left; the keyboard dismisses its message.
        window = self.program.main_window()
        harness.perform(harness.find(window, "menu item", "Remove all thumbs from disk",
                                     showing=False))
        box = self.program.message_box()
        self.assertEqual(box.text, "0 thumbnails removed.")
        harness.press_key("Return")
        harness.wait_gone(box.window)

        self.close_through_menu(self.program.main_window())
