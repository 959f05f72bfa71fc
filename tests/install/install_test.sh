#!/usr/bin/env bash
# Installs the build into a scratch prefix and runs the installed programs from another folder:
# velk must find the bundled game folder from its own bin folder, with no --game-dir.
# Usage: install_test.sh CMAKE BUILD_DIR VERSION
set -euo pipefail
cmake=$1 build=$2 version=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
"$cmake" --install "$build" --prefix "$prefix" > "$scratch/install.log"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
for file in bin/zeltrix bin/velk; do
  [ -x "$prefix/$file" ] || fail "$file is not installed as a program"
done
for file in share/zeltrix/game/idle.velk share/zeltrix/game/body.png share/applications/zeltrix.desktop \
  share/mime/packages/zeltrix.xml share/icons/hicolor/scalable/apps/zeltrix.svg \
  share/icons/hicolor/48x48/apps/zeltrix.png; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
# The editor's sound module, in LIBDIR/zeltrix/modules beside bin, where the editor looks for it.
[ -n "$(find "$prefix" -path "*/zeltrix/modules/libzeltrix_sound.so" -type f)" ] || fail "the sound module is not installed"

# The working folder holds no animation, so "idle" can only come from the game folder.
mkdir "$scratch/elsewhere"
cd "$scratch/elsewhere"
[ "$("$prefix/bin/velk" --version)" = "velk $version" ] || fail "velk --version"
[ "$(QT_QPA_PLATFORM=offscreen "$prefix/bin/zeltrix" --version)" = "zeltrix $version" ] || fail "zeltrix --version"
"$prefix/bin/velk" dump idle > dump.json || fail "velk dump idle"
grep -q "\"FileName\": \"$prefix/share/zeltrix/game/idle.velk\"" dump.json ||
  fail "idle was not read from the installed game folder: $(grep FileName dump.json)"
grep -q '"DefaultBody": "body.png"' dump.json || fail "the dump lacks the animation's contents"
echo "installed tree: ok"
