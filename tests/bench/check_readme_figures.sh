#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# bench/readme-figures: the tables between the markers come from the figures
# file and nothing else of the README changes; a README without the markers
# or a damaged figures file is refused and left as it was.
set -euo pipefail
script="$1/bench/readme-figures"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

tab=$'\t'
cat >"$dir/figures.tsv" <<TSV
# figures of bench/run-all --quick
# machine${tab}Some CPU, 2 cores
# software${tab}vfdtool abc (RelWithDebInfo build)
# started${tab}2026-01-02T03:04:05Z${tab}load 1.50 1.20 1.00
time${tab}load${tab}bench${tab}figure${tab}value${tab}unit${tab}against${tab}against-value${tab}ratio${tab}how
2026-01-02T03:05:00Z${tab}1.61${tab}serve${tab}readings a second, block reads${tab}85.2${tab}/s${tab}limit${tab}94${tab}0.9064${tab}limit: the wire
2026-01-02T03:06:00Z${tab}1.70${tab}serve${tab}broker outage: states delivered twice${tab}1${tab}states${tab}${tab}${tab}${tab}seq counted
2026-01-02T03:07:00Z${tab}2.00${tab}startup${tab}vfdtool: window mapped${tab}122${tab}ms${tab}cutecom (same run)${tab}217${tab}0.5622${tab}median
2026-01-02T03:08:00Z${tab}1.90${tab}serve_sparkplug${tab}bytes per reading, Sparkplug${tab}21.5${tab}bytes${tab}plain topics, same run${tab}60.2${tab}0.3571${tab}bytes over readings
2026-01-02T03:09:00Z${tab}1.80${tab}share${tab}collisions, three backups${tab}0${tab}collisions${tab}goal${tab}0${tab}${tab}counted
# finished${tab}2026-01-02T03:20:00Z${tab}load 2.0 1.5 1.1${tab}took 900 s
TSV
printf '# Title\n\nbefore\n\n<!-- figures begin -->\nold table 99.9\n<!-- figures end -->\n\nafter\n' >"$dir/README.md"

python3 "$script" "$dir/figures.tsv" "$dir/README.md" >/dev/null
text=$(cat "$dir/README.md")
grep -q "^before$" <<<"$text" && grep -q "^after$" <<<"$text" || fail "text outside the markers changed"
grep -q "99.9" <<<"$text" && fail "the old table is still there"
grep -q "| readings a second, block reads | 85.2 /s | limit: 94 /s | 0.91 | 1.61 | 1 |" <<<"$text" ||
    fail "the serve row is not as written"
grep -q "Some CPU, 2 cores" <<<"$text" && grep -q "2026-01-02T03:04:05Z" <<<"$text" ||
    fail "machine or date missing"
line_of() { grep -nF "$1" <<<"$text" | head -1 | cut -d: -f1; }
# Start-up comes before serve, whatever the file's order.
[ "$(line_of 'Start-up and memory')" -lt "$(line_of '(`bench_serve`)')" ] ||
    fail "benchmarks out of order"
# The shared line and Sparkplug follow serve, each under its own heading.
[ -n "$(line_of 'The line shared through vfdctl serve')" ] &&
    [ -n "$(line_of 'Sparkplug B beside the plain topics')" ] || fail "a benchmark's heading is missing"
[ "$(line_of '(`bench_serve`)')" -lt "$(line_of '(`bench_share`)')" ] &&
    [ "$(line_of '(`bench_share`)')" -lt "$(line_of '(`bench_serve_sparkplug`)')" ] ||
    fail "serve, share and Sparkplug out of order"
grep -q "| bytes per reading, Sparkplug | 21.5 bytes | plain topics, same run: 60.2 bytes | 0.36 |" \
    <<<"$text" || fail "the Sparkplug row is not as written"
cp "$dir/README.md" "$dir/once.md"
python3 "$script" "$dir/figures.tsv" "$dir/README.md" >/dev/null
cmp -s "$dir/README.md" "$dir/once.md" || fail "a second run changed the README"

printf 'no markers here\n' >"$dir/plain.md"
python3 "$script" "$dir/figures.tsv" "$dir/plain.md" 2>/dev/null && fail "a README without markers was taken"
[ "$(cat "$dir/plain.md")" = "no markers here" ] || fail "a README without markers was changed"

printf '2026-01-02T03:05:00Z\t1.61\tserve\ttoo few\n' >>"$dir/figures.tsv"
python3 "$script" "$dir/figures.tsv" "$dir/README.md" 2>/dev/null && fail "a damaged figures file was taken"
cmp -s "$dir/README.md" "$dir/once.md" || fail "a damaged figures file changed the README"
echo "readme-figures: all checks passed"
