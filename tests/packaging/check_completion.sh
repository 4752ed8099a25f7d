#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Holds vfdctl's bash completion to what vfdctl says of itself: the commands
# and value keys of its --help, the parameter numbers of a whole-drive backup,
# and no option for a command that --help does not list.
#
#   check_completion.sh VFDCTL COMPLETION_FILE
set -uo pipefail
# vfdctl's words as written, whatever the desktop's language.
export LC_ALL=C.UTF-8
vfdctl="$1"
# shellcheck source=/dev/null
source "$2" || { echo "FAIL: the completion file does not load"; exit 1; }
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# What the completion offers for a command line whose last word is being typed.
offered() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMPREPLY=()
    _vfdctl 2>/dev/null
    printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort
}
same() { # what, expected, offered
    [ "$2" = "$3" ] && return
    fail "$1 differ from vfdctl's own:"
    diff <(echo "$2") <(echo "$3") | head -20
}

help="$("$vfdctl" --help)" || fail "vfdctl --help"
commands="$(sed -n '/^Commands:/,/^Value keys/p' <<<"$help" | grep -oE '^  [a-z][a-z-]*' |
    tr -d ' ' | LC_ALL=C sort -u)" # "site init", "site status": one word
same "the commands" "$commands" "$(offered vfdctl --port SIM '')"
same "the commands after options" "$commands" "$(offered vfdctl --json --port SIM --quiet '')"

keys="$(sed -n '/^Value keys/,/^NAME:/p' <<<"$help" | sed '$d; s/^Value keys ([^)]*)://' |
    tr ' ' '\n' | grep . | LC_ALL=C sort)"
[ -n "$keys" ] || fail "vfdctl --help lists no value keys"
same "the value keys" "$keys" "$(offered vfdctl --port SIM record 1 --values '')"
same "a value key after a comma" "freq-out,current" \
    "$(offered vfdctl --port SIM watch 1 --values freq-out,curr)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$vfdctl" --port SIM --quiet backup 1 "$work/drive.csv" >/dev/null ||
    fail "vfdctl could not back up a simulated drive"
numbers="$(grep -oE '^P[0-9A-F]\.[0-9]+' "$work/drive.csv" | LC_ALL=C sort)"
[ "$(wc -l <<<"$numbers")" -gt 100 ] || fail "the backup holds too few parameters"
same "the parameter numbers" "$numbers" "$(offered vfdctl --port SIM get 1 '')"
same "parameters typed in small letters" "$(grep '^P0\.1' <<<"$numbers")" \
    "$(offered vfdctl --port SIM get 1 p0.1)"
same "a parameter to set" "P0.14=" "$(offered vfdctl --port SIM set 1 P0.14)"
same "the languages" "$(printf 'en\nzh_CN')" "$(offered vfdctl --lang '')"
same "the commands after a language" "$commands" "$(offered vfdctl --lang zh_CN --port SIM '')"

# Each option offered is one vfdctl lists for that command (or for all).
global="$(sed -n '1,/^Commands:/p' <<<"$help")"
for command in $commands; do
    entry="$(awk -v c="$command" '
        /^  [a-z]/ { on = ($1 == c) } /^[A-Z]/ && !/^Commands:/ { on = 0 } on' <<<"$help")"
    for option in $(offered vfdctl --port SIM "$command" -); do
        grep -q -- "$option\b" <<<"$entry$global" ||
            [ "$option" = --yes ] || fail "$command is offered $option, which its usage does not list"
    done
done

[ "$failures" -eq 0 ] || exit 1
echo "bash completion: commands, value keys, parameters and options agree with vfdctl"
