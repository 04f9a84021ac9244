#!/usr/bin/env bash
# Makes the integrator's kit, dist/kavro-biometria-<version>-win64.zip, with the
# bridges' version (bridge/resources/CMakeLists.txt): sets everything up, builds
# the Windows deliverables and the kit (CMake target `kit`), and copies it to
# dist/. kit/INTEGRATION.md is the guide inside it.
#
# The kit's quorvelant_updater.exe prepares only releases that its publisher
# signed, with the public key built into it:
#   scripts/package.sh --key PUBLISHER.pem   the public half of PUBLISHER.pem
#   scripts/package.sh                       UPDATER_PUBLIC_KEY from the environment,
#                                            else the key the build was configured with
#   scripts/package.sh --unsigned            no key: an updater that authenticates
#                                            nothing, for trials only
# Without a key from one of them, and without --unsigned, no kit is made.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
    sed -n '7,14s/^# \{0,1\}//p' "$0" >&2
    exit 2
}
key_file= unsigned=false
while [ $# -gt 0 ]; do
    case $1 in
        --key) [ $# -ge 2 ] || usage; key_file=$2; shift 2 ;;
        --unsigned) unsigned=true; shift ;;
        *) usage ;;
    esac
done
[ -z "$key_file" ] || [ "$unsigned" = false ] || usage

# The key is settled first: a kit that would not be made costs no set-up.
public_key=
if [ -n "$key_file" ]; then
    [ -f "$key_file" ] || { echo "package: no key $key_file" >&2; exit 1; }
elif [ -n "${UPDATER_PUBLIC_KEY:-}" ]; then
    public_key=$UPDATER_PUBLIC_KEY
elif [ "$unsigned" = false ] && [ -f build/windows/CMakeCache.txt ]; then
    public_key=$(sed -n 's/^UPDATER_PUBLIC_KEY:STRING=//p' build/windows/CMakeCache.txt)
fi
if [ -z "$key_file$public_key" ] && [ "$unsigned" = false ]; then
    echo "package: the kit's updater would install any package from any server that answers it." >&2
    echo "package: give --key PUBLISHER.pem (scripts/publish-update.sh --key makes one), set UPDATER_PUBLIC_KEY," >&2
    echo "package: or ask for an updater that authenticates nothing with --unsigned." >&2
    exit 1
fi
scripts/setup.sh --no-tests
[ -z "$key_file" ] || public_key=$(scripts/publish-update.sh --key "$key_file")
cmake --preset windows -DUPDATER_PUBLIC_KEY="$public_key" >/dev/null
cmake --build --preset windows --target kit
zip=$(sed -n 's/^KIT_ZIP:INTERNAL=//p' build/windows/CMakeCache.txt)
mkdir -p dist
cp "$zip" dist/
echo "dist/$(basename "$zip") (its updater: $([ -n "$public_key" ] && echo "key $public_key" || echo "no key, unsigned"))"
