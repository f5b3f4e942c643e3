#!/usr/bin/env bash
# Fails when long category names cost more memory than their budget, for
# each window (bench_memory: start-up, the window opened and used, and a
# refused booking's message): with six names of 1,000,000 characters and
# with one name of 16,000,000 (the largest names file the program reads),
# at most 100 bytes of peak memory per name character beyond the same run
# with names of 10 characters, and every run ends as it should. Time is no
# part of it: how long a run takes depends on the machine and on what else
# runs there, and bench/run.sh reports it against a floor measured beside it.
# Usage: bench/memory_budget.sh BUILD_DIR
set -euo pipefail
build=$1
most_bytes=100
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/app/kakeibo" "$build/app/Icon.ico" "$build/app/Item.dat" "$build/app/libkakeibo_instance.so" "$work/"
run() { "$build/bench/bench_memory" "$work" "$@" 2>/dev/null || echo "FAIL: bench_memory $* ended with $?" >&2; }

failed=0
for window in entry refused correction names version; do
    read -r _ _ _ ordinary _ < <(run 10 6 "$window")
    read -r _ _ _ six _ < <(run 1000000 6 "$window")
    read -r _ _ _ one _ < <(run 16000000 1 "$window")
    awk -v w="$window" -v o="$ordinary" -v s="$six" -v l="$one" -v b="$most_bytes" 'BEGIN {
        six_per = (s - o) * 1024 / 6000000; one_per = (l - o) * 1024 / 16000000
        printf "%-10s six of 1,000,000: %.1f bytes a character; one of 16,000,000: %.1f bytes a character\n", w, six_per, one_per
        exit !(o > 0 && six_per < b && one_per < b) }' || failed=1
done
[[ $failed -eq 0 ]] || echo "FAIL: long names past their memory budget ($most_bytes bytes a character)" >&2
exit "$failed"
