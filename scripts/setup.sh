#!/usr/bin/env bash
# Installs everything the project needs on a fresh Debian 12 machine, then
# builds the Windows libraries that Debian has no mingw build of (with
# --no-tests, GoogleTest is left for a later run). Idempotent: a second run
# only checks.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake ninja-build g++ python3 dpkg-dev pkg-config file
    clang-14 libclang-rt-14-dev
    gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev
    wine wine64 xvfb xauth imagemagick
    googletest libgtest-dev libboost-dev libboost-filesystem-dev nlohmann-json3-dev
    zlib1g-dev libssl-dev libminizip-dev
    openjdk-17-jdk-headless llvm-14
    curl unzip openssl
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q >/dev/null
    apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
fi

scripts/build-mingw-deps.sh "$@"
