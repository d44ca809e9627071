#!/usr/bin/env python3
"""Compares the replacement across 1,000 pages of two (or more) builds of
sitesearch_bench_tool, taking turns, and prints the medians of each: wall
time of the whole run, processor time of the whole run, and the replacement's
own wall and processor time as the tool reports them.

  replace_ab.py [--runs N] [--settle S] TOOL_A TOOL_B [...]

Each run gets fresh copies of the same 1,000 pages of the generated site
(compare.py makes it), synced to the disk, as compare.py's replacement does.

--settle waits S seconds after the copies are made and before the tool
runs. On ext4 without a journal, making a file passes over the inodes freed
in the last half minute or so one by one, so a run right after another (or
after the copies' old versions were removed) spends much of its processor
time in the kernel on the previous runs' deletions; waiting lets that fade,
and what remains is the tool's own work.
"""
import argparse
import os
import resource
import shutil
import statistics
import subprocess
import time

SITE_PAGES = 1000
WORD, NEW = "paragraph", "passage"


def pages_of(site):
    return sorted(os.path.join(d, f) for d, _, fs in os.walk(site) for f in fs
                  if f.endswith(".html"))[:SITE_PAGES]


def fresh(pages, target):
    shutil.rmtree(target, ignore_errors=True)
    os.makedirs(target)
    for i, page in enumerate(pages):
        shutil.copyfile(page, os.path.join(target, f"p{i:04d}.html"))
    os.sync()


def field(fields, name):
    return float(fields[fields.index(name) + 1]) if name in fields else float("nan")


def run_once(tool, target):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    out = subprocess.run([tool, "replace", target, "*.html", WORD, NEW, "case"],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True).stdout
    wall = (time.perf_counter() - start) * 1000.0
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime) * 1000.0
    fields = out.split()
    return {"wall": wall, "cpu": cpu, "search_ms": field(fields, "search_ms"),
            "apply_ms": field(fields, "apply_ms"), "apply_cpu_ms": field(fields, "apply_cpu_ms"),
            "apply_user_ms": field(fields, "apply_user_ms")}


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("tools", nargs="+")
    parser.add_argument("--work", default="/tmp/velmora-sitesearch-bench")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--settle", type=float, default=0.0)
    args = parser.parse_args()
    pages = pages_of(os.path.join(args.work, "site"))
    if len(pages) < SITE_PAGES:
        raise SystemExit("make the generated site first: compare.py --only replace")
    target = os.path.join(args.work, "replace-ab")
    results = {tool: [] for tool in args.tools}
    loads = []
    for _ in range(args.runs):
        for tool in args.tools:
            fresh(pages, target)
            time.sleep(args.settle)
            loads.append(os.getloadavg()[0])
            results[tool].append(run_once(tool, target))
    print(f"replace {WORD!r} by {NEW!r} in {len(pages)} pages, {args.runs} runs each, "
          f"taking turns; load average median {statistics.median(loads):.2f}")
    for tool, runs in results.items():
        medians = {key: statistics.median(run[key] for run in runs) for key in runs[0]}
        print(f"  {tool}")
        print("    median " + "  ".join(f"{key} {value:7.1f}" for key, value in medians.items()))
        for key in ("wall", "apply_cpu_ms", "apply_user_ms"):
            print(f"    every {key}: " + " ".join(f"{run[key]:.0f}" for run in runs))


if __name__ == "__main__":
    main()
