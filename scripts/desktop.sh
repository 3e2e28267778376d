# Sourced: gives this shell an X display of its own with the German layout, a private Wine
# prefix and a persistent wineserver, and takes them all down again when the shell exits.

desktop_cleanup() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "${WINEPREFIX}" ]; then
        wineserver -k >/dev/null 2>&1 || true
        rm -rf "${KORVALT_DESKTOP_DIR}"
    fi
    [ -n "${KORVALT_XVFB_PID:-}" ] && kill "${KORVALT_XVFB_PID}" 2>/dev/null || true
}

desktop_start() {
    trap desktop_cleanup EXIT
    trap 'exit 130' INT TERM HUP

    local display=90
    while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
        display=$((display + 1))
    done
    Xvfb ":${display}" -noreset -nolisten tcp -screen 0 1280x1024x24 >/dev/null 2>&1 &
    KORVALT_XVFB_PID=$!
    export DISPLAY=":${display}"
    for _ in $(seq 100); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
    setxkbmap de

    KORVALT_DESKTOP_DIR=$(mktemp -d /tmp/korvalt-wine.XXXXXX)
    export WINEPREFIX="${KORVALT_DESKTOP_DIR}/prefix"
    mkdir -p "${WINEPREFIX}"
    export WINEARCH=win32
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    # Started outside ctest: a wineserver born inside it would hold ctest's pipe open.
    wineserver -p </dev/null >/dev/null 2>&1
    wineboot -i </dev/null >/dev/null 2>&1
    # Without a window manager, hiding or destroying a managed window waits 2 s for it.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    # The desktop process that wineboot started (it draws the tray) read the key before it was
    # set: a fresh server starts it anew when it is needed.
    wineserver -k >/dev/null 2>&1 && wineserver -w
    wineserver -p </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}
