#!/usr/bin/env bash
# The programs installed by cmake --install into a temporary prefix:
#   installed.sh BUILD_FOLDER
# The programs, the editor's resource files, its desktop entry and icon are in place;
# then the installed editor is started as a person starts it (launch.sh), with one of
# its installed resources relabelled, which proves it reads them from beside itself.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
prefix=$(mktemp -d "${TMPDIR:-/tmp}/quenchold-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT
fail() { echo "install: FAILED: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || { cat "$prefix.log" >&2; rm -f "$prefix.log"; fail "cmake --install"; }
rm -f "$prefix.log"
for file in bin/quenchold bin/quenchold-cli share/applications/quenchold.desktop \
            share/icons/hicolor/256x256/apps/quenchold.png share/quenchold/resources/menus/128.txt \
            share/quenchold/resources/views/166.txt share/quenchold/resources/pictures/128.png \
            share/quenchold/resources/icons/130.xpm; do
  [ -e "$prefix/$file" ] || fail "$file was not installed"
done
[ -x "$prefix/bin/quenchold" ] || fail "bin/quenchold is not a program"
desktop=$prefix/share/applications/quenchold.desktop
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
fi
grep -qx 'Exec=quenchold' "$desktop" || fail "the desktop entry does not start quenchold"
grep -qx 'Icon=quenchold' "$desktop" || fail "the desktop entry does not name the installed icon"
[ "$(identify -format '%wx%h' "$prefix/share/icons/hicolor/256x256/apps/quenchold.png")" = 256x256 ] ||
  fail "the icon is not 256 x 256"

# a relabelled dialog: the installed program shows it so
sed -i 's/"Find Tag"/"Find Tag (installed)"/' "$prefix/share/quenchold/resources/views/166.txt"
"$here/launch.sh" "$prefix/bin/quenchold" "$prefix/bin/quenchold-cli" '^Find Tag \(installed\)$'
