#!/usr/bin/env bash
# Installs what is missing, builds Korvalt with its tests and benchmarks, runs every test. Without
# arguments it also runs the headless demonstration of scripts/run.sh, so that cannot break
# unnoticed; arguments go to ctest and skip it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
KORVALT_BUILD=${KORVALT_BUILD:-build} scripts/build.sh -DKORVALT_TESTS=ON
demo=0
if [ $# -eq 0 ]; then
    # Before ctest, whose summary then closes the output; on a virtual display of its own.
    env -u DISPLAY scripts/run.sh || demo=$?
fi
source scripts/desktop.sh
desktop_start
ctest --test-dir "${KORVALT_BUILD:-build}" --output-on-failure -j2 "$@"
if [ "$demo" -ne 0 ]; then
    echo "test.sh: the headless demonstration (scripts/run.sh without a display) failed" >&2
    exit 1
fi
