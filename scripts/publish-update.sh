#!/usr/bin/env bash
# Publishes a release of the agent for quorvelant_updater.exe: writes the whole
# update.json, with the update statement signed with an Ed25519 key. Uses the
# openssl command-line tool for every digest, key and signature.
#
#   scripts/publish-update.sh --key KEY.pem
#       Makes the key pair KEY.pem when there is none yet (an existing one is
#       kept as it is) and prints its public key: the value of the
#       UPDATER_PUBLIC_KEY build option of the updaters that are to trust it.
#   scripts/publish-update.sh --key KEY.pem --version V --url URL [--force]
#                             [--expires 2027-01-31T00:00:00Z] PACKAGE.zip
#       Prints update.json for PACKAGE.zip, served at URL, as version V:
#       "latest-version", "force-update", "download-url", "sha512", "size",
#       "expires" when given, and "signature", the Ed25519 signature of the
#       update statement those members make (see updater/statement.h).
#
# KEY.pem holds the private key: whoever has it can publish releases that every
# updater built with its public key installs, downgrades included (--force).
# Keep it off the update server.
set -euo pipefail

usage() {
    sed -n '5,15s/^# \{0,1\}//p' "$0" >&2
    exit 2
}
fail() {
    echo "publish-update: $*" >&2
    exit 1
}
command -v openssl >/dev/null || fail "openssl is missing (apt-get install openssl)"

key= version= url= force=false expires= package=
while [ $# -gt 0 ]; do
    case $1 in
        --key) [ $# -ge 2 ] || usage; key=$2; shift 2 ;;
        --version) [ $# -ge 2 ] || usage; version=$2; shift 2 ;;
        --url) [ $# -ge 2 ] || usage; url=$2; shift 2 ;;
        --expires) [ $# -ge 2 ] || usage; expires=$2; shift 2 ;;
        --force) force=true; shift ;;
        -*) usage ;;
        *) [ -z "$package" ] || usage; package=$1; shift ;;
    esac
done
[ -n "$key" ] || usage

if [ -z "$package" ]; then
    [ -z "$version$url$expires" ] && [ "$force" = false ] || usage
    if [ ! -e "$key" ]; then
        (umask 077 && openssl genpkey -algorithm ed25519 -out "$key")
        echo "publish-update: made the key pair $key" >&2
    fi
    # The last 32 bytes of the key's DER form are the raw public key.
    openssl pkey -in "$key" -pubout -outform DER | tail -c 32 | od -An -v -tx1 | tr -d ' \n'
    echo
    exit 0
fi

[ -n "$version" ] && [ -n "$url" ] || usage
[ -f "$key" ] || fail "no key $key; make one with: $0 --key $key"
[ -f "$package" ] || fail "no package $package"
# A control character would make the statement's lines ambiguous.
case $version in *[[:cntrl:]]*) fail "the version holds a control character" ;; esac
case $url in *[[:cntrl:]]*) fail "the URL holds a control character" ;; esac
if [ -n "$expires" ] && ! [[ $expires =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z$ ]]; then
    fail "--expires takes a UTC time such as 2027-01-31T00:00:00Z, not $expires"
fi

sha512=$(openssl dgst -sha512 -r "$package" | cut -d' ' -f1)
size=$(wc -c <"$package" | tr -d ' ')
statement=$(mktemp)
trap 'rm -f "$statement"' EXIT
printf 'KAVRO Quorvelant update statement 1\nlatest-version=%s\nforce-update=%s\nsha512=%s\nsize=%s\nexpires=%s\n' \
    "$version" "$force" "$sha512" "$size" "$expires" >"$statement"
signature=$(openssl pkeyutl -sign -inkey "$key" -rawin -in "$statement" | openssl base64 -A)

# JSON strings: backslashes and double quotes escaped.
json() {
    local text=${1//\\/\\\\}
    printf '"%s"' "${text//\"/\\\"}"
}
{
    printf '{\n'
    printf '  "latest-version": %s,\n' "$(json "$version")"
    printf '  "force-update": %s,\n' "$force"
    printf '  "download-url": %s,\n' "$(json "$url")"
    printf '  "sha512": "%s",\n' "$sha512"
    printf '  "size": %s,\n' "$size"
    [ -z "$expires" ] || printf '  "expires": "%s",\n' "$expires"
    printf '  "signature": "%s"\n' "$signature"
    printf '}\n'
}
