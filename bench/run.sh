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
# Peak memory of a whole run (start-up, painting, a renaming) with six names
# of the largest length, beside the same run with six names of 10.
read -r _ ordinary < <("$build/bench/bench_memory" "$work" 10 2>/dev/null)
read -r _ long < <("$build/bench/bench_memory" "$work" "$largest" 2>/dev/null)
awk -v o="$ordinary" -v l="$long" -v n="$largest" 'BEGIN {
    printf "peak RSS, six names of 10 characters: %.1f MiB; of %d: %.1f MiB\n", o / 1024, n, l / 1024
    printf "above the ordinary run: %.1f bytes per name character\n", (l - o) * 1024 / (6 * n) }'
