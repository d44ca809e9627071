#!/usr/bin/env python3
"""Time per thumbnail of the file managers' thumbnailer: the Exec line of
packaging/velmora.thumbnailer run once per page over generated pages, with a
bare environment (fresh HOME, no DISPLAY), as a file manager runs it. The
anchor is the batch command making the same pages' thumbnails in one process,
per page.

Usage: bench/thumbs/thumbnailer_timing.py [--tool build/velmora-thumbs]
       [--pages 20] [--size 256] [--rounds 3]"""

import argparse
import os
import shlex
import statistics
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ENTRY = os.path.join(HERE, "..", "..", "packaging", "velmora.thumbnailer")


def exec_words():
    with open(ENTRY) as f:
        for line in f:
            if line.startswith("Exec="):
                return shlex.split(line[5:].strip())
    raise SystemExit("no Exec line in " + ENTRY)


def make_pages(folder, count):
    pages = []
    for n in range(count):
        path = os.path.join(folder, f"page{n:02d}.htm")
        with open(path, "w") as f:
            f.write(f"<html><body style='background:#{0x203040 + n * 0x050505:06x}'>"
                    f"<h1>Page {n}</h1>" + "<p>Some text of the page. " * 40 +
                    "</body></html>")
        pages.append(path)
    return pages


def bare_env(folder):
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": folder, "TMPDIR": folder}
    if os.geteuid() == 0:
        env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
    return env


def fill(words, tool, size, page, output):
    values = {"%s": str(size), "%u": "file://" + page, "%i": page, "%o": output}
    return [tool] + [values.get(word, word) for word in words[1:]]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", default=os.path.join(HERE, "..", "..", "build",
                                                       "velmora-thumbs"))
    parser.add_argument("--pages", type=int, default=20)
    parser.add_argument("--size", type=int, default=256)
    parser.add_argument("--rounds", type=int, default=3)
    args = parser.parse_args()
    words = exec_words()
    with tempfile.TemporaryDirectory() as folder:
        pages = make_pages(folder, args.pages)
        home = os.path.join(folder, "home")
        os.makedirs(home)
        round_medians, batch_per_page = [], []
        for _ in range(args.rounds):
            times = []
            for page in pages:
                command = fill(words, args.tool, args.size, page, page + ".png")
                start = time.monotonic()
                subprocess.run(command, env=bare_env(home), check=True,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                times.append(time.monotonic() - start)
            round_medians.append(statistics.median(times))
            start = time.monotonic()
            subprocess.run([args.tool, "--program-dir", os.path.join(folder, "prog"),
                            "--base-index", "3"] + pages, check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            batch_per_page.append((time.monotonic() - start) / len(pages))
        thumb = statistics.median(round_medians)
        batch = statistics.median(batch_per_page)
        print(f"thumbnailer, {args.pages} pages, size {args.size}: median "
              f"{thumb * 1000:.0f} ms per thumbnail (round medians: "
              + ", ".join(f"{m * 1000:.0f}" for m in round_medians) + " ms)")
        print(f"anchor, batch command in one process: {batch * 1000:.0f} ms per page; "
              f"ratio {thumb / batch:.1f}")


if __name__ == "__main__":
    main()
