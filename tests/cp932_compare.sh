#!/usr/bin/env bash
# Compares two builds' tables of code page 932 (cp932_dump): the first
# command is run natively, the rest (an emulator and a program) as given.
# Usage: cp932_compare.sh REFERENCE_DUMP COMMAND...
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$1" "$work/reference.txt"
shift
"$@" "$work/compared.txt"
if ! cmp -s "$work/reference.txt" "$work/compared.txt"; then
    diff "$work/reference.txt" "$work/compared.txt" | head -n 20
    echo "FAIL: the tables differ in $(diff "$work/reference.txt" "$work/compared.txt" | grep -c '^<') lines" >&2
    exit 1
fi
echo "ok: $(wc -l <"$work/reference.txt") lines the same"
