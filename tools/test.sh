#!/usr/bin/env bash
# Sets up, builds and runs every test headless, three times over:
#  1. the plain build: unit and in-process suites offscreen, the kill and
#     file-fault suites, and the end-to-end tests under their own Xvfb;
#  2. the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer;
#  3. the libFuzzer targets (clang), each for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh

summary=()
passed=0
failures=0
run_ctest() {
    local dir=$1 log
    log=$(mktemp)
    local status=0
    ctest --test-dir "$dir" --output-on-failure -j2 2>&1 | tee "$log" || status=1
    local line
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" || echo "0 tests failed out of 0")
    local failed_here total_here
    failed_here=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    total_here=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
    passed=$((passed + total_here - failed_here))
    failures=$((failures + failed_here))
    summary+=("$dir: $line")
    rm -f "$log"
    return $status
}

failed=0
tools/build.sh -DKAKEIBO_BENCH=ON
run_ctest build || failed=1

cmake -S . -B build-asan -DKAKEIBO_SANITIZE=ON -DKAKEIBO_BENCH=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build build-asan -j2
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
    run_ctest build-asan || failed=1

CXX=clang++ cmake -S . -B build-fuzz -DKAKEIBO_FUZZ=ON
cmake --build build-fuzz -j2 --target fuzz_names fuzz_amount
run_ctest build-fuzz || failed=1

printf '%s\n' "${summary[@]}"
echo "Total: $passed passed, $failures failed"
exit $failed
