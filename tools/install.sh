#!/usr/bin/env bash
# Installs kakeibo for the current user from the build in build/app (run
# tools/build.sh first): the program into DIR (default
# ~/.local/share/kakeibo), where it keeps its book, and a launcher with its
# icon and its AppStream description in the user's data folder, so that it
# appears in the desktop's application menu. An install over an earlier
# one updates the program and keeps "MD.dat" and "Item.dat" as they are.
# Usage: tools/install.sh [DIR]   (KAKEIBO_BUILD_APP: another build's app folder)
set -euo pipefail
shopt -u patsub_replacement 2>/dev/null || true
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/desktop_common.sh"

[[ $# -le 1 ]] || refuse "usage: tools/install.sh [DIR]"
build=${KAKEIBO_BUILD_APP:-$root/build/app}
for file in "${PROGRAM_FILES[@]}" Item.dat; do
    [[ -f $build/$file ]] || refuse "$build/$file is missing: build first with tools/build.sh"
done
dir=$(program_folder "${1:-}")
share=$(data_home)
check_characters "$share"
check_writable_folder "$dir" "the program folder"
check_writable_folder "$share" "the data folder"

# Copies a file into place in one step (a running copy keeps its old file).
put() {
    local source=$1 target=$2 mode=$3
    mkdir -p "$(dirname "$target")"
    cp "$source" "$target.new.$$"
    chmod "$mode" "$target.new.$$"
    mv -f "$target.new.$$" "$target"
}

for file in "${PROGRAM_FILES[@]}"; do
    mode=644
    [[ $file == kakeibo ]] && mode=755
    put "$build/$file" "$dir/$file" "$mode"
done
[[ -e $dir/Item.dat ]] || put "$build/Item.dat" "$dir/Item.dat" 644

entry=$share/applications/$APP_ID.desktop
exec_line=$(desktop_exec "$dir/kakeibo")
mkdir -p "$share/applications"
while IFS= read -r line; do
    line=${line//@EXEC@/$exec_line}
    printf '%s\n' "${line//@ICON@/$APP_ID}"
done <"$root/app/kakeibo.desktop.in" >"$entry.new.$$"
mv -f "$entry.new.$$" "$entry"
for size in "${ICON_SIZES[@]}"; do
    put "$build/icons/${size}x$size/kakeibo.png" "$share/icons/hicolor/${size}x$size/apps/$APP_ID.png" 644
done
put "$root/app/kakeibo.metainfo.xml" "$share/metainfo/$APP_ID.metainfo.xml" 644
# No cache is written: desktops watch these folders, and a cache of the
# user's icon folder would hide the icons that later installs put there.

echo "kakeibo is installed in $dir"
echo "launcher: $entry"
for file in "${BOOK_FILES[@]}"; do
    [[ -e $dir/$file ]] && echo "your book: $dir/$file"
done
exit 0
