#!/usr/bin/env bash
# Builds Korvalt and runs it under Wine on this machine's X display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
exec wine build/bin/korvalt.exe
