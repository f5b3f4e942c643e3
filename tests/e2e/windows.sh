#!/usr/bin/env bash
# The Windows program under Wine, beyond the session that session.sh also
# runs under Wine: the program in the root of a drive (a Wine drive letter
# mapped to a temporary folder), where the book's files are the folder's
# "\MD.dat" and "\Item.dat" appended to "K:\" and still name the files in
# the root; a second start on the book, with another program's window in
# front, ends with 0, touching nothing, and brings the first window to the
# front; the end
# of the Windows session ends the program as "終了" does. Argument: the
# Windows build's application directory. First of all, the icon embedded.
E2E_WINE=1
source "$(dirname "$0")/lib.sh"

APP_DIR=${1:?application directory}
CLIENT_HEIGHT=$(twips 3990)
TITLE='QEN - '

# "Icon.ico" is in the program as well, for Explorer and the taskbar: the
# program's resources hold an icon group (type 14) and its images (type 3).
resources=$(x86_64-w64-mingw32-objdump -p "$APP_DIR/kakeibo.exe" | sed -n '/The .rsrc Resource Directory/,$p')
grep -q 'Entry: ID: 0x00000e' <<<"$resources" && grep -q 'Entry: ID: 0x000003' <<<"$resources" \
    || fail "the icon is not embedded in kakeibo.exe"
echo "ok: the icon is embedded"

e2e_start_display
e2e_copy_app "$APP_DIR" app
ln -s "$E2E_WORK/app" "$WINEPREFIX/dosdevices/k:"
wine 'K:\kakeibo.exe' >>"$E2E_WORK/program.log" 2>&1 &
E2E_APP_PID=$!
e2e_window "$TITLE"
FIRST=$WID

# A booking of 300 in the first category, as the session books it.
e2e_click "$(twips 1240)" "$(twips 307)" "$CLIENT_HEIGHT"
e2e_type 300
e2e_click "$(twips 630)" "$(twips 1252)" "$CLIENT_HEIGHT"
e2e_key Return
BOOKED="2c010000$(printf '0%.0s' {1..40})"
e2e_expect_bytes MD.dat "$BOOKED"
[[ $(od -An -v -tx1 "$E2E_WORK/app/Item.dat" | tr -d ' \n') == $(od -An -v -tx1 "$APP_DIR/Item.dat" | tr -d ' \n') ]] \
    || fail "Item.dat of the drive's root changed"

# A second start on the same book, with another program's window in front.
wine notepad >/dev/null 2>&1 &
E2E_PIDS+=("$!")
for _ in $(seq 100); do
    [[ $(xdotool getactivewindow 2>/dev/null) != "$FIRST" ]] && xdotool search --onlyvisible --name 'Notepad' >/dev/null 2>&1 && break
    sleep 0.1
done
[[ $(xdotool getactivewindow 2>/dev/null) != "$FIRST" ]] || fail "no other window came in front"
code=0
timeout 20 wine 'K:\kakeibo.exe' >>"$E2E_WORK/program.log" 2>&1 || code=$?
[[ $code -eq 0 ]] || fail "the second start ended with $code"
# In front: the top of the window manager's stacking order. (Wine 8 raises
# the window but leaves the keyboard focus where it was; Windows gives it,
# the second start having allowed it with AllowSetForegroundWindow.)
topmost() { xprop -root _NET_CLIENT_LIST_STACKING | awk '{ print $NF }'; }
for _ in $(seq 50); do
    [[ $(( $(topmost) )) -eq $FIRST ]] && break
    sleep 0.1
done
[[ $(( $(topmost) )) -eq $FIRST ]] || fail "the first window did not come to the front"
[[ $(e2e_count_windows "$TITLE") -eq 1 ]] || fail "a second window of the book was opened"
e2e_expect_bytes MD.dat "$BOOKED"
echo "ok: a second start brought the first forward"

# The end of the Windows session.
wineboot --end-session >/dev/null 2>&1 || true
for _ in $(seq 100); do kill -0 "$E2E_APP_PID" 2>/dev/null || break; sleep 0.1; done
code=0
wait "$E2E_APP_PID" || code=$?
E2E_APP_PID=
[[ $code -eq 0 ]] || fail "the program ended with $code at the end of the session"
e2e_expect_bytes MD.dat "$BOOKED"
echo "ok: the end of the session ended the program"
