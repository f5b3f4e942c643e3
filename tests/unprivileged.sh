#!/usr/bin/env bash
# Runs a test as the user "nobody" when started as root, so that file
# permissions bind it as they bind the program's users. The test and the
# data it installs are copied to a temporary directory first, since the
# checkout may lie where "nobody" cannot enter.
# Usage: unprivileged.sh TEST_BINARY DATA_DIRECTORY
set -euo pipefail
test_binary=$1 data=$2
if [[ $(id -u) -ne 0 ]]; then
    KAKEIBO_TEST_DATA=$data exec "$test_binary"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$test_binary" "$data/Icon.ico" "$data/Item.dat" "$work/"
chmod -R a+rX "$work"
setpriv --reuid=nobody --regid=nogroup --clear-groups --reset-env \
    env QT_QPA_PLATFORM=offscreen HOME=/tmp TMPDIR=/tmp KAKEIBO_TEST_DATA="$work" \
    "$work/$(basename "$test_binary")"
