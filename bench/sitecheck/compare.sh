#!/usr/bin/env bash
# Side by side in one run: velmora-check over a documentation site against
# linkchecker checking the same site through file: URLs without external
# links, and against reading every page with cat (warm cache). Prints the
# median of several runs of each and the ratios, and velmora-check's peak
# memory. Run ./setup first (linkchecker, python3.11-doc).
#
# compare.sh BUILD_DIR [SITE] [RUNS] [LINKCHECKER_RUNS]
set -euo pipefail
build=$(cd "$1" && pwd)
site=${2:-/usr/share/doc/python3.11/html}
runs=${3:-7}
lc_runs=${4:-3}
check=$build/velmora-check
[ -x "$check" ] || { echo "no velmora-check in $build" >&2; exit 2; }
command -v linkchecker >/dev/null || { echo "run ./setup first" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The files velmora-check reads: the pages and the style sheets.
find -L "$site" -type f \( -name '*.htm' -o -name '*.html' -o -name '*.css' \) -print0 \
  >"$work/pages"
pages=$(tr -cd '\0' <"$work/pages" | wc -c)
bytes=$(xargs -0 cat <"$work/pages" | wc -c)
echo "site: $site, $pages pages and style sheets, $((bytes / 1048576)) MB"

seconds() { # COMMAND...: the wall time of one run
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}
median() { sort -g | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
read_all() { xargs -0 cat <"$work/pages" >/dev/null; }
run_linkchecker() {
  linkchecker --no-status -o none --threads 10 "file://$site/index.html"
}

read_all # warm the cache
"$check" "$site" >/dev/null || true
for ((i = 0; i < runs; i++)); do
  seconds "$check" "$site" >>"$work/check"
  seconds read_all >>"$work/cat"
  if ((i < lc_runs)); then
    seconds run_linkchecker >>"$work/linkchecker"
  fi
done
c=$(median <"$work/check")
r=$(median <"$work/cat")
l=$(median <"$work/linkchecker")
/usr/bin/time -f "%M" -o "$work/memory" "$check" "$site" >/dev/null || true
printf '%-34s %10s s  (%d runs)\n' "velmora-check" "$c" "$runs"
printf '%-34s %10s s  (%d runs)\n' "cat of every page to /dev/null" "$r" "$runs"
printf '%-34s %10s s  (%d runs)\n' "linkchecker, file: URLs" "$l" "$lc_runs"
echo "linkchecker / velmora-check: $(echo "$l / $c" | bc -l | xargs printf '%.1f')x (goal >= 20x)"
echo "velmora-check / cat: $(echo "$c / $r" | bc -l | xargs printf '%.2f')x (goal <= 3x)"
echo "velmora-check peak memory: $(($(tail -n 1 "$work/memory") / 1024)) MB"
