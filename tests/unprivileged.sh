#!/usr/bin/env bash
# Runs a test as the user "nobody" when started as root, so that file
# permissions bind it as they bind the program's users. The test and the
# data it installs are copied to a temporary directory first, since the
# checkout may lie where "nobody" cannot enter. A tmpfs of 512 KiB owned by
# "nobody" is mounted for the full-disk cases (KAKEIBO_TINY_DISK), where
# the system allows it.
# Usage: unprivileged.sh TEST_BINARY DATA_DIRECTORY
set -euo pipefail
test_binary=$1 data=$2
if [[ $(id -u) -ne 0 ]]; then
    KAKEIBO_TEST_DATA=$data exec "$test_binary"
fi
work=$(mktemp -d)
mkdir "$work/disk"
trap 'umount "$work/disk" 2>/dev/null; rm -rf "$work"' EXIT
cp "$test_binary" "$data/Icon.ico" "$data/Item.dat" "$work/"
chmod -R a+rX "$work"
disk=
mount -t tmpfs -o size=512k,uid="$(id -u nobody)",mode=0755 tmpfs "$work/disk" 2>/dev/null && disk=$work/disk
setpriv --reuid=nobody --regid=nogroup --clear-groups --reset-env \
    env QT_QPA_PLATFORM=offscreen HOME=/tmp TMPDIR=/tmp KAKEIBO_TEST_DATA="$work" KAKEIBO_TINY_DISK="$disk" \
    "$work/$(basename "$test_binary")"
