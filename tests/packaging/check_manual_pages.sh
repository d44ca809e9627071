#!/usr/bin/env bash
# Renders every compressed manual page and fails on any warning of the
# formatter (an unknown macro, a bad escape, a line that cannot be broken).
set -euo pipefail
man_dir=$1
failures=0
for command in velmora velmora-thumbs velmora-format velmora-check; do
  page=$man_dir/$command.1.gz
  if ! gzip -t "$page"; then
    echo "FAIL: $page is missing or not compressed"
    failures=$((failures + 1))
    continue
  fi
  warnings=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then
    echo "FAIL: $command.1: $warnings"
    failures=$((failures + 1))
  fi
  MANWIDTH=80 LC_ALL=C.UTF-8 man -l "$page" 2>/dev/null | grep -q "^NAME" ||
    { echo "FAIL: $command.1 renders no NAME section"; failures=$((failures + 1)); }
done
exit $((failures > 0))
