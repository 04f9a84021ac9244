#!/usr/bin/env bash
# Makes the integrator's kit, dist/kavro-biometria-<version>-win64.zip, with the
# bridges' version (bridge/resources/CMakeLists.txt): sets everything up, builds
# the Windows deliverables and the kit (CMake target `kit`), and copies it to
# dist/. kit/INTEGRATION.md is the guide inside it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target kit
zip=$(sed -n 's/^KIT_ZIP:INTERNAL=//p' build/windows/CMakeCache.txt)
mkdir -p dist
cp "$zip" dist/
echo "dist/$(basename "$zip")"
