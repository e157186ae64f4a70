#!/usr/bin/env bash
# The Windows installer as a user runs it, under Wine: a silent install (/S) puts the programs,
# each with its icon and version, into Program Files, a shortcut into the Start menu and the
# uninstaller into Add/Remove Programs; quorvane.exe answers --version; started from the
# shortcut against the installed quorvane-sim.exe it writes letadlo.kml and keeps its settings
# in %APPDATA%\Quorvane; the silent uninstall (/S) removes all it installed.
# Usage: windows_installer_check.sh SETUP.exe VERSION, with WINEPREFIX and DISPLAY set by the
# caller, and no other Wine program running in the prefix.
set -euo pipefail
setup=$(realpath "$1")
version=$2
fail() { echo "windows installer check: $*" >&2; exit 1; }
unix_path() { winepath -u "$(wine cmd /c echo "$1" 2>/dev/null | tr -d '\r')" 2>/dev/null; }
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane'

program_files=$(unix_path '%ProgramFiles%')
app_data=$(unix_path '%APPDATA%')
folder="$program_files/Quorvane"
shortcut="$app_data/Microsoft/Windows/Start Menu/Programs/Quorvane.lnk"
own="$app_data/Quorvane"
personal=$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
  /v Personal 2>/dev/null | tr -d '\r' | awk '/Personal/ {sub(/.*REG_SZ[ \t]+/, ""); print}')
documents=$(winepath -u "$personal" 2>/dev/null)
[ -n "$program_files" ] && [ -n "$app_data" ] && [ -n "$personal" ] ||
  fail "the Wine prefix names no Program Files, application data or Documents folder"

# What an earlier, interrupted run may have left in this prefix.
remove_installation() {
  rm -rf "$folder" "$own" "$shortcut"
  wine reg delete "$key" /f >/dev/null 2>&1 || true
}
remove_installation
mkdir -p "$documents"
rm -f "$documents/letadlo.kml" "$documents/trasa.kml"

work=$(mktemp -d /tmp/quorvane-setup-XXXXXX)
sim=""
cleanup() {
  wine taskkill /f /im quorvane.exe >/dev/null 2>&1 || true
  if [ -n "$sim" ]; then
    kill "$sim" 2>/dev/null || true
    wait "$sim" 2>/dev/null || true
  fi
  remove_installation
  rm -rf "$work"
}
trap cleanup EXIT

wine "$setup" /S >/dev/null 2>&1 || fail "the silent install failed"
for file in quorvane.exe quorvane-probe.exe quorvane-sim.exe README.txt uninstall.exe; do
  [ -f "$folder/$file" ] || fail "no $file in Program Files\\Quorvane"
done
for program in quorvane quorvane-probe quorvane-sim; do
  resources=$(wrestool -l "$folder/$program.exe")
  grep -q 'type=group_icon' <<<"$resources" || fail "$program.exe has no icon"
  wrestool -x --raw --type=16 "$folder/$program.exe" | strings -el | grep -qx "$version" ||
    fail "$program.exe has no version resource of $version"
done
wine reg query "$key" /v UninstallString 2>/dev/null | grep -q 'uninstall.exe' ||
  fail "no uninstaller in Add/Remove Programs"
wine reg query "$key" /v DisplayVersion 2>/dev/null | grep -q "$version" ||
  fail "Add/Remove Programs does not show version $version"
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
[ -d "$own" ] || fail "no folder %APPDATA%\\Quorvane"

output=$(wine "$folder/quorvane.exe" --version 2>/dev/null | tr -d '\r')
[ "$output" = "quorvane $version" ] || fail "quorvane.exe --version printed: $output"

(cd "$work" && exec wine "$folder/quorvane-sim.exe" --lat 50.1 --lon 14.25 --speed 80 \
  --ready-file "$(winepath -w "$work/ready")" >/dev/null 2>&1) &
sim=$!
for _ in $(seq 300); do [ -e "$work/ready" ] && break; sleep 0.1; done
[ -e "$work/ready" ] || fail "the installed quorvane-sim.exe did not start"

# As from the Start menu: the shell opens the shortcut, with its arguments and working folder.
# The shell gives no handle of the program it starts: Wine's process list tells when it ends.
running() { pgrep -f 'Quorvane\\quorvane\.exe' >/dev/null; }
(cd "$work" && wine start /unix "$shortcut" >/dev/null 2>&1) || fail "the shortcut did not start"
for _ in $(seq 300); do [ -e "$documents/letadlo.kml" ] && break; sleep 0.1; done
[ -e "$documents/letadlo.kml" ] || fail "no letadlo.kml in $documents"
grep -q '<coordinates>14.250000,50.100000,10</coordinates>' "$documents/letadlo.kml" ||
  fail "letadlo.kml does not hold the aircraft"
sleep 1
wine taskkill /im quorvane.exe >/dev/null 2>&1 || fail "no close request could be sent"
for _ in $(seq 300); do running || break; sleep 0.1; done
running && fail "quorvane.exe did not close"
[ -s "$own/quorvane.INI" ] || fail "no settings in %APPDATA%\\Quorvane"
[ ! -e "$folder/quorvane.INI" ] || fail "the settings went to Program Files"

kill "$sim"
wait "$sim" 2>/dev/null || true
sim=""

# The uninstaller copies itself away and runs from there: wait for it to finish its work.
wine "$folder/uninstall.exe" /S >/dev/null 2>&1 || fail "the silent uninstall failed"
for _ in $(seq 300); do [ -e "$folder" ] || [ -e "$shortcut" ] || break; sleep 0.1; done
[ ! -e "$folder" ] || fail "left in Program Files after the uninstall: $(ls "$folder")"
[ ! -e "$shortcut" ] || fail "the Start-menu shortcut is left after the uninstall"
wine reg query "$key" >/dev/null 2>&1 && fail "Add/Remove Programs still lists Quorvane"
[ -s "$own/quorvane.INI" ] || fail "the uninstall removed the user's settings"
echo "windows installer check: installed silently, ran from its shortcut against" \
  "quorvane-sim.exe, uninstalled silently"
