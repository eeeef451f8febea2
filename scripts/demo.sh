#!/bin/sh
# Builds the library and runs the main job: the tavo command on a few
# expressions that show numbers, dates and format models at work.
set -eu
cd "$(dirname "$0")/.."
build=${TAVO_BUILD_DIR:-build}
scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" --target tavo >/dev/null
tavo="$build/tools/tavo/tavo"

# Prints the command, then runs it; a failing expression does not stop the demo.
show() {
    printf '$ tavo'
    for a in "$@"; do printf ' \\\n    "%s"' "$a"; done
    printf '\n'
    "$tavo" "$@" 2>&1 || true
}

show '1/7*7' '12345678901234567890.5 * 2' '2/3'
show "DATE '2024-03-01' - DATE '2023-03-01'" \
    "to_char(add_months(DATE '2024-01-31', 1), 'fmDay ddth Month YYYY')" \
    "to_char(DATE '2024-07-14' + 1/24, 'fmDay dd Month YYYY fmHH24:MI', 'FRENCH')" \
    "round(months_between(DATE '2024-12-25', DATE '2024-01-01'), 2)" \
    "dump(DATE '2024-02-29 12:00:00')" \
    "to_date('31-02-2024', 'DD-MM-YYYY')"
show "to_char(1234567.891, '9,999,990.00')" "to_char(-0.5, 'FM9G990D00', 'GERMAN')" \
    "to_number('1.234,50', '9G990D00', 'GERMAN') * 2" "sqrt(2)"
printf '$ printf %s | tavo --fields "%s" "%s"\n' "'05/03/2024\\t1234.5\\n31/12/1999\\t-0.5\\n'" \
    "to_char(to_date(:1, 'DD/MM/YYYY'), 'YYYY-MM-DD')" "to_char(to_number(:2), '9,990.00')"
printf '05/03/2024\t1234.5\n31/12/1999\t-0.5\n' |
    "$tavo" --fields "to_char(to_date(:1, 'DD/MM/YYYY'), 'YYYY-MM-DD')" \
        "to_char(to_number(:2), '9,990.00')" || true
