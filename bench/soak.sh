#!/usr/bin/env bash
# Soak run: the program, off-screen, against `quorvane-sim --demo --rate 60` with a 10-second
# interval for SECONDS (default 600). Prints the resident memory, the open descriptors, the route
# and the number of updates after the first update, every minute, and at the end.
# Usage: bench/soak.sh [SECONDS]   (needs the default build: cmake --preset default &&
# cmake --build build)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
bin=$PWD/build/bin
work=$(mktemp -d /tmp/quorvane-soak-XXXXXX)
sim=
program=
cleanup() {
  [ -n "$program" ] && kill -TERM "$program" 2>/dev/null && wait "$program" 2>/dev/null || true
  [ -n "$sim" ] && kill -TERM "$sim" 2>/dev/null && wait "$sim" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/runtime" "$work/config" "$work/Documents"
chmod 700 "$work/runtime"
echo "XDG_DOCUMENTS_DIR=\"$work/Documents\"" > "$work/config/user-dirs.dirs"
# The program reads its window settings from the folder it runs in: a 10-second interval.
printf '[TForm1]\r\nRxSpinEdit1_Value=10\r\n' > "$work/quorvane.INI"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY

"$bin/quorvane-sim" --demo --rate 60 --log "$work/sim.log" --ready-file "$work/ready" &
sim=$!
while [ ! -e "$work/ready" ]; do sleep 0.01; done
(cd "$work" && exec "$bin/quorvane") &
program=$!
while [ ! -e "$work/Documents/letadlo.kml" ]; do sleep 0.01; done
sleep 1  # let the first update and the window's start-up finish

route="$work/Documents/trasa.kml"
# Updates: the sample exchanges (six reads each) in the simulator's log; the handshake's blocks
# are 58 and 44 bytes long.
updates() { awk '$1 != 58 && $1 != 44 { n++ } END { print int(n / 6) }' "$work/sim.log"; }
rss() { awk '/^VmRSS/ { print $2 }' "/proc/$program/status"; }
fds() { ls "/proc/$program/fd" | wc -l; }
route_bytes() { if [ -e "$route" ]; then stat -c %s "$route"; else echo 0; fi; }
tuples() { if [ -e "$route" ]; then grep -o ',0 ' "$route" | wc -l; else echo 0; fi; }
row() {
  printf '%-7s %7s %10s %5s %12s %7s\n' "$1" "$(updates)" "$(rss)" "$(fds)" "$(route_bytes)" \
    "$(tuples)"
}

printf '%-7s %7s %10s %5s %12s %7s\n' seconds updates "VmRSS KiB" fds "trasa bytes" tuples
row 0
start=$(date +%s)
while :; do
  elapsed=$(($(date +%s) - start))
  [ "$elapsed" -ge "$seconds" ] && break
  sleep $((seconds - elapsed < 60 ? seconds - elapsed : 60))
  kill -0 "$program" 2>/dev/null || { echo "the program ended early" >&2; exit 1; }
  row "$(($(date +%s) - start))"
done
kill -TERM "$program"
wait "$program" || true
program=
echo "after SIGTERM: trasa.kml $(route_bytes) bytes, $(tuples) tuples"
