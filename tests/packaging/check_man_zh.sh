#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Holds the Chinese man pages to the English ones: whatever a user types that
# an English page defines (the options its items begin with, the keys of its
# configuration, the words it sets in bold) is in the Chinese page too; both
# have as many sections, render without a warning and carry the same date, and
# the Chinese NAME line still gives whatis its entry.
#
#   check_man_zh.sh MAN_DIR    (the English pages, the Chinese ones in zh_CN/)
set -uo pipefail
export LC_ALL=C.UTF-8
dir="$1"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

read -r -d '' defined <<'PERL'
my @w;
push @w, /(\\-(?:\\-)?[a-z]+(?:\\-[a-z]+)*)/g for /^\.TP\n(?:\.B[IR]? "?|\\fB)(\\-.*)$/mg;
push @w, /^\.B[IR]? "([a-z][a-z\\-]*) = /mg;
push @w, /\\fB((?:\\-)*[a-zA-Z_][\w\\-]*(?: = \w+)?)\\fR/g;
push @w, /^\.B ([a-z_][\w\\-]*)$/mg;
# "[section]" and the keys it lists: "with url (...), client\-id, ... and ca\-file;"
for (/^\.BI? "?\[.*\n((?:[^.\n].*\n)+)/mg) {
    (my $s = $_) =~ s/\s+/ /g;
    1 while $s =~ s/ ?\([^()]*\)//g;
    $s =~ s/[;.] .*//;
    push @w, grep /^[a-z][a-z\\-]*$/, split /, (?:and )?| and /, $1 if $s =~ /\bwith (.*)/;
}
print "$_\n" for @w;
PERL

th() { sed -n 's/^\.TH [^ ]* [^ ]* "\([^"]*\)".*/\1/p' "$1"; }
for program in vfdtool vfdsim vfdctl; do
    en="$dir/$program.1"
    zh="$dir/zh_CN/$program.1"
    [ -f "$zh" ] || { fail "$zh is missing"; continue; }
    words="$(perl -0777 -ne "$defined" "$en" | sort -u)"
    [ "$(wc -l <<<"$words")" -gt 5 ] || fail "$program.1: too few options and keys found to compare"
    while read -r word; do
        grep -qF -- "$word" "$zh" || fail "zh_CN/$program.1 lacks $word"
    done <<<"$words"
    [ "$(grep -c '^\.SH' "$en")" = "$(grep -c '^\.SH' "$zh")" ] ||
        fail "zh_CN/$program.1 has $(grep -c '^\.SH' "$zh") sections, $program.1 $(grep -c '^\.SH' "$en")"
    [ -n "$(th "$en")" ] && [ "$(th "$zh")" = "$(th "$en")" ] ||
        fail "zh_CN/$program.1 is dated '$(th "$zh")', $program.1 '$(th "$en")'"
    head -1 "$zh" | grep -qF -- '-*- coding: UTF-8 -*-' || fail "zh_CN/$program.1 does not begin with its coding"
    for page in "$en" "$zh"; do
        warnings="$(groff -k -man -Tutf8 -ww -z "$page" 2>&1)"
        [ -z "$warnings" ] || fail "$page does not render cleanly: $warnings"
    done
    lexgrog "$zh" | grep -q ": \"$program - " || fail "zh_CN/$program.1: whatis finds no entry ($(lexgrog "$zh"))"
done

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "Chinese man pages: all checks passed"
