#!/usr/bin/env bash
# Installs what building and testing Korvalt needs on Debian 12; does nothing when all is there.
# Both MinGW-w64 toolchains and the 64-bit Wine everywhere; the 32-bit Wine only where the host
# can execute 32-bit code.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/abi.sh

packages=(cmake ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64 googletest wine wine64 xvfb
          x11-xkb-utils xdotool x11-utils imagemagick)
if host_runs_i686; then
    packages+=(wine32:i386)
else
    echo "setup.sh: not installing the 32-bit Wine: $KORVALT_I686_WHY_NOT" >&2
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
log=$(mktemp /tmp/korvalt-setup.XXXXXX)
if ! { $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
        $sudo apt-get install -y -qq "${missing[@]}"; } >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "setup.sh: FAILED: installing ${missing[*]}" >&2
    exit 1
fi
rm -f "$log"
