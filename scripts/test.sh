#!/usr/bin/env bash
# Installs what is needed, builds with warnings as errors, and runs every test (the layer and
# format checks among them).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
ZELTRIX_WERROR=ON bash scripts/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
