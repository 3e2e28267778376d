#!/usr/bin/env bash
# The tests' share of the code: non-blank lines that are not only a // comment, in the git-tracked
# C and C++ sources under tests/ against those under app/, engine/, toolkit/ and runtime/. Prints
# one line and fails above 35%, so that the tests cannot drift back to restating the code.
set -euo pipefail
cd "$(dirname "$0")/.."

readonly kMostPercent=35

lines() {
    git ls-files -- "$@" | grep -E '\.(cpp|cc|h|hpp|c)$' | xargs -r cat | grep -c -v -E '^\s*(//.*)?$' ||
        true
}

tests=$(lines tests)
code=$(lines app engine toolkit runtime)
[ "$code" -gt 0 ] || { echo "test_share.sh: no code lines found" >&2; exit 1; }
echo "tests: $tests of $code code lines ($(awk "BEGIN { printf \"%.1f\", $tests * 100 / $code }")%)"
if [ $((tests * 100)) -gt $((code * kMostPercent)) ]; then
    echo "test_share.sh: FAILED: the tests are above $kMostPercent% of the code" >&2
    exit 1
fi
