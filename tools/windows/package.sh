#!/usr/bin/env bash
# Makes the two deliveries of the Windows program (building it first when
# it is missing), in build-windows/dist/:
#   kakeibo-VERSION-windows.zip  a folder "kakeibo" that runs where it is
#                                unpacked, its book kept beside the program;
#   kakeibo-VERSION-setup.exe    an installer for the user alone, without
#                                administrator rights (tools/windows/kakeibo.nsi).
set -euo pipefail
cd "$(dirname "$0")/../.."
[[ -f build-windows/app/kakeibo.exe ]] || tools/windows/build.sh
version=$(sed -n 's/^project(kakeibo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
dist=$PWD/build-windows/dist
rm -rf "$dist"
mkdir -p "$dist/kakeibo"
cp build-windows/app/kakeibo.exe build-windows/app/Icon.ico build-windows/app/Item.dat "$dist/kakeibo/"
(cd "$dist" && zip -qr "kakeibo-$version-windows.zip" kakeibo)
makensis -V2 -DVERSION="$version" -DSOURCE="$dist/kakeibo" -DOUTFILE="$dist/kakeibo-$version-setup.exe" \
    tools/windows/kakeibo.nsi
rm -rf "$dist/kakeibo"
ls "$dist"
