#!/usr/bin/env bash
# Builds everything under AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize -j "$(nproc)" "$@"
# The Debian package, built for release, installed with apt, run and purged.
scripts/package-debian.sh >/dev/null
tests/e2e/debian_package_check.sh dist/quorvane_*_"$(dpkg --print-architecture)".deb
scripts/test-windows.sh  # the Windows build and its tests under Wine
if [ -n "${CI:-}" ]; then scripts/fuzz.sh 45; fi  # CI: every fuzz target for 45 s
