#!/usr/bin/env bash
# Times the program from its start to the first letadlo.kml written, off-screen, against
# quorvane-sim, and compares its resident memory with an empty Qt window's, in the same run.
# Usage: bench/program_startup.sh [RUNS]   (needs the default build: cmake --preset default &&
# cmake --build build)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
bin=build/bin
work=$(mktemp -d /tmp/quorvane-startup-XXXXXX)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/runtime" "$work/config" "$work/Documents"
chmod 700 "$work/runtime"
echo "XDG_DOCUMENTS_DIR=\"$work/Documents\"" > "$work/config/user-dirs.dirs"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY

"$bin/quorvane-sim" --lat 50.0875 --lon 14.421 --speed 80 --ready-file "$work/ready" &
while [ ! -e "$work/ready" ]; do sleep 0.01; done

rss() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }
times=()
for _ in $(seq "$runs"); do
  rm -f "$work/Documents/letadlo.kml"
  start=$(date +%s%N)
  (cd "$work" && exec "$OLDPWD/$bin/quorvane") &
  pid=$!
  while [ ! -e "$work/Documents/letadlo.kml" ]; do sleep 0.001; done
  times+=($(( ($(date +%s%N) - start) / 1000000 )))
  sleep 1
  program_rss=$(rss "$pid")
  kill -TERM "$pid"; wait "$pid" || true
done
"$bin/empty_qt_window" &
empty=$!
sleep 2
empty_rss=$(rss "$empty")
kill "$empty"; wait "$empty" 2>/dev/null || true

sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "start to first letadlo.kml, ms (${runs} runs): min ${sorted[0]}, median ${sorted[$((runs / 2))]}, max ${sorted[$((runs - 1))]}"
echo "resident memory: quorvane ${program_rss} KiB, empty Qt window ${empty_rss} KiB"
