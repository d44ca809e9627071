#!/usr/bin/env bash
# check_no_engine.sh CONTROL PROGRAM...
# Fails when any PROGRAM links the rendering engine (Qt WebEngine), directly
# or through another library, or when its link dependencies cannot be read.
# CONTROL must link the engine: it proves that the check sees the engine.
set -euo pipefail
engine='libQt6WebEngine'

links_engine() {
  local deps
  deps=$(ldd "$1") || { echo "cannot read the link dependencies of $1" >&2; exit 2; }
  grep -q "$engine" <<<"$deps"
}

control=$1
shift
if ! links_engine "$control"; then
  echo "the control program $control shows no rendering engine: the check is broken"
  exit 1
fi
status=0
for program in "$@"; do
  if links_engine "$program"; then
    echo "links the rendering engine: $program"
    status=1
  else
    echo "no rendering engine: $program"
  fi
done
exit $status
