#!/usr/bin/env python3
"""Runs the site search side by side with ripgrep and grep on the same pages,
and a replacement across 1,000 pages side by side with sed -i, several times
in turn, and prints the median wall times and their ratios.

  sites     a generated site of 10,000 pages in 100 folders (about 200 MB), and
            Debian's python3.11-doc HTML (bench/sitesearch/setup installs it)
  patterns  a literal word (Match case), and the regular expression
            \\b\\w+ing\\b
  anchors   rg -j2 --count, rg -j2 --count-matches, grep -r -c (all limited
            to *.html, as the search is by its mask)
  replace   one word replaced in 1,000 pages of the generated site, against
            sed -i over the same pages (fresh copies for every run); and
            against sed -i followed by sync -d of the same pages and their
            folder, timed together: the engine makes every page it writes
            durable before it takes the old one's place, plain sed -i does
            not, so only the second is a like-for-like anchor

The machine is shared: wall times are noisy, so each command runs --runs
times, interleaved, and the medians are compared. CPU times (user + system)
are printed beside them. first_ms is the time from the search's start to
its first page with occurrences arriving on the calling thread. The memory
part runs the engine alone and takes each run's own peak resident memory.
"""
import argparse
import os
import random
import resource
import shutil
import statistics
import subprocess
import time

WORDS = ("site page folder link picture table header footer menu index style "
         "colour border margin padding script anchor image caption title "
         "paragraph section article summary detail archive gallery contact").split()
ING = "reading writing linking loading testing building running making".split()
RARE = "lighthouse"


def make_site(root, pages=10000, folders=100, size=20000):
    """Pages of about size bytes, made of paragraphs chosen from a few hundred,
    so that writing 200 MB stays quick; the rare word is in every tenth."""
    if os.path.exists(os.path.join(root, ".done")):
        return
    shutil.rmtree(root, ignore_errors=True)
    rnd = random.Random(1)
    paragraphs = []
    for _ in range(400):
        words = [rnd.choice(WORDS + ING) for _ in range(rnd.randint(8, 30))]
        paragraphs.append("<p>" + " ".join(words) + ".</p>\n")
    for i in range(pages):
        folder = os.path.join(root, f"section{i % folders:03d}")
        os.makedirs(folder, exist_ok=True)
        parts = ["<html><head><title>Page %d</title></head><body>\n" % i]
        length = len(parts[0])
        while length < size:
            p = rnd.choice(paragraphs)
            parts.append(p)
            length += len(p)
        if i % 10 == 0:
            parts.insert(rnd.randint(1, len(parts) - 1), f"<p>the {RARE} on the hill</p>\n")
        parts.append("</body></html>\n")
        with open(os.path.join(folder, f"page{i:05d}.html"), "w") as f:
            f.write("".join(parts))
    open(os.path.join(root, ".done"), "w").close()


def timed(cmd, stdout=subprocess.PIPE):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    out = subprocess.run(cmd, check=False, stdout=stdout, stderr=subprocess.DEVNULL,
                         text=True).stdout
    wall = (time.perf_counter() - start) * 1000.0
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime) * 1000.0
    return wall, cpu, out or ""


def search_commands(tool, site, pattern, regex):
    engine = [tool, "find", site, "*.html", pattern, "case"] + (["regex"] if regex else [])
    fixed = [] if regex else ["-F"]
    rg = ["rg", "-j2", "--count", "-g", "*.html"] + fixed + ["-e", pattern, site]
    # --count gives matching lines; --count-matches counts every occurrence,
    # as the engine does (which also keeps line, column and extent for the
    # first 100,000)
    rg_all = ["rg", "-j2", "--count-matches", "-g", "*.html"] + fixed + ["-e", pattern, site]
    grep = ["grep", "-r", "-c", "--include=*.html"] + (["-E"] if regex else ["-F"]) + \
        ["-e", pattern, site]
    return {"engine": engine, "rg -j2": rg, "rg -cm": rg_all, "grep -r": grep}


def compare_search(tool, name, site, pattern, regex, runs):
    commands = search_commands(tool, site, pattern, regex)
    for cmd in commands.values():  # warm the page cache
        timed(cmd)
    walls = {k: [] for k in commands}
    cpus = {k: [] for k in commands}
    firsts, before_first, inside, matches = [], [], [], ""
    for _ in range(runs):
        for key, cmd in commands.items():
            wall, cpu, out = timed(cmd)
            walls[key].append(wall)
            cpus[key].append(cpu)
            if key == "engine":
                fields = out.split()
                matches = fields[1] if len(fields) > 1 else "?"
                if "first_ms" in fields:
                    firsts.append(float(fields[fields.index("first_ms") + 1]))
                if "total_ms" in fields:
                    inside.append(float(fields[fields.index("total_ms") + 1]))
                if "searched_before_first" in fields:
                    before_first.append(
                        int(fields[fields.index("searched_before_first") + 1]))
    med = {k: statistics.median(v) for k, v in walls.items()}
    cpu = {k: statistics.median(v) for k, v in cpus.items()}
    print(f"\n{name}: {'regex' if regex else 'literal'} {pattern!r} ({matches} occurrences)")
    for key in commands:
        print(f"  {key:8s} median {med[key]:8.1f} ms wall  {cpu[key]:8.1f} ms cpu")
    if inside:
        # The window runs the engine in a program already started: from Find
        # All to the end of the search is the time the tool reports inside
        # itself, without the start of a process that loads Qt.
        inner = statistics.median(inside)
        print(f"  engine   median {inner:8.1f} ms from Start to the end, inside the process")
        print(f"  engine inside / rg -j2 = {inner / med['rg -j2']:.2f}x, "
              f"/ rg -cm = {inner / med['rg -cm']:.2f}x, "
              f"grep -r / engine inside = {med['grep -r'] / inner:.2f}x")
    print(f"  engine / rg -j2   = {med['engine'] / med['rg -j2']:.2f}x wall "
          f"(goal <= 1.5x), {cpu['engine'] / cpu['rg -j2']:.2f}x cpu")
    print(f"  engine / rg -cm   = {med['engine'] / med['rg -cm']:.2f}x wall "
          f"(rg -j2 --count-matches), {cpu['engine'] / cpu['rg -cm']:.2f}x cpu")
    print(f"  grep -r / engine  = {med['grep -r'] / med['engine']:.2f}x wall "
          f"(goal >= 5x), {cpu['grep -r'] / cpu['engine']:.2f}x cpu")
    if firsts:
        print(f"  first result      median {statistics.median(firsts):.0f} ms after Start "
              f"(goal <= 100 ms)")
    if before_first:
        print(f"                    {statistics.median(before_first):.0f} pages searched by then "
              f"(the first page with an occurrence in the walk's order)")


def compare_replace(tool, site, work, runs, count=1000):
    pages = sorted(os.path.join(d, f) for d, _, fs in os.walk(site) for f in fs
                   if f.endswith(".html"))[:count]

    def fresh(target):
        shutil.rmtree(target, ignore_errors=True)
        os.makedirs(target)
        copies = []
        for i, page in enumerate(pages):
            copy = os.path.join(target, f"p{i:04d}.html")
            shutil.copyfile(page, copy)
            copies.append(copy)
        # The pages a user changes have long been on the disk: fresh copies
        # still only in memory would make the engine, which syncs its own
        # writes, write them too, and would let sed -i drop them unwritten.
        os.sync()
        return copies

    walls = {"engine": [], "sed -i": [], "sed+sync": []}
    cpus = {"engine": [], "sed -i": [], "sed+sync": []}
    parts = {"search_ms": [], "apply_ms": [], "apply_cpu_ms": []}
    # The word is in every page: each page is rewritten by both.
    word, new = "paragraph", "passage"
    for _ in range(runs):
        target = os.path.join(work, "replace-engine")
        fresh(target)
        wall, cpu, out = timed([tool, "replace", target, "*.html", word, new, "case"])
        fields = out.split()
        for key in parts:
            if key in fields:
                parts[key].append(float(fields[fields.index(key) + 1]))
        walls["engine"].append(wall)
        cpus["engine"].append(cpu)
        engine_result = {p: open(os.path.join(target, p), "rb").read()
                         for p in sorted(os.listdir(target))[:3]}
        for key in ("sed -i", "sed+sync"):
            target = os.path.join(work, "replace-sed")
            copies = fresh(target)
            wall, cpu, _ = timed(["sed", "-i", f"s/{word}/{new}/g"] + copies)
            if key == "sed+sync":
                # The same durability as the engine's: each page's data on
                # the disk (fdatasync), and the folder that holds the new
                # names.
                sync_wall, sync_cpu, _ = timed(["sync", "-d"] + copies + [target])
                wall += sync_wall
                cpu += sync_cpu
            walls[key].append(wall)
            cpus[key].append(cpu)
            for name, data in engine_result.items():
                if open(os.path.join(target, name), "rb").read() != data:
                    print("  the engine and sed disagree on", name)
    med = {k: statistics.median(v) for k, v in walls.items()}
    cpu = {k: statistics.median(v) for k, v in cpus.items()}
    print(f"\nreplace {word!r} by {new!r} in {len(pages)} pages")
    for key in walls:
        print(f"  {key:8s} median {med[key]:8.1f} ms wall  {cpu[key]:8.1f} ms cpu")
    if parts["apply_ms"]:
        print(f"  engine's search  median {statistics.median(parts['search_ms']):8.1f} ms, "
              f"its replacement (read again, replace, write) "
              f"{statistics.median(parts['apply_ms']):8.1f} ms")
    if parts["apply_cpu_ms"]:
        print(f"  engine's replacement: processor time median "
              f"{statistics.median(parts['apply_cpu_ms']):8.1f} ms (all its threads)")
    print(f"  sed -i / engine   = {med['sed -i'] / med['engine']:.2f}x wall (goal >= 3x), "
          f"{cpu['sed -i'] / cpu['engine']:.2f}x cpu")
    print(f"  sed+sync / engine = {med['sed+sync'] / med['engine']:.2f}x wall "
          f"(sed -i, then sync -d of the same pages: the engine's durability), "
          f"{cpu['sed+sync'] / cpu['engine']:.2f}x cpu")


def peak_rss_mb(cmd):
    """Runs cmd and returns (its own peak resident memory in MB, its output):
    wait4 gives the rusage of that one child, not the largest of all."""
    proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    out = proc.stdout.read()
    _, _, usage = os.wait4(proc.pid, 0)
    proc.returncode = 0
    return usage.ru_maxrss / 1024.0, out


def compare_memory(tool, site, runs):
    """The engine's peak memory for a search with few occurrences and one with
    millions, over one folder of the site (1 %) and over the whole site, and
    with fewer occurrences kept: the memory should follow the occurrences
    kept, not the size of the site."""
    one_folder = os.path.join(site, "section000")
    cases = [
        ("few occurrences, one folder", [tool, "find", one_folder, "*.html", RARE, "case"]),
        ("few occurrences, whole site", [tool, "find", site, "*.html", RARE, "case"]),
        ("many occurrences, one folder",
         [tool, "find", one_folder, "*.html", r"\b\w+ing\b", "regex", "case"]),
        ("many occurrences, whole site",
         [tool, "find", site, "*.html", r"\b\w+ing\b", "regex", "case"]),
        ("many occurrences, whole site, 10,000 kept",
         [tool, "find", site, "*.html", r"\b\w+ing\b", "regex", "case", "keep=10000"]),
    ]
    print("\npeak memory (resident) of the engine, median of", runs, "runs")
    for name, cmd in cases:
        peaks, fields = [], []
        for _ in range(runs):
            peak, out = peak_rss_mb(cmd)
            peaks.append(peak)
            fields = out.split()
        occurrences = fields[1] if len(fields) > 1 else "?"
        not_kept = fields[fields.index("not_kept") + 1] if "not_kept" in fields else "?"
        print(f"  {name:42s} {statistics.median(peaks):7.1f} MB  "
              f"({occurrences} occurrences, {not_kept} counted only)")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--tool", default="build/sitesearch_bench_tool")
    parser.add_argument("--work", default="/tmp/velmora-sitesearch-bench")
    parser.add_argument("--docs", default="/usr/share/doc/python3.11/html")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--only", choices=["generated", "docs", "replace", "memory"])
    args = parser.parse_args()
    site = os.path.join(args.work, "site")
    make_site(site)
    if args.only in (None, "generated"):
        compare_search(args.tool, "generated site", site, RARE, False, args.runs)
        compare_search(args.tool, "generated site", site, r"\b\w+ing\b", True, args.runs)
    if args.only in (None, "docs") and os.path.isdir(args.docs):
        compare_search(args.tool, "python3.11-doc", args.docs, "return", False, args.runs)
        compare_search(args.tool, "python3.11-doc", args.docs, r"\b\w+ing\b", True, args.runs)
    if args.only in (None, "replace"):
        compare_replace(args.tool, site, args.work, args.runs)
    if args.only in (None, "memory"):
        compare_memory(args.tool, site, args.runs)


if __name__ == "__main__":
    main()
