#!/usr/bin/env bash
# Flies the stand-in simulator's demo circuit and shows what Quorvane reads from it.
# RATE=N speeds the demo flight up N times (default 10). Stop with Ctrl+C.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh
[ -f build/build.ninja ] || cmake --preset default >/dev/null
cmake --build build --target quorvane-sim quorvane-probe >/dev/null

runtime=$(mktemp -d /tmp/quorvane-demo-XXXXXX)
export XDG_RUNTIME_DIR=$runtime
build/bin/quorvane-sim --demo --rate "${RATE:-10}" --ready-file "$runtime/ready" &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -rf "$runtime"' EXIT
for _ in $(seq 100); do [ -e "$runtime/ready" ] && break; sleep 0.05; done

echo "Demo flight running (rate ${RATE:-10}). Ctrl+C stops it."
while true; do
  echo "--- $(date +%T)"
  build/bin/quorvane-probe || true
  sleep 5
done
