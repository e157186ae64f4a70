#!/usr/bin/env bash
# quorvane.exe against quorvane-sim.exe under Wine, as a Windows user runs it: "letadlo.kml"
# appears in the Wine user's Documents folder at start, and a close request (WM_CLOSE, which
# Wine's taskkill sends) writes "trasa.kml" and the settings file with its twelve keys, and the
# program then ends with exit status 0 and nothing on its error output.
# Usage: windows_program_check.sh BIN_DIR, with WINEPREFIX and DISPLAY set by the caller.
set -euo pipefail
bin=$(cd "$1" && pwd)
fail() { echo "windows program check: $*" >&2; exit 1; }

personal=$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
  /v Personal 2>/dev/null | tr -d '\r' | awk '/Personal/ {sub(/.*REG_SZ[ \t]+/, ""); print}')
[ -n "$personal" ] || fail "the Wine prefix names no Documents folder"
documents=$(winepath -u "$personal" 2>/dev/null)
mkdir -p "$documents"
rm -f "$documents/letadlo.kml" "$documents/trasa.kml"

work=$(mktemp -d /tmp/quorvane-wine-XXXXXX)
sim=""
cleanup() {
  wine taskkill /f /im quorvane.exe >/dev/null 2>&1 || true
  if [ -n "$sim" ]; then
    kill "$sim" 2>/dev/null || true
    wait "$sim" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

(cd "$work" && exec wine "$bin/quorvane-sim.exe" --lat 50.1 --lon 14.25 --speed 80 \
  --ready-file "$(winepath -w "$work/ready")" >/dev/null 2>&1) &
sim=$!
for _ in $(seq 300); do [ -e "$work/ready" ] && break; sleep 0.1; done
[ -e "$work/ready" ] || fail "quorvane-sim.exe did not start"

(cd "$work" && exec wine "$bin/quorvane.exe" >"$work/program.out" 2>"$work/program.err") &
program=$!
for _ in $(seq 300); do [ -e "$documents/letadlo.kml" ] && break; sleep 0.1; done
[ -e "$documents/letadlo.kml" ] || fail "no letadlo.kml in $documents"
grep -q '<coordinates>14.250000,50.100000,10</coordinates>' "$documents/letadlo.kml" ||
  fail "letadlo.kml does not hold the aircraft"

sleep 1
wine taskkill /im quorvane.exe >/dev/null 2>&1 || fail "no close request could be sent"
for _ in $(seq 300); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program" 2>/dev/null && fail "quorvane.exe did not close"
status=0
wait "$program" || status=$?
[ "$status" -eq 0 ] || fail "quorvane.exe ended with exit status $status; its error output:
$(cat "$work/program.err")"
[ ! -s "$work/program.err" ] || fail "quorvane.exe wrote errors: $(cat "$work/program.err")"

grep -q '<coordinates>14.250000,50.100000,0 </coordinates>' "$documents/trasa.kml" ||
  fail "trasa.kml does not hold the route"
keys=$(tr -d '\r' < "$work/quorvane.INI" | sed -n 's/=.*//p' | tr '\n' ' ')
expected="FormVersion Flags ShowCmd PixelsPerInch MinMaxPos(1280x1024) MinMaxPos NormPos(1280x1024) NormPos Visible RxSpinEdit1_Value CheckBox1_Checked CheckBox2_Checked "
screen_keys=$(sed 's/([0-9]*x[0-9]*)/(WxH)/g' <<<"$keys")
[ "$screen_keys" = "$(sed 's/([0-9]*x[0-9]*)/(WxH)/g' <<<"$expected")" ] ||
  fail "the settings file's keys are: $keys"
echo "windows program check: letadlo.kml at start; trasa.kml, the twelve settings keys and exit status 0 at close"
