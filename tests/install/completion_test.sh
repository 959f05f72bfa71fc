#!/usr/bin/env bash
# velk's bash completion offers the subcommands and, for each, exactly the options that its --help
# lists; option values and file arguments complete to what each takes.
# Usage: completion_test.sh VELK COMPLETION_FILE
set -euo pipefail
velk=$1 completion=$2
source "$(dirname "$0")/help_options.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The completion runs as an interactive bash would run it, with bash-completion's helpers.
set +eu
source /usr/share/bash-completion/bash_completion
source "$completion"
set -eu

# complete_line LINE: what Tab offers at the end of LINE, one a line, sorted. The words are cut as
# bash cuts them (an "=" is a word of its own).
complete_line() {
  local line=$1 word
  COMP_WORDS=()
  for word in $line; do
    while [[ $word == *=* ]]; do
      [ -z "${word%%=*}" ] || COMP_WORDS+=("${word%%=*}")
      COMP_WORDS+=("=")
      word=${word#*=}
    done
    [ -z "$word" ] || COMP_WORDS+=("$word")
  done
  [[ $line != *" " ]] || COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMP_LINE=$line COMP_POINT=${#line}
  COMPREPLY=()
  set +eu
  _velk velk "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  set -eu
  [ ${#COMPREPLY[@]} -eq 0 ] || printf '%s\n' "${COMPREPLY[@]}" | sort
}

# expect LINE OFFERED...: Tab at the end of LINE offers exactly OFFERED.
expect() {
  local line=$1 got wanted
  shift
  got=$(complete_line "$line" | tr '\n' ' ')
  wanted=$(printf '%s\n' "$@" | grep . | sort | tr '\n' ' ' || true)
  [ "$got" = "$wanted" ] || fail "'$line' offers [$got], expected [$wanted]"
}

# Differential: the subcommands and options that velk's own help lists.
subcommands=$(velk_subcommands "$velk")
[ -n "$subcommands" ] || fail "no subcommands read from velk --help"
expect "velk " $subcommands
expect "velk -" $(help_options "$velk")
for subcommand in $subcommands; do
  expect "velk $subcommand -" $(help_options "$velk" "$subcommand")
done

# Values and file arguments, in a folder holding one file of each kind.
cd "$scratch"
mkdir sub
touch walk.velk body.png swing.gif ride.mng notes.txt
cases=(
  "velk export walk.velk --format |gif png sheet"
  "velk export walk.velk --format=s|sheet"
  "velk state walk.velk --dir |0 1 2 3"
  "velk export walk.velk --background |transparent"
  "velk render walk.velk --zoom |"
  "velk --game-dir |sub"
  "velk --game-dir=sub check --j|--jobs --json"
  "velk --game-dir sub dump |sub walk.velk"
  "velk fmt walk.velk -o |sub walk.velk"
  "velk render walk.velk -o |body.png sub"
  "velk render walk.velk --output=|body.png sub"
  "velk export walk.velk -o |body.png sub swing.gif"
  "velk check |sub walk.velk"
  "velk index |sub"
  "velk image |body.png ride.mng sub swing.gif"
  "velk unknown |"
)
for case in "${cases[@]}"; do
  expect "${case%%|*}" ${case#*|}
done

[ "$failures" -eq 0 ] || exit 1
echo "velk completion: ok"
