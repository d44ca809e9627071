"""prg.ini that is no regular file: a FIFO, or a link to a device. The
program starts with the defaults without waiting, leaves the file as it is,
and says once at the end that it could not write it."""

import os
import stat

import harness

DEFAULT_SIZE = (1024, 819)


class UnusualSettingsFileTest(harness.ProgramTestCase):
    def make_device(self, path):
        """The null device when running as root, else a FIFO stands in."""
        if os.geteuid() == 0:
            os.mknod(path, 0o666 | stat.S_IFCHR, os.makedev(1, 3))
        else:
            os.mkfifo(path, 0o600)

    def assert_untouched(self, path):
        mode = os.lstat(path).st_mode
        self.assertTrue(stat.S_ISCHR(mode) or stat.S_ISFIFO(mode), f"{path} was replaced")

    def close_and_read_the_error(self, window):
        harness.choose_menu(window, "File", "Close Velmora")
        box = self.program.message_box()
        text = box.text
        box.press("OK")
        self.assertEqual(self.program.wait_exit(), 0, self.program.log())
        return text

    def test_a_link_to_a_device_is_neither_read_nor_replaced(self):
        device = self.program.path("device")
        self.make_device(device)
        os.symlink(device, self.program.path("prg.ini"))

        window = self.start_program()
        self.assertEqual(harness.bounds_of(window)[2:], DEFAULT_SIZE)
        text = self.close_and_read_the_error(window)

        self.assertTrue(text.startswith("Unable to write to " + self.program.path("prg.ini")), text)
        self.assertIn("not a regular file", text)
        self.assertTrue(os.path.islink(self.program.path("prg.ini")))
        self.assert_untouched(device)

    def test_a_fifo_does_not_hold_the_start_up(self):
        os.mkfifo(self.program.path("prg.ini"), 0o600)
        window = self.start_program()
        self.assertEqual(harness.bounds_of(window)[2:], DEFAULT_SIZE)
        text = self.close_and_read_the_error(window)
        self.assertIn("not a regular file", text)
        self.assert_untouched(self.program.path("prg.ini"))
