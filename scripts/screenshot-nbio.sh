#!/usr/bin/env bash
# Takes a PNG of the NITGEN capture window with a simulated finger in its image
# pane: Wine's X11 driver in a prefix of its own, on an Xvfb screen.
#   scripts/screenshot-nbio.sh <output.png>
set -euo pipefail
cd "$(dirname "$0")/.."
output=$(readlink -f "${1:-build/demo/capture-window.png}")
mkdir -p "$(dirname "$output")"

FPB_WINE_MODE=x11 xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
    set -euo pipefail
    source scripts/wine-env.sh
    wine_up
    trap wine_down EXIT
    cd build/windows/bin
    NBIOSIM_SCRIPT="finger=4;delay=6000" timeout 120 wine bioclient.exe capture fpbridge_nbio.dll \
        </dev/null >/dev/null 2>&1 &
    client=$!
    # The window shows at once; the simulated reader draws the finger over the
    # next seconds. Take the picture when the ridges are complete.
    sleep 5
    /usr/bin/import -window root "$0.full.png"
    wait $client || true
    /usr/bin/convert "$0.full.png" -crop 500x500+710+290 +repage "$0"
    rm -f "$0.full.png"
' "$output"
echo "capture window screenshot: $output"
