"""Snapshots from the window: the options window opened from Extras for one
page, a preview at half scale saved as a JPG through the save dialog, a batch
export of three pages into a folder that does not exist yet, and Snap View
from the browser window saved as a BMP."""

import os
import re
import struct

import harness

PAGES = ("a.htm", "b.htm", "c.htm")



def jpeg_size(path):
    """(width, height) from the frame header of a JPEG file."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:2] == b"\xff\xd8", path
    i = 2
    while i < len(data):
        marker, length = data[i + 1], struct.unpack(">H", data[i + 2:i + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            height, width = struct.unpack(">HH", data[i + 5:i + 9])
            return width, height
        i += 2 + length
    raise AssertionError(f"no frame header in {path}")


def bmp_header(path):
    """(width, height, bits per pixel) of a BMP file."""
    with open(path, "rb") as f:
        data = f.read(54)
    assert data[:2] == b"BM", path
    width, height = struct.unpack("<ii", data[18:26])
    bits = struct.unpack("<H", data[28:30])[0]
    return width, height, bits


class SnapshotsTest(harness.ProgramTestCase):
    def make_site(self):
        self.out = os.path.join(self.program.folder, "new.shots") + "/"
        self.site = self.write_site(
            {name: f"<html><body style='margin:0;background:#20a060'><h1>{name}</h1></body></html>"
             for name in PAGES}, SNAPSHOTPATH=self.out)

    def options_window(self, title):
        return harness.find_window(self.program.application(), "dialog", title)

    def half_scale(self, options):
        down = harness.find(options, "push button", "Percent down")
        percent = harness.find(options, "text", "Percent")
        # Each click steps 5 %; a click is waited for before the next.
        while harness.text_of(percent) != "50":
            value = harness.text_of(percent)
            self.assertGreater(int(value), 50)
            harness.click(down)
            harness.wait_until(lambda: harness.text_of(percent) != value, what="a step down")

    def status(self, options):
        return harness.name_of(harness.find(options, "label", description="Snapshot status"))

    def save_through_dialog(self, name, bmp=False):
        dialog = harness.find_window(self.program.application(), "dialog", "Save snapshot")
        if bmp:
            types = harness.find(dialog, "combo box", re.compile(r"^JPG File"))
            harness.click(types)
            harness.click(harness.find(self.program.application(), "list item",
                                       "BMP File (True Color) (*.bmp)"))
        edit = harness.find(dialog, "text", labelled_by=re.compile("name"))
        edit.queryEditableText().setTextContents(os.path.join(self.out, name))
        harness.click(harness.find(dialog, "push button", "Save"))
        harness.wait_gone(dialog)

    def test_preview_save_batch_export_and_snap_view(self):
        self.make_site()
        window = self.start_program()
        files = harness.find(window, "list", "Folder View files")
        first = harness.find(files, "list item", "a.htm")
        harness.click(first)
        harness.wait_until(lambda: harness.has_state(first, "selected"), what="a.htm selected")

        # Three pages into a folder that is made for them.
        harness.press_key("End", "Shift")
        harness.wait_until(lambda: all(harness.has_state(
            harness.find(files, "list item", n), "selected") for n in PAGES),
            what="all pages selected")
        harness.choose_menu(window, "Extras", "Create Snapshot(s)")
        options = self.options_window("Snapshot Options for 3 files")
        self.half_scale(options)
        harness.click(harness.find(options, "push button", "Preview"))
        harness.wait_until(lambda: self.status(options).startswith("Preview file (1 of 3)"),
                           what="the batch preview")
        harness.click(harness.find(options, "push button", "Batch Export"))
        batch = harness.find_window(self.program.application(), "dialog", "Export 3 snapshots")
        self.assertEqual(harness.text_of(harness.find(batch, "text",
                                                      "Output folder for snapshots")), self.out)
        harness.click(harness.find(batch, "push button", "Start"))
        harness.wait_until(lambda: self.status(options) == "Snapshots done ...",
                           timeout=120, what="the batch export to end")
        for name in PAGES:
            path = os.path.join(self.out, "snap_" + name.replace(".", "_") + ".jpg")
            self.assertTrue(os.path.isfile(path), path)
            self.assertEqual(jpeg_size(path), (410, 310))
        harness.press_key("Escape")
        harness.wait_gone(options)
        # A click before the main window is active and enabled again is lost.
        harness.wait_until(lambda: harness.has_state(window, "active")
                           and harness.has_state(files, "enabled"),
                           what="the main window active again")

        # One page: preview, screenshots before and after, Save as JPG.
        harness.click(first)
        harness.wait_until(lambda: not harness.has_state(
            harness.find(files, "list item", "b.htm"), "selected"), what="a.htm alone")
        harness.choose_menu(window, "Extras", "Create Snapshot(s)")
        options = self.options_window(re.compile(r"^Snapshot Options - \(File: .*a\.htm\)$"))
        shots = os.path.join(harness.Setup.artifacts, "snapshots")
        os.makedirs(shots, exist_ok=True)
        harness.Setup.session.screenshot(os.path.join(shots, "options_before_preview.png"))
        harness.click(harness.find(options, "push button", "Preview"))
        harness.wait_until(lambda: self.status(options) ==
                           "Snapshot done: (Source: 800x600,  Snapshot: 410x310 = 50%)",
                           timeout=60, what="the preview")
        # The page is captured in a window that is never put on the screen.
        self.assertNotIn((800, 600), harness.Setup.session.viewable_window_sizes())
        harness.Setup.session.screenshot(os.path.join(shots, "options_after_preview.png"))
        harness.click(harness.find(options, "push button", "Save"))
        self.save_through_dialog("single.jpg")
        single = os.path.join(self.out, "single.jpg")
        harness.wait_until(lambda: os.path.isfile(single), what="single.jpg")
        self.assertEqual(jpeg_size(single), (410, 310))
        self.assertEqual(self.status(options), "Saved as:" + single)
        harness.press_key("Escape")
        harness.wait_gone(options)

        # Snap View from the browser window, saved as a BMP.
        harness.double_click(first)
        viewer = harness.find_window(self.program.application(), "dialog")
        harness.click(harness.find(viewer, "push button", "Snap View"))
        options = self.options_window(re.compile(r"^Snapshot Options - \(File: .*a\.htm\)$"))
        browser = harness.find(options, "radio button", "Current browser size")
        self.assertTrue(harness.has_state(browser, "checked"))
        self.assertFalse(harness.has_state(harness.find(options, "push button", "Batch Export"),
                                           "enabled"))
        harness.click(harness.find(options, "push button", "Preview"))
        harness.wait_until(lambda: self.status(options).startswith("Snapshot done"),
                           timeout=60, what="the snap view preview")
        harness.Setup.session.screenshot(os.path.join(shots, "snap_view_preview.png"))
        harness.click(harness.find(options, "push button", "Save"))
        self.save_through_dialog("view", bmp=True)
        view = os.path.join(self.out, "view.bmp")
        harness.wait_until(lambda: os.path.isfile(view), what="view.bmp")
        width, height, bits = bmp_header(view)
        self.assertEqual(bits, 24)
        size = re.match(r"\((\d+)x(\d+)\)", harness.text_of(
            harness.find(options, "text", "Browser size")))
        self.assertEqual((width, height), (int(size.group(1)) // 2 + 10,
                                           int(size.group(2)) // 2 + 10))
        harness.press_key("Escape")
        harness.wait_gone(options)
        # The browser window has the keyboard again once it is clicked.
        harness.click(harness.find(viewer, "push button", "Reload"))
        harness.press_key("Escape")
        harness.wait_gone(viewer)
        self.close_through_menu(self.program.main_window())
