#!/usr/bin/env python3
"""How long `velmora-thumbs --changed` takes over a site where nothing
changed: a generated site of PAGES pages in folders of 100, every page with
a thumbnail newer than it, so the command only looks at the files and makes
nothing. Each round is one whole run of the command, start to exit, as a
script would run it; the first (cold) run is not counted. The figure to
compare with the goal (2 s for 10,000 pages) is the median. For scale, the
same command on an empty folder (its start and end alone) is timed too.

Usage: bench/thumbs/changed_run.py [--tool build/velmora-thumbs]
       [--pages 10000] [--rounds 7] [--keep DIR]"""

import argparse
import os
import statistics
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PER_FOLDER = 100
JPEG = b"\xff\xd8\xff\xd9"  # the files are only looked at, never decoded


def thumb_folder(program_dir, folder):
    """The thumbnail subfolder of a page folder: "/" made "=" throughout."""
    return os.path.join(program_dir, "THUMBS", folder.rstrip("/").replace("/", "=")) + "/"


def make_site(root, pages):
    site = os.path.join(root, "site")
    program_dir = os.path.join(root, "prog")
    os.makedirs(program_dir, exist_ok=True)
    saved = time.time() - 3600
    for n in range(pages):
        folder = os.path.join(site, f"part{n // PER_FOLDER:03d}")
        if n % PER_FOLDER == 0:
            os.makedirs(folder, exist_ok=True)
            os.makedirs(thumb_folder(program_dir, folder), exist_ok=True)
        name = f"page{n:05d}.htm"
        page = os.path.join(folder, name)
        with open(page, "w") as f:
            f.write(f"<html><body><h1>Page {n}</h1></body></html>")
        os.utime(page, (saved, saved))
        with open(thumb_folder(program_dir, folder) + name + ".jpg", "wb") as f:
            f.write(JPEG)
    return site, program_dir


def run_once(tool, program_dir, path):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    start = time.perf_counter()
    done = subprocess.run([tool, "--changed", "--recursive", "--program-dir", program_dir, path],
                          env=env, capture_output=True, text=True, timeout=600)
    elapsed = time.perf_counter() - start
    if done.returncode != 0 or done.stdout:
        raise SystemExit(f"unexpected run: exit {done.returncode}\n{done.stdout}{done.stderr}")
    return elapsed, done.stderr.strip()


def timed(tool, program_dir, path, rounds):
    run_once(tool, program_dir, path)  # cold caches, not counted
    results = [run_once(tool, program_dir, path) for _ in range(rounds)]
    return [seconds for seconds, _ in results], results[-1][1]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--tool", default=os.path.join(HERE, "..", "..", "build", "velmora-thumbs"))
    parser.add_argument("--pages", type=int, default=10000)
    parser.add_argument("--rounds", type=int, default=7)
    parser.add_argument("--keep", help="make the site in this folder and leave it there")
    arguments = parser.parse_args()

    with tempfile.TemporaryDirectory(prefix="velmora-changed-") as scratch:
        root = arguments.keep or scratch
        site, program_dir = make_site(root, arguments.pages)
        empty = os.path.join(root, "empty")
        os.makedirs(empty, exist_ok=True)

        times, said = timed(arguments.tool, program_dir, site, arguments.rounds)
        expected = f"0 to make, {arguments.pages} up to date and skipped"
        if expected not in said:
            raise SystemExit(f"the command did not skip every page: {said}")
        bare, _ = timed(arguments.tool, program_dir, empty, arguments.rounds)

    print(f"velmora-thumbs --changed over {arguments.pages} pages, nothing changed; "
          f"{arguments.rounds} runs after one cold run")
    print(f"  site      median {statistics.median(times):6.3f} s   "
          f"min {min(times):6.3f}   max {max(times):6.3f}   (goal < 2 s)")
    print(f"  empty     median {statistics.median(bare):6.3f} s   "
          f"min {min(bare):6.3f}   max {max(bare):6.3f}   (start and end alone)")
    print(f"  it said:  {said}")


if __name__ == "__main__":
    main()
