#!/usr/bin/env bash
# Installs what is missing, builds Korvalt with its tests and benchmarks for every ABI (or
# $KORVALT_ABI alone), and on each ABI this host can execute runs the headless demonstration of
# scripts/run.sh and then every test. Arguments go to ctest and skip the demonstration. Ends with
# one line per ABI (tested, failed, or built only and why) and a total.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/abi.sh

fail() {
    echo "test.sh: FAILED: $*" >&2
    exit 1
}

abis=$(korvalt_abis) || fail "no such ABI"
scripts/setup.sh || fail "installing what the build and the tests need (scripts/setup.sh)"
scripts/build.sh -DKORVALT_TESTS=ON || fail "building (scripts/build.sh)"

summary=()
passed=0
failed=0
tested=0
for abi in $abis; do
    if ! abi_runs_here "$abi"; then
        summary+=("$abi: built only: $KORVALT_WHY_NOT")
        continue
    fi
    tested=$((tested + 1))
    build=$(abi_build_dir "$abi")
    demo=""
    if [ $# -eq 0 ]; then
        echo "test.sh: $abi: the headless demonstration"
        env -u DISPLAY KORVALT_ABI="$abi" scripts/run.sh || demo=" and the headless demonstration failed"
    fi
    echo "test.sh: $abi: the tests in $build"
    log="$build/ctest.log"
    # A subshell of its own: its desktop goes when it ends.
    (
        source scripts/desktop.sh
        desktop_start "$abi" || exit 1
        ctest --test-dir "$build" --output-on-failure -j2 "$@"
    ) 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    counts=$(sed -n 's/.* \([0-9][0-9]*\) tests\{0,1\} failed out of \([0-9][0-9]*\).*/\1 \2/p' "$log" |
             tail -n 1)
    if [ -z "$counts" ]; then
        summary+=("$abi: FAILED: ctest ran no test (exit $status)$demo")
        failed=$((failed + 1))
        continue
    fi
    read -r bad total <<<"$counts"
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    if [ "$status" -eq 0 ] && [ -z "$demo" ]; then
        summary+=("$abi: tested ($((total - bad)) passed)")
    else
        summary+=("$abi: FAILED ($bad of $total tests failed$demo)")
        [ -n "$demo" ] && failed=$((failed + 1))
    fi
done

echo
printf 'test.sh: %s\n' "${summary[@]}"
[ "$tested" -gt 0 ] || fail "no ABI asked for can run on this host"
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
