# Shared steps of the end-to-end tests: a private Xvfb display, the built
# program copied into a temporary application directory, and clicks at
# positions taken from the windows' twips layout. With E2E_WINE set, the
# program is the Windows build's kakeibo.exe, run by Wine in a prefix of
# the test's own.

set -euo pipefail

E2E_WORK=$(mktemp -d)
E2E_XVFB_PID=
E2E_APP_PID=
E2E_PIDS=()
E2E_USER_HOME=
E2E_PROGRAM=kakeibo
[[ -n ${E2E_WINE:-} ]] && E2E_PROGRAM=kakeibo.exe

# Fails when a program started here printed a sanitizer report.
e2e_check_reports() {
    if grep -qE "ERROR: (Address|Leak)Sanitizer|runtime error:" "$E2E_WORK/program.log" 2>/dev/null; then
        cat "$E2E_WORK/program.log" >&2
        echo "FAIL: sanitizer report" >&2
        return 1
    fi
}

e2e_cleanup() {
    local status=$?
    e2e_check_reports || status=1
    [[ -n $E2E_APP_PID ]] && kill "$E2E_APP_PID" 2>/dev/null || true
    for pid in "${E2E_PIDS[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
    [[ -n $E2E_USER_HOME ]] && e2e_end_user_session
    [[ -n ${E2E_WINE:-} ]] && wineserver -k 2>/dev/null || true
    [[ -n $E2E_XVFB_PID ]] && kill "$E2E_XVFB_PID" 2>/dev/null || true
    [[ -n ${E2E_KEEP:-} ]] || rm -rf "$E2E_WORK"
    exit "$status"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Starts Xvfb on a free display and exports DISPLAY.
e2e_start_display() {
    local fdfile=$E2E_WORK/display
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" 2>/dev/null &
    E2E_XVFB_PID=$!
    for _ in $(seq 50); do
        [[ -s $fdfile ]] && break
        sleep 0.1
    done
    [[ -s $fdfile ]] || fail "Xvfb did not start"
    export DISPLAY=:$(head -n1 "$fdfile")
    [[ -z ${E2E_WINE:-} ]] || e2e_start_wine
}

# A Wine prefix of the test's own, made before the program's first start,
# and a window manager, as Windows has one: without it Wine gives a window
# that opens no keyboard focus.
e2e_start_wine() {
    export WINEPREFIX=$E2E_WORK/prefix WINEDEBUG=-all
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 || fail "wineboot failed"
    wineserver -w
    openbox >/dev/null 2>&1 &
    E2E_PIDS+=("$!")
    disown
}

# Copies the application directory to $E2E_WORK/NAME.
e2e_copy_app() {
    local app_dir=$1 name=$2
    mkdir -p "$E2E_WORK/$name"
    cp "$app_dir/$E2E_PROGRAM" "$app_dir/Icon.ico" "$app_dir/Item.dat" "$E2E_WORK/$name/"
    [[ -n ${E2E_WINE:-} ]] || cp "$app_dir"/libkakeibo_instance.so "$E2E_WORK/$name/"
}

# Starts the program of $E2E_WORK/NAME in the background, with the
# arguments given after NAME; sets LAUNCHED_PID.
e2e_launch() {
    local name=$1
    shift
    if [[ -n ${E2E_WINE:-} ]]; then
        wine "$E2E_WORK/$name/kakeibo.exe" "$@" >>"$E2E_WORK/program.log" 2>&1 &
    else
        QT_QPA_PLATFORM=xcb "$E2E_WORK/$name/kakeibo" "$@" >>"$E2E_WORK/program.log" 2>&1 &
    fi
    LAUNCHED_PID=$!
    E2E_PIDS+=("$LAUNCHED_PID")
}

# Copies the application directory to $E2E_WORK/NAME (default app, as
# E2E_APP names it for the checks) and starts the program in the copy.
e2e_start_program() {
    E2E_APP=${2:-app}
    e2e_copy_app "$1" "$E2E_APP"
    e2e_launch "$E2E_APP"
    E2E_APP_PID=$LAUNCHED_PID
}

# The number of visible windows whose title matches.
e2e_count_windows() {
    xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l
}

# Waits until the number of visible windows whose title matches is COUNT.
e2e_wait_windows() {
    local title=$1 count=$2
    for _ in $(seq 100); do
        [[ $(e2e_count_windows "$title") -eq $count ]] && return 0
        sleep 0.1
    done
    fail "expected $count windows '$title', found $(e2e_count_windows "$title")"
}

# Waits for a window whose title matches, and sets WID, WX, WY, WW, WH.
e2e_window() {
    local title=$1
    WID=
    for _ in $(seq 100); do
        WID=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n1 || true)
        [[ -n $WID ]] && break
        sleep 0.1
    done
    [[ -n $WID ]] || fail "no window '$title'"
    # xwininfo gives the client area's place on the screen with or without
    # a window manager's frame around it.
    eval "$(xwininfo -id "$WID" | sed -n 's/^ *Absolute upper-left X: */WX=/p; s/^ *Absolute upper-left Y: */WY=/p;
                                          s/^ *Width: */WW=/p; s/^ *Height: */WH=/p')"
}

twips() { echo $(( ($1 + 7) / 15 )); }

# Clicks the point (x, y), in pixels, of the client area of window WID,
# whose client area is `client_height` pixels high below any menu bar.
e2e_click() {
    local x=$1 y=$2 client_height=$3
    local menu=$(( WH - client_height ))
    xdotool mousemove $(( WX + x )) $(( WY + menu + y )) sleep 0.1 click 1
    sleep 0.3
}

e2e_type() {
    xdotool type --delay 120 -- "$1"
    sleep 0.3
}

e2e_key() {
    xdotool key --delay 100 "$@"
    sleep 0.3
}

# Presses the close box of window WID (sends it WM_DELETE_WINDOW).
e2e_close() {
    python3 "$(dirname "${BASH_SOURCE[0]}")/close_window.py" "$WID"
    sleep 0.5
}

# Fails unless no visible window's title matches.
e2e_no_window() {
    if xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; then
        fail "window '$1' is still open"
    fi
}

# Waits for the program to end by itself.
e2e_wait_end() {
    for _ in $(seq 100); do
        kill -0 "$E2E_APP_PID" 2>/dev/null || { wait "$E2E_APP_PID" || true; E2E_APP_PID=; return 0; }
        sleep 0.1
    done
    fail "the program did not end"
}

# Waits until a file of the application directory (E2E_APP, default app)
# holds the bytes given in hex, for at most five seconds.
e2e_expect_bytes() {
    local file=$E2E_WORK/${E2E_APP:-app}/$1 expected=$2
    local actual=
    for _ in $(seq 50); do
        actual=$(od -An -v -tx1 "$file" 2>/dev/null | tr -d ' \n')
        [[ $actual == "$expected" ]] && { echo "ok: $1 = $expected"; return 0; }
        sleep 0.1
    done
    fail "$1 holds $actual, expected $expected"
}

# A sanitized build's options go with every copy, its leak suppressions
# copied where "nobody" can read them.
SANITIZER_ENV=()
for var in ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS; do
    [[ -n ${!var:-} ]] && SANITIZER_ENV+=("$var=${!var}")
done
if [[ ${LSAN_OPTIONS:-} =~ suppressions=([^:]+) ]]; then
    cp "${BASH_REMATCH[1]}" "$E2E_WORK/lsan.supp"
    chmod a+r "$E2E_WORK/lsan.supp"
    SANITIZER_ENV+=("LSAN_OPTIONS=${LSAN_OPTIONS/${BASH_REMATCH[1]}/$E2E_WORK/lsan.supp}")
fi

# A desktop user of the tests' own: "nobody" with a HOME and a runtime
# directory in $E2E_WORK, for what refuses to run as root (mozc, sway).
# Sets E2E_USER_HOME and E2E_USER_RUN; e2e_as_user runs a command as that
# user with a plain environment and the variables given.
e2e_user_session() {
    E2E_USER_HOME=$E2E_WORK/home
    E2E_USER_RUN=$E2E_WORK/run-user
    mkdir -p "$E2E_USER_HOME" "$E2E_USER_RUN"
    chmod 700 "$E2E_USER_RUN"
    chmod 755 "$E2E_WORK"
    chown nobody:nogroup "$E2E_USER_HOME" "$E2E_USER_RUN"
}

e2e_as_user() {
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env -i PATH="$PATH" HOME="$E2E_USER_HOME" XDG_RUNTIME_DIR="$E2E_USER_RUN" LANG=C.UTF-8 "$@"
}

# Ends every process the tests' user started, daemons included: they are
# known by the HOME they were given.
e2e_end_user_session() {
    local environ
    for environ in /proc/[0-9]*/environ; do
        if tr '\0' '\n' 2>/dev/null <"$environ" | grep -qxF "HOME=$E2E_USER_HOME"; then
            local pid=${environ#/proc/}
            kill -9 "${pid%/environ}" 2>/dev/null || true
        fi
    done
}

# Copies the application directory to $E2E_WORK/NAME for the tests' user.
e2e_copy_app_for_user() {
    e2e_copy_app "$1" "$2"
    chown -R nobody:nogroup "$E2E_WORK/$2"
}
