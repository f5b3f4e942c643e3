#!/usr/bin/env bash
# The program by ear: Orca, the screen reader, with speech-dispatcher, run
# as an unprivileged user with a D-Bus session (and so an AT-SPI bus) of
# its own on Xvfb with openbox. Speech goes to a speech-dispatcher module
# that writes each utterance to spoken.log instead of a sound device. The
# tasks are walked by keyboard, step by step from the table below, each
# step waiting until speech has settled; what was spoken in the step must
# hold the words of its row, in their order, and none marked "!".
# Argument: the application directory.
source "$(dirname "$0")/lib.sh"

APP_DIR=${1:?application directory}

e2e_start_display
e2e_user_session
e2e_copy_app_for_user "$APP_DIR" app
SPOKEN=$E2E_USER_HOME/spoken.log

# speech-dispatcher with one module, a generic one whose "synthesis" adds
# the text to spoken.log, and no sound (libao's null driver).
speech=$E2E_USER_HOME/.config/speech-dispatcher
mkdir -p "$speech/modules"
printf '%s\n' 'AddModule "textlog" "sd_generic" "textlog.conf"' 'DefaultModule textlog' \
    'LanguageDefaultModule "ja" "textlog"' 'LanguageDefaultModule "en" "textlog"' \
    'AudioOutputMethod "libao"' >"$speech/speechd.conf"
printf '%s\n' "GenericExecuteSynth \"printf '%s\\\\n' \\'\$DATA\\' >> '$SPOKEN'\"" \
    'GenericLanguage "ja" "ja" "utf-8"' 'GenericLanguage "en" "en" "utf-8"' \
    'AddVoice "ja" "MALE1" "ja"' 'AddVoice "en" "MALE1" "en"' 'DefaultVoice "ja"' >"$speech/modules/textlog.conf"
echo default_driver=null >"$E2E_USER_HOME/.libao"
: >"$SPOKEN"
chown -R nobody:nogroup "$E2E_USER_HOME"

# openbox gives the focus back to the entry window when a window closes.
e2e_as_user DISPLAY="$DISPLAY" openbox >>"$E2E_WORK/session.log" 2>&1 &
E2E_PIDS+=($!)
e2e_as_user dbus-daemon --session --fork --print-address=3 3>"$E2E_WORK/bus" >>"$E2E_WORK/session.log" 2>&1
in_session() {
    e2e_as_user DISPLAY="$DISPLAY" DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$E2E_WORK/bus")" LANGUAGE=ja "$@"
}
in_session setsid orca >>"$E2E_WORK/session.log" 2>&1 &
for _ in $(seq 300); do [[ -s $SPOKEN ]] && break; sleep 0.1; done
[[ -s $SPOKEN ]] || fail "the screen reader did not speak"

# Waits until nothing more was spoken for a second.
settle() {
    local size=-1
    for _ in $(seq 300); do
        [[ $(stat -c %s "$SPOKEN") == "$size" ]] && return 0
        size=$(stat -c %s "$SPOKEN")
        sleep 1
    done
    fail "speech did not settle"
}

# What was spoken since byte FROM of the log, on one line.
heard_since() {
    tail -c +"$(($1 + 1))" "$SPOKEN" | tr '\n' ' '
}

# Whether TEXT holds the WORDS that are not marked "!", in their order.
holds_in_order() {
    local rest=$1 word
    shift
    for word; do
        [[ $word == !* ]] && continue
        [[ $rest == *"$word"* ]] || return 1
        rest=${rest#*"$word"}
    done
}

# Runs one step: ACTION (keys pressed one by one, each heard out; text to
# type; the close box of a window; the first category's name emptied in
# "Item.dat"; the program's start), then checks what was spoken in it
# against WORDS, "|"-separated.
step() {
    local action=$1 expected from heard word
    IFS='|' read -ra expected <<<"$2"
    from=$(stat -c %s "$SPOKEN")
    case $action in
        start) in_session setsid env QT_QPA_PLATFORM=xcb "$E2E_WORK/app/kakeibo" >>"$E2E_WORK/program.log" 2>&1 & ;;
        type\ *) xdotool type --delay 150 -- "${action#type }" ;;
        close\ *) e2e_window "${action#close }"; e2e_close ;;
        blank-first-name) sed -i '1s/.*/""\r/' "$E2E_WORK/app/Item.dat" ;;
        *) for key in $action; do xdotool key "$key"; settle; done ;;
    esac
    for _ in $(seq 60); do
        holds_in_order "$(heard_since "$from")" "${expected[@]}" && break
        sleep 0.5
    done
    settle
    heard=$(heard_since "$from")
    holds_in_order "$heard" "${expected[@]}" || fail "after '$action' did not hear '$2' in order: $heard"
    for word in "${expected[@]}"; do
        [[ $word != !* || $heard != *"${word#!}"* ]] || fail "after '$action' heard '${word#!}': $heard"
    done
    echo "ok: $action: $heard"
}

# The table of steps: what is done, and the words it must bring.
STEPS=(
    "start	QEN - ペルモア - [入力] ダイアログ|金額 テキスト"
    "type 1500	"
    "Tab Down Down space	光熱費"
    "Tab	入力 プッシュボタン"
    # The booking: the focus on the amount box, then the booking itself.
    "Return	金額 テキスト|入力しました。光熱費 1500、合計 1500"
    # The totals by flat review, line by line: each once, with its category.
    "KP_Up$(printf ' KP_Prior%.0s' {1..13})	食費 0|光熱費 1500|合計 1500|!光熱費 光熱費|!合計 合計|!区切り線"
    # A window is announced before its first field.
    "alt+r	訂正 ダイアログ|食費 テキスト|!selected 訂正 ダイアログ"
    "ctrl+a	"
    "type 1000	"
    "shift+Tab	訂正(K) プッシュボタン"
    "Return	QEN - ペルモア - [入力] ダイアログ|金額 テキスト"
    "alt+c	項目変更 ダイアログ|上から 1 番目の項目名 テキスト|!selected 項目変更"
    "close ^項目変更$	金額 テキスト"
    # The version window speaks its text as it opens.
    "alt+a	ダイアログ|QEN ペルモア|Version|温かい感想、バグ情報お待ちしています。"
    "close ﾊﾞｰｼﾞｮﾝ情報	金額 テキスト"
    # A refused booking is heard as its message.
    "type 2147483647	"
    "Tab space Tab Return	「光熱費」の合計 1500 円に 2147483647 円を加えると|この金額は入力しませんでした|!入力しました。"
    "Return	QEN - ペルモア - [入力] ダイアログ|入力 プッシュボタン"
    # With the first category's name empty, its correction field has no name.
    "alt+x	"
    "blank-first-name	"
    "start	金額 テキスト"
    "alt+r	訂正 ダイアログ|テキスト|!の合計"
    "close ^訂正$	金額 テキスト"
)
settle
for row in "${STEPS[@]}"; do
    step "${row%%	*}" "${row#*	}"
done
e2e_expect_bytes MD.dat "e8030000$(printf "0%.0s" {1..8})dc050000$(printf "0%.0s" {1..24})"
