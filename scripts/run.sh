#!/usr/bin/env bash
# Installs what is missing and builds Korvalt. With a display (DISPLAY set) it then runs Korvalt
# under Wine there; without one it shows Korvalt at work on a private virtual display and ends
# (scripts/demo.sh). Either way it runs the i686 exe where the host can execute it, else the
# x86_64 one, and says which.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/abi.sh
if ! scripts/setup.sh; then
    echo "run.sh: FAILED: installing what Korvalt needs (scripts/setup.sh)" >&2
    exit 1
fi
if [ -n "${DISPLAY:-}" ] && ! timeout 5 xdpyinfo >/dev/null 2>&1; then
    echo "run.sh: no X server answers on DISPLAY=${DISPLAY}." >&2
    echo "run.sh: start one, fix DISPLAY, or unset it for the headless demonstration:" >&2
    echo "run.sh:     env -u DISPLAY $0" >&2
    exit 1
fi
if ! abi=$(abi_preferred); then
    echo "run.sh: FAILED: neither build of Korvalt can run on this host" >&2
    exit 1
fi
if ! KORVALT_ABI=$abi scripts/build.sh; then
    echo "run.sh: FAILED: building the $abi exe (scripts/build.sh)" >&2
    exit 1
fi
exe="$(abi_build_dir "$abi")/bin/korvalt.exe"
echo "run.sh: running the $abi exe $exe"
if [ -n "${DISPLAY:-}" ]; then
    loader=$(abi_loader "$abi")
    WINELOADER=$loader exec "$loader" "$exe"
fi
# Stopped, and so cleaned up, however it hangs: the demonstration needs about a minute.
demo_limit_s=110
status=0
timeout "$demo_limit_s" scripts/demo.sh "$abi" || status=$?
if [ "$status" -eq 124 ]; then
    echo "run.sh: the demonstration did not end within ${demo_limit_s} s and was stopped" >&2
fi
exit "$status"
