#!/usr/bin/env bash
# The fuzz runner fails when its fuzzer does, and keeps and names the input
# that failed it. Argument: the runner.
set -uo pipefail
runner=$1 here=$(cd "$(dirname "$0")" && pwd)
seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT
output=$("$runner" "$here/stand_in_crash.sh" "$seeds" 1 2>&1)
status=$?
echo "$output"
[[ $status -ne 0 ]] || { echo "FAIL: the runner passed a crashing fuzzer"; exit 1; }
kept=$(grep -oE '/[^ ]*/crash-0123456789abcdef' <<<"$output" | tail -n1)
[[ -f $kept && $(cat "$kept") == "crashing input" ]] || { echo "FAIL: the crashing input was not kept"; exit 1; }
rm -rf "$(dirname "$kept")"
echo "ok: the runner failed with $status and kept $kept"
