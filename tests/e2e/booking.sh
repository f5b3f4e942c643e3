#!/usr/bin/env bash
# Books two amounts into the built program with real X input (click the
# amount box, type, click a category, Enter), ends it with Alt+X and checks
# "MD.dat" byte for byte. Argument: the application directory (build/app).
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

book() {
    e2e_click "$AMOUNT_X" "$AMOUNT_Y" "$CLIENT_HEIGHT"
    e2e_type "$1"
    e2e_click "$OPTION_X" "$2" "$CLIENT_HEIGHT"
    e2e_key Return
}

book 300 "$OPTION0_Y"
book -200 "$OPTION5_Y"
e2e_expect_bytes MD.dat "2c010000$(printf '0%.0s' {1..32})38ffffff"

e2e_key alt+x
e2e_wait_end
e2e_expect_bytes MD.dat "2c010000$(printf '0%.0s' {1..32})38ffffff"
echo "1 passed, 0 failed"
