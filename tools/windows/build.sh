#!/usr/bin/env bash
# Cross-builds the Windows program on Debian: one static kakeibo.exe (Qt
# and the mingw runtime inside, the icon embedded) in build-windows/app/
# with "Icon.ico" and "Item.dat" beside it, and the suites that
# tools/windows/test.sh runs under Wine. Qt for Windows comes from
# build-qt.sh, which builds it once into its cache.
set -euo pipefail
cd "$(dirname "$0")/../.."

qt=$(tools/windows/build-qt.sh)
cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$PWD/tools/windows/wine-run.sh" "$@"
cmake --build build-windows -j2
