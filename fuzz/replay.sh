#!/usr/bin/env bash
# Runs a fuzz target once over every file of a folder; fails if any of them crashes it.
set -euo pipefail
target=$1 folder=$2
shopt -s nullglob
files=("$folder"/*)
[ ${#files[@]} -eq 0 ] && exit 0
exec "$target" -runs=1 "${files[@]}"
