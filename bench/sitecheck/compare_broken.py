#!/usr/bin/env python3
"""Runs velmora-check and linkchecker over the same folder and lists the
broken local links each reports that the other does not.

compare_broken.py VELMORA_CHECK FOLDER [START_PAGE]

linkchecker crawls from START_PAGE (index.html by default) through file:
URLs without external links; velmora-check reads every page of the folder.
A link is compared as (page relative to FOLDER, line, link as written)."""

import csv
import os
import re
import subprocess
import sys
import urllib.parse


def velmora(program, folder):
    out = subprocess.run([program, "--anchors", folder], capture_output=True, text=True).stdout
    found = {}
    row = re.compile(r"^(.*?):(\d+): (Wrong letter case \(on disk: .*?\)|[^:]+)(?:: (.*))?$")
    for line in out.splitlines():
        page, number, problem, link = row.match(line).groups()
        found[(page, int(number), link or "")] = problem
    return found


def linkchecker(folder, start):
    url = "file://" + urllib.parse.quote(os.path.join(folder, start))
    result = subprocess.run(["linkchecker", "--no-status", "--no-warnings", "-o", "csv",
                             "--threads", "4", url], capture_output=True, text=True)
    rows = [line for line in result.stdout.splitlines() if line and not line.startswith("#")]
    found = {}
    prefix = "file://" + urllib.parse.quote(folder.rstrip("/")) + "/"
    for row in csv.DictReader(rows, delimiter=";"):
        if row.get("valid") != "False":
            continue
        parent = row["parentname"] or ""
        page = urllib.parse.unquote(parent[len(prefix):]) if parent.startswith(prefix) else parent
        found[(page, int(row["line"] or 0), row["urlname"])] = row["result"]
    return found


def main():
    program, folder = sys.argv[1], os.path.abspath(sys.argv[2])
    start = sys.argv[3] if len(sys.argv) > 3 else "index.html"
    ours, theirs = velmora(program, folder), linkchecker(folder, start)
    print(f"velmora-check: {len(ours)} problems; linkchecker: {len(theirs)} broken links")
    only_theirs = sorted(set(theirs) - set(ours))
    only_ours = sorted(set(ours) - set(theirs))
    print(f"reported by linkchecker only ({len(only_theirs)}):")
    for key in only_theirs:
        print("   %s:%d: %s  [%s]" % (key[0], key[1], key[2], theirs[key]))
    print(f"reported by velmora-check only ({len(only_ours)}):")
    for key in only_ours:
        print("   %s:%d: %s  [%s]" % (key[0], key[1], key[2], ours[key]))
    return 1 if only_theirs else 0


if __name__ == "__main__":
    sys.exit(main())
