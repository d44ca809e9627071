#!/usr/bin/env bash
# Installs the list-file type into a private XDG data folder and checks that
# saved lists are recognised by their name and, without it, by their entry
# lines, while other text is not taken for a list.
set -euo pipefail
package_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/data/mime/packages"
cp "$package_dir/velmora-filelist.xml" "$work/data/mime/packages/velmora.xml"
update-mime-database "$work/data/mime"
export XDG_DATA_HOME=$work/data XDG_DATA_DIRS=/usr/share

failures=0
expect() { # FILE TYPE
  local got
  got=$(xdg-mime query filetype "$1")
  if [ "$got" != "$2" ]; then
    echo "FAIL: $(basename "$1") is '$got', expected '$2'"
    failures=$((failures + 1))
  fi
}

# A list as the program saves it: CR LF line ends, UTF-8.
printf '/home/me/web/site/*index*.htm*2048*1999-08-15  09:05\r\n/home/me/web/site/news/*Ärger*.html*123456789012*2003-01-02  23:59\r\n' >"$work/saved.lst"
expect "$work/saved.lst" application/x-velmora-filelist
cp "$work/saved.lst" "$work/saved-without-extension"
expect "$work/saved-without-extension" application/x-velmora-filelist
# An empty list is still a list by its name.
: >"$work/empty.lst"
expect "$work/empty.lst" application/x-velmora-filelist
# Text that merely starts like a path or a C comment is not a list.
printf '/* a comment */\nint main(void) { return 0; }\n' >"$work/program"
[ "$(xdg-mime query filetype "$work/program")" != application/x-velmora-filelist ] ||
  { echo "FAIL: C source taken for a list"; failures=$((failures + 1)); }
printf '/etc/fstab\n/usr/share/doc\n' >"$work/paths"
[ "$(xdg-mime query filetype "$work/paths")" != application/x-velmora-filelist ] ||
  { echo "FAIL: a list of paths taken for a Velmora list"; failures=$((failures + 1)); }
# The program is offered for the type it defines.
grep -q '^MimeType=.*application/x-velmora-filelist;' "$package_dir/velmora.desktop" ||
  { echo "FAIL: the desktop entry does not open lists"; failures=$((failures + 1)); }

exit $((failures > 0))
