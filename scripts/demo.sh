#!/usr/bin/env bash
# Sets everything up, builds the Windows deliverables and shows them working
# under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --no-tests
# The configuration that scripts/test.sh uses too, so that it later builds only
# what the demo did not: the tests.
cmake --preset windows >/dev/null
source scripts/wine-env.sh
# A new Wine prefix takes a quarter of a minute, much of it spent waiting on
# Wine's own start: the headless one and the screenshots' one are made while
# the build compiles.
wine_ready &
(FPB_WINE_MODE=x11 && source scripts/wine-env.sh && wine_ready) &
cmake --build --preset windows --target fpbridge_nbio fpbridge_dpfp bioclient quorvelant_updater \
    updater_agent_fixture
wait

wine_up
trap wine_down EXIT

bin=build/windows/bin
run() { (cd "$bin" && timeout 120 wine "$@" </dev/null | tr -d '\r'); }

echo
echo "== The bridge libraries =="
for library in fpbridge_nbio.dll fpbridge_dpfp.dll; do
    file -b "$bin/$library" | sed "s/^/$library: /"
    run bioclient.exe info "$library"
done

echo
echo "== A template packed into text and back =="
run bioclient.exe codec

echo
echo "== The NITGEN bridge over the simulated reader =="
scripts/demo-nbio.sh

echo
echo "== The DigitalPersona bridge over the simulated reader =="
scripts/demo-dpfp.sh

echo
echo "== The updater: a check and an update against a local server =="
scripts/demo-updater.sh
