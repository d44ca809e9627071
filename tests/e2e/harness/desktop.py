"""A private desktop for one run: an X server (Xvfb) with a window manager
(openbox), a D-Bus session bus and the AT-SPI accessibility bus.

Without a window manager no window is ever activated, and the program does
part of its start-up on activation. Every child runs in a process group of
its own, which stop() ends as a whole; the children also die with the
harness when it is killed outright (only the accessibility bus's daemon, a
grandchild, may then stay)."""

import ctypes
import os
import re
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import zlib

# How long a wait for something on screen lasts before the scenario fails;
# generous, since the machine may be busy with other tests.
DEFAULT_TIMEOUT = 20.0
POLL_INTERVAL = 0.1

SCREEN_SIZE = (1280, 1024)


class HarnessError(Exception):
    """Something the harness waited for did not happen."""


def wait_until(condition, timeout=DEFAULT_TIMEOUT, what="condition"):
    """Polls condition() until it returns something true, and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise HarnessError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(POLL_INTERVAL)


# ---- child processes ---------------------------------------------------------

_libc = ctypes.CDLL("libc.so.6", use_errno=True)
_PR_SET_PDEATHSIG = 1
_PR_SET_CHILD_SUBREAPER = 36


def _die_with_parent():
    # Runs in the child before exec: the kernel kills it when the harness
    # dies, even by SIGKILL.
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGKILL)


def adopt_orphans():
    """Makes this process the parent of the helpers its children leave
    behind (the buses' own helpers), so reap_orphans() can collect them: not
    every container's first process collects orphans, and they would stay
    as zombies."""
    _libc.prctl(_PR_SET_CHILD_SUBREAPER, 1)


def reap_orphans(timeout=2.0):
    """Collects every child that has ended; waits up to timeout for those
    still ending. Only for when no child is meant to run any more."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            pid, _ = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return
        if pid == 0:
            if time.monotonic() > deadline:
                return
            time.sleep(POLL_INTERVAL / 2)


def spawn(args, env=None, log=None, pass_fds=()):
    """Starts a child in a new process group, output appended to log."""
    out = open(log, "ab") if log else subprocess.DEVNULL
    try:
        return subprocess.Popen(
            args,
            env=env,
            stdin=subprocess.DEVNULL,
            stdout=out,
            stderr=subprocess.STDOUT,
            start_new_session=True,
            preexec_fn=_die_with_parent,
            pass_fds=pass_fds,
        )
    finally:
        if log:
            out.close()


def _signal_group(process, sig):
    try:
        os.killpg(process.pid, sig)
    except ProcessLookupError:
        pass


def stop(process, grace=3.0):
    """Ends a child and everything in its process group: SIGTERM, then
    SIGKILL for whatever is left after grace seconds."""
    if process is None:
        return
    if process.poll() is None:
        _signal_group(process, signal.SIGTERM)
        try:
            process.wait(timeout=grace)
        except subprocess.TimeoutExpired:
            pass
    # Helpers the child started may outlive it in its group.
    _signal_group(process, signal.SIGKILL)
    process.wait()


def first_line_from(start):
    """Runs start(write_fd) and returns the first line the child writes to
    that descriptor (Xvfb's display number, dbus-daemon's address)."""
    read_end, write_end = os.pipe()
    try:
        process = start(write_end)
    finally:
        os.close(write_end)
    with os.fdopen(read_end) as pipe:
        return process, pipe.readline().strip()


# ---- screenshots -------------------------------------------------------------


def _png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def write_png(path, width, height, rgb_rows):
    """Writes 8-bit RGB rows (width * 3 bytes each) as a PNG file."""
    raw = b"".join(b"\0" + row for row in rgb_rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(_png_chunk(b"IHDR", header))
        f.write(_png_chunk(b"IDAT", zlib.compress(raw, 6)))
        f.write(_png_chunk(b"IEND", b""))


def read_xwd(xwd_path):
    """Reads Xvfb's frame buffer file (XWD, 24-bit colour in 32-bit pixels):
    (width, height, rows), each row width * 3 bytes of R, G, B."""
    with open(xwd_path, "rb") as f:
        data = f.read()
    fields = struct.unpack(">25I", data[:100])
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    colours = fields[19]
    if bits_per_pixel != 32:
        raise HarnessError(f"unexpected frame buffer of {bits_per_pixel} bits per pixel")
    start = header_size + colours * 12
    # Pixels are 0x00RRGGBB words: least significant byte first, their bytes
    # lie in memory as B, G, R, 0.
    red, green, blue = (2, 1, 0) if byte_order == 0 else (1, 2, 3)
    rows = []
    for y in range(height):
        line = data[start + y * bytes_per_line:start + y * bytes_per_line + width * 4]
        rgb = bytearray(width * 3)
        rgb[0::3] = line[red::4]
        rgb[1::3] = line[green::4]
        rgb[2::3] = line[blue::4]
        rows.append(bytes(rgb))
    return width, height, rows


def xwd_to_png(xwd_path, png_path):
    """Converts Xvfb's frame buffer file into a PNG file."""
    width, height, rows = read_xwd(xwd_path)
    write_png(png_path, width, height, rows)


def count_colour(rows, bounds, rgb, tolerance=60):
    """How many pixels inside bounds (x, y, width, height) of the screen rows
    are of the colour rgb (r, g, b), give or take tolerance summed over the
    three channels (text is drawn smoothed: few pixels have the exact colour
    of the pen)."""
    x, y, width, height = bounds
    count = 0
    for row in rows[max(0, y):y + height]:
        piece = row[max(0, x) * 3:(x + width) * 3]
        for i in range(0, len(piece), 3):
            if (abs(piece[i] - rgb[0]) + abs(piece[i + 1] - rgb[1])
                    + abs(piece[i + 2] - rgb[2])) <= tolerance:
                count += 1
    return count


# ---- the session -------------------------------------------------------------

# Variables of the desktop the harness itself may run in; none may leak in.
_FOREIGN_VARIABLES = ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS",
                      "AT_SPI_BUS_ADDRESS", "SESSION_MANAGER", "XDG_CURRENT_DESKTOP",
                      "XDG_SESSION_TYPE", "DESKTOP_SESSION")


class Session:
    """Xvfb, openbox, a D-Bus session bus and the AT-SPI bus, all private,
    with a home folder of their own under a temporary root.

    start() points this process's environment at them too, since the
    accessibility library (pyatspi) finds its bus through it."""

    def __init__(self):
        self.root = None
        self.display = None
        self.env = None
        self._processes = []
        self._saved_environ = None

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        self._saved_environ = dict(os.environ)
        adopt_orphans()
        self.root = tempfile.mkdtemp(prefix="velmora-e2e-")
        for sub in ("home", "runtime", "fb", "logs", "programs"):
            os.makedirs(os.path.join(self.root, sub), mode=0o700)
        try:
            self._start_x()
            self._start_window_manager()
            self._start_buses()
        except BaseException:
            self.stop()
            raise
        os.environ.clear()
        os.environ.update(self.env)

    def stop(self):
        for process in reversed(self._processes):
            stop(process)
        self._processes = []
        reap_orphans()
        if self._saved_environ is not None:
            os.environ.clear()
            os.environ.update(self._saved_environ)
            self._saved_environ = None
        if self.root:
            shutil.rmtree(self.root, ignore_errors=True)
            self.root = None

    def log_path(self, name):
        return os.path.join(self.root, "logs", name + ".log")

    def read_log(self, name, tail=3000):
        try:
            with open(self.log_path(name), errors="replace") as f:
                return f.read()[-tail:]
        except OSError:
            return "(no log)"

    def screenshot(self, png_path):
        """Saves what the screen shows now as a PNG file."""
        xwd_to_png(os.path.join(self.root, "fb", "Xvfb_screen0"), png_path)

    def colour_count(self, bounds, rgb):
        """How many pixels of the screen area bounds (x, y, width, height)
        show about the colour rgb (r, g, b) now (see count_colour)."""
        _, _, rows = read_xwd(os.path.join(self.root, "fb", "Xvfb_screen0"))
        return count_colour(rows, bounds, rgb)

    def viewable_window_sizes(self):
        """(width, height) of every X window that is mapped and can be seen
        now, window manager frames included."""
        def xwininfo(*args):
            return subprocess.run(["xwininfo", *args], env=self.env, capture_output=True,
                                  text=True).stdout
        sizes = []
        for window in re.findall(r"^\s+(0x[0-9a-f]+) ", xwininfo("-root", "-tree"), re.M):
            info = xwininfo("-id", window)
            width, height = (re.search(rf"{side}: (\d+)", info) for side in ("Width", "Height"))
            if "Map State: IsViewable" in info and width and height:
                sizes.append((int(width.group(1)), int(height.group(1))))
        return sizes

    def _environment(self):
        env = {k: v for k, v in os.environ.items() if k not in _FOREIGN_VARIABLES}
        home = os.path.join(self.root, "home")
        env.update(HOME=home, XDG_RUNTIME_DIR=os.path.join(self.root, "runtime"),
                   XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_CACHE_HOME=os.path.join(home, ".cache"),
                   XDG_DATA_HOME=os.path.join(home, ".local", "share"))
        return env

    def _start_x(self):
        # Xvfb picks a free display number itself and reports it once it
        # accepts connections, so sessions running side by side never clash.
        # -fbdir keeps the screen in a file, which is what screenshot() reads.
        width, height = SCREEN_SIZE
        xvfb, number = first_line_from(lambda fd: spawn(
            ["Xvfb", "-displayfd", str(fd), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-fbdir", os.path.join(self.root, "fb")],
            log=self.log_path("xvfb"), pass_fds=(fd,)))
        self._processes.append(xvfb)
        if not number:
            raise HarnessError("Xvfb did not start:\n" + self.read_log("xvfb"))
        self.display = ":" + number
        self.env = self._environment()
        self.env["DISPLAY"] = self.display

    def _start_window_manager(self):
        # openbox runs its start-up command once it manages the screen.
        ready = os.path.join(self.root, "wm-ready")
        openbox = spawn(["openbox", "--sm-disable", "--startup", f"touch {ready}"],
                        env=self.env, log=self.log_path("openbox"))
        self._processes.append(openbox)
        wait_until(lambda: os.path.exists(ready) or openbox.poll() is not None,
                   what="openbox to start")
        if openbox.poll() is not None:
            raise HarnessError("openbox did not start:\n" + self.read_log("openbox"))

    def _start_buses(self):
        dbus, address = first_line_from(lambda fd: spawn(
            ["dbus-daemon", "--session", "--nofork", f"--print-address={fd}"],
            env=self.env, log=self.log_path("dbus"), pass_fds=(fd,)))
        self._processes.append(dbus)
        if not address:
            raise HarnessError("dbus-daemon did not start:\n" + self.read_log("dbus"))
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        # The launcher starts the accessibility bus and its registry at once
        # rather than when the first program asks for it.
        launcher = spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                         env=self.env, log=self.log_path("at-spi"))
        self._processes.append(launcher)
        wait_until(self._accessibility_bus_registered, what="the AT-SPI bus")

    def _accessibility_bus_registered(self):
        # Asking the bus itself: a call to the launcher's name before it is
        # taken would make dbus-daemon start a second launcher.
        result = subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
             "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
             "string:org.a11y.Bus"],
            env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=10)
        return result.returncode == 0 and b"boolean true" in result.stdout
