#!/usr/bin/env bash
# Configures and builds kakeibo into build/; the program lands in build/app/.
# Arguments go to the configuration (tools/test.sh adds -DKAKEIBO_BENCH=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build build -j2
