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
# tool's exit code is ignored: tidy exits 1 for warnings). The clock is bash's
# own, so no helper process is started inside the timed span: at 50 ms a run,
# starting `date` twice would add a fifth to the faster tool's time.
timed() {
  local t0 t1
  t0=$EPOCHREALTIME
  /usr/bin/time -f "%M" -o "$work/time" "$@" > "$work/out" 2> "$work/err" || true
  t1=$EPOCHREALTIME
  if [ ! -s "$work/out" ]; then
    echo "no output from: $* ($(head -c 300 "$work/err"))" >&2
    exit 1
  fi
  echo "$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }') $(tail -n 1 "$work/time")"
}

median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# Median seconds and median peak kB of RUNS runs of a command.
median_of() {
  local n=$1; shift
  local secs=() mems=()
  for ((r = 0; r < n; r++)); do
    read -r s m < <(timed "$@")
    secs+=("$s"); mems+=("$m")
  done
  echo "$(printf '%s\n' "${secs[@]}" | median) $(printf '%s\n' "${mems[@]}" | median)"
}

"$build/bench_formatter" --write-page "$work/page.html" 2097152
size=$(stat -c %s "$work/page.html")
echo "Input: generated page, $size bytes; $runs runs each, medians"
printf '%-38s %10s %10s %18s\n' tool seconds peak_MB "time / velmora's"

# velmora-format and tidy take turns, so a burst of load on the shared machine
# slows both rather than one of them.
v_secs=() v_mems=() t_secs=() t_mems=() ratios=()
for ((r = 0; r < runs; r++)); do
  read -r s m < <(timed "$build/velmora-format" "$work/page.html")
  v_secs+=("$s"); v_mems+=("$m")
  read -r s m < <(timed tidy -indent -wrap 80 -q "$work/page.html")
  t_secs+=("$s"); t_mems+=("$m")
  ratios+=("$(awk -v t="$s" -v v="${v_secs[-1]}" 'BEGIN { printf "%.2f", t / v }')")
done
v_s=$(printf '%s\n' "${v_secs[@]}" | median); v_m=$(printf '%s\n' "${v_mems[@]}" | median)
t_s=$(printf '%s\n' "${t_secs[@]}" | median); t_m=$(printf '%s\n' "${t_mems[@]}" | median)
jruns=$(( runs < 3 ? runs : 3 ))
read -r j_s j_m < <(median_of "$jruns" js-beautify --type html "$work/page.html")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "inf" }'; }
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
printf '%-38s %10s %10s %18s\n' "velmora-format" "$v_s" "$(mb "$v_m")" "1.00"
printf '%-38s %10s %10s %18s\n' "tidy -indent -wrap 80 -q" "$t_s" "$(mb "$t_m")" "$(ratio "$t_s" "$v_s")"
printf '%-38s %10s %10s %18s\n' "js-beautify --type html ($jruns runs)" "$j_s" "$(mb "$j_m")" "$(ratio "$j_s" "$v_s")"
echo "velmora-format throughput vs tidy: $(ratio "$t_s" "$v_s")x; vs js-beautify: $(ratio "$j_s" "$v_s")x"
echo "tidy / velmora-format per round: ${ratios[*]} (median $(printf '%s\n' "${ratios[@]}" | median)x)"

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
