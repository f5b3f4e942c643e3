#!/usr/bin/env bash
# Fails when long category names cost more than their budget, for each
# window (bench_memory: start-up, the window opened, used, and a refused
# booking's message):
#  - six names of 1,000,000 characters: start-up, opening the window and
#    using it (applying a rename, a refused booking's message) each within
#    2 seconds;
#  - one name of 16,000,000 characters (the largest names file the program
#    reads): the whole run within 10 seconds;
#  - in both, at most 100 bytes of peak memory per name character beyond the
#    same run with names of 10 characters.
# Usage: bench/memory_budget.sh BUILD_DIR
set -euo pipefail
build=$1
most_bytes=100
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/app/kakeibo" "$build/app/Icon.ico" "$build/app/Item.dat" "$build/app/libkakeibo_instance.so" "$work/"
run() { "$build/bench/bench_memory" "$work" "$@" 2>/dev/null; }

failed=0
for window in entry refused correction names version; do
    read -r _ _ _ ordinary _ < <(run 10 6 "$window")
    read -r _ _ _ six use start open < <(run 1000000 6 "$window")
    read -r _ _ _ one one_use one_start one_open < <(run 16000000 1 "$window")
    awk -v w="$window" -v o="$ordinary" -v s="$six" -v u="$use" -v st="$start" -v op="$open" \
        -v l="$one" -v lu="$one_use" -v ls="$one_start" -v lo="$one_open" -v b="$most_bytes" 'BEGIN {
        six_per = (s - o) * 1024 / 6000000; one_per = (l - o) * 1024 / 16000000; one_total = ls + lo + lu
        printf "%-10s six of 1,000,000: start %.0f ms, open %.0f ms, use %.0f ms, %.1f bytes a character;", w, st, op, u, six_per
        printf " one of 16,000,000: %.0f ms in all, %.1f bytes a character\n", one_total, one_per
        exit !(st < 2000 && op < 2000 && u < 2000 && six_per < b && one_total < 10000 && one_per < b) }' || failed=1
done
[[ $failed -eq 0 ]] || echo "FAIL: long names past their budget (2 s, 10 s, $most_bytes bytes a character)" >&2
exit "$failed"
