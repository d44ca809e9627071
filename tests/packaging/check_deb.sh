#!/usr/bin/env bash
# Makes the Debian package from the built tree and checks what it holds: the
# program folder with its shipped data, the commands on the PATH, the desktop
# files, the list-file type and the manual pages, and its dependencies.
set -euo pipefail
build=$1
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

for command in velmora velmora-thumbs velmora-format; do
  has /usr/lib/velmora/$command
  has /usr/bin/$command ../lib/velmora/$command
  has /usr/share/man/man1/$command.1.gz
done
has /usr/lib/velmora/tagsyntax.txt
has /usr/lib/velmora/STYLES/THUMBS/options.ini
has /usr/lib/velmora/STYLES/THUMBS/tag.ini
has /usr/lib/velmora/HELP/
has /usr/share/applications/velmora.desktop
has /usr/share/metainfo/org.velmora.velmora.metainfo.xml
has /usr/share/thumbnailers/velmora.thumbnailer
has /usr/share/mime/packages/velmora.xml
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

exit $((failures > 0))
