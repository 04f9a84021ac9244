#!/usr/bin/env bash
# Check mode on a package of 200 files and 200 MB (one file of 100 MB) served
# from 127.0.0.1, beside curl + unzip + sha512sum doing the same work on the
# same data: download manifest and package, unpack, hash the unpacked and the
# installed files. Prints both times and the updater's peak memory.
#
# Peak memory is what Windows (Wine) accounts to the updater process, read by
# bench/updater/run_measured.exe with GetProcessMemoryInfo: the peak working
# set (which includes Wine's own mapped libraries) and the peak private bytes
# (the process's own allocations). `quorvelant_updater -v` is measured the same
# way as the floor that any process has under Wine.
#
# Expects the windows preset built and `source scripts/wine-env.sh; wine_up` done.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${FPB_UPDATER_BIN:-$PWD/build/windows/bin}
for tool in curl unzip sha512sum python3; do
    command -v "$tool" >/dev/null || { echo "missing $tool (apt-get install curl unzip)" >&2; exit 1; }
done
for program in quorvelant_updater.exe run_measured.exe; do
    [ -f "$bin/$program" ] || { echo "missing $bin/$program: build the windows preset first" >&2; exit 1; }
done

work=$(mktemp -d)
server_pid=
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
install=$work/install
www=$work/www
pipeline=$work/pipeline
mkdir -p "$install" "$www" "$pipeline"
source scripts/http-serve.sh
serve_folder "$www"
port=$server_port

echo "== making 200 files, 200 MB =="
python3 - "$www" "$install" "$port" <<'PY'
import json, os, random, sys, zipfile
www, install, port = sys.argv[1], sys.argv[2], sys.argv[3]
rng = random.Random(7)
sizes = [100 << 20] + [(100 << 20) // 199] * 199
with zipfile.ZipFile(f"{www}/output.zip", "w", zipfile.ZIP_DEFLATED, compresslevel=1) as package:
    for i, size in enumerate(sizes):
        name = f"file{i:03}.dll"
        # Half random (incompressible), half text-like.
        data = os.urandom(size) if i % 2 else (b"quorvelant %d " % i) * (size // 14) + b"x" * (size % 14)
        package.writestr(name, data)
        # Every file is installed; every other one differs from the package.
        with open(f"{install}/{name}", "wb") as f:
            f.write(data if i % 4 < 2 else data[:-1] + b"!")
with open(f"{www}/update.json", "w") as manifest:
    json.dump({"latest-version": "2.0", "force-update": False,
               "download-url": f"http://127.0.0.1:{port}/output.zip"}, manifest)
PY
echo "package: $(du -m "$www/output.zip" | cut -f1) MB compressed"


now() { date +%s.%N; }

echo "== curl + unzip + sha512sum =="
start=$(now)
(
    cd "$pipeline"
    curl -sf -o update.json "http://127.0.0.1:$port/update.json"
    curl -sf -o output.zip "http://127.0.0.1:$port/output.zip"
    unzip -q -o output.zip -d temp
    rm output.zip
    (cd temp && sha512sum -- *) >unpacked.sha512
    (cd "$install" && sha512sum -- file*.dll) >installed.sha512
)
pipeline_seconds=$(python3 -c "print(f'{$(now) - $start:.2f}')")
echo "seconds=$pipeline_seconds"
changed=$(diff "$pipeline/unpacked.sha512" "$pipeline/installed.sha512" | grep -c '^<' || true)
echo "files that differ: $changed"

echo "== quorvelant_updater -check (under Wine) =="
measure() { (cd "$install" && wine "$bin/run_measured.exe" quorvelant_updater.exe "$@" </dev/null | tr -d '\r'); }
start=$(now)
updater_line=$(measure -check "http://127.0.0.1:$port/update.json" -version 1.0)
updater_seconds=$(python3 -c "print(f'{$(now) - $start:.2f}')")
echo "$updater_line (inside Wine); seconds=$updater_seconds with Wine's start-up"
echo "files prepared: $(ls "$install/temp" | wc -l)"
echo "phases, from the log:"
grep -E "Downloading file|Extracting file|Checking extracted|finished" "$install/quorvelant_updater.log" |
    cut -d' ' -f2,7- | sed 's/^/  /'
rss=$( (cd "$install" && /usr/bin/time -f %M wine "$bin/quorvelant_updater.exe" -log none \
    -check "http://127.0.0.1:$port/update.json" -version 1.0 </dev/null 2>&1 >/dev/null) | tail -n 1)
echo "peak resident set of the Wine process (kernel VmHWM, second run): $((rss / 1024)) MB"
echo "floor, quorvelant_updater -v: $(measure -v | tail -n 1)"

echo "== result =="
python3 -c "print(f'updater {$updater_seconds} s, pipeline {$pipeline_seconds} s, ratio {$updater_seconds / $pipeline_seconds:.2f} (goal <= 1.3)')"
