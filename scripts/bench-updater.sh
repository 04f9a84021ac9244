#!/usr/bin/env bash
# Check mode on a package of 200 files and 200 MB (one file of 100 MB) served
# from 127.0.0.1, beside curl + unzip + sha512sum doing the same work on the
# same data: download manifest and package, unpack, hash the unpacked and the
# installed files. Prints both times, each the median of FPB_BENCH_RUNS runs
# (5 unless set) taken alternately, and the updater's peak memory.
#
# Peak memory is what Windows (Wine) accounts to the updater process, read by
# bench/updater/run_measured.exe with GetProcessMemoryInfo: the peak working
# set (which includes Wine's own mapped libraries) and the peak private bytes
# (the process's own allocations). `quorvelant_updater -v` is measured the same
# way as the floor that any process has under Wine. Last, the same check of
# the same release signed (scripts/publish-update.sh), by the updater built
# with the tests' key: the cost of verifying its update statement before the
# download, and the package's size and SHA-512 before unpacking.
#
# Expects the windows preset built (scripts/bench.sh builds what it needs).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
wine_up
bin=${FPB_UPDATER_BIN:-$PWD/build/windows/bin}
for tool in curl unzip sha512sum python3 openssl; do
    command -v "$tool" >/dev/null || { echo "missing $tool (apt-get install curl unzip)" >&2; exit 1; }
done
for program in quorvelant_updater.exe signed_fixture/quorvelant_updater.exe run_measured.exe; do
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
        # Every file is installed; every other one differs from the package,
        # in its last byte (flipped: a random byte may already be any value).
        with open(f"{install}/{name}", "wb") as f:
            f.write(data if i % 4 < 2 else data[:-1] + bytes([data[-1] ^ 1]))
with open(f"{www}/update.json", "w") as manifest:
    json.dump({"latest-version": "2.0", "force-update": False,
               "download-url": f"http://127.0.0.1:{port}/output.zip"}, manifest)
PY
echo "package: $(du -m "$www/output.zip" | cut -f1) MB compressed"


now() { date +%s.%N; }

# One run of the pipeline and one of the updater, each from the same state
# (nothing unpacked yet), alternately: this machine's speed drifts between
# runs, so each side is taken as the median of its runs.
runs=${FPB_BENCH_RUNS:-5}
pipeline_run() {
    rm -rf "$pipeline" && mkdir "$pipeline"
    local start
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
    python3 -c "print(f'{$(now) - $start:.2f}')"
}
measure() { (cd "$install" && wine "$bin/run_measured.exe" quorvelant_updater.exe "$@" </dev/null | tr -d '\r'); }
median() { python3 -c 'import statistics, sys; print(f"{statistics.median(map(float, sys.argv[1:])):.2f}")' "$@"; }

echo "== curl + unzip + sha512sum, and quorvelant_updater -check (under Wine), $runs runs each, alternately =="
pipeline_times=()
updater_times=()
for run in $(seq "$runs"); do
    pipeline_times+=("$(pipeline_run)")
    rm -rf "$install/temp"
    start=$(now)
    updater_line=$(measure -check "http://127.0.0.1:$port/update.json" -version 1.0)
    updater_times+=("$(python3 -c "print(f'{$(now) - $start:.2f}')")")
    echo "run $run: pipeline ${pipeline_times[-1]} s; updater ${updater_times[-1]} s with Wine's start-up, $updater_line (inside Wine)"
done
pipeline_seconds=$(median "${pipeline_times[@]}")
updater_seconds=$(median "${updater_times[@]}")
echo "medians: pipeline $pipeline_seconds s, updater $updater_seconds s"
changed=$(diff "$pipeline/unpacked.sha512" "$pipeline/installed.sha512" | grep -c '^<' || true)
echo "files that differ: $changed"
echo "files prepared: $(ls "$install/temp" | wc -l)"
# The phases of the last run in the log: time and message of each step.
phases() {
    echo "phases, from the log:"
    awk '/Checking for updates for/ { run = "" } { run = run $0 "\n" } END { printf "%s", run }' \
        "$install/quorvelant_updater.log" |
        grep -E "Verifying the update statement|Downloading file|Verifying file|Extracting file|Checking extracted|finished" |
        sed -E 's/^[^ ]+ ([^ ]+) .*\] \[[A-Za-z0-9]+@[0-9]+\] /  \1 /; s/ into .*//'
}
phases
rss=$( (cd "$install" && /usr/bin/time -f %M wine "$bin/quorvelant_updater.exe" -log none \
    -check "http://127.0.0.1:$port/update.json" -version 1.0 </dev/null 2>&1 >/dev/null) | tail -n 1)
echo "peak resident set of the Wine process (kernel VmHWM, second run): $((rss / 1024)) MB"
echo "floor, quorvelant_updater -v: $(measure -v | tail -n 1)"

echo "== quorvelant_updater -check of the same release signed, by the updater built with the test key =="
# The manifest now also carries "sha512", "size" and the signature of the
# update statement: the statement is verified before the download (64 bytes of
# signature over some 300 bytes of statement), the package is measured and
# hashed before it is unpacked.
scripts/publish-update.sh --key tests/updater/test_signing_key.pem --version 2.0 \
    --url "http://127.0.0.1:$port/output.zip" "$www/output.zip" >"$www/update-signed.json"
signed=$(winepath -w "$bin/signed_fixture/quorvelant_updater.exe" 2>/dev/null)
start=$(now)
signed_line=$(cd "$install" && wine "$bin/run_measured.exe" "$signed" \
    -check "http://127.0.0.1:$port/update-signed.json" -version 1.0 </dev/null | tr -d '\r')
signed_seconds=$(python3 -c "print(f'{$(now) - $start:.2f}')")
echo "$signed_line (inside Wine); seconds=$signed_seconds with Wine's start-up"
echo "files prepared: $(ls "$install/temp" | wc -l)"
phases

echo "== result =="
python3 -c "print(f'updater {$updater_seconds} s, pipeline {$pipeline_seconds} s, ratio {$updater_seconds / $pipeline_seconds:.2f}')"
python3 -c "print(f'figure updater_check_vs_pipeline {$updater_seconds / $pipeline_seconds:.2f}')"
echo "figure updater_peak_private_mb $(sed -n 's/.*peak_private_mb=\([0-9.]*\).*/\1/p' <<<"$updater_line")"
# Seconds between two records of the signed run: the checks alone.
between() {
    awk -v from="$1" -v to="$2" '/Checking for updates for/ { f = ""; t = "" }
        index($0, from) && f == "" { f = $2 } index($0, to) && t == "" { t = $2 }
        END { split(f, a, ":"); split(t, b, ":"); printf "%.3f", (b[1] - a[1]) * 3600 + (b[2] - a[2]) * 60 + b[3] - a[3] }' \
        "$install/quorvelant_updater.log"
}
statement_seconds=$(between "Verifying the update statement" "Downloading file http://127.0.0.1:$port/output.zip")
verify_seconds=$(between "Verifying file" "Extracting file")
echo "signed release: $signed_seconds s, of which ${statement_seconds} s to verify its update statement and" \
    "${verify_seconds} s to check the package's size and SHA-512"
python3 -c "print(f'signed check against unsigned: {$signed_seconds / $updater_seconds:.2f}; signed check against the pipeline: {$signed_seconds / $pipeline_seconds:.2f}')"
