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
cleanup() {
    wine_down
    rm -rf "${scratch[@]}"
}
trap cleanup EXIT
# An interrupted run still cleans up on its way out.
trap 'exit 130' INT TERM HUP
wine_up

results=$root/build/test-results
rm -rf "$results"
mkdir -p "$results/native" "$results/windows"
status=0
# Each runner has a time limit; ctest's own report says which runners failed,
# which counts those that died before writing their test report.
GTEST_OUTPUT="xml:$results/native/" ctest --preset native --timeout 900 \
    --output-junit "$results/native-runners.xml" || status=1
# Wine sees the Linux file system as drive Z:.
windows_results="Z:${results//\//\\}\\windows\\"
GTEST_OUTPUT="xml:$windows_results" ctest --preset windows --timeout 900 \
    --output-junit "$results/windows-runners.xml" || status=1

# fuzz_briefly <seconds>: runs every fuzz target that long, each on a corpus
# of its own that starts from its seeds. Each target shows one line; a finding
# shows the whole report, stack included, and leaves the input in
# build/fuzz-artifacts.
fuzz_briefly() {
    local work
    work=$(mktemp -d)
    scratch+=("$work")
    echo "== short fuzz runs (${1} s per target) =="
    scripts/fuzz.sh --work "$work" "${1}s"
}
fuzz_briefly 10 || status=1

python3 scripts/summarize_tests.py "$results" || status=1
exit $status
