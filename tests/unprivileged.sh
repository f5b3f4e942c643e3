#!/usr/bin/env bash
# Runs a test as the user "nobody" when started as root, so that file
# permissions bind it as they bind the program's users.
if [[ $(id -u) -eq 0 ]]; then
    exec setpriv --reuid=nobody --regid=nogroup --clear-groups --reset-env \
        env QT_QPA_PLATFORM=offscreen HOME=/tmp TMPDIR=/tmp "$@"
fi
exec "$@"
