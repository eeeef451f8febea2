#!/bin/sh
# Bulk conversion speed of the tavo command beside awk: 1,000,000 lines of
# decimal numbers, each printed under the model 9,999,990.00 by tavo and
# with printf "%.2f" by awk. Prints the lines per second of each (best of
# the given number of runs).
#
#   bench/tavo_fields.sh [build dir] [runs]
set -eu
build=${1:-build}
runs=${2:-3}
tavo="$build/tools/tavo/tavo"
[ -x "$tavo" ] || { echo "no $tavo: build the tavo target first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
lines=1000000

# Numbers from 0.001 to 9,999,999.999 with three decimals, signs mixed.
awk -v n=$lines 'BEGIN { srand(1); for (i = 0; i < n; i++) {
    v = int(rand() * 10 ^ (1 + int(rand() * 7)) * 1000) / 1000;
    if (rand() < 0.2) v = -v;
    printf "%.3f\n", v } }' > "$work/in.tsv"

# Seconds of the fastest of $runs runs of a command.
best() {
    bestt=""
    i=0
    while [ $i -lt "$runs" ]; do
        start=$(date +%s.%N)
        "$@" < "$work/in.tsv" > "$work/out" 2>"$work/err" || true
        end=$(date +%s.%N)
        t=$(echo "$end - $start" | bc -l)
        if [ -z "$bestt" ] || [ "$(echo "$t < $bestt" | bc -l)" = 1 ]; then bestt=$t; fi
        i=$((i + 1))
    done
    echo "$bestt"
}

ttavo=$(best "$tavo" --fields "to_char(to_number(:1), '9,999,990.00')")
tavo_lines=$(wc -l < "$work/out")
tavo_errors=$(wc -l < "$work/err")
tawk=$(best awk '{printf "%.2f\n", $1}')
printf 'lines                %d\n' $lines
printf 'tavo --fields        %.3f s  %.0f lines/s  (%d lines out, %d errors)\n' \
    "$ttavo" "$(echo "$lines / $ttavo" | bc -l)" "$tavo_lines" "$tavo_errors"
printf 'awk printf %%.2f      %.3f s  %.0f lines/s\n' "$tawk" "$(echo "$lines / $tawk" | bc -l)"
printf 'tavo / awk time      %.2f\n' "$(echo "$ttavo / $tawk" | bc -l)"
