"""The preview as a person uses it: a page picked in the file list shows in
the docked browser; the editor, switched in with its button, takes typing
that the modal window's caption marks unsaved and that Save writes to disk;
the modal window opens on a double click and closes with Esc; and a change
made by another program is reloaded when the user comes back and says Yes."""

import os

import harness
from harness import desktop
from harness.accessible import has_state


class PreviewTest(harness.ProgramTestCase):
    def make_site(self):
        site = os.path.join(self.program.folder, "site")
        os.makedirs(site)
        pages = {"about.htm": "About Us", "index.htm": "Start Page"}
        for name, title in pages.items():
            with open(os.path.join(site, name), "w", newline="") as f:
                f.write("<html><head><title>%s</title></head>\r\n<body><h1>%s</h1></body></html>\r\n"
                        % (title, title))
        return site

    def open_site(self, on_command_line=True):
        """Starts the program on the site: with its start page on the command
        line, or with the site as the stored start folder."""
        site = self.make_site()
        if on_command_line:
            window = self.start_program(os.path.join(site, "index.htm"))
        else:
            with open(self.program.path("prg.ini"), "w") as f:
                f.write("[PATHS]\nVIEW_PATH=%s/\n" % site)
            window = self.start_program()
        files = harness.find(window, "list", "Folder View files")
        about = harness.wait_for_entry(files, "about.htm")
        return site, window, about

    def test_a_page_is_previewed_edited_and_saved(self):
        site, window, about = self.open_site()
        path = os.path.join(site, "about.htm")
        harness.click(about)
        # The browser tells a screen reader the title of the page it shows.
        harness.find(window, "filler", "Browser", description="About Us")

        harness.click(harness.find(window, "check box", "Editor"))
        editor = harness.find(window, "text", "Editor")
        harness.wait_until(lambda: "<title>About Us</title>" in harness.text_of(editor),
                           what="the page's source in the editor")
        harness.click_to_focus(editor)
        harness.press_key("Home")
        harness.type_text("<!-- checked -->")
        harness.wait_until(lambda: "<!-- checked -->" in harness.text_of(editor), what="typed text")
        save = harness.find(window, "push button", "Save")
        harness.wait_until(lambda: has_state(save, "enabled"), what="Save enabled")
        harness.click(save)
        harness.wait_until(lambda: b"<!-- checked -->" in open(path, "rb").read(),
                           what="the saved text on disk")
        with open(path, "rb") as f:
            saved = f.read()
        # Only the typed text changed: the page's CR LF line ends are kept.
        self.assertEqual(saved.replace(b"<!-- checked -->", b"", 1),
                         b"<html><head><title>About Us</title></head>\r\n"
                         b"<body><h1>About Us</h1></body></html>\r\n")

        # A double click opens the modal window, whose caption tells that the
        # text typed since is not saved; Esc closes it.
        harness.click_to_focus(editor)
        harness.type_text("x")
        harness.double_click(about)
        dialog = harness.find_window(self.program.application(), "dialog",
                                     path + " --- UNSAVED ---")
        harness.find(dialog, "page tab", "Internal Editor")
        harness.press_key("Escape")
        harness.wait_gone(dialog)
        # Back in the main window, which stays on the page; closing the
        # program asks for the unsaved text first.
        harness.choose_menu(self.program.main_window(), "File", "Close Velmora")
        box = self.program.message_box()
        self.assertEqual(box.text, "Save changes in: " + path)
        box.press("No")
        self.assertEqual(self.program.wait_exit(), 0, self.program.log())
        with open(path, "rb") as f:
            self.assertEqual(f.read(), saved)

    def test_an_outside_change_is_reloaded_on_return(self):
        site, window, about = self.open_site(on_command_line=False)
        harness.click(about)
        harness.click(harness.find(window, "check box", "Editor"))
        editor = harness.find(window, "text", "Editor")
        harness.wait_until(lambda: "About Us" in harness.text_of(editor), what="the source")

        path = os.path.join(site, "about.htm")
        with open(path, "w") as f:
            f.write("<p>changed outside</p>")
        os.utime(path, (os.path.getatime(path), os.path.getmtime(path) + 5))
        # Another program takes the focus for a moment, then gives it back.
        other = desktop.spawn(["xmessage", "-center", "another program"],
                              env=self.program.environment())
        try:
            harness.wait_until(lambda: not has_state(window, "active"),
                               what="another program active")
        finally:
            desktop.stop(other)
        box = self.program.message_box()
        self.assertIn("has been changed by another application", box.text)
        box.press("Yes")
        harness.wait_until(lambda: harness.text_of(editor) == "<p>changed outside</p>",
                           what="the reloaded text")
        self.close_through_menu(self.program.main_window())

