#!/usr/bin/env bash
# Sets everything up, builds both configurations with warnings as errors, runs
# every test (native under the sanitizers, Windows under Wine) and a short fuzz
# run, then prints a summary.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/setup.sh

for preset in native windows; do
    cmake --preset "$preset" -DFPB_WERROR=ON >/dev/null
    cmake --build --preset "$preset"
done

source scripts/wine-env.sh
wine_up
trap wine_down EXIT

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

echo "== short fuzz run (template texts) =="
corpus=$(mktemp -d)
cp fuzz/corpus/template_text/* "$corpus"/
mkdir -p build/fuzz-artifacts
build/native/bin/template_text_fuzz -max_total_time=15 -print_final_stats=0 -artifact_prefix=build/fuzz-artifacts/ \
    "$corpus" 2>&1 | tail -n 2 || status=1
rm -rf "$corpus"

python3 scripts/summarize_tests.py "$results" || status=1
exit $status
