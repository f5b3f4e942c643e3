#!/usr/bin/env bash
# Builds the Windows program (build.sh) and its deliveries (package.sh) and
# runs its suites under Wine through ctest: the unit and in-process suites
# offscreen in a Wine prefix of their own, the comparison of code page 932
# with the Linux build's table (built when missing), and the end-to-end
# tests of kakeibo.exe, the zip and the installer under Xvfb with real X
# input, each in a prefix of its own. Ends with one line
# "Windows total: N passed, N failed".
set -euo pipefail
cd "$(dirname "$0")/../.."

tools/setup.sh wine wine64 nsis zip unzip xvfb xdotool x11-utils openbox python3

[[ -x build/tests/cp932_dump ]] || tools/build.sh
tools/windows/build.sh -DKAKEIBO_HOST_CP932_DUMP="$PWD/build/tests/cp932_dump"
tools/windows/package.sh

work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix WINEDEBUG=-all
# No offer to install Mono or Gecko, which nothing here needs.
WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
# The suites run offscreen and find the IPA fonts there: Wine hands no
# variable named QT_... on to Windows programs, but takes the user's
# environment from the prefix's registry.
wine reg add 'HKCU\Environment' /v QT_QPA_PLATFORM /d offscreen /f >/dev/null 2>&1
mkdir -p "$work/fonts"
cp /usr/share/fonts/opentype/ipafont-gothic/*.ttf /usr/share/fonts/opentype/ipafont-mincho/*.ttf "$work/fonts/"
wine reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /d "Z:${work//\//\\}\\fonts" /f >/dev/null 2>&1
wineserver -w

status=0
(cd build-windows && ctest --output-on-failure -j1 --timeout 300) | tee "$work/ctest.log" || status=1
passed=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2 \1/p' "$work/ctest.log")
read -r total failed <<<"${passed:-0 1}"
echo "Windows total: $((total - failed)) passed, $failed failed"
exit "$status"
