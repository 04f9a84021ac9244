#!/usr/bin/env bash
# scripts/package.sh refuses to make a kit whose updater would authenticate
# nothing, unless told so: run from a copy of the scripts in a tree that has
# no build (so no key configured) and no UPDATER_PUBLIC_KEY, it stops before
# any set-up, saying why.
#   package_refusal_test.sh <repository root>
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/scripts"
cp "$1/scripts/package.sh" "$1/scripts/publish-update.sh" "$work/scripts/"
status=0
output=$(cd "$work" && env -u UPDATER_PUBLIC_KEY scripts/package.sh 2>&1) || status=$?
if [ "$status" -ne 1 ] || ! grep -q "would install any package from any server" <<<"$output"; then
    echo "FAIL package.sh without a key: exit $status"
    echo "$output"
    exit 1
fi
status=0
output=$(cd "$work" && env -u UPDATER_PUBLIC_KEY scripts/package.sh --key missing.pem 2>&1) || status=$?
if [ "$status" -ne 1 ] || [ "$output" != "package: no key missing.pem" ]; then
    echo "FAIL package.sh with a missing key file: exit $status"
    echo "$output"
    exit 1
fi
echo "ok   package.sh refuses an unsigned kit unless told so"
