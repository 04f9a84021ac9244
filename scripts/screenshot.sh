#!/usr/bin/env bash
# Takes a PNG of a capture window while bioclient runs one operation: Wine's
# X11 driver in a prefix of its own, on an Xvfb screen.
#   scripts/screenshot.sh <output.png> <seconds> <SCRIPT_VARIABLE=script> <bioclient arguments...>
# The picture is taken <seconds> after the client starts; the client is ended
# with the prefix's wineserver when it is still running then.
set -euo pipefail
cd "$(dirname "$0")/.."
output=$(readlink -f "$1")
seconds=$2
script=$3
shift 3
mkdir -p "$(dirname "$output")"

FPB_WINE_MODE=x11 xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
    set -euo pipefail
    output=$1 seconds=$2 script=$3
    shift 3
    source scripts/wine-env.sh
    wine_up
    trap wine_down EXIT
    cd build/windows/bin
    env "$script" timeout 120 wine bioclient.exe "$@" </dev/null >/dev/null 2>&1 &
    sleep "$seconds"
    /usr/bin/import -window root "$output.full.png"
    /usr/bin/convert "$output.full.png" -crop 500x500+710+290 +repage "$output"
    rm -f "$output.full.png"
' screenshot "$output" "$seconds" "$script" "$@"
echo "capture window screenshot: $output"
