#!/usr/bin/env python3
"""Runs the file-list operations side by side with their anchors on the same
data, several times in turn, and prints the median wall times and ratios.

  search   100,000 files in 5,000 folders, entry mode (size and date of each
           match) against find -printf (stats every file) and fdfind -HI; a
           C program that only walks and stats on two threads shows what the
           file system alone costs
  dedup    RemoveDuplicateEntries on 1,000,000 lines against sort -f
  verify   verifying 100,000 entries against a C loop that stats each path
"""
import argparse
import os
import re
import resource
import statistics
import subprocess
import tempfile
import time


CPU = {}


def timed(cmd, capture=False, name=None):
    """Wall time in ms and the output; the CPU time (user + system) of the
    child goes to CPU[name], as the machine is shared and wall time suffers."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    out = subprocess.run(cmd, check=True, stdout=subprocess.PIPE if capture else subprocess.DEVNULL,
                         text=True).stdout
    wall = (time.perf_counter() - start) * 1000.0
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if name:
        cpu = (after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime) * 1000.0
        CPU.setdefault(name, []).append(cpu)
    return wall, out


def field(text, name):
    match = re.search(name + r" ([0-9.]+)", text or "")
    return float(match.group(1)) if match else float("nan")


def median(values):
    return statistics.median(values)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--work", default=os.path.join(tempfile.gettempdir(), "velmora-filelists-bench"))
    args = parser.parse_args()
    tool = os.path.join(args.build, "filelists_bench_tool")
    stat_loop = os.path.join(args.build, "filelists_stat_loop")
    walk_stat = os.path.join(args.build, "filelists_walk_stat")
    tree = os.path.join(args.work, "tree")
    os.makedirs(args.work, exist_ok=True)
    if not os.path.isdir(tree):
        subprocess.run([tool, "gen-tree", tree, "5000", "20"], check=True)
    lines = os.path.join(args.work, "lines.lst")
    if not os.path.exists(lines):
        subprocess.run([tool, "gen-lines", lines, "1000000"], check=True)
    listed = os.path.join(args.work, "tree.lst")
    paths = os.path.join(args.work, "tree.paths")
    subprocess.run([tool, "search", tree, listed], check=True, stdout=subprocess.DEVNULL)
    subprocess.run([tool, "verify", listed, paths], check=True)

    find_cmd = ["find", tree, "-type", "f", "-printf", "%h/*%f*%s*%TY-%Tm-%Td  %TH:%TM\\n"]
    fd_cmd = ["fdfind", "-HI", ".", tree]
    sort_cmd = ["sort", "-f", lines]
    series = {k: [] for k in ["find", "fdfind", "walkstat", "search", "search_op", "first",
                              "sort", "dedup", "dedup_op", "statloop", "verify", "verify_op"]}
    for cmd in (find_cmd, fd_cmd, [tool, "search", tree]):  # warm the cache
        timed(cmd)
    for _ in range(args.runs):
        series["find"].append(timed(find_cmd, name="find")[0])
        series["fdfind"].append(timed(fd_cmd, name="fdfind")[0])
        series["walkstat"].append(timed([walk_stat, tree], name="walkstat")[0])
        wall, out = timed([tool, "search", tree], capture=True, name="search")
        series["search"].append(wall)
        series["search_op"].append(field(out, "op_ms"))
        series["first"].append(field(out, "first_ms"))
        series["sort"].append(timed(sort_cmd, name="sort")[0])
        wall, out = timed([tool, "dedup", lines], capture=True, name="dedup")
        series["dedup"].append(wall)
        series["dedup_op"].append(field(out, "op_ms"))
        series["statloop"].append(timed([stat_loop, paths], name="statloop")[0])
        wall, out = timed([tool, "verify", listed], capture=True, name="verify")
        series["verify"].append(wall)
        series["verify_op"].append(field(out, "op_ms"))

    m = {k: median(v) for k, v in series.items()}
    print(f"medians of {args.runs} runs, wall-clock ms (op = inside the operation)")
    print(f"search 100k files: find -printf {m['find']:.0f}  fdfind -HI {m['fdfind']:.0f}  "
          f"ours {m['search']:.0f} (op {m['search_op']:.0f}, first result {m['first']:.2f})")
    print(f"  find/ours {m['find'] / m['search']:.2f}x (goal >= 1.0)  "
          f"ours/fdfind {m['search'] / m['fdfind']:.2f}x, op/fdfind {m['search_op'] / m['fdfind']:.2f}x "
          f"(goal <= 1.5)")
    print(f"  C walk and stat on two threads, nothing printed: {m['walkstat']:.0f} "
          f"({m['walkstat'] / m['fdfind']:.2f}x fdfind)")
    print(f"dedup 1M lines: sort -f {m['sort']:.0f}  ours {m['dedup']:.0f} (op {m['dedup_op']:.0f})  "
          f"ours/sort {m['dedup'] / m['sort']:.2f}x (goal <= 2)")
    print(f"verify 100k entries: C stat loop {m['statloop']:.0f}  ours {m['verify']:.0f} "
          f"(op {m['verify_op']:.0f})  ours/stat {m['verify'] / m['statloop']:.2f}x, "
          f"op/stat {m['verify_op'] / m['statloop']:.2f}x (goal <= 1.5)")
    c = {k: median(v) for k, v in CPU.items()}
    print("median CPU ms (user + system) of the whole process: " +
          "  ".join(f"{k} {v:.0f}" for k, v in c.items()))


if __name__ == "__main__":
    main()
