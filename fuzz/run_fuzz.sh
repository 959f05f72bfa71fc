#!/usr/bin/env bash
# Runs a fuzz target for a number of seconds over a copy of its seed corpus. Inputs may grow to
# 64 KiB, enough for many blocks, actors or frames, and one that takes over 5 seconds fails the
# run as a hang would.
# Usage: run_fuzz.sh TARGET SEED_FOLDER SECONDS [DICTIONARY]
set -euo pipefail
target=$1 seeds=$2 seconds=$3 dictionary=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$seeds"/. "$work"/
args=(-max_total_time="$seconds" -max_len=65536 -timeout=5 -rss_limit_mb=2048 -print_final_stats=1)
[ -n "$dictionary" ] && args+=(-dict="$dictionary")
cd "$work"
exec "$target" "${args[@]}" "$work"
