#!/usr/bin/env bash
# Shows quorvelant_updater.exe at work under Wine: builds an update package,
# serves it from 127.0.0.1, sets up an installation folder with a running
# agent (the test fixture installed as quorvelant.exe), then runs a check and
# an update and shows the exit codes, the files and the log. Last, a second
# updater built with a publisher's key (scripts/sign-package.sh) is shown
# refusing a package with one byte changed and taking the signed one.
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
echo "== Signed packages: an updater built with the publisher's key =="
# The key pair is made once and kept; its public half is built into a second
# quorvelant_updater.exe, which then installs only packages signed with it.
mkdir -p build/demo
key=$PWD/build/demo/signing-key.pem
public_key=$(scripts/sign-package.sh "$key")
echo "public key of $key: $public_key"
signed_build=$PWD/build/demo/updater-signed
echo "building quorvelant_updater.exe with -DUPDATER_PUBLIC_KEY=$public_key in $signed_build"
cmake -S . -B "$signed_build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DUPDATER_PUBLIC_KEY="$public_key" >/dev/null
cmake --build "$signed_build" --target quorvelant_updater >/dev/null
signed_updater=$signed_build/bin/quorvelant_updater.exe

# Release 1.2.0, and a copy of it with one byte of the archive's comment
# changed: still a well-formed zip that would unpack without complaint. Its
# manifest gives the changed copy's own "sha512" and "size", as whoever could
# change the package on the server could; only the signature is the
# publisher's.
python3 - "$www" <<'PY'
import sys, zipfile
www = sys.argv[1]
with zipfile.ZipFile(f"{www}/output-1.2.0.zip", "w", zipfile.ZIP_DEFLATED) as package:
    package.comment = b"KAVRO Quorvelant 1.2.0"
    package.writestr("settings.dll", "settings version 1.2.0\n")
data = bytearray(open(f"{www}/output-1.2.0.zip", "rb").read())
data[-1] ^= 0x01
open(f"{www}/output-1.2.0-changed.zip", "wb").write(data)
PY
members=$(scripts/sign-package.sh "$key" "$www/output-1.2.0.zip")
signature=$(grep '"signature"' <<<"$members")
changed_members="\"sha512\": \"$(sha512sum "$www/output-1.2.0-changed.zip" | cut -d' ' -f1)\",
\"size\": $(wc -c <"$www/output-1.2.0-changed.zip"),
$signature"
write_manifest() {
    printf '{"latest-version": "1.2.0", "force-update": false,\n"download-url": "http://127.0.0.1:%s/%s.zip",\n%s}\n' \
        "$port" "$1" "$2" >"$www/$1.json"
}
write_manifest output-1.2.0 "$members"
write_manifest output-1.2.0-changed "$changed_members"
echo "manifest of the signed release (update.json), members from scripts/sign-package.sh:"
sed 's/^/  /' "$www/output-1.2.0.json"

echo
echo "== Check with the signed updater: the package with one byte changed =="
check_with "$signed_updater" "http://127.0.0.1:$port/output-1.2.0-changed.json" 1.1.0
echo "log:"
grep -E "Verifying|signature|Error verifying" "$install/quorvelant_updater.log" |
    sed -E 's/^.*\] \[([A-Za-z0-9]+)@[0-9]+\] /  \1: /'

echo
echo "== Check with the signed updater: the package as its publisher signed it =="
check_with "$signed_updater" "http://127.0.0.1:$port/output-1.2.0.json" 1.1.0

echo
echo "== quorvelant_updater.log =="
tail -c +4 "$install/quorvelant_updater.log"
