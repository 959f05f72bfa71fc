#!/usr/bin/env bash
# Configures and builds Zeltrix into build/ with clang (needed for the fuzz targets).
# ZELTRIX_WERROR=ON (as the test command sets it) turns compiler warnings into errors.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo}
if [ ! -f build/CMakeCache.txt ]; then
  CC=clang CXX=clang++ cmake -S . -B build -DCMAKE_BUILD_TYPE="$BUILD_TYPE"
fi
cmake -S . -B build -DZELTRIX_WERROR="${ZELTRIX_WERROR:-OFF}" > /dev/null
cmake --build build -j "$(nproc)"
