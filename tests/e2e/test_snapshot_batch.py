"""A batch export as a person runs it: the output folder box shows plainly
that it takes no typing, the progress window comes up over the options
window with the count of pages, worker processes render several pages at
once, its stop button ends the run, the workers end with it, and the status
line then says the run was cancelled and how far it came."""

import os
import subprocess

import harness

SLOW_SCRIPT = "<script>const t = Date.now(); while (Date.now() - t < 1000) {}</script>"
COUNT = 8


class SnapshotBatchTest(harness.ProgramTestCase):
    def workers(self):
        """The worker processes of velmora-thumbs capturing this program's snapshots."""
        found = subprocess.run(["pgrep", "-f", "--", "--worker --program-dir " + self.program.folder],
                               capture_output=True, text=True).stdout.split()
        return [pid for pid in found if int(pid) != os.getpid() and self.captures(pid)]

    @staticmethod
    def captures(pid):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as cmdline:
                return b"--capture-dir" in cmdline.read().split(b"\0")
        except OSError:
            return False

    def status(self, options):
        return harness.name_of(harness.find(options, "label", description="Snapshot status"))

    def test_the_stop_button_cancels_a_batch_export(self):
        out = os.path.join(self.program.folder, "shots") + "/"
        self.write_site({"page%d.htm" % i: "<html><body style='background:#2060a0'><h1>%d</h1>%s"
                                           "</body></html>" % (i, SLOW_SCRIPT)
                         for i in range(COUNT)}, SNAPSHOTPATH=out)
        window = self.start_program()
        files = harness.find(window, "list", "Folder View files")
        first = harness.find(files, "list item", "page0.htm")
        harness.click(first)
        harness.wait_until(lambda: harness.has_state(first, "selected"), what="page0 selected")
        harness.press_key("End", "Shift")
        harness.wait_until(lambda: harness.has_state(
            harness.find(files, "list item", "page%d.htm" % (COUNT - 1)), "selected"),
            what="every page selected")
        harness.choose_menu(window, "Extras", "Create Snapshot(s)")
        app = self.program.application()
        options = harness.find_window(app, "dialog", "Snapshot Options for %d files" % COUNT)
        harness.click(harness.find(options, "push button", "Batch Export"))

        batch = harness.find_window(app, "dialog", "Export %d snapshots" % COUNT)
        box = harness.find(batch, "text", "Output folder for snapshots")
        self.assertEqual(harness.text_of(box), out)
        self.assertTrue(harness.has_state(box, "read only"))
        # The keyboard starts on the folder button, not in the box.
        self.assertTrue(harness.has_state(harness.find(batch, "push button",
                                                       "Choose output folder"), "focused"))
        self.assertFalse(harness.has_state(box, "focused"))
        shots = os.path.join(harness.Setup.artifacts, "snapshot_batch")
        os.makedirs(shots, exist_ok=True)
        harness.Setup.session.screenshot(os.path.join(shots, "batch_dialog.png"))
        harness.click(harness.find(batch, "push button", "Start"))

        # Each page takes a second to load: the stop comes during the second.
        progress = harness.find_window(app, "filler", "Velmora Progress")
        harness.wait_until(lambda: len(self.workers()) >= 2, what="two workers rendering")
        harness.wait_until(lambda: os.path.isdir(out) and os.listdir(out), timeout=60,
                           what="the first snapshot written")
        harness.Setup.session.screenshot(os.path.join(shots, "progress.png"))
        harness.click(harness.find(progress, "push button", "<Esc> - Stop"))
        harness.wait_until(lambda: self.status(options).startswith("Snapshots cancelled ..."),
                           timeout=60, what="the cancelled run")
        harness.wait_until(lambda: not self.workers(), timeout=60,
                           what="the workers ended with the run")
        made = sorted(os.listdir(out))
        self.assertGreaterEqual(len(made), 1)
        self.assertLess(len(made), COUNT)
        self.assertEqual(self.status(options), "Snapshots cancelled ... (%d of %d pages done)"
                         % (len(made), COUNT))
        harness.Setup.session.screenshot(os.path.join(shots, "cancelled.png"))
        harness.press_key("Escape")
        harness.wait_gone(options)
        self.close_through_menu(self.program.main_window())
