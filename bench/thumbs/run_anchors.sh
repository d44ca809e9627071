#!/usr/bin/env bash
# Runs ResampleImage (Lanczos3, one thread, in-memory pictures) side by side
# with libvips, Pillow and ImageMagick on the same sizes and prints ratios.
# Usage: bench/thumbs/run_anchors.sh [build folder] [runs per figure]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
runs=${2:-9}
"$here/setup"
cmake --build "$build" --target thumbs_bench >/dev/null
exec nice -n 10 /usr/bin/python3 "$here/anchors.py" --bench "$build/thumbs_bench" --runs "$runs"
