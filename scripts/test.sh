#!/usr/bin/env bash
# Sets everything up, builds both configurations with warnings as errors, runs
# every test (native under the sanitizers, Windows under Wine) and a short fuzz
# run, then prints a summary.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/setup.sh

for preset in native windows; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done

source scripts/wine-env.sh
scratch=()
fuzz_pid=
cleanup() {
    if [ -n "$fuzz_pid" ]; then
        # shellcheck disable=SC2046  # one word per process
        kill "$fuzz_pid" $(pgrep -P "$fuzz_pid") 2>/dev/null || true
    fi
    wine_down
    rm -rf "${scratch[@]}"
}
trap cleanup EXIT
# An interrupted run still cleans up on its way out.
trap 'exit 130' INT TERM HUP
# Two lanes: ctest runs the Windows tests two at a time.
wine_up 2

results=$root/build/test-results
rm -rf "$results"
mkdir -p "$results/native" "$results/windows"
status=0

# Short fuzz runs, 10 s per target, each on a corpus of its own that starts
# from its seeds. They keep one core busy for two minutes, while the Windows
# tests mostly wait on Wine: they run beside the tests, at a lower priority,
# and their report follows the tests'. A finding shows the whole report, stack
# included, and leaves the input in build/fuzz-artifacts.
fuzz_work=$(mktemp -d)
fuzz_log=$(mktemp)
scratch+=("$fuzz_work" "$fuzz_log")
nice -n 10 scripts/fuzz.sh --work "$fuzz_work" 10s >"$fuzz_log" 2>&1 &
fuzz_pid=$!

# Each runner has a time limit; ctest's own report says which runners failed,
# which counts those that died before writing their test report.
GTEST_OUTPUT="xml:$results/native/" ctest --preset native --timeout 900 \
    --output-junit "$results/native-runners.xml" || status=1
# Wine sees the Linux file system as drive Z:.
windows_results="Z:${results//\//\\}\\windows\\"
GTEST_OUTPUT="xml:$windows_results" ctest --preset windows --timeout 900 \
    --output-junit "$results/windows-runners.xml" || status=1

echo "== short fuzz runs (10 s per target) =="
fuzz_status=0
wait "$fuzz_pid" || fuzz_status=$?
fuzz_pid=
cat "$fuzz_log"
[ $fuzz_status -eq 0 ] || status=1

python3 scripts/summarize_tests.py "$results" || status=1
exit $status
