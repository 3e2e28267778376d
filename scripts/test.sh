#!/usr/bin/env bash
# Installs what is missing, builds Korvalt with its tests and benchmarks, runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
KORVALT_BUILD=${KORVALT_BUILD:-build} scripts/build.sh -DKORVALT_TESTS=ON
source scripts/desktop.sh
desktop_start
ctest --test-dir "${KORVALT_BUILD:-build}" --output-on-failure -j2 "$@"
