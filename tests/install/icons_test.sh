#!/usr/bin/env bash
# The committed icons are byte for byte what the script draws.
# Usage: icons_test.sh PYTHON SOURCE_DIR
set -euo pipefail
python=$1 source=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$python" "$source/scripts/make_icons.py" --out "$scratch"
diff -r "$scratch/hicolor" "$source/assets/icons/hicolor"
echo "icons: ok"
