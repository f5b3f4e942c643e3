#!/usr/bin/env bash
# Builds Qt for Windows (static, Release) from Debian's own qt6-base source
# package with the mingw-w64 cross compiler, into a cache outside the
# checkout: ${KAKEIBO_QT_WINDOWS_CACHE:-$HOME/.cache/kakeibo}/qt-VERSION-KEY,
# where KEY is a hash of the options below. A cache already built is reused,
# so that only the first run on a machine pays for it (about 20 minutes on
# 2 cores). Prints the path of the installed Qt on its standard output,
# and nothing else there: the build's own output goes to standard error.
set -euo pipefail
cd "$(dirname "$0")/../.."
exec 3>&1 1>&2

tools/setup.sh g++-mingw-w64-x86-64-posix mingw-w64-tools cmake ninja-build dpkg-dev qt6-base-dev qt6-base-dev-tools

version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
options=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF
    -DFEATURE_tabletevent=OFF -DFEATURE_opengl=ON -DFEATURE_opengl_dynamic=ON -DFEATURE_direct2d=ON
    -DFEATURE_ssl=OFF -DFEATURE_schannel=OFF -DFEATURE_icu=OFF -DFEATURE_dbus=OFF
    -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
)
key=$(printf '%s\n' "$version" "${options[@]}" | sha256sum | cut -c1-12)
cache=${KAKEIBO_QT_WINDOWS_CACHE:-$HOME/.cache/kakeibo}
prefix=$cache/qt-${version%%+*}-$key
if [[ -f $prefix/.complete ]]; then
    echo "$prefix" >&3
    exit 0
fi

work=$cache/work-$key
rm -rf "$work"
mkdir -p "$work/lists/partial"
# Debian's source for the same version as the host Qt, fetched beside the
# machine's own package lists, which stay as they are.
sed -n 's/^Types: deb$/Types: deb-src/; /^Types: deb-src$/,/^$/p' /etc/apt/sources.list.d/debian.sources >"$work/sources" 2>/dev/null || true
grep -q '^Types: deb-src' "$work/sources" 2>/dev/null \
    || sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$work/sources.list"
apt_options=(-o "Dir::State::Lists=$work/lists" -o "Dir::Etc::SourceList=/dev/null"
             -o "Dir::Etc::SourceParts=$work/sourceparts")
mkdir -p "$work/sourceparts"
[[ -s $work/sources ]] && cp "$work/sources" "$work/sourceparts/debian-src.sources"
[[ -s $work/sources.list ]] && cp "$work/sources.list" "$work/sourceparts/debian-src.list"
apt-get "${apt_options[@]}" update
(cd "$work" && apt-get "${apt_options[@]}" source --download-only "qt6-base=$version")
(cd "$work" && dpkg-source -x qt6-base_*.dsc source >/dev/null)

# The cross toolchain stays with the Qt built by it: Qt's own
# qt.toolchain.cmake, which kakeibo's Windows build uses, loads it again.
toolchain=$prefix/share/mingw-w64.cmake
mkdir -p "$(dirname "$toolchain")"
cat >"$toolchain" <<'TOOLCHAIN'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN

cmake -S "$work/source" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    "${options[@]}"
cmake --build "$work/build" --parallel 2
cmake --install "$work/build"
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix" >&3
