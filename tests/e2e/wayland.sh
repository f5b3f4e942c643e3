#!/usr/bin/env bash
# The program on a Wayland desktop: a headless sway (run as an unprivileged
# user, since sway refuses root) with no X server at all, keys typed with
# wtype, windows read with swaymsg. The program starts natively, books an
# amount, its correction window is tied to the entry window (xdg parent, as
# the client's own protocol log shows) and takes the keys while open, its
# windows keep their fixed size, the compositor knows the window by the
# launcher's name (its app id), a second start brings the first forward
# through xdg-activation and ends, and Alt+X ends it with 0. "MD.dat" is
# checked byte for byte. Argument: the application directory (build/app).
source "$(dirname "$0")/lib.sh"

APP_DIR=${1:?application directory}
HERE=$(cd "$(dirname "$0")" && pwd)
[[ -e /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so ]] \
    || fail "qt6-wayland is missing: the program cannot run natively on Wayland"

# Qt 6.4's Wayland client leaves its proxies, clipboard and cursor data
# behind at exit: a sanitized build checks everything but leaks here (the
# other end-to-end and in-process suites check the program's own leaks).
for i in "${!SANITIZER_ENV[@]}"; do
    [[ ${SANITIZER_ENV[i]} == ASAN_OPTIONS=* ]] && SANITIZER_ENV[i]+=:detect_leaks=0
done

e2e_user_session
e2e_copy_app_for_user "$APP_DIR" app
e2e_copy_app_for_user "$APP_DIR" other
cat >"$E2E_WORK/sway.conf" <<'CONF'
xwayland disable
output HEADLESS-1 resolution 1024x768
# A window asked forward with a token is focused (sway's default only marks
# it urgent, which counts too).
focus_on_window_activation focus
CONF
chmod a+r "$E2E_WORK/sway.conf"
unset DISPLAY

e2e_as_user WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$E2E_WORK/sway.conf" >>"$E2E_WORK/session.log" 2>&1 &
E2E_PIDS+=($!)
for _ in $(seq 100); do
    SWAYSOCK=$(ls "$E2E_USER_RUN"/sway-ipc.*.sock 2>/dev/null | head -n1 || true)
    [[ -n $SWAYSOCK && -S $E2E_USER_RUN/wayland-1 ]] && break
    sleep 0.1
done
[[ -S $E2E_USER_RUN/wayland-1 ]] || { cat "$E2E_WORK/session.log" >&2; fail "sway did not start"; }
desktop() { e2e_as_user WAYLAND_DISPLAY=wayland-1 SWAYSOCK="$SWAYSOCK" "$@"; }
# One virtual keyboard that stays, so that the seat keeps a keyboard
# between the keys typed.
desktop wtype -s 100000000 >>"$E2E_WORK/session.log" 2>&1 &
E2E_PIDS+=($!)

windows() { desktop swaymsg -t get_tree | python3 "$HERE/sway_windows.py"; }
# Waits until a window whose title matches is focused; sets WIN to its id.
wait_focused() {
    for _ in $(seq 100); do
        WIN=$(windows | awk -F'\t' -v t="$1" '$2 == "focused" && $5 ~ t { print $1 }')
        [[ -n $WIN ]] && return 0
        sleep 0.1
    done
    windows >&2
    fail "no focused window '$1'"
}
type_keys() { desktop wtype "$@"; sleep 0.3; }

# launch DIR LOG: the program of $E2E_WORK/DIR, natively on Wayland.
launch() {
    desktop QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client "${SANITIZER_ENV[@]}" \
        "$E2E_WORK/$1/kakeibo" >>"$E2E_WORK/$2" 2>&1 &
    LAUNCHED_PID=$!
    E2E_PIDS+=("$LAUNCHED_PID")
}
launch app program.log
E2E_APP_PID=$LAUNCHED_PID
wait_focused '^QEN - '
ENTRY=$WIN
grep -q 'wl_display@1.get_registry' "$E2E_WORK/program.log" || fail "the program did not speak Wayland"

# The compositor knows the window by the launcher's name.
LAUNCHER=$(sed -n 's/^APP_ID=//p' "$HERE/../../tools/desktop_common.sh").desktop
APP_ID=$(windows | awk -F'\t' -v id="$ENTRY" '$1 == id { print $6 }')
[[ $APP_ID.desktop == "$LAUNCHER" ]] || fail "the window's app id is '$APP_ID', the launcher is $LAUNCHER"
echo "ok: app id $APP_ID, as the launcher $LAUNCHER"

# The entry window keeps its designed size when the desktop asks another.
FIXED_SIZE=$(windows | awk -F'\t' -v id="$ENTRY" '$1 == id { print $4 }')
desktop swaymsg "[con_id=$ENTRY] resize set 800 600" >/dev/null || true
sleep 0.3
SIZE=$(windows | awk -F'\t' -v id="$ENTRY" '$1 == id { print $4 }')
[[ $SIZE == "$FIXED_SIZE" && ${SIZE%x*} == "$(twips 6195)" ]] || fail "the entry window became $SIZE, not $FIXED_SIZE"
echo "ok: the entry window stays $SIZE"

# 300 into the first category: the amount box has the focus; Tab to the
# first category, Space chooses it, Enter books.
type_keys 300
type_keys -k Tab
type_keys -k space
type_keys -k Return
ZEROS=$(printf '0%.0s' {1..40})
e2e_expect_bytes MD.dat "2c010000$ZEROS"

# The correction window: the entry window is its xdg parent, it has the
# focus and takes the keys (1000 replaces 300).
type_keys -M alt r -m alt
wait_focused '^訂正$'
toplevel_of() { grep -oE "xdg_toplevel@[0-9]+\.set_title\(\"$1" "$E2E_WORK/program.log" | tail -n1 | cut -d. -f1; }
ENTRY_TOPLEVEL=$(toplevel_of 'QEN - ')
CORRECTION_TOPLEVEL=$(toplevel_of '訂正')
grep -qF "$CORRECTION_TOPLEVEL.set_parent($ENTRY_TOPLEVEL)" "$E2E_WORK/program.log" \
    || fail "the correction window ($CORRECTION_TOPLEVEL) was not given the entry window ($ENTRY_TOPLEVEL) as parent"
echo "ok: $CORRECTION_TOPLEVEL has the parent $ENTRY_TOPLEVEL"
type_keys -M ctrl a -m ctrl
type_keys 1000
type_keys -k Return
e2e_expect_bytes MD.dat "e8030000$ZEROS"
wait_focused '^QEN - '

# A copy of another book takes the focus; a second start of the first book
# then brings the first forward and ends with 0.
launch other other.log
OTHER=$LAUNCHED_PID
for _ in $(seq 100); do
    [[ $(windows | awk -F'\t' '$2 == "focused" { print $1 }') != "$ENTRY" ]] && break
    sleep 0.1
done
launch app second.log
SECOND=$LAUNCHED_PID
for _ in $(seq 60); do kill -0 "$SECOND" 2>/dev/null || break; sleep 0.1; done
kill -0 "$SECOND" 2>/dev/null && fail "the second start is still running"
wait "$SECOND" || fail "the second start ended with $?"
for _ in $(seq 30); do
    STATE=$(windows | awk -F'\t' -v id="$ENTRY" '$1 == id { print $2, $3 }')
    [[ $STATE == *focused* || $STATE == *urgent* ]] && break
    sleep 0.1
done
[[ $STATE == *focused* || $STATE == *urgent* ]] || { windows >&2; fail "the first copy was not brought forward"; }
echo "ok: the second start brought the first forward ($STATE)"
kill "$OTHER"

wait_focused '^QEN - '
type_keys -M alt x -m alt
e2e_wait_end
e2e_expect_bytes MD.dat "e8030000$ZEROS"
