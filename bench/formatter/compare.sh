#!/usr/bin/env bash
# Formats the same generated 2 MB page with velmora-format, tidy and
# js-beautify, several runs each, and prints medians and ratios; then checks
# how velmora-format's time and memory grow with the input.
#
#   bench/formatter/compare.sh [BUILD_DIR] [RUNS]
#
# BUILD_DIR must hold velmora-format, bench_formatter and STYLES/ (a normal
# build). Heavy: run it with nice on a shared machine.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
runs=${2:-5}
"$here/setup"
# Debian's js-beautify finds its modules under /usr/share/nodejs, which a
# Node.js not installed by Debian does not search by itself.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One timed run: prints "seconds peak_kB" (wall time to the millisecond; the
# tool's exit code is ignored: tidy exits 1 for warnings).
timed() {
  local t0 t1
  t0=$(date +%s%N)
  /usr/bin/time -f "%M" -o "$work/time" "$@" > "$work/out" 2> "$work/err" || true
  t1=$(date +%s%N)
  if [ ! -s "$work/out" ]; then
    echo "no output from: $* ($(head -c 300 "$work/err"))" >&2
    exit 1
  fi
  echo "$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", (b - a) / 1e9 }') $(tail -n 1 "$work/time")"
}

# Median seconds and median peak kB of RUNS runs of a command.
median_of() {
  local n=$1; shift
  local secs=() mems=()
  for ((r = 0; r < n; r++)); do
    read -r s m < <(timed "$@")
    secs+=("$s"); mems+=("$m")
  done
  local ms mm
  ms=$(printf '%s\n' "${secs[@]}" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
  mm=$(printf '%s\n' "${mems[@]}" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
  echo "$ms $mm"
}

"$build/bench_formatter" --write-page "$work/page.html" 2097152
size=$(stat -c %s "$work/page.html")
echo "Input: generated page, $size bytes; $runs runs each, medians"
printf '%-38s %10s %10s %18s\n' tool seconds peak_MB "time / velmora's"

read -r v_s v_m < <(median_of "$runs" "$build/velmora-format" "$work/page.html")
read -r t_s t_m < <(median_of "$runs" tidy -indent -wrap 80 -q "$work/page.html")
jruns=$(( runs < 3 ? runs : 3 ))
read -r j_s j_m < <(median_of "$jruns" js-beautify --type html "$work/page.html")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "inf" }'; }
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
printf '%-38s %10s %10s %18s\n' "velmora-format" "$v_s" "$(mb "$v_m")" "1.00"
printf '%-38s %10s %10s %18s\n' "tidy -indent -wrap 80 -q" "$t_s" "$(mb "$t_m")" "$(ratio "$t_s" "$v_s")"
printf '%-38s %10s %10s %18s\n' "js-beautify --type html ($jruns runs)" "$j_s" "$(mb "$j_m")" "$(ratio "$j_s" "$v_s")"
echo "velmora-format throughput vs tidy: $(ratio "$t_s" "$v_s")x; vs js-beautify: $(ratio "$j_s" "$v_s")x"

# Scaling: four times the input, whole velmora-format runs (process start
# included), and peak memory against the input size: in all, and above the
# peak of a run on an empty input (the program and its libraries).
: > "$work/empty.html"
/usr/bin/time -f "%M" -o "$work/time" "$build/velmora-format" "$work/empty.html" > /dev/null
base_m=$(tail -n 1 "$work/time")
echo
echo "velmora-format on an empty input: $(mb "$base_m") MB peak"
printf '%-28s %9s %9s %7s %11s %15s\n' input small_s large_s ratio peak/input '(peak-empty)/input'
scale() {
  local name=$1 kind=$2 small=$3 large=$4
  "$build/bench_formatter" "--write-$kind" "$work/small.html" "$small"
  "$build/bench_formatter" "--write-$kind" "$work/large.html" "$large"
  read -r s_s _ < <(median_of "$runs" "$build/velmora-format" "$work/small.html")
  read -r l_s l_m < <(median_of "$runs" "$build/velmora-format" "$work/large.html")
  local bytes
  bytes=$(stat -c %s "$work/large.html")
  printf '%-28s %9s %9s %7s %11s %15s\n' "$name" "$s_s" "$l_s" "$(ratio "$l_s" "$s_s")" \
    "$(awk -v k="$l_m" -v b="$bytes" 'BEGIN { printf "%.1f", k * 1024 / b }')" \
    "$(awk -v k="$l_m" -v e="$base_m" -v b="$bytes" 'BEGIN { printf "%.1f", (k - e) * 1024 / b }')"
}
scale "page 2 MB vs 8 MB" page 2097152 8388608
scale "nested divs 5000 vs 20000" nested 5000 20000
scale "attribute 256 KB vs 1 MB" attribute 262144 1048576
