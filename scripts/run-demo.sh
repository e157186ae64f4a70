#!/usr/bin/env bash
# Runs Quorvane against the stand-in simulator flying its demo circuit near Prague.
# RATE=N flies the demo N times faster than real time (default 1). Stop with Ctrl+C: the route
# is then written as trasa.kml.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh
[ -f build/build.ninja ] || cmake --preset default >/dev/null
cmake --build build --target quorvane quorvane-sim >/dev/null

# A desktop has its Documents folder configured; set it up the same way where it is not.
documents=$(xdg-user-dir DOCUMENTS 2>/dev/null || true)
if [ -z "$documents" ] || [ "$documents" = "$HOME" ]; then
  xdg-user-dirs-update --set DOCUMENTS "$HOME/Documents"
  documents="$HOME/Documents"
fi
mkdir -p "$documents"

runtime=$(mktemp -d /tmp/quorvane-demo-XXXXXX)
export XDG_RUNTIME_DIR=$runtime
build/bin/quorvane-sim --demo --rate "${RATE:-1}" --ready-file "$runtime/ready" &
sim=$!
cleanup() { kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; rm -rf "$runtime"; }
trap cleanup EXIT
for _ in $(seq 100); do [ -e "$runtime/ready" ] && break; sleep 0.05; done

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: the window runs off-screen."
fi
echo "The demo aircraft is flying. Quorvane writes letadlo.kml now and at every update to:"
echo "  $documents"
echo "Ctrl+C ends it and writes the route flown as trasa.kml there."

# The program keeps its window settings in the folder it runs in.
(cd build && exec bin/quorvane) &
program=$!
trap 'kill -TERM "$program" 2>/dev/null || true' INT TERM
while kill -0 "$program" 2>/dev/null; do wait "$program" || true; done
echo "Written: $(ls "$documents"/letadlo.kml "$documents"/trasa.kml 2>/dev/null | tr '\n' ' ')"
