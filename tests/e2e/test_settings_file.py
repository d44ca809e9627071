"""prg.ini across a start and a close through the menu."""

import os
import random
import re

import harness

# Every section and key a new prg.ini holds, in the order the program lays
# the file out.
COMPLETE_LAYOUT = [
    ("OPTIONS", ["StyleName", "PopUpStyleName", "BackupExt", "DoCreateBackUps", "DoValidate",
                 "LastSearch", "LastReplace", "ALLOWED_EXTENSIONS", "DoShowFileIcons",
                 "DoRecycleBin", "DoShowHints", "DoOpenOnSingleClick", "CACHE_MAX",
                 "DoShowLineNumbers"]),
    ("POSITION_MAIN", ["Top", "Left", "Width", "Height"]),
    ("COLORS", ["TextCol", "TagCol", "QuotedCol", "CommentCol", "DoColorTags"]),
    ("THUMBS", ["THUMB_BASEIDX", "CustomWidth", "CustomHeight", "Scale", "Shade", "Border",
                "BGCol", "ShadeCol", "BorderCol", "CropHori", "CropVerti"]),
    ("PATHS", ["VIEW_PATH", "SNAPSHOTPATH", "COPYPATH"]),
] + [(f"EDITOR{n}", ["Location", "Param", "Descript"]) for n in range(1, 7)] + [
    ("Columns", ["Sizes"]),
    ("Sort", ["Ascending", "SortCol"]),
]

DEFAULT_FILTERS = (
    "All HTML file types + Pictures|*.htm;*.jpg;*.gif;*.asp;*.sht;*.dht;*.cfm;*.jht|"
    "All HTML file types|*.htm;*.asp;*.sht;*.dht;*.cfm;*.jht|HTM(L) only|*.htm|"
    "JPG and GIF only|*.jpg;*.gif|ASP only|*.asp|SSI only|*.sht|DHTML only|*.dht|"
    "Cold Fusion only|*.cfm")

DEFAULT_VALUES = {
    "OPTIONS": {"StyleName": "THUMBS", "PopUpStyleName": "_default", "BackupExt": ".pbak",
                "DoCreateBackUps": "1", "DoValidate": "0", "ALLOWED_EXTENSIONS": DEFAULT_FILTERS,
                "DoShowHints": "1", "DoOpenOnSingleClick": "1", "CACHE_MAX": "200",
                "DoShowLineNumbers": "1"},
    "COLORS": {"TextCol": "0", "TagCol": "16711680", "QuotedCol": "255",
               "CommentCol": "8421376", "DoColorTags": "1"},
    "THUMBS": {"THUMB_BASEIDX": "3", "CustomWidth": "800", "CustomHeight": "600",
               "Scale": "100", "BGCol": "16777215", "CropHori": "0"},
    "EDITOR1": {"Location": "(none)", "Param": "", "Descript": "External Application 1"},
    "EDITOR6": {"Location": "(none)", "Descript": "External Application 6"},
}

# The hint line once the window is active.
WELCOME = "Welcome to Velmora - Please open a HTML file folder ..."

# The window's default size: four fifths of the 1280 x 1024 screen.
DEFAULT_SIZE = (1024, 819)


class SettingsFileTest(harness.ProgramTestCase):
    def written_settings(self):
        path = self.program.path("prg.ini")
        self.assertTrue(os.path.isfile(path), "no prg.ini after closing")
        return harness.read_sections(path), harness.read_values(path)

    def assert_defaults(self, values):
        for section, expected in DEFAULT_VALUES.items():
            self.assertIn(section, values)
            for key, value in expected.items():
                self.assertEqual(values[section].get(key), value, f"[{section}] {key}")

    def test_first_start_writes_a_complete_prg_ini_at_close(self):
        window = self.start_program()
        self.assertFalse(os.path.exists(self.program.path("prg.ini")))
        self.assertTrue(os.path.isdir(self.program.path("THUMBS")))
        self.assertTrue(os.path.isdir(self.program.path("FILELISTS")))
        hint = harness.find(window, "label", description="Hint line")
        self.assertEqual(harness.name_of(hint), WELCOME)
        left, top, width, height = harness.bounds_of(window)

        self.close_through_menu(window)

        sections, values = self.written_settings()
        layout = [(section, [key for key, _ in keys]) for section, keys in sections]
        self.assertEqual(layout, COMPLETE_LAYOUT)
        self.assert_defaults(values)
        folder = self.program.folder.rstrip("/") + "/"
        self.assertEqual(values["PATHS"], {"VIEW_PATH": folder,
                                           "SNAPSHOTPATH": folder + "SNAPSHOTS/",
                                           "COPYPATH": folder})
        # The bounds the window had on screen when it was closed.
        self.assertEqual(values["POSITION_MAIN"], {"Left": str(left), "Top": str(top),
                                                   "Width": str(width), "Height": str(height)})
        self.assertEqual((width, height), DEFAULT_SIZE)

    def test_prg_ini_of_random_bytes_starts_with_defaults(self):
        garbage = random.Random(20240611).randbytes(4096)
        with open(self.program.path("prg.ini"), "wb") as f:
            f.write(garbage)

        window = self.start_program()
        filter_box = harness.find(window, "combo box", labelled_by=re.compile(r"^Filter: "))
        self.assertEqual(harness.name_of(filter_box), "All HTML file types + Pictures")
        self.assertEqual(harness.bounds_of(window)[2:], DEFAULT_SIZE)
        self.close_through_menu(window)

        _, values = self.written_settings()
        self.assert_defaults(values)
        # The unreadable bytes stay in the file; every key is written anew.
        for section, keys in COMPLETE_LAYOUT:
            self.assertEqual(sorted(values.get(section, {})), sorted(keys), section)
