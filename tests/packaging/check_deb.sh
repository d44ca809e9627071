#!/usr/bin/env bash
# Makes the Debian package from the built tree and checks what it holds: the
# program folder with its shipped data, the commands on the PATH, the desktop
# files, the list-file type and the manual pages, the licence and the
# changelog, its fields and dependencies, and hardened, stripped executables
# that answer --version with the package's version.
set -euo pipefail
build=$1
version=$2
out=$build/package-check
rm -rf "$out"
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" >"$out.log" 2>&1) || { cat "$out.log"; exit 1; }
rm -f "$out.log"
deb=$(ls "$out"/velmora_*.deb)

listing=$(dpkg-deb -c "$deb")
failures=0
has() { # PATH [LINK TARGET]
  local line
  line=$(grep -E " \./${1#/}( -> |$)" <<<"$listing" || true)
  if [ -z "$line" ]; then
    echo "FAIL: missing $1"
    failures=$((failures + 1))
  elif [ $# -gt 1 ] && [[ "$line" != *" -> $2" ]]; then
    echo "FAIL: $1 should link to $2: $line"
    failures=$((failures + 1))
  fi
}

for command in velmora velmora-thumbs velmora-format velmora-check; do
  has /usr/lib/velmora/$command
  has /usr/bin/$command ../lib/velmora/$command
  has /usr/share/man/man1/$command.1.gz
done
has /usr/lib/velmora/tagsyntax.txt
has /usr/lib/velmora/STYLES/THUMBS/options.ini
has /usr/lib/velmora/STYLES/THUMBS/tag.ini
has /usr/lib/velmora/STYLES/HTML5/options.ini
has /usr/lib/velmora/STYLES/HTML5/tag.ini
has /usr/lib/velmora/HELP/
has /usr/share/applications/velmora.desktop
has /usr/share/metainfo/org.velmora.velmora.metainfo.xml
has /usr/share/thumbnailers/velmora.thumbnailer
has /usr/share/mime/packages/velmora.xml
has /usr/share/doc/velmora/copyright
has /usr/share/doc/velmora/changelog.gz
has /usr/share/icons/hicolor/scalable/apps/velmora.svg
for size in 16 32 48 64 128 256; do
  has /usr/share/icons/hicolor/${size}x$size/apps/velmora.png
done

# Nothing outside /usr, nothing left at the top of the prefix, and nothing the
# program writes for itself (settings, thumbnails, lists) shipped with it.
stray=$(awk '{print $6}' <<<"$listing" | grep -vE '^\./(usr/((lib|bin|share)/)?)?$|^\./usr/(lib/velmora|bin|share)/' || true)
[ -z "$stray" ] || { echo "FAIL: files outside the expected places: $stray"; failures=$((failures + 1)); }
written=$(grep -E '/usr/lib/velmora/(prg\.ini|THUMBS/|FILELISTS/|SNAPSHOTS/)' <<<"$listing" || true)
[ -z "$written" ] || { echo "FAIL: the package ships the program's own files: $written"; failures=$((failures + 1)); }

depends=$(dpkg-deb -f "$deb" Depends)
for dependency in fonts-liberation2 qt6-qpa-plugins libqt6webenginecore6 libqt6widgets6 libjpeg62-turbo libc6; do
  grep -qE "(^|, )$dependency( |,|$)" <<<"$depends" ||
    { echo "FAIL: Depends lacks $dependency: $depends"; failures=$((failures + 1)); }
done

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
field() { dpkg-deb -f "$deb" "$1"; }

[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
grep -qE "(^|, )xdg-utils( |,|$)" <<<"$(field Recommends)" ||
  fail "Recommends lacks xdg-utils: $(field Recommends)"
# A maintainer that can be written to: a mail domain with a dot, not this host.
grep -qE '^[^<>]+ <[^@<>]+@[a-z0-9-]+(\.[a-z0-9-]+)+>$' <<<"$(field Maintainer)" &&
  ! grep -qiE '@(localhost|localdomain)' <<<"$(field Maintainer)" ||
  fail "Maintainer is not a mail address: $(field Maintainer)"
# The description lines as the control file holds them (after one space) fit
# in 80 columns.
long=$(dpkg-deb -f "$deb" Description | tail -n +2 | awk 'length($0) > 80')
[ -z "$long" ] || fail "description lines longer than 80 columns: $long"

root=$out/root
dpkg-deb -x "$deb" "$root"
doc=$root/usr/share/doc/velmora
if [ -f "$doc/copyright" ]; then
  head -n 1 "$doc/copyright" |
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not in the machine-readable format"
  grep -qx 'License: GPL-3+' "$doc/copyright" || fail "the copyright file names no GPL-3+ licence"
fi
if [ -f "$doc/changelog.gz" ]; then
  # Compressed as Debian does: most, and without a name or time stamp.
  [ "$(od -An -tx1 -j3 -N6 "$doc/changelog.gz" | tr -d ' ')" = 000000000002 ] ||
    fail "changelog.gz keeps a name or a time stamp, or is not compressed at -9"
  newest=$(gzip -dc "$doc/changelog.gz" | dpkg-parsechangelog -l - -S Version)
  [ "$newest" = "$version" ] || fail "the changelog's newest entry is $newest, not $version"
fi
release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' \
  "$root/usr/share/metainfo/org.velmora.velmora.metainfo.xml" | head -n 1)
[ "$release" = "$version" ] || fail "the AppStream metadata's newest release is '$release'"
grep -q '<project_license>GPL-3.0-or-later</project_license>' \
  "$root/usr/share/metainfo/org.velmora.velmora.metainfo.xml" ||
  fail "the AppStream metadata names no GPL-3.0-or-later licence"

for command in velmora velmora-thumbs velmora-format velmora-check; do
  program=$root/usr/lib/velmora/$command
  [ -f "$program" ] || continue
  # Run through the link on the PATH, without a display.
  got=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 60 \
    "$root/usr/bin/$command" --version 2>/dev/null) || true
  [ "$got" = "$command $version" ] || fail "$command --version in the package printed '$got'"
  # Hardened as dpkg-buildflags asks, stripped of the compiler's notes.
  sections=$(readelf -W -S "$program")
  ! grep -qE '\] \.comment ' <<<"$sections" || fail "$command keeps its .comment section"
  ! grep -qE '\] \.debug_' <<<"$sections" || fail "$command keeps debugging information"
  readelf -W -h "$program" | grep -qE 'Type: +DYN' || fail "$command is not position-independent"
  dynamic=$(readelf -W -d "$program")
  grep -qE '\(BIND_NOW\)|\(FLAGS\) +BIND_NOW|\(FLAGS_1\) +Flags:.* NOW' <<<"$dynamic" || fail "$command is not linked with -z now"
  readelf -W -l "$program" | grep -q GNU_RELRO || fail "$command has no read-only relocations"
  symbols=$(readelf -W --dyn-syms "$program")
  grep -q ' __stack_chk_fail' <<<"$symbols" || fail "$command has no stack protector"
  grep -qE ' __[a-z_]+_chk(@| )' <<<"$symbols" || fail "$command calls no checked C library function"
done

# What Debian's package checker finds, pedantic findings included: no error
# and no warning. (Its notes are listed for the reader.)
if command -v lintian >/dev/null; then
  findings=$(lintian --pedantic --display-info --fail-on none "$deb" 2>&1)
  [ -z "$findings" ] || echo "$findings"
  ! grep -qE '^[EW]: ' <<<"$findings" || fail "lintian finds errors or warnings"
else
  fail "lintian is not installed (scripts/setup installs it)"
fi

exit $((failures > 0))
