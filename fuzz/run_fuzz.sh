#!/usr/bin/env bash
# Runs a fuzz target for a number of seconds over a copy of its seed corpus.
# Usage: run_fuzz.sh TARGET SEED_FOLDER SECONDS [DICTIONARY]
set -euo pipefail
target=$1 seeds=$2 seconds=$3 dictionary=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$seeds"/. "$work"/
args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1)
[ -n "$dictionary" ] && args+=(-dict="$dictionary")
cd "$work"
exec "$target" "${args[@]}" "$work"
