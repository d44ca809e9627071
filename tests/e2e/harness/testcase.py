"""The base of every scenario: a fresh copy of the program per test, ended
after it whatever happened, with a screenshot and the program's files kept
when the test fails."""

import os
import re
import shutil
import tempfile
import unittest

from . import accessible
from .program import Program


class Setup:
    """Filled in by run.py before the scenarios run."""

    session = None
    executable = None
    data_dir = None
    artifacts = None


class ProgramTestCase(unittest.TestCase):
    """self.program is a copy of the program that is not started yet."""

    def setUp(self):
        # Evidence of an earlier failure would mislead once the test passes.
        shutil.rmtree(self._evidence_folder(), ignore_errors=True)
        programs = os.path.join(Setup.session.root, "programs")
        folder = tempfile.mkdtemp(prefix=self._testMethodName + "-", dir=programs)
        self.program = Program(Setup.session, Setup.executable, Setup.data_dir, folder)
        self.addCleanup(self.program.stop)

    def write_site(self, pages, **paths):
        """Writes pages ({name relative to the site: text or bytes}) into a folder
        "site" of the program's folder and makes it the folder the program
        opens at start; paths are further keys of prg.ini's [PATHS]
        (SNAPSHOTPATH=...). Returns the site's path."""
        site = os.path.join(self.program.folder, "site")
        for name, text in pages.items():
            path = os.path.join(site, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb" if isinstance(text, bytes) else "w") as f:
                f.write(text)
        os.makedirs(site, exist_ok=True)
        lines = [f"VIEW_PATH={site}/"] + [f"{key}={value}" for key, value in paths.items()]
        with open(self.program.path("prg.ini"), "w") as f:
            f.write("[PATHS]\n" + "".join(line + "\n" for line in lines))
        return site

    def start_program(self, *arguments):
        """Starts the program and returns its main window once it is active."""
        self.program.start(*arguments)
        return self.program.main_window()

    def close_through_menu(self, window):
        """File › Close Velmora; returns once the program has ended well."""
        accessible.choose_menu(window, "File", "Close Velmora")
        self.assertEqual(self.program.wait_exit(), 0, self.program.log())

    def keep_evidence(self):
        """Saves a screenshot, the program's output and the files it wrote
        into the artifacts folder; run.py calls it when the test fails."""
        target = self._evidence_folder()
        os.makedirs(target, exist_ok=True)
        try:
            Setup.session.screenshot(os.path.join(target, "screen.png"))
        except Exception as error:  # the evidence must not hide the failure
            print(f"no screenshot: {error}")
        if os.path.exists(self.program.log_file):
            shutil.copy2(self.program.log_file, os.path.join(target, "program.log"))
        for name in ("prg.ini", "THUMBS", "FILELISTS"):
            source = self.program.path(name)
            if os.path.isdir(source):
                shutil.copytree(source, os.path.join(target, name), symlinks=True)
            elif os.path.isfile(source):
                shutil.copy2(source, target)
        return target

    def _evidence_folder(self):
        return os.path.join(Setup.artifacts, re.sub(r"[^\w.-]", "_", self.id()))
