#!/usr/bin/env bash
# Runs a Windows program under Wine for ctest (the build's emulator) and
# passes on its output and its exit code. The output goes through a file of
# its own: Wine's background processes (the server, the services) inherit
# the output of the program that started them and may outlive it, and
# ctest would wait for them on its pipe.
# Usage: wine-run.sh PROGRAM [ARGUMENT...]
output=$(mktemp)
trap 'rm -f "$output"' EXIT
code=0
wine "$@" </dev/null >"$output" 2>&1 || code=$?
cat "$output"
exit "$code"
