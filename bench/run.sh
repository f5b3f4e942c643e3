#!/usr/bin/env bash
# Runs every benchmark on a copy of the built application directory:
# start-up against the floor under Xvfb, bookings against a direct write and
# flush, and the growth in the names' length.
# Usage: bench/run.sh [BUILD_DIR] [--quick]   (--quick: 2 iterations of each, short names)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
[[ ${1:-} == --quick ]] && build=$root/build
quick=0
for argument in "$@"; do [[ $argument == --quick ]] && quick=1; done
runs=41 bookings=1000 repeats=3 largest=1000000
[[ $quick -eq 1 ]] && runs=2 bookings=2 repeats=1 largest=1000

work=$(mktemp -d)
xvfb=
cleanup() { [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
cp "$build/app/kakeibo" "$build/app/Icon.ico" "$build/app/Item.dat" "$build/app/libkakeibo_instance.so" "$build/bench/kakeibo_floor" "$work/"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display")

python3 "$root/bench/startup.py" "$runs" "program=$work/kakeibo" "floor=$work/kakeibo_floor"
echo
"$build/bench/bench_booking" "$work" "$bookings"
echo
"$build/bench/bench_growth" "$work" "$repeats" "$largest"
echo
# Peak memory of a whole run (start-up with the windows painted, then one
# window opened and used) with six names of the largest length, and with
# one name sixteen times as long, beside the same run with names of 10
# characters: bytes of peak memory per name character, for each window. The
# times of the start-up, of opening the window and of its use (the apply,
# the refused booking's message) are given with their ratio to a floor
# measured in the same run: the same names put into six bare QLineEdits
# (their opening and their renaming; the whole of both for the long name).
longest=$((16 * largest))
memory() { "$build/bench/bench_memory" "$work" "$@" 2>/dev/null; }
read -r _ _ _ _ floor_use _ floor_open < <(memory "$largest" 6 floor)
read -r _ _ _ _ floor_one_use _ floor_one_open < <(memory "$longest" 1 floor)
echo "floor: six names of $largest in bare line edits opened in $floor_open ms, renamed in $floor_use ms;" \
     "one of $longest: $(awk -v a="$floor_one_open" -v b="$floor_one_use" 'BEGIN { print a + b }') ms in all"
for window in entry refused correction names version; do
    read -r _ _ _ ordinary _ < <(memory 10 6 "$window")
    read -r _ _ _ six use start open < <(memory "$largest" 6 "$window")
    read -r _ _ _ one one_use one_start one_open < <(memory "$longest" 1 "$window")
    awk -v w="$window" -v o="$ordinary" -v s="$six" -v l="$one" -v n="$largest" -v ln="$longest" \
        -v u="$use" -v st="$start" -v op="$open" -v fu="$floor_use" -v fo="$floor_open" \
        -v lu="$one_use" -v ls="$one_start" -v lo="$one_open" -v flu="$floor_one_use" -v flo="$floor_one_open" 'BEGIN {
        ratio = "%.0f ms (%.2f of the floor)"
        printf "%-10s peak %.1f MiB; six names of %d: %.1f bytes per character, start-up " ratio ", opened in " ratio ", used in " ratio ";", \
            w, o / 1024, n, (s - o) * 1024 / (6 * n), st, st / fo, op, op / fo, u, u / fu
        printf " one of %d: %.1f bytes per character, " ratio " in all\n", ln, (l - o) * 1024 / ln, ls + lo + lu, (ls + lo + lu) / (flo + flu) }'
done
