#!/usr/bin/env bash
# Runs the native libFuzzer targets, one after the other, on one core.
#
#   scripts/fuzz.sh [--min-runs N] [--merge] [--work DIR] DURATION [TARGET...]
#
#   DURATION      time per target: minutes ("3", "0.5") or seconds ("15s")
#   --min-runs N  keeps a target going past DURATION until it has made N
#                 executions in all
#   --merge       afterwards, adds the inputs that reach new coverage to the
#                 target's seed corpus, fuzz/corpus/<target>
#   --work DIR    where each target keeps its corpus (<DIR>/<target>) and its
#                 output (<DIR>/<target>.log); build/fuzz-work by default, kept
#                 from one campaign to the next
#   TARGET        any folder name under fuzz/corpus; all of them by default
#
# Prints, per target, the executions, the coverage libFuzzer reached (cov and
# ft as it prints them) beside the edges the instrumented code has, and the
# findings; a finding's report is shown whole and its input left in
# build/fuzz-artifacts. Exits 1 when a target had a finding.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

usage() {
    sed -n '4,17s/^# \{0,1\}//p' "$0" >&2
    exit 2
}

min_runs=0
merge=0
work=$root/build/fuzz-work
while [ $# -gt 0 ]; do
    case $1 in
        --min-runs) [ $# -ge 2 ] || usage; min_runs=$2; shift 2 ;;
        --merge) merge=1; shift ;;
        --work) [ $# -ge 2 ] || usage; work=$2; shift 2 ;;
        -*) usage ;;
        *) break ;;
    esac
done
[ $# -ge 1 ] || usage
duration=$1
shift
case $duration in
    *s) seconds=${duration%s} ;;
    *) seconds=$(awk -v m="$duration" 'BEGIN { printf "%d", m * 60 }') ;;
esac
[[ $seconds =~ ^[0-9]+$ ]] && [ "$seconds" -gt 0 ] || usage
[[ $min_runs =~ ^[0-9]+$ ]] || usage

if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for folder in fuzz/corpus/*/; do targets+=("$(basename "$folder")"); done
fi
for target in "${targets[@]}"; do
    [ -d "fuzz/corpus/$target" ] || { echo "fuzz: no target $target (no fuzz/corpus/$target)" >&2; exit 2; }
done

[ -f build/native/CMakeCache.txt ] || cmake --preset native >/dev/null
cmake --build --preset native --target "${targets[@]/%/_fuzz}" >/dev/null

artifacts=$root/build/fuzz-artifacts
mkdir -p "$work" "$artifacts"

# run_once <target> <libFuzzer limit>: one libFuzzer run on the target's work
# corpus and its seeds (read only), appending to its log. Sets `executions`.
run_once() {
    local target=$1 limit=$2 log=$work/$1.log run_log
    run_log=$(mktemp)
    local status=0
    build/native/bin/${target}_fuzz "$limit" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$artifacts/$target-" "$work/$target" "fuzz/corpus/$target" >"$run_log" 2>&1 || status=$?
    cat "$run_log" >>"$log"
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run_log" | tail -n 1)
    if [ -z "$executions" ]; then
        # A crash ends the run before the statistics: its last status line counts.
        executions=$(grep -oE '^#[0-9]+' "$run_log" | tail -n 1 | tr -d '#')
    fi
    executions=${executions:-0}
    if [ $status -ne 0 ]; then
        grep -v -E '^#|^INFO: ' "$run_log"
    fi
    rm -f "$run_log"
    return $status
}

summary=()
failed=0
for target in "${targets[@]}"; do
    mkdir -p "$work/$target"
    log=$work/$target.log
    : >"$log"
    if [ "$min_runs" -gt 0 ]; then
        echo "== $target: $seconds s, and on until $min_runs executions =="
    else
        echo "== $target: $seconds s =="
    fi
    start=$(date +%s)
    total=0
    findings=0
    limit=-max_total_time=$seconds
    while :; do
        run_once "$target" "$limit" || findings=1
        total=$((total + executions))
        [ $findings -eq 0 ] && [ "$total" -lt "$min_runs" ] || break
        limit=-runs=$((min_runs - total))
    done
    elapsed=$(($(date +%s) - start))
    edges=$(sed -n 's/^INFO: Loaded 1 modules *(\([0-9]*\) inline 8-bit counters).*/\1/p' "$log" | head -n 1)
    last=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n 1)
    cov=$(sed -n 's/.*cov: \([0-9]*\).*/\1/p' <<<"$last")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
    corpus=$(find "$work/$target" -type f | wc -l)
    if [ $findings -ne 0 ]; then
        failed=1
        found="FINDING (see above; input in $artifacts)"
    else
        found="no finding"
    fi
    line=$(printf '%-22s %12s executions in %5s s  cov %5s  ft %6s  of %6s edges  corpus %5s  %s' \
        "$target" "$total" "$elapsed" "${cov:-?}" "${ft:-?}" "${edges:-?}" "$corpus" "$found")
    echo "$line"
    summary+=("$line")
    if [ $merge -eq 1 ] && [ $findings -eq 0 ]; then
        before=$(find "fuzz/corpus/$target" -type f | wc -l)
        build/native/bin/${target}_fuzz -merge=1 "fuzz/corpus/$target" "$work/$target" >>"$log" 2>&1
        echo "   merged: fuzz/corpus/$target has $(find "fuzz/corpus/$target" -type f | wc -l) inputs (was $before)"
    fi
done

echo
echo "== fuzz summary =="
printf '%s\n' "${summary[@]}"
exit $failed
