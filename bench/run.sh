#!/usr/bin/env bash
# Runs every benchmark on a copy of the built application directory:
# start-up against the floor under Xvfb, bookings against a direct write and
# flush, and the growth in the names' length.
# Usage: bench/run.sh [BUILD_DIR] [--quick]   (--quick: 2 iterations of each)
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
# window opened and used) with six names, and with one name, of the largest
# length, beside the same run with names of 10 characters: bytes of peak
# memory per name character, for each window; and the times of opening the
# window and of its use (the apply, the refused booking's message).
for window in entry refused correction names version; do
    read -r _ _ _ ordinary _ < <("$build/bench/bench_memory" "$work" 10 6 "$window" 2>/dev/null)
    read -r _ _ _ six six_ms _ six_open < <("$build/bench/bench_memory" "$work" "$largest" 6 "$window" 2>/dev/null)
    read -r _ _ _ one one_ms _ one_open < <("$build/bench/bench_memory" "$work" "$largest" 1 "$window" 2>/dev/null)
    awk -v w="$window" -v o="$ordinary" -v s="$six" -v l="$one" -v n="$largest" -v sm="$six_ms" -v lm="$one_ms" \
        -v so="$six_open" -v lo="$one_open" 'BEGIN {
        printf "%-10s peak %.1f MiB; six names of %d: %.1f MiB, %.1f bytes per character, opened in %s ms, used in %s ms;", w, o / 1024, n, s / 1024, (s - o) * 1024 / (6 * n), so, sm
        printf " one: %.1f MiB, %.1f bytes per character, opened in %s ms, used in %s ms\n", l / 1024, (l - o) * 1024 / n, lo, lm }'
done
