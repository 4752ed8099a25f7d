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
# Start-up comes before serve, whatever the file's order.
[ "$(grep -n 'Start-up and memory' <<<"$text" | cut -d: -f1)" -lt \
    "$(grep -n 'vfdctl serve' <<<"$text" | cut -d: -f1)" ] || fail "benchmarks out of order"
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
