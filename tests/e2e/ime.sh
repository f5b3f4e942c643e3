#!/usr/bin/env bash
# Japanese input through a real input method with the mozc engine: ibus, or
# fcitx5, on Xvfb with a light window manager (openbox), all run as an
# unprivileged user with a D-Bus session of its own, since mozc passes every
# key through when run as root. Each case ends a composition another way
# (Enter, a click on another field, on the menu, on "入力", Alt+C, a window
# opening and closing) and checks that the composed text landed once, in
# the field it was composed in: "MD.dat" and "Item.dat" are compared byte
# for byte. Arguments: the application directory (build/app) and the input
# method, ibus (the default) or fcitx5.
source "$(dirname "$0")/lib.sh"

APP_DIR=${1:?application directory}
METHOD=${2:-ibus}
HERE=$(cd "$(dirname "$0")" && pwd)
CLIENT_HEIGHT=$(twips 3990)
NAMES_HEIGHT=$(twips 3615)

e2e_start_display
e2e_user_session
e2e_copy_app_for_user "$APP_DIR" app
cp "$HERE/ibus_engine.py" "$E2E_WORK/"
chmod a+r "$E2E_WORK/ibus_engine.py"

# openbox hands the focus back to the entry window when a modal window
# closes; it is started without the input method's variables.
e2e_as_user DISPLAY="$DISPLAY" openbox >>"$E2E_WORK/session.log" 2>&1 &
E2E_PIDS+=($!)
e2e_as_user dbus-daemon --session --fork --print-address=3 3>"$E2E_WORK/bus" >>"$E2E_WORK/session.log" 2>&1
BUS=$(head -n1 "$E2E_WORK/bus")
in_session() { e2e_as_user DISPLAY="$DISPLAY" DBUS_SESSION_BUS_ADDRESS="$BUS" "$@"; }

# The daemons need a parent that stays (setsid). What the program tells the
# input method of its caret is read off the input method's bus (ibus has a
# bus of its own, fcitx5 is on the session's) into cursor.log.
start_ibus() {
    in_session setsid sh -c 'ibus-daemon --xim --panel disable --replace' >>"$E2E_WORK/session.log" 2>&1 &
    in_session python3 "$E2E_WORK/ibus_engine.py" mozc-jp || fail "mozc-jp could not be made the engine of ibus"
    in_session dbus-monitor --address "$(in_session ibus address)" "member='SetCursorLocation'" \
        >"$E2E_WORK/cursor.log" 2>>"$E2E_WORK/session.log" &
    E2E_PIDS+=($!)
    QT_MODULE=ibus
}

# fcitx5 with mozc as the one input method, on in every window from the start.
start_fcitx5() {
    local config=$E2E_USER_HOME/.config/fcitx5
    mkdir -p "$config"
    printf '%s\n' '[Groups/0]' 'Name=Default' 'Default Layout=us' 'DefaultIM=mozc' \
        '[Groups/0/Items/0]' 'Name=keyboard-us' 'Layout=' '[Groups/0/Items/1]' 'Name=mozc' 'Layout=' \
        '[GroupOrder]' '0=Default' >"$config/profile"
    printf '%s\n' '[Behavior]' 'ActiveByDefault=True' 'ShareInputState=All' >"$config/config"
    chown -R nobody:nogroup "$E2E_USER_HOME/.config"
    in_session setsid sh -c 'fcitx5 --replace' >>"$E2E_WORK/session.log" 2>&1 &
    for _ in $(seq 100); do
        [[ $(in_session fcitx5-remote -n 2>/dev/null) == mozc ]] && break
        sleep 0.2
    done
    [[ $(in_session fcitx5-remote -n 2>/dev/null) == mozc ]] || fail "fcitx5 did not start with mozc"
    in_session dbus-monitor --address "$BUS" "interface='org.fcitx.Fcitx.InputContext1'" \
        >"$E2E_WORK/cursor.log" 2>>"$E2E_WORK/session.log" &
    E2E_PIDS+=($!)
    QT_MODULE=fcitx
}

case $METHOD in
    ibus) start_ibus ;;
    fcitx5) start_fcitx5 ;;
    *) fail "unknown input method $METHOD" ;;
esac
in_session QT_QPA_PLATFORM=xcb QT_IM_MODULE="$QT_MODULE" XMODIFIERS="@im=$METHOD" "${SANITIZER_ENV[@]}" \
    "$E2E_WORK/app/kakeibo" >>"$E2E_WORK/program.log" 2>&1 &
E2E_APP_PID=$!
E2E_PIDS+=("$E2E_APP_PID")
e2e_window 'QEN - '

AMOUNT_X=$(twips $((840 + 400))); AMOUNT_Y=$(twips $((120 + 187)))
OPTION_X=$(twips $((360 + 120 + 150)))
option_y() { twips $((720 + 360 * ($1 + 1) + 172)); }
INPUT_X=$(twips $((1320 + 540))); INPUT_Y=$(twips $((3480 + 180)))
FIELD_X=$(twips $((240 + 660)))
field_y() { twips $((240 + 480 * $1 + 200)); }
# The menu command "項目変更(&C)", second of the menu bar.
menu_change() { xdotool mousemove $((WX + 140)) $((WY + 12)) sleep 0.1 click 1; sleep 0.5; }

entry() { e2e_window 'QEN - '; }
click_entry() { entry; e2e_click "$1" "$2" "$CLIENT_HEIGHT"; }
click_names() { e2e_window '^項目変更$'; e2e_click "$1" "$2" "$NAMES_HEIGHT"; }
# The input method is on for the field that has the focus.
japanese() { e2e_key Hiragana_Katakana; }
# MD.dat with slot 0 holding the 32-bit total given in decimal.
totals() { printf '%08x' "$1" | sed -E 's/(..)(..)(..)(..)/\4\3\2\1/'; printf '0%.0s' {1..40}; echo; }
NAMES_BEFORE=$(od -An -v -tx1 "$E2E_WORK/app/Item.dat" | tr -d ' \n')

# An amount composed with the input method, committed with Enter, booked.
click_entry "$OPTION_X" "$(option_y 0)"
click_entry "$AMOUNT_X" "$AMOUNT_Y"
japanese
e2e_type 45
e2e_key Return
e2e_key Return
e2e_expect_bytes MD.dat "$(totals 45)"

# "入力" clicked while 7 is still composed after 6 (the input method stays
# on): 67 is booked once and the box is empty afterwards (1 booked next
# makes 113, not 45 + 67 + 71).
click_entry "$OPTION_X" "$(option_y 0)"
click_entry "$AMOUNT_X" "$AMOUNT_Y"
e2e_type 6
e2e_key Return
e2e_type 7
click_entry "$INPUT_X" "$INPUT_Y"
e2e_expect_bytes MD.dat "$(totals 112)"
click_entry "$OPTION_X" "$(option_y 0)"
click_entry "$AMOUNT_X" "$AMOUNT_Y"
e2e_type 1
e2e_key Return
e2e_key Return
e2e_expect_bytes MD.dat "$(totals 113)"

# The menu clicked while 89 is composed after 7: the box holds 789 and the
# category-name window's first field takes nothing of it.
click_entry "$AMOUNT_X" "$AMOUNT_Y"
e2e_type 7
e2e_key Return
e2e_type 89
entry
menu_change
e2e_window '^項目変更$'
e2e_key Return
e2e_no_window '^項目変更$'
e2e_expect_bytes Item.dat "$NAMES_BEFORE"
click_entry "$OPTION_X" "$(option_y 0)"
e2e_key Return
e2e_expect_bytes MD.dat "$(totals 902)"

# Alt+C while 56 is composed: the window opens at once, 56 stays in the
# amount box, committed once; the window's close box leaves the names.
click_entry "$AMOUNT_X" "$AMOUNT_Y"
e2e_type 56
e2e_key alt+c
e2e_window '^項目変更$'
e2e_close
e2e_no_window '^項目変更$'
click_entry "$OPTION_X" "$(option_y 0)"
e2e_key Return
e2e_expect_bytes MD.dat "$(totals 958)"
e2e_expect_bytes Item.dat "$NAMES_BEFORE"

# A name composed in the first field, then a click into the last (mozc's
# candidate window covers the fields just below): the first holds
# "がいしょく", the last is untouched. Then a name composed and converted
# (外食) replaces the last; "変更" stores both.
entry
menu_change
click_names "$FIELD_X" "$(field_y 0)"
e2e_key ctrl+a
e2e_type gaisyoku
click_names "$FIELD_X" "$(field_y 5)"
e2e_key ctrl+a
e2e_type gaisyoku
e2e_key space
e2e_key Return
e2e_key Return
e2e_no_window '^項目変更$'
# がいしょく, the four design names between, 外食, in code page 932.
e2e_expect_bytes Item.dat "$(python3 -c '
import sys
names = ["がいしょく", "趣味", "光熱費", "電話代", "洗濯代", "外食"]
print("".join(("\"" + n + "\"\r\n").encode("cp932").hex() for n in names))')"

NAMES_NOW=$(od -An -v -tx1 "$E2E_WORK/app/Item.dat" | tr -d ' \n')

# The caret's place as the input method was last told it ("x y"), from
# cursor.log: ibus's SetCursorLocation, fcitx5's SetCursorRect (or V2).
last_cursor_location() {
    awk '/member=SetCursor(Location|Rect)/ { n = 0; want = 1; next }
         want && /int32/ { v[n++] = $2; if (n == 2) { x = v[0]; y = v[1]; want = 0 } }
         END { print x, y }' "$E2E_WORK/cursor.log"
}

# A window opened afresh: before the first key is composed, the input
# method has been told a caret inside the first field, which has the focus
# (not a place measured against the entry window behind it). Then "ka"
# composed at its end and taken back with Escape, and a click into another
# field: nothing of it lands, "変更" stores the names as they were.
entry
menu_change
e2e_window '^項目変更$'
sleep 0.5
read -r CX CY < <(last_cursor_location)
LEFT=$((WX + $(twips 240))); TOP=$((WY + WH - NAMES_HEIGHT + $(twips 240)))
(( CX >= LEFT && CX <= LEFT + $(twips 1335) && CY >= TOP && CY <= TOP + $(twips 405) )) ||
    fail "the input method was told the caret is at $CX,$CY, outside the first field at $LEFT,$TOP"
echo "ok: caret told at $CX,$CY, inside the first field at $LEFT,$TOP"
e2e_key End
e2e_type ka
e2e_key Escape
click_names "$FIELD_X" "$(field_y 3)"
e2e_key Return
e2e_no_window '^項目変更$'
e2e_expect_bytes Item.dat "$NAMES_NOW"

# Part of a name reconverted: 熱 of 光熱費 selected left to right, Henkan,
# Enter: the input method deletes the selection it reconverts and nothing
# else, and its first candidate 熱 comes back in its place.
entry
menu_change
click_names "$FIELD_X" "$(field_y 2)"
e2e_key Home Right shift+Right
e2e_key Henkan
e2e_key Return
e2e_key Return
e2e_no_window '^項目変更$'
e2e_expect_bytes Item.dat "$NAMES_NOW"

entry
e2e_key alt+x
e2e_wait_end
