#!/usr/bin/env bash
# One book, one program, with real processes under Xvfb: a second start on
# the same application directory brings the first copy forward and exits
# without touching the files; another directory runs side by side; after a
# kill -9 of the first copy the next start works normally.
# Argument: the application directory (build/app).
source "$(dirname "$0")/lib.sh"

APP_DIR=${1:?application directory}
TITLE='QEN - '

e2e_start_display
e2e_copy_app "$APP_DIR" book
e2e_copy_app "$APP_DIR" other
printf '\x2c\x01\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x38\xff\xff\xff' >"$E2E_WORK/book/MD.dat"
touch -d '2020-01-01 00:00' "$E2E_WORK/book/MD.dat" "$E2E_WORK/book/Item.dat"
snapshot() { (cd "$E2E_WORK/book" && ls -la --time-style=full-iso && od -An -tx1 MD.dat Item.dat) ; }

e2e_launch book
FIRST=$LAUNCHED_PID
e2e_wait_windows "$TITLE" 1
FIRST_WINDOW=$(xdotool search --onlyvisible --name "$TITLE")
BEFORE=$(snapshot)

e2e_launch other
OTHER=$LAUNCHED_PID
e2e_wait_windows "$TITLE" 2
OTHER_WINDOW=$(xdotool search --onlyvisible --name "$TITLE" | grep -v "^$FIRST_WINDOW\$")
xdotool windowraise "$OTHER_WINDOW"
sleep 0.3

# The topmost of the two entry windows (xwininfo lists the top one first).
topmost() {
    xwininfo -root -children | grep -oE "0x[0-9a-f]+ \"$TITLE" | head -n1 | cut -d' ' -f1
}
[[ $(topmost) == $(printf '0x%x' "$OTHER_WINDOW") ]] || fail "could not put the other window on top"

# The second start on the same directory ends by itself, at once.
e2e_launch book
SECOND=$LAUNCHED_PID
for _ in $(seq 50); do kill -0 "$SECOND" 2>/dev/null || break; sleep 0.1; done
kill -0 "$SECOND" 2>/dev/null && fail "the second copy is still running"
wait "$SECOND" || fail "the second copy exited with $?"
sleep 0.5
[[ $(e2e_count_windows "$TITLE") -eq 2 ]] || fail "a second window was opened"
[[ $(topmost) == $(printf '0x%x' "$FIRST_WINDOW") ]] || fail "the running copy did not come to the front"
[[ $(snapshot) == "$BEFORE" ]] || fail "the second start touched the files"
kill -0 "$FIRST" || fail "the first copy died"
kill -0 "$OTHER" || fail "the copy on the other directory died"
echo "ok: second start brought the first copy forward and touched nothing"

# A kill -9 leaves the socket behind; the next start takes over.
kill -9 "$FIRST"
wait "$FIRST" 2>/dev/null || true
e2e_wait_windows "$TITLE" 1
e2e_launch book
e2e_wait_windows "$TITLE" 2
kill -0 "$LAUNCHED_PID" || fail "the start after kill -9 did not run"
E2E_APP=book e2e_expect_bytes MD.dat "2c0100000000000000000000000000000000000038ffffff"
echo "ok: the start after kill -9 runs normally"

# Without its guard library the program still opens the book.
e2e_copy_app "$APP_DIR" bare
rm "$E2E_WORK/bare/libkakeibo_instance.so"
e2e_launch bare
e2e_wait_windows "$TITLE" 3
echo "ok: a copy without its guard library runs"
