"""The program under test: a copy of the built program folder, started in a
session and found on the accessibility bus."""

import os
import shutil
import subprocess

from . import accessible
from .desktop import DEFAULT_TIMEOUT, HarnessError, spawn, stop, wait_until

# The main window's title, without the blanks around it.
WINDOW_TITLE = "Velmora v1.0b"

# What the program writes beside itself, never copied from the build.
_WORK_FILES = {"prg.ini", "THUMBS", "FILELISTS", "SNAPSHOTS"}


def _copy_shipped_data(data_dir, folder):
    for name in os.listdir(data_dir):
        if name in _WORK_FILES:
            continue
        source = os.path.join(data_dir, name)
        if os.path.isdir(source):
            shutil.copytree(source, os.path.join(folder, name))
        else:
            shutil.copy2(source, folder)


class Program:
    """One copy of the program: the executable and its shipped data in a
    folder of their own, where the program writes prg.ini, THUMBS/ and
    FILELISTS/ as it does beside an installed copy."""

    def __init__(self, session, executable, data_dir, folder):
        self.session = session
        self.folder = folder
        self.executable = os.path.join(folder, os.path.basename(executable))
        self.log_file = folder.rstrip("/") + ".log"
        self.process = None
        os.makedirs(folder, exist_ok=True)
        shutil.copy2(executable, self.executable)
        # The thumbnail program lies beside the program, as installed: Make
        # Thumbs over several pages starts its workers from there.
        thumbs = os.path.join(os.path.dirname(os.path.abspath(executable)), "velmora-thumbs")
        if os.path.isfile(thumbs):
            shutil.copy2(thumbs, os.path.join(folder, "velmora-thumbs"))
        _copy_shipped_data(data_dir, folder)

    def path(self, *parts):
        return os.path.join(self.folder, *parts)

    def environment(self):
        env = dict(self.session.env)
        env.update(
            # ctest runs the other tests on the offscreen platform; this one
            # needs the X server.
            QT_QPA_PLATFORM="xcb",
            QT_ACCESSIBILITY="1",
            # Without it Qt 6.4 does not register the program on the bus
            # unless a screen reader is running.
            QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
            # Puts rendered pages into the accessibility tree as well: the
            # engine keeps them out of it on Linux unless asked.
            QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY="1",
            QTWEBENGINE_CHROMIUM_FLAGS=" ".join(filter(None, [
                env.get("QTWEBENGINE_CHROMIUM_FLAGS", ""), "--force-renderer-accessibility"])),
        )
        return env

    def start(self, *arguments):
        """Starts the program with the given command line arguments."""
        if self.running():
            raise HarnessError("the program is already running")
        self.process = spawn([self.executable, *arguments], env=self.environment(),
                             log=self.log_file)
        return self

    def running(self):
        return self.process is not None and self.process.poll() is None

    def application(self, timeout=DEFAULT_TIMEOUT):
        """The program's entry on the accessibility bus, once it is there."""
        desktop = accessible.atspi().Registry.getDesktop(0)

        def registered():
            if not self.running():
                raise HarnessError(f"the program ended with exit code "
                                   f"{self.process.returncode}:\n{self.log()}")
            return next((app for app in accessible.children(desktop)
                         if _process_id(app) == self.process.pid), None)

        return wait_until(registered, timeout, "the program on the accessibility bus")

    def main_window(self, timeout=DEFAULT_TIMEOUT):
        """The main window, once the window manager has activated it: the
        program finishes starting up on that activation."""
        return accessible.find_window(self.application(timeout), "frame", WINDOW_TITLE, timeout)

    def message_box(self, timeout=DEFAULT_TIMEOUT):
        return accessible.find_message_box(self.application(timeout), timeout)

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        """Waits for the program to end by itself; returns its exit code."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError(f"the program still runs after {timeout:.0f} s") from None

    def stop(self):
        """Ends the program if it still runs, whatever state it is in."""
        if self.process is not None:
            stop(self.process)

    def log(self, tail=3000):
        """What the program printed."""
        try:
            with open(self.log_file, errors="replace") as f:
                return f.read()[-tail:]
        except OSError:
            return ""


def _process_id(app):
    try:
        return app.get_process_id()
    except accessible.call_failed():
        return None
