#!/usr/bin/env bash
# quorvane-probe and the program against fake_fsuipc_server.py, a server written from
# docs/posix-link-protocol.md alone.
# Usage: python_server_check.sh probe-twice PROBE
#        python_server_check.sh reconnection PROGRAM
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mode=$1
binary=$2
fail() { echo "python server check ($mode): $*" >&2; exit 1; }

root=$(mktemp -d /tmp/quorvane-pyserver-XXXXXX)
server=""
program=""
cleanup() {
  [ -n "$program" ] && kill -KILL "$program" 2>/dev/null || true
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT
chmod 700 "$root"
export XDG_RUNTIME_DIR=$root

# Starts the server at a position; waits until it listens.
start_server() {
  rm -f "$root/ready"
  python3 "$here/fake_fsuipc_server.py" "$@" --ready-file "$root/ready" &
  server=$!
  for _ in $(seq 100); do [ -e "$root/ready" ] && return 0; sleep 0.1; done
  fail "the server did not start"
}
stop_server() {
  kill "$server"
  wait "$server" || fail "the server did not end well"
  server=""
}

case "$mode" in
probe-twice)
  start_server --lat 50.0875 --lon 14.421 --heading 5
  expected="Connect: Okay
FSUIPC Version: 3.622b
Lat: 50.087500   Lon: 14.421000   H:    4.99"
  # Twice: the first run's write at 0x330A must not spoil the simulator word for the second.
  for run in 1 2; do
    output=$("$binary") || fail "run $run: exit status $?, printed: $output"
    [ "$output" = "$expected" ] || fail "run $run printed: $output"
  done
  stop_server
  echo "quorvane-probe twice against the Python server: as against quorvane-sim"
  ;;
reconnection)
  documents=$root/Documents
  mkdir -p "$documents" "$root/config" "$root/work" "$root/bin"
  echo "XDG_DOCUMENTS_DIR=\"$documents\"" >"$root/config/user-dirs.dirs"
  printf '#!/bin/sh\nexit 0\n' >"$root/bin/xdg-open"
  chmod +x "$root/bin/xdg-open"
  printf '[TForm1]\r\nRxSpinEdit1_Value=10\r\n' >"$root/work/quorvane.INI"
  export XDG_CONFIG_HOME=$root/config PATH=$root/bin:$PATH QT_QPA_PLATFORM=offscreen
  unset DISPLAY WAYLAND_DISPLAY

  start_server --lat 50.1 --lon 14.25 --speed 80
  (cd "$root/work" && exec "$binary") &
  program=$!
  has() { grep -q "$1" "$2" 2>/dev/null; }
  for _ in $(seq 200); do has '14.250000,50.100000,10' "$documents/letadlo.kml" && break; sleep 0.1; done
  has '14.250000,50.100000,10' "$documents/letadlo.kml" || fail "no first update"
  # The server goes away and comes back elsewhere: the next update (10 s after the first) fails,
  # and the retrying (every 5 s) reconnects and updates.
  stop_server
  start_server --lat 51.5 --lon -0.125 --speed 80
  for _ in $(seq 300); do has '\-0.125000,51.500000,10' "$documents/letadlo.kml" && break; sleep 0.1; done
  has '\-0.125000,51.500000,10' "$documents/letadlo.kml" || fail "no update after the reconnection"
  kill -TERM "$program"
  status=0
  wait "$program" || status=$?
  program=""
  [ "$status" -eq 0 ] || fail "the program ended with status $status"
  has '<coordinates>14.250000,50.100000,0 .*-0.125000,51.500000,0 </coordinates>' \
    "$documents/trasa.kml" || fail "the route lacks a flight: $(cat "$documents/trasa.kml")"
  stop_server
  echo "the program against the Python server: reconnected, both flights in the route"
  ;;
*)
  fail "unknown mode"
  ;;
esac
