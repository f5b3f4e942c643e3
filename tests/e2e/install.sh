#!/usr/bin/env bash
# The per-user install, as a new user meets it: tools/install.sh into a
# temporary HOME and a program folder whose name needs quoting; the desktop
# entry and the AppStream metainfo pass their validators; the program starts,
# known by the launcher's name (its WM_CLASS),
# through the entry's Exec line, parsed as a launcher parses it, and books
# an amount into "MD.dat" in the program folder; a second install keeps the
# book; tools/uninstall.sh removes launcher, icons and program and keeps the
# book; --purge removes the book. Then the refusals, each changing nothing.
# Argument: the application directory of the build (build/app).
source "$(dirname "$0")/lib.sh"

APP_DIR=$(cd "${1:?application directory}" && pwd)
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
export HOME=$E2E_WORK/home KAKEIBO_BUILD_APP=$APP_DIR
unset XDG_DATA_HOME
mkdir -p "$HOME"
SHARE=$HOME/.local/share
E2E_APP='家計 "book" $1 100%'
DIR=$E2E_WORK/$E2E_APP
ENTRY=$SHARE/applications/org.kakeibo.Kakeibo.desktop
METAINFO=$SHARE/metainfo/org.kakeibo.Kakeibo.metainfo.xml
ICONS=("$SHARE"/icons/hicolor/{16x16,32x32,48x48,64x64,128x128}/apps/org.kakeibo.Kakeibo.png)

"$ROOT/tools/install.sh" "$DIR"
for file in "$ENTRY" "$METAINFO" "${ICONS[@]}" "$DIR/kakeibo" "$DIR/libkakeibo_instance.so" "$DIR/Icon.ico" \
    "$DIR/Item.dat"; do
    [[ -f $file ]] || fail "not installed: $file"
done
desktop-file-validate "$ENTRY" || fail "desktop-file-validate refused the entry"
appstreamcli validate --no-net "$METAINFO" || fail "appstreamcli refused the metainfo"
grep -qx 'Name\[ja\]=家計簿' "$ENTRY" || fail "no Japanese name in the entry"
echo "ok: installed and valid"

# Start it as a launcher would, and book 250 into slot 0 (hex fa 00).
mapfile -d '' COMMAND < <(python3 "$(dirname "$0")/exec_line.py" "$ENTRY")
[[ ${#COMMAND[@]} -eq 1 && ${COMMAND[0]} == "$DIR/kakeibo" ]] || fail "Exec runs ${COMMAND[*]}"
e2e_start_display
QT_QPA_PLATFORM=xcb "${COMMAND[@]}" >>"$E2E_WORK/program.log" 2>&1 &
E2E_APP_PID=$!
E2E_PIDS+=("$E2E_APP_PID")
e2e_window 'QEN - '
# The desktop matches the window to its launcher: its WM_CLASS is the
# launcher's StartupWMClass, which is the launcher's own name.
WM_CLASS=$(xprop -id "$WID" WM_CLASS | sed -n 's/.*= "\(.*\)", "\(.*\)"$/\2/p')
grep -qx "StartupWMClass=$WM_CLASS" "$ENTRY" || fail "WM_CLASS $WM_CLASS is not the launcher's StartupWMClass"
[[ $WM_CLASS.desktop == "$(basename "$ENTRY")" ]] || fail "WM_CLASS $WM_CLASS does not name the launcher $ENTRY"
echo "ok: WM_CLASS $WM_CLASS, as the launcher"
CLIENT_HEIGHT=$(twips 3990)
e2e_click "$(twips 1240)" "$(twips 307)" "$CLIENT_HEIGHT"
e2e_type 250
e2e_click "$(twips 630)" "$(twips 1252)" "$CLIENT_HEIGHT"
e2e_key Return
e2e_expect_bytes MD.dat "fa000000$(printf '0%.0s' {1..40})"
e2e_key alt+x
e2e_wait_end

# A second install updates the program and keeps the book as it is.
printf '"A","B","C","D","E","F"\r\n' >"$DIR/Item.dat"
BOOK=$(cat "$DIR/MD.dat" "$DIR/Item.dat" | od -An -tx1)
"$ROOT/tools/install.sh" "$DIR" >/dev/null
[[ $(cat "$DIR/MD.dat" "$DIR/Item.dat" | od -An -tx1) == "$BOOK" ]] || fail "a second install changed the book"
echo "ok: a second install keeps the book"

# Uninstalling removes everything but the book, and says where it is.
said=$("$ROOT/tools/uninstall.sh" "$DIR")
for file in "$ENTRY" "$METAINFO" "${ICONS[@]}" "$DIR/kakeibo" "$DIR/libkakeibo_instance.so" "$DIR/Icon.ico"; do
    [[ ! -e $file ]] || fail "left behind: $file"
done
[[ $(cat "$DIR/MD.dat" "$DIR/Item.dat" | od -An -tx1) == "$BOOK" ]] || fail "uninstalling changed the book"
[[ $said == *"$DIR/MD.dat"* && $said == *"$DIR/Item.dat"* ]] || fail "uninstall did not say what it kept: $said"
"$ROOT/tools/uninstall.sh" --purge "$DIR" >/dev/null
[[ ! -e $DIR ]] || fail "--purge left $DIR"
echo "ok: uninstall keeps the book, --purge removes it"

# Refusals: each ends with a message and changes nothing.
snapshot() { (cd "$E2E_WORK" && find . -path ./program.log -prune -o -print | sort && find . -type f -exec md5sum {} + | sort); }
refused() {
    local case=$1 reason=$2
    shift 2
    local before status=0 said
    before=$(snapshot)
    said=$("$@" 2>&1) || status=$?
    [[ $status -ne 0 ]] || fail "$case: not refused"
    [[ $said == *"$reason"*"nothing was changed"* ]] || fail "$case: no clear message: $said"
    [[ $(snapshot) == "$before" ]] || fail "$case: something changed"
    echo "ok: refused, $case"
}
touch "$E2E_WORK/a file"
mkdir -m 555 "$E2E_WORK/read-only"
refused "a newline in DIR" "control character" "$ROOT/tools/install.sh" "$E2E_WORK/two"$'\n'"lines"
refused "a tab in DIR" "control character" "$ROOT/tools/install.sh" "$E2E_WORK/a"$'\t'"tab"
refused "DIR is a file" "is not a folder" "$ROOT/tools/install.sh" "$E2E_WORK/a file"
refused "uninstall from a file" "is not a folder" "$ROOT/tools/uninstall.sh" "$E2E_WORK/a file"
if [[ $(id -u) -eq 0 ]]; then
    # Permissions bind only an ordinary user: "nobody" runs a copy of the
    # scripts and the build, wherever the checkout lies.
    COPY=$E2E_WORK/checkout
    mkdir -p "$COPY/build"
    cp -r "$ROOT/tools" "$ROOT/app" "$COPY/"
    cp -r "$APP_DIR" "$COPY/build/app"
    chmod -R a+rX "$E2E_WORK"
    refused "DIR not writable" "is not writable" setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env HOME="$HOME" KAKEIBO_BUILD_APP="$COPY/build/app" "$COPY/tools/install.sh" "$E2E_WORK/read-only/book"
else
    refused "DIR not writable" "is not writable" "$ROOT/tools/install.sh" "$E2E_WORK/read-only/book"
fi
