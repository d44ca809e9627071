"""A second start of the program while it runs: the second process hands its
page (named relative to its own working folder) to the running program, which
opens the page's folder with the caret on it and comes to the front, and the
second process ends at once with 0; a copy of the program in another folder
still starts a window of its own."""

import os
import subprocess

import harness
from harness.desktop import stop


class SecondStartTest(harness.ProgramTestCase):
    def start_again(self, program, *arguments, cwd):
        """Starts the program's executable once more, as a shell would."""
        env = program.environment()
        process = subprocess.Popen([program.executable, *arguments], env=env, cwd=cwd,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, start_new_session=True)
        self.addCleanup(stop, process)
        return process

    def test_a_second_start_hands_its_page_to_the_running_program(self):
        site = self.write_site({"a.htm": "<h1>a</h1>", "b.htm": "<h1>b</h1>",
                                "other/c.htm": "<h1>c</h1>", "other/d.htm": "<h1>d</h1>"})
        window = self.start_program()
        files = harness.find(window, "list", "Folder View files")
        harness.find(files, "list item", "a.htm")

        second = self.start_again(self.program, "other/d.htm", cwd=site)
        try:
            code = second.wait(timeout=60)
        except subprocess.TimeoutExpired:
            self.fail("the second start did not end: it opened a window of its own")
        self.assertEqual(code, 0)
        # One main window, now on the other folder with the caret on d.htm.
        page = harness.wait_until(lambda: next(
            (item for item in harness.accessible.children(files)
             if harness.name_of(item) == "d.htm"), None), what="d.htm listed")
        harness.wait_until(lambda: harness.has_state(page, "focused"), what="d.htm focused")
        self.assertIsNone(next((item for item in harness.accessible.children(files)
                                if harness.name_of(item) == "a.htm"), None))
        frames = [w for w in harness.accessible.children(self.program.application())
                  if harness.accessible.matches(w, "frame", harness.WINDOW_TITLE)]
        self.assertEqual(len(frames), 1)
        shots = os.path.join(harness.Setup.artifacts, "second_start")
        os.makedirs(shots, exist_ok=True)
        harness.Setup.session.screenshot(os.path.join(shots, "after_second_start.png"))

        # A copy in another folder is another program: it opens its own window.
        copy_folder = self.program.folder.rstrip("/") + "-copy"
        copy = harness.Program(harness.Setup.session, harness.Setup.executable,
                               harness.Setup.data_dir, copy_folder)
        self.addCleanup(copy.stop)
        copy.start()
        copy_window = copy.main_window(timeout=60)
        self.assertTrue(copy.running())
        harness.choose_menu(copy_window, "File", "Close Velmora")
        self.assertEqual(copy.wait_exit(), 0, copy.log())

        self.close_through_menu(self.program.main_window())
