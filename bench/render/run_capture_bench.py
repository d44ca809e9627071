#!/usr/bin/env python3
"""Thumbnails per second side by side, in one run, as ratios.

  velmora-thumbs   one long-lived engine over 200 local pages
  chromium         `chromium --headless --screenshot --window-size=W,H`, one
                   browser start per page (timed over the first 20 pages)
  playwright       playwright-core driving /usr/bin/chromium, one page reused

at the 640x480 and the 1024x768 base; medians of RUNS runs, every program run
with `nice -n 10`. Then the thumbnails of the last velmora run are checked for
blank or wrong pictures (one page in ten paints late, from a script after its
load), and the memory of velmora-thumbs is followed over 1,000 pages.

With --load N, N processes that keep a core busy run beside every program
the whole time, so that the check of the thumbnails tells whether a busy
machine still gets the page's real picture. --many-only runs only the
1,000-page part (memory and the check), which needs no anchor.

usage: bench/render/run_capture_bench.py [--load N] [--many-only] BUILD_DIR [RUNS]
"""
import argparse
import contextlib
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
NICE = ["nice", "-n", "10"]
PAGES = 200
CHROMIUM_PAGES = 20


def timed(cmd, **kw):
    start = time.monotonic()
    subprocess.run(NICE + cmd, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, **kw)
    return time.monotonic() - start


def pages_of(folder):
    return sorted(os.path.join(folder, f) for f in os.listdir(folder) if f.endswith(".htm"))


def run_velmora(tool, prog, folder, base):
    shutil.rmtree(prog, ignore_errors=True)
    return PAGES / timed([tool, "--program-dir", prog, "--base", base, folder])


def run_chromium(pages, base, out):
    w, h = base.split("x")
    start = time.monotonic()
    for n, page in enumerate(pages[:CHROMIUM_PAGES]):
        subprocess.run(NICE + ["chromium", "--headless", "--no-sandbox", "--disable-gpu",
                               f"--screenshot={out}/c{n}.png", f"--window-size={w},{h}",
                               "file://" + page],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return CHROMIUM_PAGES / (time.monotonic() - start)


def run_playwright(pages, base, out):
    w, h = base.split("x")
    return PAGES / timed(["node", os.path.join(HERE, "playwright_shots.js"), w, h, out] + pages,
                         cwd=HERE)


def tree_rss_kb(pid):
    """Resident memory of a process and all its descendants, in kB."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    ppid = int(f.read().rsplit(")", 1)[1].split()[1])
                children.setdefault(ppid, []).append(int(entry))
            except (OSError, IndexError, ValueError):
                pass
    total, todo = 0, [pid]
    while todo:
        p = todo.pop()
        todo += children.get(p, [])
        try:
            with open(f"/proc/{p}/status") as f:
                for line in f:
                    if line.startswith("VmRSS:"):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total


def memory_run(tool, prog, folder):
    shutil.rmtree(prog, ignore_errors=True)
    proc = subprocess.Popen(NICE + [tool, "--program-dir", prog, "--base", "1024x768", folder],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    samples, done = {}, 0
    for _ in proc.stdout:
        done += 1
        if done in (100, 250, 500, 750, 999):
            samples[done] = (tree_rss_kb(proc.pid), )
    proc.wait()
    return samples


@contextlib.contextmanager
def busy_processes(count):
    """count processes that spin on a core until the block ends."""
    spin = [sys.executable, "-c", "while True: pass"]
    procs = [subprocess.Popen(spin) for _ in range(count)]
    try:
        yield
    finally:
        for proc in procs:
            proc.kill()
            proc.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("runs", nargs="?", type=int, default=3)
    parser.add_argument("--load", type=int, default=0)
    parser.add_argument("--many-only", action="store_true")
    args = parser.parse_args()
    with busy_processes(args.load):
        if args.load:
            print(f"{args.load} busy processes run beside every program", flush=True)
        run_all(os.path.abspath(args.build), args.runs, args.many_only)


def run_all(build, runs, many_only):
    tool = os.path.join(build, "velmora-thumbs")
    check = os.path.join(build, "bench", "thumb_check")
    subprocess.run([os.path.join(HERE, "setup")], check=True)
    work = tempfile.mkdtemp(prefix="capture-bench-")
    prog = os.path.join(work, "prog")
    if many_only:
        many_pages(tool, check, prog, work)
        return
    folder = os.path.join(work, "pages")
    subprocess.run([sys.executable, os.path.join(HERE, "make_pages.py"), folder, str(PAGES)],
                   check=True)
    pages = pages_of(folder)
    out = os.path.join(work, "shots")
    os.makedirs(out)
    print(f"{PAGES} pages, medians of {runs} runs (pages per second)")
    print(f"{'base':>10} {'velmora':>9} {'chromium':>9} {'playwright':>11} "
          f"{'v/chromium':>11} {'v/playwright':>13}")
    for base in ("640x480", "1024x768"):
        v, c, p = [], [], []
        for _ in range(runs):
            v.append(run_velmora(tool, prog, folder, base))
            c.append(run_chromium(pages, base, out))
            p.append(run_playwright(pages, base, out))
        mv, mc, mp = (statistics.median(x) for x in (v, c, p))
        print(f"{base:>10} {mv:9.2f} {mc:9.2f} {mp:11.2f} {mv / mc:11.2f} {mv / mp:13.2f}",
              flush=True)
        print(f"{'':>10} runs: velmora {['%.2f' % x for x in v]} chromium "
              f"{['%.2f' % x for x in c]} playwright {['%.2f' % x for x in p]}", flush=True)
        subprocess.run([check, os.path.join(prog, "THUMBS") + "/",
                        os.path.join(folder, "manifest.txt")])

    many_pages(tool, check, prog, work)


def many_pages(tool, check, prog, work):
    big = os.path.join(work, "many")
    subprocess.run([sys.executable, os.path.join(HERE, "make_pages.py"), big, "1000"],
                   check=True)
    samples = memory_run(tool, prog, big)
    print("velmora-thumbs over 1,000 pages at 1024x768, resident memory of the process "
          "and its engine processes:")
    for done, (rss,) in sorted(samples.items()):
        print(f"  after {done:4d} pages: {rss / 1024:7.1f} MB")
    subprocess.run([check, os.path.join(prog, "THUMBS") + "/", os.path.join(big, "manifest.txt")])
    shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
