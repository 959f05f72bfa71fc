#!/usr/bin/env bash
# The manual pages render without a warning and describe every option that the programs' --help
# prints where it belongs: velk's global options under GLOBAL OPTIONS, each subcommand's own
# options in that subcommand's section, the editor's under OPTIONS.
# Usage: manual_test.sh VELK ZELTRIX PAGES_DIR (the folder of velk.1.gz and zeltrix.1.gz)
set -euo pipefail
velk=$1 zeltrix=$2 pages=$3
source "$(dirname "$0")/help_options.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# render PAGE TEXT: writes the page as plain text to TEXT; groff's warnings fail the test (lintian
# reads pages the same way).
render() {
  LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$1" > /dev/null \
    2> "$scratch/warnings" || fail "man cannot render $1"
  [ ! -s "$scratch/warnings" ] || fail "$1 renders with warnings: $(cat "$scratch/warnings")"
  LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$1" 2> /dev/null | col -bx > "$2"
}

# section TEXT HEADING: the lines of the section or subsection whose heading matches HEADING (an
# extended regular expression), up to the next heading.
section() {
  awk -v heading="$2" '
    /^(   )?[^ ]/ { inside = ($0 ~ heading) }
    inside' "$1"
}

# expect_options SECTION_TEXT WHERE OPTION...: each OPTION stands as a whole word in the section
# (--help is not found inside --help-all).
expect_options() {
  local text=$1 where=$2 option
  shift 2
  for option in "$@"; do
    grep -qE -- "(^|[^-[:alnum:]])$option([^-[:alnum:]]|$)" <<< "$text" || fail "$where lacks $option"
  done
}

render "$pages/velk.1.gz" "$scratch/velk.txt"
render "$pages/zeltrix.1.gz" "$scratch/zeltrix.txt"

options=$(help_options "$zeltrix")
[ -n "$options" ] || fail "no options read from zeltrix --help"
expect_options "$(section "$scratch/zeltrix.txt" '^OPTIONS$')" "OPTIONS of zeltrix.1" $options

global=$(help_options "$velk")
[ -n "$global" ] || fail "no options read from velk --help"
expect_options "$(section "$scratch/velk.txt" '^GLOBAL OPTIONS$')" "GLOBAL OPTIONS of velk.1" $global
subcommands=$(velk_subcommands "$velk")
[ -n "$subcommands" ] || fail "no subcommands read from velk --help"
for subcommand in $subcommands; do
  text=$(section "$scratch/velk.txt" "^   velk $subcommand( |$)")
  [ -n "$text" ] || fail "velk.1 has no section for velk $subcommand"
  # The options every subcommand shares with velk itself are described once, globally.
  own=$(help_options "$velk" "$subcommand" | grep -vxF -- "$global" || true)
  expect_options "$text" "the section of velk $subcommand" $own
done

[ "$failures" -eq 0 ] || exit 1
echo "manual pages: ok"
