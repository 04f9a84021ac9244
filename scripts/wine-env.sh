# Sourced by the scripts that run Windows programs: the project's Wine prefixes.
#   FPB_WINE_MODE=null (default): headless, Wine's null graphics driver.
#   FPB_WINE_MODE=x11: a second prefix with the X11 driver, for screenshots.
# Prefixes live outside the clone and are made once. Every Wine call here has
# a time limit.

FPB_WINE_MODE=${FPB_WINE_MODE:-null}
# FPB_WINE_ROOT holds one prefix per mode.
export WINEPREFIX=${FPB_WINE_ROOT:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/fpbridge}/wine-$FPB_WINE_MODE
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
if [ "$FPB_WINE_MODE" = null ]; then
    # No person can close a modal box on a headless run.
    export FPBRIDGE_HEADLESS=1
fi

# Creates the prefix when missing and starts a persistent wineserver plus
# Wine's background services, detached from our output: started from a pipe
# they would hold it open and every test would wait on them.
wine_up() {
    if [ ! -f "$WINEPREFIX/.fpb-ready" ]; then
        mkdir -p "$WINEPREFIX"
        timeout 180 wineboot -i </dev/null >/dev/null 2>&1 || true
        if [ "$FPB_WINE_MODE" = null ]; then
            timeout 60 wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
        fi
        timeout 60 wineserver -w || true
        touch "$WINEPREFIX/.fpb-ready"
    fi
    timeout 60 wineserver -p </dev/null >/dev/null 2>&1 || true  # already running is fine
    (setsid timeout 120 wineboot </dev/null >/dev/null 2>&1 &)
    timeout 60 wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

wine_down() {
    timeout 60 wineserver -k </dev/null >/dev/null 2>&1 || true
}
