#!/usr/bin/env bash
# Signs update packages for quorvelant_updater.exe with an Ed25519 key, using
# the openssl command-line tool.
#
#   scripts/sign-package.sh KEY.pem
#       Makes the key pair KEY.pem when there is none yet (an existing one is
#       kept as it is) and prints its public key: the value of the
#       UPDATER_PUBLIC_KEY build option of the updater that is to trust it.
#   scripts/sign-package.sh KEY.pem PACKAGE.zip
#       Prints the manifest members "sha512", "size" and "signature" for
#       PACKAGE.zip, to put beside "latest-version", "force-update" and
#       "download-url" in update.json.
#
# KEY.pem holds the private key: whoever has it can sign packages that every
# updater built with its public key installs. Keep it off the update server.
set -euo pipefail

usage() {
    sed -n '4,13s/^# \{0,1\}//p' "$0" >&2
    exit 2
}
[ $# -eq 1 ] || [ $# -eq 2 ] || usage
command -v openssl >/dev/null || { echo "sign-package: openssl is missing (apt-get install openssl)" >&2; exit 1; }
key=$1

if [ $# -eq 1 ]; then
    if [ ! -e "$key" ]; then
        (umask 077 && openssl genpkey -algorithm ed25519 -out "$key")
        echo "sign-package: made the key pair $key" >&2
    fi
    # The last 32 bytes of the key's DER form are the raw public key.
    openssl pkey -in "$key" -pubout -outform DER | tail -c 32 | od -An -v -tx1 | tr -d ' \n'
    echo
    exit 0
fi

package=$2
[ -f "$key" ] || { echo "sign-package: no key $key; make one with: $0 $key" >&2; exit 1; }
[ -f "$package" ] || { echo "sign-package: no package $package" >&2; exit 1; }
sha512=$(openssl dgst -sha512 -r "$package" | cut -d' ' -f1)
size=$(wc -c <"$package")
signature=$(openssl pkeyutl -sign -inkey "$key" -rawin -in "$package" | openssl base64 -A)
printf '"sha512": "%s",\n"size": %s,\n"signature": "%s"\n' "$sha512" "$size" "$signature"
