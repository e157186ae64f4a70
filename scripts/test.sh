#!/usr/bin/env bash
# Builds everything under AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh
# Compiles go through ccache when it is there: CI and later runs on this machine reuse earlier
# objects (a cold build of every preset takes most of the time budget on two cores).
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache
  # Objects are shared between checkouts in other folders (paths below here are hashed relative).
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize -j "$(nproc)" "$@"
# The Debian package, built for release, installed with apt, run and purged.
scripts/package-debian.sh >/dev/null
tests/e2e/debian_package_check.sh dist/quorvane_*_"$(dpkg --print-architecture)".deb
scripts/test-windows.sh  # the Windows build and its tests under Wine
if [ -n "${CI:-}" ]; then scripts/fuzz.sh 30; fi  # CI: every fuzz target for 30 s
