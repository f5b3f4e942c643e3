#!/usr/bin/env bash
# The two deliveries of the Windows program under Wine. The zip, unpacked
# into a folder, runs there and keeps its book beside the program. The
# installer, run silently (/S) in a Wine prefix of the test's own, installs
# for this user into %LOCALAPPDATA%\Programs\kakeibo with a Start-menu
# entry "家計簿" and an entry among the user's installed programs; the
# program started from there books; the uninstaller, run silently, takes
# the program, the entry and the shortcut and keeps "MD.dat" and
# "Item.dat"; with /PURGE it takes them too. Argument: the folder that
# tools/windows/package.sh made (build-windows/dist).
E2E_WINE=1
source "$(dirname "$0")/lib.sh"

DIST=${1:?folder of the deliveries}
CLIENT_HEIGHT=$(twips 3990)
KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\kakeibo'
BOOKED="2c010000$(printf '0%.0s' {1..40})"

# Starts the program at a Unix path, books 300 in the first category and
# ends it with Alt+X.
book_and_end() {
    wine "$1" >>"$E2E_WORK/program.log" 2>&1 &
    E2E_APP_PID=$!
    e2e_window 'QEN - '
    e2e_click "$(twips 1240)" "$(twips 307)" "$CLIENT_HEIGHT"
    e2e_type 300
    e2e_click "$(twips 630)" "$(twips 1252)" "$CLIENT_HEIGHT"
    e2e_key Return
    e2e_expect_bytes MD.dat "$BOOKED"
    e2e_key alt+x
    e2e_wait_end
}

windows_path() { wine cmd /c echo "$1" 2>/dev/null | tr -d '\r'; }

e2e_start_display

# The zip.
mkdir -p "$E2E_WORK/unpacked"
unzip -q "$DIST"/kakeibo-*-windows.zip -d "$E2E_WORK/unpacked"
E2E_APP=unpacked/kakeibo book_and_end "$E2E_WORK/unpacked/kakeibo/kakeibo.exe"
echo "ok: the zip runs where it is unpacked"

# The installer.
wine "$(ls "$DIST"/kakeibo-*-setup.exe)" /S
INSTALLED=$(winepath -u "$(windows_path '%LOCALAPPDATA%')\\Programs\\kakeibo")
SHORTCUT=$(winepath -u "$(windows_path '%APPDATA%')\\Microsoft\\Windows\\Start Menu\\Programs\\家計簿.lnk")
for file in kakeibo.exe Icon.ico Item.dat uninstall.exe; do
    [[ -f $INSTALLED/$file ]] || fail "the installer left no $file in $INSTALLED"
done
[[ -f $SHORTCUT ]] || fail "no Start-menu entry 家計簿"
wine reg query "$KEY" /v DisplayName >/dev/null 2>&1 || fail "no entry among the installed programs"
cmp -s "$INSTALLED/Item.dat" "$DIST/../app/Item.dat" || fail "the installed Item.dat differs"
ln -s "$INSTALLED" "$E2E_WORK/installed"
E2E_APP=installed book_and_end "$INSTALLED/kakeibo.exe"
echo "ok: the installed program books"

# The uninstaller keeps the book; asked to purge, it takes it too.
NAMES=$(od -An -v -tx1 "$INSTALLED/Item.dat" | tr -d ' \n')
wine "$INSTALLED/uninstall.exe" /S
for _ in $(seq 100); do [[ -f $INSTALLED/kakeibo.exe ]] || break; sleep 0.2; done
for file in kakeibo.exe Icon.ico; do
    [[ ! -e $INSTALLED/$file ]] || fail "the uninstaller left $file"
done
[[ ! -e $SHORTCUT ]] || fail "the uninstaller left the Start-menu entry"
! wine reg query "$KEY" >/dev/null 2>&1 || fail "the uninstaller left the entry among the installed programs"
E2E_APP=installed e2e_expect_bytes MD.dat "$BOOKED"
E2E_APP=installed e2e_expect_bytes Item.dat "$NAMES"
echo "ok: the uninstaller kept the book"
wine "$(ls "$DIST"/kakeibo-*-setup.exe)" /S
wine "$INSTALLED/uninstall.exe" /S /PURGE
for _ in $(seq 100); do [[ -d $INSTALLED ]] || break; sleep 0.2; done
[[ ! -d $INSTALLED ]] || fail "the uninstaller with /PURGE left $(ls "$INSTALLED")"
echo "ok: the uninstaller with /PURGE took the book"
