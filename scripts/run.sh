#!/usr/bin/env bash
# Installs what is needed, builds, and starts the Zeltrix editor on the bundled game folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
exec build/zeltrix --game-dir assets/game "$@"
