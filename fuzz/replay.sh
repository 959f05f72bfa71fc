#!/usr/bin/env bash
# Runs a fuzz target once over every file of the given folders, under the limits of the fuzzing
# runs (5 seconds and 2 GiB per input); fails if any input crashes it or takes longer.
set -euo pipefail
target=$1
shift
shopt -s nullglob
files=()
for folder in "$@"; do
  files+=("$folder"/*)
done
[ ${#files[@]} -eq 0 ] && exit 0
exec "$target" -runs=1 -timeout=5 -rss_limit_mb=2048 "${files[@]}"
