#!/usr/bin/env bash
# Shows Korvalt at work on a private virtual display, then ends: composes a step list through
# Korvalt's window with the mouse and the keyboard as a user would, arms it, plays the list into
# Wine's Notepad with Ctrl+U and checks the text that arrived. Needs the build (scripts/build.sh).
# Exit 0 when the text arrived as composed. Runs the exe of the ABI given as the argument, else of
# the first that runs here (scripts/abi.sh). Leaves screenshots in the demo/ folder of that ABI's
# build: desktop.png after the run, main-window.png of the composed list.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/abi.sh
abi=${1:-}
if [ -z "$abi" ] && ! abi=$(abi_preferred); then
    echo "demo: FAILED: no build of Korvalt can run on this host" >&2
    exit 1
fi
build=$(abi_build_dir "$abi")
out="$build/demo"

# Pause in ms and key/text of each Step, typed into Korvalt's fields as they stand. "Strg an",
# "Home", "Strg aus" send Ctrl+Home: the last text goes to the start of the first line.
steps=(
    1000 "Schöne Grüße"
    200 "Return"
    200 "von Korvalt"
    200 "Strg an"
    200 "Home"
    200 "Strg aus"
    200 "Hallo! "
)
expected=$'Hallo! Schöne Grüße\r\nvon Korvalt'
# A poll of Korvalt's sees the trigger only while the keys are down (under Wine the focused
# program alone learns of a press between two polls); it polls every 100 ms.
trigger_hold=0.2

fail() {
    if [ -n "${DISPLAY:-}" ] && import -window root "$out/desktop.png" 2>/dev/null; then
        echo "Screenshot of the desktop: $(realpath "$out/desktop.png")" >&2
    fi
    echo "demo: FAILED: $*" >&2
    exit 1
}

for file in korvalt.exe demo_probe.exe; do
    [ -f "$build/bin/$file" ] || fail "$build/bin/$file is missing; build first (scripts/build.sh)"
done
mkdir -p "$out"
rm -f "$out"/*.png

source scripts/desktop.sh
desktop_start "$abi" || fail "the virtual desktop for the $abi exe did not start"
echo "Korvalt's $abi exe: $build/bin/korvalt.exe"

probe() {
    "$KORVALT_WINE" "$build/bin/demo_probe.exe" "$@" 2>/dev/null
}

# Runs the command until it succeeds, at most $1 seconds.
within() {
    local limit=$1
    shift
    local end=$((SECONDS + limit))
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.2
    done
}

editor_has() {
    [ "$(probe text)" = "$1" ]
}

rows_are() {
    [ "$(probe rows)" = "$1" ]
}

korvalt_hidden() {
    ! probe gadgets >/dev/null
}

declare -A at # gadget name -> "x y" on the screen, as demo_probe names them

click() {
    local x y
    read -r x y <<<"${at[$1]}"
    xdotool mousemove "$x" "$y" click 1
    sleep 0.2
}

# Clicks into a field, empties it and types the text there.
fill() {
    click "$1"
    xdotool key End shift+Home BackSpace
    xdotool type --delay 40 "$2"
}

notepad_window() {
    xdotool search --onlyvisible --name 'Notepad$' | head -1 | grep .
}

# Clear of the tray window that Wine opens at the top left corner.
cat >"$KORVALT_DESKTOP_DIR/notepad.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Microsoft\Notepad]
"iWindowPosX"=dword:00000040
"iWindowPosY"=dword:00000060
"iWindowPosDX"=dword:000002d0
"iWindowPosDY"=dword:000001e0
EOF
"$KORVALT_WINE" regedit /s "$KORVALT_DESKTOP_DIR/notepad.reg" </dev/null >/dev/null 2>&1
"$KORVALT_WINE" notepad </dev/null >"$out/notepad.log" 2>&1 &
within 30 notepad_window >/dev/null || fail "Notepad did not start"
"$KORVALT_WINE" "$build/bin/korvalt.exe" </dev/null >"$out/korvalt.log" 2>&1 &
within 30 probe gadgets >/dev/null || fail "Korvalt's window did not appear"
while read -r name x y; do
    at[$name]="$x $y"
done < <(probe gadgets)

echo "Steps composed in Korvalt:"
for ((i = 0; i < ${#steps[@]}; i += 2)); do
    pause=${steps[i]} key=${steps[i + 1]}
    printf '  %5s ms  "%s"\n' "$pause" "$key"
    fill pause "$pause"
    fill key "$key"
    click add
    within 5 rows_are $((i / 2 + 1)) || fail "\"Add\" did not add the Step \"$key\""
done
# The repetition row shows only in the expanded window.
click expand
import -window "$(xdotool search --name '^Korvalt ' | head -1)" "$out/main-window.png"
echo "Screenshot of the main window: $(realpath "$out/main-window.png")"

click start
within 10 korvalt_hidden || fail "\"Start...\" did not hide Korvalt's window"
# The X focus settles on another window only a while after one was hidden.
sleep 1.5
notepad=$(notepad_window)
xdotool windowfocus "$notepad" mousemove --window "$notepad" 200 150 click 1
sleep 0.5
echo "Ctrl+U pressed in Notepad"
xdotool keydown ctrl keydown u sleep "$trigger_hold" keyup u keyup ctrl

arrived_ok=0
within 30 editor_has "$expected" && sleep 1 && editor_has "$expected" && arrived_ok=1
echo "Text that arrived in Notepad:"
probe text | sed 's/\r$//; s/^/  | /'
echo
if [ "$arrived_ok" -ne 1 ]; then
    echo "Expected:" >&2
    printf '%s\n' "$expected" | sed 's/\r$//; s/^/  | /' >&2
    fail "the text in Notepad is not the one composed"
fi
import -window root "$out/desktop.png"
echo "Screenshot of the desktop: $(realpath "$out/desktop.png")"
echo "demo: OK, the text arrived as composed"
