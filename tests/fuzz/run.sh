#!/usr/bin/env bash
# Runs a fuzz target for a bounded time on a copy of its seed corpus (the
# corpus in the repository stays as it is) and prints libFuzzer's figures.
# A crash, a leak, a slow input (over 10 s) or memory past 2 GiB fails the
# run: the input that did it is kept in a folder that outlives the run,
# whose path is printed. Arguments: fuzzer, seed corpus, seconds.
set -euo pipefail
fuzzer=$1 seeds=$2 seconds=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts=$(mktemp -d "${TMPDIR:-/tmp}/kakeibo-fuzz-artifacts.XXXXXX")
cp -r "$seeds/." "$work/corpus"
status=0
"$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix="$artifacts/" "$work/corpus" >"$work/log" 2>&1 || status=$?
grep -E "^(Done|stat::number_of_executed_units|INFO: seed corpus|==|SUMMARY|#[0-9]+ +DONE)" "$work/log" || true
kept=$(find "$artifacts" -type f | sort)
if [[ $status -ne 0 || -n $kept ]]; then
    tail -n 40 "$work/log"
    echo "FAIL: $(basename "$fuzzer") ended with $status; the inputs that failed it are kept:"
    printf '  %s\n' ${kept:-"(none written)"}
    exit 1
fi
rm -rf "$artifacts"
