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
run_ctest() {
    local dir=$1 log
    log=$(mktemp)
    local status=0
    ctest --test-dir "$dir" --output-on-failure -j2 2>&1 | tee "$log" || status=1
    summary+=("$dir: $(grep -E 'tests passed, [0-9]+ tests failed' "$log" || echo 'no summary')")
    rm -f "$log"
    return $status
}

failed=0
tools/build.sh
run_ctest build || failed=1

cmake -S . -B build-asan -DKAKEIBO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build build-asan -j2
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_ctest build-asan || failed=1

CXX=clang++ cmake -S . -B build-fuzz -DKAKEIBO_FUZZ=ON
cmake --build build-fuzz -j2 --target fuzz_names fuzz_amount
run_ctest build-fuzz || failed=1

printf '%s\n' "${summary[@]}"
exit $failed
