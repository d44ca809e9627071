#!/usr/bin/env bash
# Runs each built command with --version and --help where no display exists
# (no DISPLAY, no WAYLAND_DISPLAY, no platform chosen) and checks that each
# answers with the package's version or its usage.
set -euo pipefail
folder=$1
version=$2
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
run() { # COMMAND ARGUMENT: sets output; a failure when the exit code is not 0
  local status=0
  output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    timeout 60 "$folder/$1" "$2" 2>"$errors") || status=$?
  [ $status -eq 0 ] || fail "$1 $2 exited with $status: $(head -c 600 "$errors")"
}

for command in velmora velmora-thumbs velmora-format velmora-check; do
  run "$command" --version
  [ "$output" = "$command $version" ] ||
    fail "$command --version printed '$output', not '$command $version'"
  run "$command" --help
  grep -q -- "--version" <<<"$output" || fail "$command --help does not list --version: $output"
done

run velmora --help
grep -q '^Usage: velmora ' <<<"$output" || fail "velmora --help prints no usage: $output"
run velmora-thumbs --help
grep -q -- '--thumbnail SIZE INPUT OUTPUT' <<<"$output" ||
  fail "velmora-thumbs --help does not describe --thumbnail: $output"

# velmora-check runs without a display and reports a broken link with exit
# status 1.
site=$(mktemp -d)
trap 'rm -f "$errors"; rm -rf "$site"' EXIT
printf '<a href="gone.htm">\n' >"$site/index.htm"
status=0
output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
  timeout 60 "$folder/velmora-check" "$site" 2>"$errors") || status=$?
[ $status -eq 1 ] || fail "velmora-check exited with $status on a broken link: $(head -c 600 "$errors")"
[ "$output" = "index.htm:1: Missing file: gone.htm" ] || fail "velmora-check printed '$output'"

exit $((failures > 0))
