#!/usr/bin/env bash
# A session with the built program under real X input: two bookings (click
# the amount box, type, click a category, Enter), one booking typed in the
# middle of its amount (34, Home, 12: 1234), a renaming through the
# category-name window (Alt+C held, type, Enter), a correction (Alt+R, type,
# Enter), the version window (Alt+A, close box), then Alt+X; "MD.dat" and
# "Item.dat" are checked byte for byte. On Linux a screen reader's listener
# (AT-SPI) on the session's bus hears the amount box and a name field
# change as the user types and deletes; there the program's folder is
# named in bytes that are no UTF-8. Then, started again with Qt's
# options -reverse and -stylesheet (which it must not read), keys typed
# ahead of a menu command's window. Argument: the application directory.
source "$(dirname "$0")/lib.sh"

APP_DIR=${1:?application directory}
CLIENT_HEIGHT=$(twips 3990)

e2e_start_display
if [[ -z ${E2E_WINE:-} ]]; then
    DBUS_SESSION_BUS_ADDRESS=$(dbus-daemon --session --fork --print-pid=3 --print-address=1 3>"$E2E_WORK/bus.pid" | head -n1)
    export DBUS_SESSION_BUS_ADDRESS
    E2E_PIDS+=("$(cat "$E2E_WORK/bus.pid")")
    # Qt speaks to screen readers once the desktop says one listens; here
    # the listener is no desktop's, so Qt is told directly.
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    /usr/bin/python3 "$(dirname "$0")/atspi_listener.py" >"$E2E_WORK/heard.log" 2>>"$E2E_WORK/session.log" &
    E2E_PIDS+=($!)
    for _ in $(seq 50); do grep -q listening "$E2E_WORK/heard.log" && break; sleep 0.1; done
fi
# On Linux the program's folder is named 家計簿 in Shift_JIS, bytes that
# are no UTF-8, as a folder copied from an old Japanese disk is.
if [[ -n ${E2E_WINE:-} ]]; then
    e2e_start_program "$APP_DIR"
else
    e2e_start_program "$APP_DIR" $'\x89\xc6\x8cv\x95\xeb'
fi
e2e_window 'QEN - '

# Waits until the screen reader's listener heard a line, for five seconds.
expect_heard() {
    [[ -n ${E2E_WINE:-} ]] && return 0
    for _ in $(seq 50); do
        grep -qxF "$1" "$E2E_WORK/heard.log" && { echo "ok: heard $1"; return 0; }
        sleep 0.1
    done
    cat "$E2E_WORK/heard.log" >&2
    fail "the screen reader did not hear: $1"
}

# Centres of the amount box and of the option buttons of slots 0 and 5
# (Frame1 at 360,720; its options at 120,360 and 120,2160; 15 twips a pixel).
AMOUNT_X=$(twips $((840 + 400))); AMOUNT_Y=$(twips $((120 + 187)))
OPTION_X=$(twips $((360 + 120 + 150)))
OPTION0_Y=$(twips $((720 + 360 + 172))); OPTION5_Y=$(twips $((720 + 2160 + 172)))
OPTION1_Y=$(twips $((720 + 720 + 172)))

book() {
    e2e_click "$AMOUNT_X" "$AMOUNT_Y" "$CLIENT_HEIGHT"
    e2e_type "$1"
    e2e_click "$OPTION_X" "$2" "$CLIENT_HEIGHT"
    e2e_key Return
}

book 300 "$OPTION0_Y"
expect_heard "insert 金額 3"
expect_heard "delete 金額 300"
book -200 "$OPTION5_Y"
e2e_expect_bytes MD.dat "2c010000$(printf '0%.0s' {1..32})38ffffff"

# The amount check writes the text back after every key; the caret stays
# where the user types, so 12 typed before 34 books 1234 (hex d2 04).
e2e_click "$AMOUNT_X" "$AMOUNT_Y" "$CLIENT_HEIGHT"
e2e_type 34
e2e_key Home
e2e_type 12
e2e_click "$OPTION_X" "$OPTION1_Y" "$CLIENT_HEIGHT"
e2e_key Return
ZEROS=$(printf '0%.0s' {1..24})
e2e_expect_bytes MD.dat "2c010000d2040000${ZEROS}38ffffff"

# Rename slot 1, with Alt+C held past the keyboard's repeat delay: the
# window opens once and its selected first field takes no "c".
xdotool keydown alt+c
sleep 1.2
xdotool keyup c keyup alt
e2e_window '^項目変更$'
[[ $(e2e_count_windows '^項目変更$') -eq 1 ]] || fail "more than one category-name window"
e2e_key Tab ctrl+a
e2e_type Hobby
expect_heard "delete 上から 2 番目の項目名 趣味"
expect_heard "insert 上から 2 番目の項目名 y"
e2e_key BackSpace
expect_heard "delete 上から 2 番目の項目名 y"
e2e_type y
e2e_key Return
OTHERS=228cf5944d94ef220d0a229364986291e3220d0a2290f491f391e3220d0a2282bb82cc91bc220d0a
e2e_expect_bytes Item.dat "22904894ef220d0a22486f626279220d0a$OTHERS"

# Without a window manager nothing gives the focus back to the entry window
# once another window is gone: click its label "金額" first.
focus_entry_window() {
    e2e_window 'QEN - '
    e2e_click "$(twips 300)" "$(twips 300)" "$CLIENT_HEIGHT"
}

# Correct slot 0 from 300 to 1000 (hex e8 03).
focus_entry_window
e2e_key alt+r
e2e_window '^訂正$'
e2e_key ctrl+a
e2e_type 1000
e2e_key Return
e2e_no_window '^訂正$'
e2e_expect_bytes MD.dat "e8030000d2040000${ZEROS}38ffffff"

# The version window opens and its close box closes it.
focus_entry_window
e2e_key alt+a
e2e_window 'ﾊﾞｰｼﾞｮﾝ情報'
e2e_close
e2e_no_window 'ﾊﾞｰｼﾞｮﾝ情報'

focus_entry_window
e2e_key alt+x
e2e_wait_end
e2e_expect_bytes MD.dat "e8030000d2040000${ZEROS}38ffffff"

# Keys typed ahead of a menu command's window go to that window or are
# dropped, never to the entry window, and a second command typed ahead
# opens no second window: with 食費 chosen and 7 typed, Alt+R 9 Enter (as fast as
# the keys go, and with the program stopped while they arrive, as on a
# busy machine) never books 79 or 7; it corrects 食費 to 9 or does nothing.
slot0() { od -An -t d4 -N4 "$E2E_WORK/$E2E_APP/MD.dat" | tr -d ' '; }
type_ahead() {
    local hold=$1; shift
    [[ $hold == stopped && -n ${E2E_WINE:-} ]] && return 0
    focus_entry_window
    e2e_click "$OPTION_X" "$OPTION0_Y" "$CLIENT_HEIGHT"
    e2e_click "$AMOUNT_X" "$AMOUNT_Y" "$CLIENT_HEIGHT"
    e2e_key ctrl+a
    e2e_type 7
    local before
    before=$(slot0)
    [[ $hold == stopped ]] && kill -STOP "$E2E_APP_PID"
    xdotool key --delay 0 "$@"
    [[ $hold == stopped ]] && { sleep 0.3; kill -CONT "$E2E_APP_PID"; }
    for _ in $(seq 20); do
        [[ $(e2e_count_windows '^(訂正|項目変更)$') -le 1 ]] || fail "two windows open after $* ($hold)"
        sleep 0.05
    done
    # Enter applies what the correction field holds; the other window closes.
    if xdotool search --onlyvisible --name '^訂正$' >/dev/null 2>&1; then
        e2e_window '^訂正$'
        e2e_key Return
    fi
    if xdotool search --onlyvisible --name '^項目変更$' >/dev/null 2>&1; then
        e2e_window '^項目変更$'
        e2e_close
    fi
    e2e_no_window '^(訂正|項目変更)$'
    local after
    after=$(slot0)
    [[ $after == "$before" || $after == 9 ]] || fail "食費 went from $before to $after after $* ($hold)"
    # The amount box still holds 7 alone: Enter books 7.
    focus_entry_window
    e2e_key Return
    for _ in $(seq 50); do [[ $(slot0) == $((after + 7)) ]] && break; sleep 0.1; done
    [[ $(slot0) == $((after + 7)) ]] || fail "the amount box held more than 7 after $* ($hold): 食費 $(slot0)"
    echo "ok: $* ($hold): 食費 $before, then $after"
}
# A desktop without a screen reader: the listener's calls into the program
# would change when it reads its keys.
# It takes no command line: Qt's own options, mirrored windows and a style
# sheet (which would rename every window), are not read.
unset QT_LINUX_ACCESSIBILITY_ALWAYS_ON
echo 'QDialog { qproperty-windowTitle: "styled"; }' >"$E2E_WORK/styled.qss"
e2e_launch "$E2E_APP" -reverse -stylesheet "$E2E_WORK/styled.qss"
E2E_APP_PID=$LAUNCHED_PID
e2e_window 'QEN - '
# The menu's first entry stands at its left: 訂正(R), not 終了(X).
xdotool mousemove $((WX + 20)) $((WY + (WH - CLIENT_HEIGHT) / 2)) sleep 0.1 click 1
e2e_window '^訂正$'
e2e_close
e2e_no_window '^訂正$'
for hold in running stopped; do
    type_ahead "$hold" alt+r 9 Return
    type_ahead "$hold" alt+r alt+c
done

focus_entry_window
e2e_key alt+x
e2e_wait_end
