#!/usr/bin/env bash
# The integrator's kit as an integrator meets it: unpacked, checked against its
# SHA-256 sums, its examples built with MinGW against the packaged headers and
# both kinds of import library, and run under Wine against the packaged DLLs
# with the simulated SDK DLLs beside them.
#   kit_test.sh <kit.zip> <mingw gcc> <javac> <wine-run> <simulated SDK DLL>...
set -euo pipefail
zip=$1 gcc=$2 javac=$3 wine_run=$4
shift 4
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
lib/libfpbridge_nbio.dll.a" "$(find . -type f | sed 's|^\./||' | LC_ALL=C sort)"
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

mkdir run
cp bin/*.dll "$@" run/
build() {  # build <exe> <source> <import library>
    "$gcc" -std=c99 -Wall -Wextra -Werror -Iinclude "$2" "$3" -o "run/$1" 2>&1
}
check "fk_calls.c links with the MinGW import library" "" "$(build fk_calls.exe examples/fk_calls.c lib/libfpbridge_nbio.dll.a)"
check "exec_command.c links with the MSVC import library" "" "$(build exec_command.exe examples/exec_command.c lib/fpbridge_nbio.lib)"
check "a client of fpbridge_dpfp links with both import libraries" "" \
    "$(build dpfp_client.exe "$here/dpfp_client.c" lib/libfpbridge_dpfp.dll.a && build dpfp_client_lib.exe "$here/dpfp_client.c" lib/fpbridge_dpfp.lib)"

cd run
run() {  # run <exe> [script of the simulated NITGEN reader]: its output without Wine's notes
    NBIOSIM_SCRIPT=${2:-} "$wine_run" "$1" 2>/dev/null | tr -d '\r'
}
check "fk_calls: one finger twice" "FK_VerifyMatch = 1 (success 1, matched 1, error 0, message \"\")" \
    "$(run fk_calls.exe "finger=3,3" | grep FK_VerifyMatch)"
check "fk_calls: two fingers" "FK_VerifyMatch = 0 (success 1, matched 0, error 0, message \"\")" \
    "$(run fk_calls.exe "finger=3,4" | grep FK_VerifyMatch)"
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
