#!/usr/bin/env bash
# A session with the built program under real X input: two bookings (click
# the amount box, type, click a category, Enter), one booking typed in the
# middle of its amount (34, Home, 12: 1234), a renaming through the
# category-name window (Alt+C held, type, Enter), a correction (Alt+R, type,
# Enter), the version window (Alt+A, close box), then Alt+X; "MD.dat" and
# "Item.dat" are checked byte for byte. Argument: the application directory.
source "$(dirname "$0")/lib.sh"

APP_DIR=${1:?application directory}
CLIENT_HEIGHT=$(twips 3990)

e2e_start_display
e2e_start_program "$APP_DIR"
e2e_window 'QEN - '

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
