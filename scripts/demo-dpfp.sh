#!/usr/bin/env bash
# The DigitalPersona bridge over the simulated reader: a finger enrolled from
# four samples, verified live (the same finger, then another), matched against
# three stored templates; then screenshots of the enrollment and live windows
# under Xvfb. Expects the windows preset built and the headless Wine prefix up
# (demo.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$PWD/build/windows/bin
out=$PWD/build/demo
mkdir -p "$out"

client() {  # client <DPFPSIM_SCRIPT> <bioclient arguments...>
    local script=$1
    shift
    (cd "$bin" && DPFPSIM_SCRIPT="$script" timeout 120 wine bioclient.exe "$@" </dev/null | tr -d '\r')
}
windows_path() { timeout 60 winepath -w "$1" | tr -d '\r'; }

client "session=1;finger=3;delay=40" capture fpbridge_dpfp.dll >"$out/dpfp-finger3.txt"
printf 'FK_Capture, finger 3 enrolled from four samples (%d characters):\n  %s\n' \
    "$(tr -d '\n' <"$out/dpfp-finger3.txt" | wc -c)" "$(cat "$out/dpfp-finger3.txt")"
stored=$(windows_path "$out/dpfp-finger3.txt")
echo "FK_Verify(live finger 3 against it): $(client "session=2;finger=3;delay=40" verify fpbridge_dpfp.dll "$stored")"
echo "FK_Verify(live finger 5 against it): $(client "session=3;finger=5;delay=40" verify fpbridge_dpfp.dll "$stored")"

client "session=4;finger=7;delay=5" capture fpbridge_dpfp.dll >"$out/dpfp-finger7.txt"
client "session=5;finger=3;delay=5" capture fpbridge_dpfp.dll >"$out/dpfp-finger3-again.txt"
client "session=6;finger=9;delay=5" capture fpbridge_dpfp.dll >"$out/dpfp-finger9.txt"
client "session=7;finger=3;delay=5" live fpbridge_dpfp.dll >"$out/dpfp-live3.txt"
echo "FK_VerifyMcsDigital(live finger 3; stored fingers 7, 3, 9): $(client "" mcs fpbridge_dpfp.dll \
    "$(windows_path "$out/dpfp-live3.txt")" "$(windows_path "$out/dpfp-finger7.txt")" \
    "$(windows_path "$out/dpfp-finger3-again.txt")" "$(windows_path "$out/dpfp-finger9.txt")")"
client "session=8;finger=7;delay=5" live fpbridge_dpfp.dll >"$out/dpfp-live7.txt"
client "session=9;finger=9;delay=5" live fpbridge_dpfp.dll >"$out/dpfp-live9.txt"
echo "ExecInClientDLL, MATCH of the enrolled finger 3 against live fingers 7, 3, 9 (\"12\": the 2nd matches):"
client "" exec fpbridge_dpfp.dll MATCH Z "$(cat "$out/dpfp-finger3.txt")" Z "$(cat "$out/dpfp-live7.txt")" \
    Z "$(cat "$out/dpfp-live3.txt")" Z "$(cat "$out/dpfp-live9.txt")" | sed 's/^/  /'
for log in "$WINEPREFIX"/drive_c/users/*/kavro_biometria.log; do
    [ -f "$log" ] || continue
    echo "operation log $(windows_path "$log"), last lines:"
    tail -n 12 "$log" | sed 's/^/  /'
    echo "and the warning that each process writes at its first operation over the simulated reader:"
    grep -F "DPFPApi.dll is a simulated reader" "$log" | tail -n 1 | sed 's/^/  /'
done

# Each window is held for a while once it has drawn a sample: the enrollment
# window at the third of its four samples, the live window at its only one.
scripts/screenshot.sh "$out/dpfp-enrollment-window.png" 6 "DPFPSIM_SCRIPT=finger=6;delay=300" \
    capture fpbridge_dpfp.dll 3:8000
scripts/screenshot.sh "$out/dpfp-live-window.png" 6 "DPFPSIM_SCRIPT=finger=6;delay=300" \
    live fpbridge_dpfp.dll 1:8000
