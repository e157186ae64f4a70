#!/usr/bin/env bash
# quorvane.exe against fake-xplane.exe under Wine, both through Winsock: X-Plane's port comes
# from the settings file's [Simulators] (read through the Windows profile functions), the status
# bar names X-Plane, letadlo.kml follows the moving aircraft, and a close request writes
# trasa.kml with the route flown and keeps the user's section as written; the program then ends
# with exit status 0 and nothing on its error output.
# Usage: windows_sources_check.sh BIN_DIR, with WINEPREFIX and DISPLAY set by the caller.
set -euo pipefail
bin=$(cd "$1" && pwd)
fail() { echo "windows sources check: $*" >&2; exit 1; }

personal=$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
  /v Personal 2>/dev/null | tr -d '\r' | awk '/Personal/ {sub(/.*REG_SZ[ \t]+/, ""); print}')
[ -n "$personal" ] || fail "the Wine prefix names no Documents folder"
documents=$(winepath -u "$personal" 2>/dev/null)
mkdir -p "$documents"
rm -f "$documents/letadlo.kml" "$documents/trasa.kml"

work=$(mktemp -d /tmp/quorvane-wine-XXXXXX)
xplane=""
cleanup() {
  wine taskkill /f /im quorvane.exe >/dev/null 2>&1 || true
  if [ -n "$xplane" ]; then
    kill "$xplane" 2>/dev/null || true
    wait "$xplane" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

port=$((20000 + RANDOM % 20000))
(cd "$work" && exec wine "$bin/fake-xplane.exe" --port "$port" --lat 50.1 --lon 14.25 \
  --heading 90 --speed 80 --ready-file "$(winepath -w "$work/ready")" >/dev/null 2>&1) &
xplane=$!
for _ in $(seq 300); do [ -e "$work/ready" ] && break; sleep 0.1; done
[ -e "$work/ready" ] || fail "fake-xplane.exe did not start"

printf '[Simulators]\r\nXPlanePort=%s\r\nFlightGearPort=0\r\n[TForm1]\r\nRxSpinEdit1_Value=10\r\n' \
  "$port" > "$work/quorvane.INI"
(cd "$work" && exec wine "$bin/quorvane.exe" --status-log "$(winepath -w "$work/status.log")" \
  >"$work/program.out" 2>"$work/program.err") &
program=$!
# Named first: the Documents folder may hold a letadlo.kml of another run until this one writes.
for _ in $(seq 300); do grep -q $'^0\tX-Plane 12.1.0$' "$work/status.log" 2>/dev/null && break; sleep 0.1; done
grep -q $'^0\tX-Plane 12.1.0$' "$work/status.log" 2>/dev/null ||
  fail "the status bar did not name X-Plane: $(cat "$work/status.log" 2>/dev/null)"
coordinates() { grep -o '<coordinates>[^<]*' "$documents/letadlo.kml" 2>/dev/null || true; }
near() { case "$(coordinates)" in "<coordinates>14.2"*",50.1"*) return 0 ;; esac; return 1; }
for _ in $(seq 100); do near && break; sleep 0.1; done
near || fail "letadlo.kml holds $(coordinates)"
# Two more updates, ten seconds apart, find the aircraft moved on each time.
for update in 1 2; do
  last=$(coordinates)
  for _ in $(seq 300); do [ "$(coordinates)" != "$last" ] && break; sleep 0.1; done
  [ "$(coordinates)" != "$last" ] && near || fail "letadlo.kml did not follow the aircraft ($update)"
done

wine taskkill /im quorvane.exe >/dev/null 2>&1 || fail "no close request could be sent"
for _ in $(seq 300); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program" 2>/dev/null && fail "quorvane.exe did not close"
status=0
wait "$program" || status=$?
[ "$status" -eq 0 ] || fail "quorvane.exe ended with exit status $status; its error output:
$(cat "$work/program.err")"
[ ! -s "$work/program.err" ] || fail "quorvane.exe wrote errors: $(cat "$work/program.err")"

points=$(grep -o ',50\.1[0-9]*,0 ' "$documents/trasa.kml" | wc -l)
[ "$points" -ge 2 ] ||
  fail "trasa.kml holds $points points; the status bar showed: $(cat "$work/status.log")"
kept=$(tr -d '\r' < "$work/quorvane.INI" | head -3 | tr '\n' ' ')
[ "$kept" = "[Simulators] XPlanePort=$port FlightGearPort=0 " ] ||
  fail "the [Simulators] section was not kept as written: $kept"
echo "windows sources check: quorvane.exe found fake-xplane.exe through [Simulators], named and followed it"
