#!/usr/bin/env python3
"""The verification of a loaded list of 500,000 entries, side by side with the
C stat loop on the same paths, several runs in turn; prints the medians and
the ratio.

  The files (FILES / 100 folders of 100 small pages) are generated once under
  --work and found by the program's search into a list file. Each run times
  the program's path after a load (read the list, fill the model, verify with
  a progress bar) and filelists_stat_loop, which stats each path one after
  another. The two take turns going first, as the machine is shared.

  verify_bench.py --build BUILD_DIR [--runs 7] [--files 500000]
"""
import argparse
import os
import subprocess
import tempfile

from compare import CPU, field, median, timed


def prepare(tool, work, files):
    """The tree, its list file and the paths file for the stat loop."""
    tree = os.path.join(work, "tree")
    listed = os.path.join(work, "tree.lst")
    paths = os.path.join(work, "tree.paths")
    stamp = os.path.join(work, "files")
    if not os.path.exists(stamp) or open(stamp).read().strip() != str(files):
        subprocess.run(["rm", "-rf", tree], check=True)
        subprocess.run([tool, "gen-tree", tree, str(files // 100), "100"], check=True)
        subprocess.run([tool, "search", tree, listed], check=True, stdout=subprocess.DEVNULL)
        subprocess.run([tool, "verify", listed, paths], check=True)
        with open(stamp, "w") as out:
            out.write(f"{files}\n")
    return listed, paths


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--files", type=int, default=500_000)
    parser.add_argument("--work", default=os.path.join(tempfile.gettempdir(), "velmora-verify-bench"))
    args = parser.parse_args()
    tool = os.path.join(args.build, "filelists_bench_tool")
    stat_loop = os.path.join(args.build, "filelists_stat_loop")
    work = os.path.abspath(args.work)  # the list holds absolute paths, whatever the cwd
    os.makedirs(work, exist_ok=True)
    listed, paths = prepare(tool, work, args.files)

    stat_cmd = [stat_loop, paths]
    verify_cmd = [tool, "verify", listed]
    # Warms the cache, and makes sure every entry is found: a figure over
    # missing files would time something else.
    _, out = timed(stat_cmd, capture=True)
    if field(out, "missing") != 0:
        raise SystemExit(f"stat loop: {out.strip()}")
    _, out = timed(verify_cmd, capture=True)
    if field(out, "removed") != 0 or field(out, "updated") != 0:
        raise SystemExit(f"verify: {out.strip()}")
    entries = int(field(out, "total"))
    series = {k: [] for k in ["statloop", "verify", "verify_op"]}
    for run in range(args.runs):
        def stat():
            series["statloop"].append(timed(stat_cmd, name="statloop")[0])

        def verify():
            wall, out = timed(verify_cmd, capture=True, name="verify")
            series["verify"].append(wall)
            series["verify_op"].append(field(out, "op_ms"))

        for step in (stat, verify) if run % 2 == 0 else (verify, stat):
            step()

    m = {k: median(v) for k, v in series.items()}
    c = {k: median(v) for k, v in CPU.items()}
    print(f"medians of {args.runs} runs, wall-clock ms (op = VerifyLoadedList alone)")
    print(f"verify {entries} entries after a load: C stat loop {m['statloop']:.0f}  "
          f"ours {m['verify']:.0f} (op {m['verify_op']:.0f})  "
          f"ours/stat {m['verify'] / m['statloop']:.2f}x, op/stat {m['verify_op'] / m['statloop']:.2f}x")
    print(f"median CPU ms (user + system): stat loop {c['statloop']:.0f}  ours {c['verify']:.0f}  "
          f"ratio {c['verify'] / c['statloop']:.2f}x")


if __name__ == "__main__":
    main()
