#!/usr/bin/env bash
# Configures and builds Release for every ABI (or $KORVALT_ABI alone): i686 into build/ (or
# $KORVALT_BUILD), x86_64 into its x86_64/ folder. Extra arguments go to the configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/abi.sh
abis=$(korvalt_abis)
for abi in $abis; do
    build=$(abi_build_dir "$abi")
    configure=(cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@")
    # Given again to a configured folder, the toolchain file only draws an "unused" warning.
    [ -f "$build/CMakeCache.txt" ] || configure+=(-DCMAKE_TOOLCHAIN_FILE="$(abi_toolchain "$abi")")
    log=$(mktemp /tmp/korvalt-configure.XXXXXX)
    if ! "${configure[@]}" >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        echo "build.sh: FAILED: configuring the $abi build in $build" >&2
        exit 1
    fi
    # Warnings of the configure step are worth seeing; its progress lines are not.
    grep -A20 -i 'warning' "$log" >&2 || true
    rm -f "$log"
    if ! cmake --build "$build"; then
        echo "build.sh: FAILED: building the $abi build in $build" >&2
        exit 1
    fi
done
# The size of what Korvalt ships, last, for each ABI built.
for abi in $abis; do
    bytes=$(stat -c %s "$(abi_build_dir "$abi")/bin/korvalt.exe")
    # Thousands separated by commas, e.g. 163,840.
    bytes=$(sed -E ':a; s/([0-9])([0-9]{3})($|,)/\1,\2\3/; ta' <<<"$bytes")
    echo "build.sh: $abi korvalt.exe $bytes bytes"
done
