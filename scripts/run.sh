#!/usr/bin/env bash
# Installs what is missing and builds Korvalt. With a display (DISPLAY set) it then runs Korvalt
# under Wine there; without one it shows Korvalt at work on a private virtual display and ends
# (scripts/demo.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
if [ -n "${DISPLAY:-}" ] && ! timeout 5 xdpyinfo >/dev/null 2>&1; then
    echo "run.sh: no X server answers on DISPLAY=${DISPLAY}." >&2
    echo "run.sh: start one, fix DISPLAY, or unset it for the headless demonstration:" >&2
    echo "run.sh:     env -u DISPLAY $0" >&2
    exit 1
fi
scripts/build.sh
if [ -n "${DISPLAY:-}" ]; then
    exec wine "${KORVALT_BUILD:-build}/bin/korvalt.exe"
fi
# Stopped, and so cleaned up, however it hangs: the demonstration needs about a minute.
demo_limit_s=110
status=0
timeout "$demo_limit_s" scripts/demo.sh || status=$?
if [ "$status" -eq 124 ]; then
    echo "run.sh: the demonstration did not end within ${demo_limit_s} s and was stopped" >&2
fi
exit "$status"
