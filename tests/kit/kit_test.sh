#!/usr/bin/env bash
# The integrator's kit as an integrator meets it: unpacked, checked against its
# SHA-256 sums, its examples built with MinGW against the packaged headers and
# both kinds of import library, and run under Wine against the packaged DLLs
# with the kit's test reader beside them, through every case of its cookbook.
#   kit_test.sh <kit.zip> <mingw gcc> <javac> <wine-run>
set -euo pipefail
zip=$1 gcc=$2 javac=$3 wine_run=$4
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check <what> <expected> <actual>
    if [ "$2" = "$3" ]; then
        echo "ok   $1"
    else
        echo "FAIL $1"
        diff <(echo "$2") <(echo "$3") | sed 's/^/     /' || true
        failures=$((failures + 1))
    fi
}

cd "$work"
cmake -E tar xf "$zip"
kit=$(basename "$zip" .zip)
cd "$kit"

check "kit contents" "INTEGRATION.md
SHA256SUMS
bin/fpbridge_dpfp.dll
bin/fpbridge_nbio.dll
bin/quorvelant_updater.exe
examples/CaptureAndMatch.java
examples/enroll_verify.c
examples/exec_command.c
examples/fk_calls.c
include/fpbridge_dpfp_api.h
include/fpbridge_nbio_api.h
java/BioApplet.java
java/bioapplet.jar
lib/fpbridge_dpfp.def
lib/fpbridge_dpfp.lib
lib/fpbridge_nbio.def
lib/fpbridge_nbio.lib
lib/libfpbridge_dpfp.dll.a
lib/libfpbridge_nbio.dll.a
test-reader/DPFPApi.dll
test-reader/NBioBSP.dll
test-reader/README.md
test-reader/dpHFtrEx.dll
test-reader/dpHMatch.dll
test-reader/dpfpsim.dll" "$(find . -type f | sed 's|^\./||' | LC_ALL=C sort)"
check "every file summed" "$(find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort)" \
    "$(sed 's/^[0-9a-f]\{64\}  //' SHA256SUMS | LC_ALL=C sort)"
check "sums hold" "" "$(sha256sum --quiet -c SHA256SUMS 2>&1)"

# Each header alone, as a C client compiles it; its BioStatus laid out as the
# libraries lay theirs out.
for header in include/*.h; do
    check "$header is plain C99 on its own, BioStatus as the libraries have it" "" "$("$gcc" -std=c99 -pedantic \
        -Wall -Wextra -Werror -fsyntax-only -x c - 2>&1 <<SOURCE
#include <stddef.h>
#include "$header"
typedef char layout[sizeof(BioStatus) == 24 && offsetof(BioStatus, success) == 4 &&
                    offsetof(BioStatus, matched) == 5 && offsetof(BioStatus, error) == 8 &&
                    offsetof(BioStatus, message) == 16 ? 1 : -1];
SOURCE
)"
done

# A simulator must not pass for a reader: its version block says what it is.
for dll in test-reader/*.dll; do
    check "$dll describes itself as a simulator" 1 \
        "$(tr -d '\0' <"$dll" | grep -a -c -F "$(basename "$dll"): simulated reader, for tests")"
done

mkdir run
cp bin/*.dll test-reader/*.dll run/
build() {  # build <exe> <source> <import library>
    "$gcc" -std=c99 -Wall -Wextra -Werror -Iinclude "$2" "$3" -o "run/$1" 2>&1
}
check "fk_calls.c links with the MinGW import library" "" "$(build fk_calls.exe examples/fk_calls.c lib/libfpbridge_nbio.dll.a)"
check "exec_command.c links with the MSVC import library" "" "$(build exec_command.exe examples/exec_command.c lib/fpbridge_nbio.lib)"
check "enroll_verify.c links with the MinGW import library" "" \
    "$(build enroll_verify.exe examples/enroll_verify.c lib/libfpbridge_dpfp.dll.a)"
check "a client of fpbridge_dpfp links with both import libraries" "" \
    "$(build dpfp_client.exe "$here/dpfp_client.c" lib/libfpbridge_dpfp.dll.a && build dpfp_client_lib.exe "$here/dpfp_client.c" lib/fpbridge_dpfp.lib)"

cd run
run() {  # run <exe> [script of the simulated NITGEN reader]: its output without Wine's notes
    NBIOSIM_SCRIPT=${2:-} "$wine_run" "$1" 2>/dev/null | tr -d '\r'
}

# The cookbook of test-reader/README.md, each case through the example of its
# reader, standard error included. Every row must have its outcome here and
# every outcome its row, so that neither rots.
declare -A outcome=(
    ["NITGEN finger=3"]='captured two templates of 524 and 528 characters
FK_VerifyMatch = 1 (success 1, matched 1, error 0, message "")'
    ["NITGEN finger=3,4"]='captured two templates of 524 and 524 characters
FK_VerifyMatch = 0 (success 1, matched 0, error 0, message "")'
    ["NITGEN block=1;timeout=2000;cancel=300"]='capture failed: ERROR - Fingerprint capture left due to delay to capture a valid digital'
    ["NITGEN block=1;timeout=1000"]='capture failed: ERROR - Fingerprint capture left due to delay to capture a valid digital'
    ["NITGEN delay=500;capture=0x105"]='capture failed: ERROR - Fingerprint capture failed, device not opened'
    ["NITGEN open=0x104"]="capture failed: ERROR - Fingerprint device initialization failed, operation: '2026', error: '260'"
    ["NITGEN verifymatch=12"]='captured two templates of 524 and 532 characters
FK_VerifyMatch = 0 (success 0, matched 0, error 12, message "ERROR - FK_VerifyMatch - Erro na verificacao - 13")'
    ["NITGEN fingr=3"]='NBIOSIM_SCRIPT is malformed, so the simulated reader refuses to start: "fingr=3"
capture failed: ERROR - Fingerprint device not found'
    ["DigitalPersona finger=3"]='FK_Capture: a template of 1092 characters
FK_Verify = 1'
    ["DigitalPersona finger=3,3,3,3,4"]='FK_Capture: a template of 1092 characters
FK_Verify = 0'
    ["DigitalPersona events=touch,cancel@300,hold"]='FK_Capture failed: ""'
    ["DigitalPersona events=touch,disconnect@200,cancel@500,hold"]='FK_Capture failed: ""'
    ["DigitalPersona devices="]='FK_Capture failed: "ERROR (-2147024841) - DPFPCreateAcquisition - An unknown exception occurred.."'
    ["DigitalPersona verify=-11"]='FK_Capture: a template of 1088 characters
FK_Verify = 0'
    ["DigitalPersona needed=6;finger=2,2,2,2,2,2,7"]='FK_Capture: a template of 1092 characters
FK_Verify = 0'
    ["DigitalPersona fingr=3"]='DPFPSIM_SCRIPT is malformed, so the simulated reader refuses to start: "fingr=3"
FK_Capture failed: "ERROR (-8) - OPERATION (2024). Error on FX_init."'
)
cookbook=$(sed -n '/^## Cookbook/,/^## /p' ../test-reader/README.md |
    sed -n 's/^| [^|]* | \([A-Za-z]*\) | `\([^`]*\)` | .*/\1 \2/p')
check "the cookbook has a row for each case" 16 "$(grep -c . <<<"$cookbook")"
while IFS= read -r row; do
    reader=${row%% *} script=${row#* }
    case $reader in
        NITGEN) example=fk_calls.exe variable=NBIOSIM_SCRIPT ;;
        DigitalPersona) example=enroll_verify.exe variable=DPFPSIM_SCRIPT ;;
        *) check "cookbook row '$row' names a reader" "NITGEN or DigitalPersona" "$reader"; continue ;;
    esac
    check "cookbook: $reader \`$script\`" "${outcome[$row]-(no outcome kept for this row)}" \
        "$(env "$variable=$script" "$wine_run" "$example" 2>&1 </dev/null | tr -d '\r' | grep -v '^[0-9a-f]\{4\}:[a-z]*:')"
    unset "outcome[$row]"
done <<<"$cookbook"
check "every outcome kept here has its cookbook row" "" "${!outcome[*]}"
check "exec_command: the second candidate matches" "MATCH: return 1, length 2, result \"12\"
candidate 2 is the stored finger
MATCH alone: return -1, length 36, result \"ERROR - Invalid parameters : 'MATCH'\"" \
    "$(run exec_command.exe "finger=3,4,3" | tail -n 3)"
for client in dpfp_client.exe dpfp_client_lib.exe; do
    check "$client: the library's message buffer, released with FK_FreeText" \
        "FK_DeviceSerial = 0 \"KV-1234\"; FK_VerifyMatch = 0 8 \"ERROR (8) - FK_VerifyMatch - ToTemplateStored.\"; MATCH = -1 \"ERROR - Invalid parameters : 'MATCH'\"" \
        "$(DPFPSIM_SCRIPT="devices=KV-1234" run $client)"
done
cd ..

mkdir classes
check "CaptureAndMatch.java compiles against the jar" "" \
    "$("$javac" -Xlint:all -Werror -cp java/bioapplet.jar -d classes examples/CaptureAndMatch.java 2>&1)"

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
