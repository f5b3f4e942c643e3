#!/usr/bin/env bash
# Fails when long category names cost more than their budget: at most 16
# bytes of peak memory per name character for a whole run that opens the
# category-name window, renames a name of 16 million characters to another
# of that length and applies it, and that apply within a second.
# Usage: bench/memory_budget.sh BUILD_DIR
set -euo pipefail
build=$1
length=16000000 most_bytes=16 most_ms=1000
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/app/kakeibo" "$build/app/Icon.ico" "$build/app/Item.dat" "$build/app/libkakeibo_instance.so" "$work/"
read -r _ _ _ ordinary _ < <("$build/bench/bench_memory" "$work" 10 1 names 2>/dev/null)
read -r _ _ _ long ms < <("$build/bench/bench_memory" "$work" "$length" 1 names 2>/dev/null)
awk -v o="$ordinary" -v l="$long" -v n="$length" -v ms="$ms" -v b="$most_bytes" -v t="$most_ms" 'BEGIN {
    per = (l - o) * 1024 / n
    printf "names window, one name of %d characters: %.1f bytes per character (at most %d), applied in %.0f ms (at most %d)\n", n, per, b, ms, t
    exit !(per <= b && ms <= t) }'
