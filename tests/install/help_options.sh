# Reads what the programs' --help prints, for the tests of the manual pages and the completion.
# Sourced; the programs run on Qt's offscreen platform.

# help_options PROGRAM [ARG...]: the options that "PROGRAM ARG... --help" lists, one a line, short
# and long forms apart ("-o, --output <OUT>" gives -o and --output).
help_options() {
  QT_QPA_PLATFORM=offscreen "$@" --help 2> /dev/null | sed -n '/^Options:/,/^$/p' | grep -E '^  -' |
    sed -E 's/^ +//; s/  +[^-].*$//; s/ <[^>]*>//g; s/, /\n/g'
}

# velk_subcommands VELK: the subcommands that "velk --help" names, one a line.
velk_subcommands() {
  "$1" --help | sed -n 's/^Subcommands: \([^.]*\)\..*/\1/p' | tr -d ',' | tr ' ' '\n' | grep .
}
