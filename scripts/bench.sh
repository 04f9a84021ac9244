#!/usr/bin/env bash
# Builds and runs the benchmarks (native and under Wine); prints their figures.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build/bench-native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench-native --target codec_bench
cmake --preset windows >/dev/null
cmake --build --preset windows --target codec_bench nbio_match_bench dpfp_match_bench time_to_window_bench quorvelant_updater run_measured
echo "== codec, native (Release) =="
build/bench-native/bin/codec_bench
source scripts/wine-env.sh
wine_up
trap wine_down EXIT
echo "== codec, Windows build under Wine =="
(cd build/windows/bin && wine codec_bench.exe </dev/null | tr -d '\r')
echo "== FK_VerifyMatch through fpbridge_nbio.dll, under Wine =="
(cd build/windows/bin && wine nbio_match_bench.exe </dev/null | tr -d '\r')
echo "== FK_VerifyMatch and FK_VerifyMcsDigital through fpbridge_dpfp.dll, under Wine =="
(cd build/windows/bin && wine dpfp_match_bench.exe </dev/null | tr -d '\r')
echo "== Time to window: FK_Capture until the window shows and the reader starts, under Wine =="
(cd build/windows/bin && wine time_to_window_bench.exe </dev/null | tr -d '\r')
echo "== quorvelant_updater check mode, 200 files / 200 MB over loopback, beside curl + unzip + sha512sum =="
scripts/bench-updater.sh
