# Sourced: gives this shell an X display of its own with the German layout, a private Wine
# prefix for one ABI (scripts/abi.sh) and a persistent wineserver, and takes them all down again
# when the shell exits. After desktop_start ABI, "$KORVALT_WINE" runs that ABI's exes.

desktop_cleanup() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "${WINEPREFIX}" ]; then
        wineserver -k >/dev/null 2>&1 || true
        rm -rf "${KORVALT_DESKTOP_DIR}"
    fi
    [ -n "${KORVALT_XVFB_PID:-}" ] && kill "${KORVALT_XVFB_PID}" 2>/dev/null || true
}

# Runs a set-up step with its output in the step log; on failure shows both and fails.
desktop_step() {
    local what=$1
    shift
    if ! "$@" </dev/null >>"$KORVALT_DESKTOP_LOG" 2>&1; then
        tail -n 30 "$KORVALT_DESKTOP_LOG" >&2
        echo "desktop: FAILED: $what" >&2
        return 1
    fi
}

desktop_start() {
    local abi=$1
    trap desktop_cleanup EXIT
    trap 'exit 130' INT TERM HUP
    KORVALT_DESKTOP_DIR=$(mktemp -d /tmp/korvalt-wine.XXXXXX)
    KORVALT_DESKTOP_LOG="$KORVALT_DESKTOP_DIR/desktop.log"

    # Xvfb takes the first free display itself: desktops started side by side never share one.
    local displayFile="$KORVALT_DESKTOP_DIR/display"
    Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1024x24 3>"$displayFile" \
        >>"$KORVALT_DESKTOP_LOG" 2>&1 &
    KORVALT_XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$displayFile" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(head -n 1 "$displayFile")"
    local answered=0
    for _ in $(seq 100); do
        xdpyinfo >/dev/null 2>&1 && answered=1 && break
        sleep 0.1
    done
    if [ "$answered" -ne 1 ]; then
        cat "$KORVALT_DESKTOP_LOG" >&2
        echo "desktop: FAILED: Xvfb on display $DISPLAY did not answer within 10 s" >&2
        return 1
    fi
    desktop_step "setting the German keyboard layout (setxkbmap de)" setxkbmap de || return 1

    export KORVALT_WINE
    KORVALT_WINE=$(abi_loader "$abi")
    export WINELOADER=$KORVALT_WINE
    export WINEPREFIX="${KORVALT_DESKTOP_DIR}/prefix"
    mkdir -p "${WINEPREFIX}"
    export WINEARCH
    WINEARCH=$(abi_winearch "$abi")
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    # Started outside ctest: a wineserver born inside it would hold ctest's pipe open.
    desktop_step "starting a persistent wineserver" wineserver -p || return 1
    desktop_step "making the $WINEARCH Wine prefix with $KORVALT_WINE" "$KORVALT_WINE" wineboot -i ||
        return 1
    # Without a window manager, hiding or destroying a managed window waits 2 s for it.
    desktop_step "switching off Wine's window management" \
        "$KORVALT_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f || return 1
    # The desktop process that wineboot started (it draws the tray) read the key before it was
    # set: a fresh server starts it anew when it is needed.
    wineserver -k >/dev/null 2>&1 && wineserver -w
    desktop_step "restarting the persistent wineserver" wineserver -p || return 1
    "$KORVALT_WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
}
