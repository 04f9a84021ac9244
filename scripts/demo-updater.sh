#!/usr/bin/env bash
# Shows quorvelant_updater.exe at work under Wine: builds an update package,
# serves it from 127.0.0.1, sets up an installation folder with a running
# agent (the test fixture installed as quorvelant.exe), then runs a check and
# an update and shows the exit codes, the files and the log. Last, a second
# updater built with a publisher's key (scripts/publish-update.sh) is shown
# taking a release as its publisher stated it, and refusing it replayed under
# a newer version and with an expired statement.
# Expects the windows preset built and `source scripts/wine-env.sh; wine_up` done.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${FPB_UPDATER_BIN:-$PWD/build/windows/bin}
for program in quorvelant_updater.exe agent_fixture/quorvelant.exe; do
    [ -f "$bin/$program" ] || { echo "missing $bin/$program: build the windows preset first" >&2; exit 1; }
done

work=$(mktemp -d)
install=$work/install
www=$work/www
server_pid=
cleanup() {
    # The agent fixture ends by itself when asked through this file.
    [ -d "$install" ] && touch "$install/agent.stop"
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
    sleep 0.5
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$install" "$www"
source scripts/http-serve.sh
serve_folder "$www"
port=$server_port
cp "$bin/agent_fixture/quorvelant.exe" "$install/quorvelant.exe"
printf 'settings version 1.0.0\n' >"$install/settings.dll"
printf 'unchanged notes\n' >"$install/notes.txt"

python3 - "$www" "$port" <<'PY'
import json, sys, zipfile
www, port = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(f"{www}/output.zip", "w", zipfile.ZIP_DEFLATED) as package:
    package.writestr("settings.dll", "settings version 1.1.0\n")   # changed: will be installed
    package.writestr("notes.txt", "unchanged notes\n")             # identical: dropped
    package.writestr("extra.dll", "not installed here\n")          # not installed: dropped
    package.writestr("docs/readme.txt", "in a folder\n")           # in a folder: dropped
with open(f"{www}/update.json", "w") as manifest:
    json.dump({"latest-version": "1.1.0", "force-update": False,
               "download-url": f"http://127.0.0.1:{port}/output.zip"}, manifest)
PY


# Runs an updater program with its arguments in the installation folder.
# Output goes through a file: the agent that an update starts inherits the
# updater's standard streams and would hold a pipe open for its whole life.
run_updater() {
    local program=$1 status=0
    shift
    (cd "$install" && timeout 120 wine "$program" "$@" </dev/null >"$work/output.txt" 2>&1) || status=$?
    tr -d '\r' <"$work/output.txt"
    return $status
}
updater() { run_updater "$bin/quorvelant_updater.exe" "$@"; }
show_exit() { echo "exit code: $1$([ "$1" = 255 ] && echo ' (-1)')"; }
# A check run by an updater program: its exit code and what it prepared.
check_with() {
    local status=0
    run_updater "$1" -check "$2" -version "$3" || status=$?
    show_exit $status
    echo "prepared in temp: $(ls "$install/temp" | tr '\n' ' ')"
}

echo "== Installation folder, agent started =="
(cd "$install" && setsid timeout 300 wine quorvelant.exe </dev/null >/dev/null 2>&1 &)
for _ in $(seq 50); do [ -s "$install/agent.starts" ] && break; sleep 0.1; done
ls -1 "$install"

echo
echo "== quorvelant_updater -v =="
updater -v

echo
echo "== Check: quorvelant_updater -check http://127.0.0.1:$port/update.json -version 1.0.0 =="
check_with "$bin/quorvelant_updater.exe" "http://127.0.0.1:$port/update.json" 1.0.0

echo
echo "== Update: quorvelant_updater -update now =="
status=0
updater -update now || status=$?
show_exit $status
for _ in $(seq 50); do [ "$(wc -l <"$install/agent.starts")" -ge 2 ] && break; sleep 0.1; done
echo "agent starts (process ids): $(tr '\n' ' ' <"$install/agent.starts")"
echo "installation folder:"
ls -1 "$install" | sed 's/^/  /'
echo "settings.dll now: $(cat "$install/settings.dll")"
echo "its backup:       $(cat "$install"/settings.dll.2*)"

echo
echo "== Check again: the installed version is current =="
check_with "$bin/quorvelant_updater.exe" "http://127.0.0.1:$port/update.json" 1.1.0

echo
echo "== Signed releases: an updater built with the publisher's key =="
# The key pair is made once and kept; its public half is built into a second
# quorvelant_updater.exe, which then prepares only releases whose update
# statement (version, force flag, package digest and size, expiry) the
# publisher signed.
mkdir -p build/demo
key=$PWD/build/demo/signing-key.pem
public_key=$(scripts/publish-update.sh --key "$key")
echo "public key of $key: $public_key"
# The publisher's way: the windows preset configured with the key. A copy of
# that build is kept, and the tree goes back to the key it had, so that the
# tests find the updater they expect; each way compiles only the key's object.
tree_key=$(sed -n 's/^UPDATER_PUBLIC_KEY:STRING=//p' build/windows/CMakeCache.txt)
build_updater_with_key() {
    cmake --preset windows -DUPDATER_PUBLIC_KEY="$1" >/dev/null &&
        cmake --build --preset windows --target quorvelant_updater >/dev/null
}
restore_tree_key() {
    build_updater_with_key "$tree_key" ||
        echo "demo-updater: the windows tree still has the demo's key; cmake --preset windows" \
            "-DUPDATER_PUBLIC_KEY=$tree_key puts it back" >&2
}
trap 'restore_tree_key; cleanup' EXIT
signed_updater=$PWD/build/demo/signed-updater/quorvelant_updater.exe
echo "building quorvelant_updater.exe with cmake --preset windows -DUPDATER_PUBLIC_KEY=$public_key," \
    "kept as $signed_updater"
build_updater_with_key "$public_key"
mkdir -p "${signed_updater%/*}"
cp build/windows/bin/quorvelant_updater.exe "$signed_updater"
restore_tree_key
trap cleanup EXIT

python3 - "$www" <<'PY'
import sys, zipfile
with zipfile.ZipFile(f"{sys.argv[1]}/output-1.2.0.zip", "w", zipfile.ZIP_DEFLATED) as package:
    package.writestr("settings.dll", "settings version 1.2.0\n")
PY
scripts/publish-update.sh --key "$key" --version 1.2.0 --url "http://127.0.0.1:$port/output-1.2.0.zip" \
    "$www/output-1.2.0.zip" >"$www/release-1.2.0.json"
echo "update.json of release 1.2.0, from scripts/publish-update.sh:"
sed 's/^/  /' "$www/release-1.2.0.json"
# The same signed members announcing 1.3.0, as whoever can change the
# manifest on its way could; and a release whose statement has expired.
sed 's/"latest-version": "1.2.0"/"latest-version": "1.3.0"/' "$www/release-1.2.0.json" >"$www/replayed.json"
scripts/publish-update.sh --key "$key" --version 1.2.0 --url "http://127.0.0.1:$port/output-1.2.0.zip" \
    --expires 2020-01-31T00:00:00Z "$www/output-1.2.0.zip" >"$www/expired.json"
signed_check() {
    check_with "$signed_updater" "http://127.0.0.1:$port/$1" 1.1.0
    echo "log of this check:"
    awk '/Checking for updates for/ { run = "" } { run = run $0 "\n" } END { printf "%s", run }' \
        "$install/quorvelant_updater.log" | grep -E "statement|Error verifying|ready" |
        sed -E 's/^.*\] \[([A-Za-z0-9]+)@[0-9]+\] /  \1: /'
}

echo
echo "== Check with the signed updater: the 1.2.0 package replayed as version 1.3.0 =="
signed_check replayed.json
echo
echo "== Check with the signed updater: release 1.2.0 with an expired statement =="
signed_check expired.json
echo
echo "== Check with the signed updater: release 1.2.0 as its publisher stated it =="
signed_check release-1.2.0.json

echo
echo "== quorvelant_updater.log =="
tail -c +4 "$install/quorvelant_updater.log"
