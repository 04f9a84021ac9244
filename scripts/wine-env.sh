# Sourced by the scripts that run Windows programs: the project's Wine prefixes.
#   FPB_WINE_MODE=null (default): headless, Wine's null graphics driver.
#   FPB_WINE_MODE=x11: a second prefix with the X11 driver, for screenshots.
# Prefixes live outside the clone and are made once. Every Wine call here has
# a time limit.
#
# The headless prefix comes in lanes, so that ctest can run two Windows tests
# at once: each lane is a prefix of its own with its own wineserver, so tests
# in two lanes see neither each other's windows nor each other's operation log
# (the bridges write it in the profile folder, which Wine does not let an
# environment variable move). ctest names the lane it gave a test in
# CTEST_RESOURCE_GROUP_0_WINE ("id:1,slots:1"); lane 0, the default, is the
# prefix everything else uses.

FPB_WINE_MODE=${FPB_WINE_MODE:-null}
# FPB_WINE_ROOT holds one prefix per mode and lane.
fpb_wine_root=${FPB_WINE_ROOT:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/fpbridge}
fpb_wine_lane=0
if [[ ${CTEST_RESOURCE_GROUP_0_WINE:-} =~ ^id:([0-9]+), ]]; then
    fpb_wine_lane=${BASH_REMATCH[1]}
fi

# wine_prefix_of <lane>: the prefix of a lane in the current mode.
wine_prefix_of() {
    if [ "$1" = 0 ]; then
        echo "$fpb_wine_root/wine-$FPB_WINE_MODE"
    else
        echo "$fpb_wine_root/wine-$FPB_WINE_MODE-$1"
    fi
}

export WINEPREFIX
WINEPREFIX=$(wine_prefix_of "$fpb_wine_lane")
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
if [ "$FPB_WINE_MODE" = null ]; then
    # No person can close a modal box on a headless run.
    export FPBRIDGE_HEADLESS=1
fi

# Creates $WINEPREFIX when missing. Two callers may ask at once (two tests
# given a lane nobody brought up): the second waits for the first.
wine_ready() {
    [ -f "$WINEPREFIX/.fpb-ready" ] && return 0
    mkdir -p "$WINEPREFIX"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.fpb-ready" ]; then
            timeout 180 wineboot -i </dev/null >/dev/null 2>&1 || true
            if [ "$FPB_WINE_MODE" = null ]; then
                timeout 60 wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
            fi
            timeout 60 wineserver -w || true
            touch "$WINEPREFIX/.fpb-ready"
        fi
    ) 9>"$WINEPREFIX/.fpb-lock"
}

# wine_up [lanes]: makes the prefixes of lanes 0 to lanes-1 (1 by default),
# side by side, and in each starts a persistent wineserver plus Wine's
# background services, detached from our output: started from a pipe they
# would hold it open and every test would wait on them.
wine_up() {
    local lanes=${1:-1} lane
    for ((lane = 0; lane < lanes; ++lane)); do
        (
            WINEPREFIX=$(wine_prefix_of "$lane")
            wine_ready
            timeout 60 wineserver -p </dev/null >/dev/null 2>&1 || true  # already running is fine
            (setsid timeout 120 wineboot </dev/null >/dev/null 2>&1 &)
            timeout 60 wine cmd /c exit </dev/null >/dev/null 2>&1 || true
        ) &
    done
    wait
}

# Stops the wineserver of every lane of the current mode.
wine_down() {
    local prefix
    for prefix in "$(wine_prefix_of 0)" "$(wine_prefix_of 0)"-*; do
        [ -d "$prefix" ] || continue
        WINEPREFIX=$prefix timeout 60 wineserver -k </dev/null >/dev/null 2>&1 || true
    done
}
