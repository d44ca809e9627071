#!/usr/bin/env bash
# Installs the list-file type into a private XDG data folder and checks that
# saved lists are recognised by their entry lines, with or without their
# ".lst", while other text is not taken for a list, not even when it is named
# "*.lst" as a linker's or an assembler's listing may be.
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
# Entries of files without an extension, and a folder name with a dot.
printf '/srv/www/v1.2/*Makefile**120*2003-01-02  23:59\r\n' >"$work/no-extension.lst"
expect "$work/no-extension.lst" application/x-velmora-filelist
# The name alone claims nothing: Velmora never writes an empty list, and other
# programs' listings named *.lst stay plain text.
: >"$work/empty.lst"
[ "$(xdg-mime query filetype "$work/empty.lst")" != application/x-velmora-filelist ] ||
  { echo "FAIL: an empty file taken for a list by its name"; failures=$((failures + 1)); }
printf '   1              \t.file\t"a.c"\n   2              \t.text\n' >"$work/assembler.lst"
expect "$work/assembler.lst" text/plain
printf '/usr/lib/x86_64-linux-gnu/crt1.o\n/usr/lib/x86_64-linux-gnu/crti.o\n' >"$work/linker.lst"
expect "$work/linker.lst" text/plain
printf '/* a comment */\nint main(void) { return 0; }\n' >"$work/source.lst"
[ "$(xdg-mime query filetype "$work/source.lst")" != application/x-velmora-filelist ] ||
  { echo "FAIL: C source named *.lst taken for a list"; failures=$((failures + 1)); }
# A folder with "/*" in its name followed by other text is no entry either.
printf '/tmp/*glob*.txt*1999-08-15 09:05\r\n' >"$work/near-miss.lst"
expect "$work/near-miss.lst" text/plain
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
