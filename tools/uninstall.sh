#!/usr/bin/env bash
# Removes a per-user install of kakeibo (tools/install.sh): the launcher,
# the icons, the AppStream description and the program files in DIR
# (default ~/.local/share/kakeibo). The book ("MD.dat" and "Item.dat") stays
# in DIR unless --purge is given; what is kept is said, with where.
# Usage: tools/uninstall.sh [--purge] [DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/desktop_common.sh"

purge=0
if [[ ${1:-} == --purge ]]; then
    purge=1
    shift
fi
[[ $# -le 1 ]] || refuse "usage: tools/uninstall.sh [--purge] [DIR]"
dir=$(program_folder "${1:-}")
share=$(data_home)
check_characters "$share"
if [[ -e $dir || -L $dir ]]; then
    check_writable_folder "$dir" "the program folder"
fi

rm -f "$share/applications/$APP_ID.desktop" "$share/metainfo/$APP_ID.metainfo.xml"
for size in "${ICON_SIZES[@]}"; do
    rm -f "$share/icons/hicolor/${size}x$size/apps/$APP_ID.png"
done
for file in "${PROGRAM_FILES[@]}"; do
    rm -f "$dir/$file"
done

kept=()
for file in "${BOOK_FILES[@]}"; do
    [[ -e $dir/$file ]] || continue
    if [[ $purge -eq 1 ]]; then
        rm -f "$dir/$file"
    else
        kept+=("$dir/$file")
    fi
done
rmdir "$dir" 2>/dev/null || true

echo "kakeibo is uninstalled from $dir"
if [[ ${#kept[@]} -gt 0 ]]; then
    echo "your book is kept:"
    printf '  %s\n' "${kept[@]}"
    if [[ $# -eq 1 ]]; then
        printf 'remove it with: tools/uninstall.sh --purge %q\n' "$dir"
    else
        echo "remove it with: tools/uninstall.sh --purge"
    fi
fi
exit 0
