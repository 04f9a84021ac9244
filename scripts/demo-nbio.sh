#!/usr/bin/env bash
# The NITGEN bridge over the simulated reader: two captures of one finger and
# one of another, matched; then a screenshot of the capture window under Xvfb.
# Expects the windows preset built and the headless Wine prefix up (demo.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$PWD/build/windows/bin
out=$PWD/build/demo
mkdir -p "$out"

capture() {  # capture <session> <finger> <file>
    (cd "$bin" && NBIOSIM_SCRIPT="session=$1;finger=$2;delay=300" timeout 120 wine bioclient.exe capture \
        fpbridge_nbio.dll </dev/null | tr -d '\r') >"$3"
}
match() {
    (cd "$bin" && timeout 120 wine bioclient.exe match fpbridge_nbio.dll "$(timeout 60 winepath -w "$1")" \
        "$(timeout 60 winepath -w "$2")" </dev/null | tr -d '\r')
}

capture 1 3 "$out/finger3-a.txt"
capture 2 3 "$out/finger3-b.txt"
capture 3 5 "$out/finger5.txt"
for f in finger3-a finger3-b finger5; do
    printf '%s (%d characters):\n  %s\n' "$f" "$(tr -d '\n' <"$out/$f.txt" | wc -c)" "$(cat "$out/$f.txt")"
done
echo "FK_VerifyMatch(finger 3, finger 3 again): $(match "$out/finger3-a.txt" "$out/finger3-b.txt")"
echo "FK_VerifyMatch(finger 3, finger 5):       $(match "$out/finger3-a.txt" "$out/finger5.txt")"
for log in "$WINEPREFIX"/drive_c/users/*/kavro_biometria.log; do
    [ -f "$log" ] || continue
    echo "operation log $(timeout 60 winepath -w "$log" 2>/dev/null | tr -d '\r'), last lines:"
    tail -n 4 "$log" | sed 's/^/  /'
    echo "and the warning that each process writes at its first operation over the simulated reader:"
    grep -F "NBioBSP.dll is a simulated reader" "$log" | tail -n 1 | sed 's/^/  /'
done

# The simulated reader draws the finger over six seconds: the picture is taken
# when the ridges are complete.
scripts/screenshot.sh "$out/capture-window.png" 5 "NBIOSIM_SCRIPT=finger=4;delay=6000" capture fpbridge_nbio.dll
