#!/usr/bin/env bash
# Runs a fuzz target with a planted fault over a copy of its seeds for at most SECONDS and
# succeeds only when the target reports the fault with the expected message.
# Usage: find_planted.sh TARGET SEED_FOLDER SECONDS MESSAGE
set -uo pipefail
target=$1 seeds=$2 seconds=$3 message=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus" "$work/found"
cp -r "$seeds"/. "$work/corpus"/
cd "$work"
"$target" -max_total_time="$seconds" -max_len=65536 -timeout=5 -rss_limit_mb=2048 \
  -artifact_prefix="$work/found/" "$work/corpus" > "$work/log" 2>&1
if grep -q "fuzz_session: $message" "$work/log"; then
  grep -m1 "fuzz_session: $message" "$work/log"
  exit 0
fi
echo "the planted fault was not found in $seconds seconds"
tail -20 "$work/log"
exit 1
