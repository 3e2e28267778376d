#!/usr/bin/env bash
# Configures and builds into build/ (or $KORVALT_BUILD); extra arguments go to the configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${KORVALT_BUILD:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
      -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build "$build"
