#!/usr/bin/env bash
# Runs a fuzz target for a bounded time on a copy of its seed corpus (the
# corpus in the repository stays as it is) and prints libFuzzer's figures.
# Arguments: fuzzer, seed corpus, seconds.
set -euo pipefail
fuzzer=$1 seeds=$2 seconds=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$seeds/." "$work/"
"$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 \
    -artifact_prefix="$work/" "$work" 2>&1 | grep -E "^(Done|stat::number_of_executed_units|INFO: seed corpus|==|SUMMARY|#[0-9]+ +DONE)" || true
test "${PIPESTATUS[0]}" -eq 0
