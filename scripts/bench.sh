#!/usr/bin/env bash
# Builds and runs the benchmarks (native and under Wine), prints their figures,
# then a summary: each figure beside its goal. Reuses the builds that are there;
# configures only a tree that does not exist yet.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
[ -f build/bench-native/CMakeCache.txt ] ||
    cmake -S . -B build/bench-native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench-native --target codec_bench
[ -f build/windows/CMakeCache.txt ] || cmake --preset windows >/dev/null
cmake --build --preset windows --target codec_bench nbio_match_bench dpfp_match_bench time_to_window_bench \
    quorvelant_updater updater_signed_fixture run_measured
source scripts/wine-env.sh
wine_up
figures=$(mktemp)
# The benchmarks write some ten megabytes of records to the operation log of
# this prefix, which the libraries never roll: the log is cut back afterwards to
# what it held before, so that runs do not pile up.
log="$WINEPREFIX/drive_c/users/$(id -un)/kavro_biometria.log"
logSize=$(stat -c %s "$log" 2>/dev/null || echo 0)
trap 'rm -f "$figures"; if [ -f "$log" ]; then truncate -s "$logSize" "$log"; fi; wine_down' EXIT
# Shows a benchmark's output and keeps its figures for the summary.
keep() {
    local line
    while IFS= read -r line; do
        printf '%s\n' "$line"
        if [[ $line == "figure "* ]]; then printf '%s\n' "$line" >>"$figures"; fi
    done
}
windows() { (cd build/windows/bin && wine "$1" </dev/null | tr -d '\r'); }

echo "== codec, native (Release) =="
build/bench-native/bin/codec_bench
echo "== codec, Windows build under Wine =="
windows codec_bench.exe
echo "== FK_VerifyMatch through fpbridge_nbio.dll, under Wine =="
windows nbio_match_bench.exe 2>&1 | keep
echo "== FK_VerifyMatch and FK_VerifyMcsDigital through fpbridge_dpfp.dll, under Wine =="
windows dpfp_match_bench.exe 2>&1 | keep
echo "== Time to window: FK_Capture until the window shows and the reader starts, under Wine =="
windows time_to_window_bench.exe 2>&1 | keep
echo "== quorvelant_updater check mode, 200 files / 200 MB over loopback, beside curl + unzip + sha512sum =="
scripts/bench-updater.sh 2>&1 | keep

echo
echo "== summary =="
awk '
BEGIN {
    goal["nbio_verify_match_added_us"] = 6;           what["nbio_verify_match_added_us"] = "FK_VerifyMatch over its parts, fpbridge_nbio (us)"
    goal["dpfp_verify_match_added_us"] = 6;           what["dpfp_verify_match_added_us"] = "FK_VerifyMatch over its parts, fpbridge_dpfp (us)"
    goal["dpfp_mcs_per_template_vs_match_parts"] = 1.5; what["dpfp_mcs_per_template_vs_match_parts"] = "FK_VerifyMcsDigital per template / parts of one match"
    goal["nbio_time_to_window_ms"] = 12;              what["nbio_time_to_window_ms"] = "time to window and capture, fpbridge_nbio (ms, median)"
    goal["dpfp_time_to_window_ms"] = 12;              what["dpfp_time_to_window_ms"] = "time to window and acquisition, fpbridge_dpfp (ms, median)"
    goal["updater_check_vs_pipeline"] = 0.5;          what["updater_check_vs_pipeline"] = "updater check / curl + unzip + sha512sum"
    goal["updater_peak_private_mb"] = 64;             what["updater_peak_private_mb"] = "updater check, peak private bytes (MB)"
    n = split("nbio_verify_match_added_us dpfp_verify_match_added_us dpfp_mcs_per_template_vs_match_parts " \
              "nbio_time_to_window_ms dpfp_time_to_window_ms updater_check_vs_pipeline updater_peak_private_mb", order, " ")
}
$1 == "figure" { value[$2] = $3 }
END {
    printf "%-58s %10s %8s  %s\n", "figure", "measured", "goal", "met"
    for (i = 1; i <= n; i++) {
        name = order[i]
        if (!(name in value)) { printf "%-58s %10s %8s  %s\n", what[name], "-", "<= " goal[name], "not measured"; continue }
        met = value[name] <= goal[name] ? "yes" : "no"
        printf "%-58s %10s %8s  %s\n", what[name], value[name], "<= " goal[name], met
    }
}' "$figures"
