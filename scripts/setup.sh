#!/usr/bin/env bash
# Installs what building and testing Korvalt needs on Debian 12; does nothing when all is there.
set -euo pipefail

packages=(cmake ninja-build g++-mingw-w64-i686 googletest wine wine32:i386 xvfb x11-xkb-utils
          xdotool x11-utils imagemagick)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
