#!/usr/bin/env bash
# Sets up, builds and runs every test headless: the in-process suites
# offscreen and the end-to-end tests under their own Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh
ctest --test-dir build --output-on-failure -j2
