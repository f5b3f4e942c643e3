#!/usr/bin/env bash
# One writer per book, with real processes under Xvfb. A first copy holds
# the book; for each way in that a second copy could take (the same path, a
# link, a bind mount, other TMPDIRs, no runtime directory, another user,
# another folder whose data files are links into the book, by the same and
# by another user, a runtime directory squatted by another user) the second
# start ends by itself: it brings the first copy forward, or, where it
# cannot reach it, says so in a message. It never opens a window of the book or touches its
# files, and the first copy still books. Then: another user listening where
# the channel would be cannot stop a start; SIGTERM, SIGHUP and SIGINT end
# the program as "終了" does and remove its socket; a kill -9 locks nobody
# out; a link planted by another user is refused, and a plug-in planted
# beside the program is not loaded; a copy without its channel library
# still runs.
# Argument: the application directory (build/app).
source "$(dirname "$0")/lib.sh"

APP_DIR=${1:?application directory}
TITLE='QEN - '
MESSAGE='^QEN ペルモア$'
RUN=$E2E_WORK/run
mkdir -m 700 "$RUN"
chmod 755 "$E2E_WORK"

e2e_start_display
for name in book other bare signals; do e2e_copy_app "$APP_DIR" "$name"; done
chmod -R a+rwX "$E2E_WORK/book"
printf '\x2c\x01\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x38\xff\xff\xff' >"$E2E_WORK/book/MD.dat"
chmod a+rw "$E2E_WORK/book/MD.dat"
touch -d '2020-01-01 00:00' "$E2E_WORK/book/MD.dat" "$E2E_WORK/book/Item.dat"
snapshot() { (cd "$E2E_WORK/book" && ls -lA --time-style=full-iso && stat -c '%y' . && od -An -tx1 MD.dat Item.dat); }

# The channel a copy of root with runtime directory RUNTIME would use for DIR.
channel_of() {
    local dir=$1 runtime=$2
    echo "$runtime/kakeibo-$(printf '%s' "$(stat -L -c '%d:%i' "$dir")" | sha256sum | cut -c1-24)"
}

# launch AS PROGRAM [VAR=VALUE...]: starts PROGRAM as root or nobody with the
# environment given on top of a plain one; sets LAUNCHED_PID.
launch() {
    local as=$1 program=$2
    shift 2
    local user=()
    [[ $as == nobody ]] && user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    "${user[@]}" env -i PATH="$PATH" DISPLAY="$DISPLAY" HOME=/tmp LANG=C.UTF-8 QT_QPA_PLATFORM=xcb \
        "${SANITIZER_ENV[@]}" "$@" \
        "$program" >>"$E2E_WORK/program.log" 2>&1 &
    LAUNCHED_PID=$!
    E2E_PIDS+=("$LAUNCHED_PID")
}

# Waits for PID to end within SECONDS and fails unless its exit code is CODE.
expect_exit() {
    local pid=$1 code=$2 seconds=${3:-6} status=0
    for _ in $(seq $((seconds * 10))); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "process $pid is still running"
    wait "$pid" || status=$?
    [[ $status -eq $code ]] || fail "process $pid ended with $status, expected $code"
}

# Closes the message window of a copy that could not reach the holder.
answer_message() {
    e2e_window "$MESSAGE"
    e2e_close
}

# --- The first copy holds the book.
mkdir -p "$E2E_WORK/tmp-a"
launch root "$E2E_WORK/book/kakeibo" XDG_RUNTIME_DIR="$RUN" TMPDIR="$E2E_WORK/tmp-a"
FIRST=$LAUNCHED_PID
e2e_wait_windows "$TITLE" 1
FIRST_WINDOW=$(xdotool search --onlyvisible --name "$TITLE")
for _ in $(seq 50); do [[ -S $(channel_of "$E2E_WORK/book" "$RUN") ]] && break; sleep 0.1; done
BEFORE=$(snapshot)

# The topmost of the entry windows (xwininfo lists the top one first).
topmost() {
    xwininfo -root -children | grep -oE "0x[0-9a-f]+ \"$TITLE" | head -n1 | cut -d' ' -f1
}

# A copy on another directory runs side by side, its window on top.
launch root "$E2E_WORK/other/kakeibo" XDG_RUNTIME_DIR="$RUN"
OTHER=$LAUNCHED_PID
e2e_wait_windows "$TITLE" 2
OTHER_WINDOW=$(xdotool search --onlyvisible --name "$TITLE" | grep -v "^$FIRST_WINDOW\$")
xdotool windowraise "$OTHER_WINDOW"
sleep 0.3
[[ $(topmost) == $(printf '0x%x' "$OTHER_WINDOW") ]] || fail "could not put the other window on top"

# second_start CASE OUTCOME AS PATH [VAR=VALUE...]: OUTCOME is "forward" (ends
# with 0, the first copy on top), "message" (tells the user, ends with 1) or
# "signal" (tells the user, and a SIGTERM then ends it with 1).
second_start() {
    local case=$1 outcome=$2 as=$3 path=$4
    shift 4
    launch "$as" "$path/kakeibo" "$@"
    local pid=$LAUNCHED_PID
    if [[ $outcome == forward ]]; then
        expect_exit "$pid" 0
        sleep 0.3
        [[ $(topmost) == $(printf '0x%x' "$FIRST_WINDOW") ]] || fail "$case: the holder did not come forward"
        xdotool windowraise "$OTHER_WINDOW"
        sleep 0.3
    elif [[ $outcome == signal ]]; then
        # SIGTERM while the message is shown ends it as closing it does.
        e2e_window "$MESSAGE"
        kill -TERM "$pid"
        expect_exit "$pid" 1
    else
        answer_message
        expect_exit "$pid" 1
    fi
    [[ $(e2e_count_windows "$TITLE") -eq 2 ]] || fail "$case: a second window of the book was opened"
    [[ $(snapshot) == "$BEFORE" ]] || fail "$case: the second start touched the book"
    kill -0 "$FIRST" || fail "$case: the first copy died"
    echo "ok: $case: $outcome"
}

mkdir -p "$E2E_WORK/links" "$E2E_WORK/tmp-b" "$E2E_WORK/mount"
ln -s "$E2E_WORK/book" "$E2E_WORK/links/book"
LONG_TMP=$E2E_WORK/$(printf 'long%.0s' {1..25})
mkdir -p "$LONG_TMP"
second_start "same path" forward root "$E2E_WORK/book" XDG_RUNTIME_DIR="$RUN"
second_start "through a symbolic link" forward root "$E2E_WORK/links/book" XDG_RUNTIME_DIR="$RUN"
if mount --bind "$E2E_WORK/book" "$E2E_WORK/mount" 2>/dev/null; then
    second_start "through a bind mount" forward root "$E2E_WORK/mount" XDG_RUNTIME_DIR="$RUN"
    umount "$E2E_WORK/mount"
else
    echo "note: no bind mount here (not root, or not allowed): that way in was not tried"
fi
second_start "TMPDIR of ${#LONG_TMP} characters" forward root "$E2E_WORK/book" XDG_RUNTIME_DIR="$RUN" TMPDIR="$LONG_TMP"
second_start "missing TMPDIR" forward root "$E2E_WORK/book" XDG_RUNTIME_DIR="$RUN" TMPDIR="$E2E_WORK/missing"
second_start "another TMPDIR" forward root "$E2E_WORK/book" XDG_RUNTIME_DIR="$RUN" TMPDIR="$E2E_WORK/tmp-b"
second_start "no runtime directory" message root "$E2E_WORK/book" TMPDIR="$E2E_WORK/tmp-b"
second_start "another user" message nobody "$E2E_WORK/book"
second_start "no runtime directory, SIGTERM during the message" signal root "$E2E_WORK/book" TMPDIR="$E2E_WORK/tmp-b"

# Another folder whose MD.dat and Item.dat are links into the held book,
# started by the same user and by another user: one writer per book.
for as in root nobody; do
    linked=$E2E_WORK/linked-$as
    mkdir "$linked"
    cp "$E2E_WORK/book/kakeibo" "$E2E_WORK/book/Icon.ico" "$E2E_WORK/book/libkakeibo_instance.so" "$linked/"
    ln -s "$E2E_WORK/book/MD.dat" "$linked/MD.dat"
    ln -s "$E2E_WORK/book/Item.dat" "$linked/Item.dat"
    chown -hR "$as" "$linked"
    second_start "links into the held book, as $as" message "$as" "$linked" XDG_RUNTIME_DIR="$RUN"
done

# Two copies started at once on a new book, before its MD.dat exists: the
# second from another folder whose MD.dat is a link to the first's. Every
# time one window opens and the other copy tells the user and ends with 1.
for try in $(seq 6); do
    race=$E2E_WORK/race-$try
    mkdir -p "$race/a" "$race/b"
    for dir in a b; do
        cp "$E2E_WORK/book/kakeibo" "$E2E_WORK/book/Icon.ico" "$E2E_WORK/book/libkakeibo_instance.so" "$race/$dir/"
        cp "$E2E_WORK/bare/Item.dat" "$race/$dir/"
    done
    ln -s "$race/a/MD.dat" "$race/b/MD.dat"
    launch root "$race/a/kakeibo" XDG_RUNTIME_DIR="$RUN"
    pid_a=$LAUNCHED_PID
    launch root "$race/b/kakeibo" XDG_RUNTIME_DIR="$RUN"
    pid_b=$LAUNCHED_PID
    answer_message
    for _ in $(seq 50); do kill -0 "$pid_a" 2>/dev/null && kill -0 "$pid_b" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid_a" 2>/dev/null; then winner=$pid_a loser=$pid_b; else winner=$pid_b loser=$pid_a; fi
    expect_exit "$loser" 1
    kill -0 "$winner" 2>/dev/null || fail "race $try: neither copy holds the book"
    e2e_wait_windows "$TITLE" 3
    kill "$winner"
    expect_exit "$winner" 0
    e2e_wait_windows "$TITLE" 2
done
echo "ok: two copies started at once on a new book, 6 times: one window each time, the other told"

# Another user squats the runtime directory that Qt would make for root in
# a shared TMPDIR, with a listener at the very name of the book's channel:
# the directory is not root's own, so it is never used.
SHARED=$E2E_WORK/shared
mkdir -m 1777 "$SHARED"
squat() {
    local dir=$1
    setpriv --reuid=nobody --regid=nogroup --clear-groups mkdir -m 777 "$SHARED/runtime-root" 2>/dev/null || true
    local name
    name=$(channel_of "$dir" "$SHARED/runtime-root")
    setpriv --reuid=nobody --regid=nogroup --clear-groups /usr/bin/python3 -c '
import socket, sys
server = socket.socket(socket.AF_UNIX)
server.bind(sys.argv[1])
server.listen(5)
while True:
    peer, _ = server.accept()
    open(sys.argv[2], "ab").write(peer.recv(64) or b"(connected)")
    peer.close()
' "$name" "$E2E_WORK/heard-$(basename "$dir")" &
    E2E_PIDS+=("$!")
    for _ in $(seq 50); do [[ -S $name ]] && break; sleep 0.1; done
    [[ -S $name ]] || fail "the squatter could not listen"
}
squat "$E2E_WORK/book"
second_start "runtime directory squatted by another user" message root "$E2E_WORK/book" TMPDIR="$SHARED"
[[ ! -e $E2E_WORK/heard-book ]] || fail "another user's listener heard: $(cat "$E2E_WORK/heard-book")"

# The first copy still books: 1000 into slot 1 (hex e8 03).
kill -0 "$OTHER" || fail "the copy on the other directory died"
kill "$OTHER"
expect_exit "$OTHER" 0
e2e_window "$TITLE"
e2e_click "$(twips 1240)" "$(twips 307)" "$(twips 3990)"
e2e_type 1000
e2e_click "$(twips 630)" "$(twips 1612)" "$(twips 3990)"
e2e_key Return
E2E_APP=book e2e_expect_bytes MD.dat "2c010000e803000000000000000000000000000038ffffff"

# A listener of another user at the name of a new book's channel cannot
# stop that book's first start.
squat "$E2E_WORK/other"
launch root "$E2E_WORK/other/kakeibo" TMPDIR="$SHARED"
OTHER=$LAUNCHED_PID
e2e_wait_windows "$TITLE" 2
sleep 1
kill -0 "$OTHER" || fail "the start beside another user's listener ended"
[[ ! -e $E2E_WORK/heard-other ]] || fail "another user's listener heard: $(cat "$E2E_WORK/heard-other")"
echo "ok: another user's listener neither heard nor stopped a start"
kill "$OTHER"
expect_exit "$OTHER" 0

# SIGTERM, SIGHUP and SIGINT end the program normally: exit code 0, the
# channel's socket removed, the book as it was.
for signal in TERM HUP INT; do
    launch root "$E2E_WORK/signals/kakeibo" XDG_RUNTIME_DIR="$RUN"
    pid=$LAUNCHED_PID
    socket=$(channel_of "$E2E_WORK/signals" "$RUN")
    for _ in $(seq 50); do [[ -S $socket ]] && break; sleep 0.1; done
    [[ -S $socket ]] || fail "no channel socket for SIG$signal"
    kill -"$signal" "$pid"
    expect_exit "$pid" 0 2
    [[ ! -e $socket ]] || fail "SIG$signal left the socket behind"
    echo "ok: SIG$signal ends the program as 終了 does"
done

# A kill -9 leaves the socket behind and releases the lock: the next start
# runs, and the start after it is brought forward.
kill -9 "$FIRST"
wait "$FIRST" 2>/dev/null || true
[[ -S $(channel_of "$E2E_WORK/book" "$RUN") ]] || fail "expected the killed copy's socket"
launch root "$E2E_WORK/book/kakeibo" XDG_RUNTIME_DIR="$RUN"
FIRST=$LAUNCHED_PID
e2e_wait_windows "$TITLE" 1
sleep 1
launch root "$E2E_WORK/book/kakeibo" XDG_RUNTIME_DIR="$RUN"
expect_exit "$LAUNCHED_PID" 0
[[ $(e2e_count_windows "$TITLE") -eq 1 ]] || fail "a second window after kill -9"
echo "ok: the start after kill -9 runs and holds the book"

# In a book another user may write, he replaces MD.dat with a link to a
# file of the owner's: the owner's start refuses the link and the file it
# points to keeps its bytes.
planted=$E2E_WORK/planted
mkdir "$planted"
cp "$E2E_WORK/book/kakeibo" "$E2E_WORK/book/Icon.ico" "$E2E_WORK/book/Item.dat" "$E2E_WORK/book/libkakeibo_instance.so" "$planted/"
printf 'private bytes of the owner, not a book' >"$E2E_WORK/victim"
chown -R nobody "$planted" "$E2E_WORK/victim"
chmod 600 "$E2E_WORK/victim"
ln -s "$E2E_WORK/victim" "$planted/MD.dat"
launch nobody "$planted/kakeibo"
answer_message
expect_exit "$LAUNCHED_PID" 1
[[ $(cat "$E2E_WORK/victim") == 'private bytes of the owner, not a book' ]] || fail "the planted link was written through"
echo "ok: a link of another user's in the book is refused, its target untouched"

# An image-format plug-in planted in imageformats/ beside the program is
# not loaded when the program decodes its icon.
if [[ -n ${KAKEIBO_PLANTED_PLUGIN:-} ]]; then
    mkdir -p "$E2E_WORK/signals/imageformats"
    cp "$KAKEIBO_PLANTED_PLUGIN" "$E2E_WORK/signals/imageformats/"
    launch root "$E2E_WORK/signals/kakeibo" XDG_RUNTIME_DIR="$RUN" KAKEIBO_PLANTED_MARK="$E2E_WORK/planted-mark"
    e2e_wait_windows "$TITLE" 2
    kill "$LAUNCHED_PID"
    expect_exit "$LAUNCHED_PID" 0
    [[ ! -e $E2E_WORK/planted-mark ]] || fail "a plug-in beside the program was loaded"
    echo "ok: a plug-in planted beside the program is not loaded"
fi

# Without its channel library the program still opens the book.
rm "$E2E_WORK/bare/libkakeibo_instance.so"
launch root "$E2E_WORK/bare/kakeibo" XDG_RUNTIME_DIR="$RUN"
e2e_wait_windows "$TITLE" 2
echo "ok: a copy without its channel library runs"
