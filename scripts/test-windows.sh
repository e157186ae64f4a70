#!/usr/bin/env bash
# Builds the Windows programs with mingw-w64 (build-win) and runs their tests under Wine, in a
# virtual X display: the test programs through ctest, then quorvane-probe.exe and quorvane.exe
# against quorvane-sim.exe, then the installer (scripts/package-windows.sh) installed, run and
# uninstalled. Installs the Debian packages it needs when they are missing. Wine runs in a
# prefix of its own, created on first use (QUORVANE_WINEPREFIX to choose another).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh scripts/debian-packages-windows.txt

export WINEPREFIX="${QUORVANE_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/quorvane/wine-prefix}"
export WINEARCH=win64
# No debug chatter (this also quiets Debian's hint about the 32-bit Wine, which is not needed),
# and no offer to install Mono or Gecko.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# One run at a time in a prefix: every program there shares one desktop, where a test's server
# window would answer another run's clients.
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  wineboot -i </dev/null >/dev/null 2>&1 9>&-
  wineserver -w
fi

# Configured once; the build re-runs CMake itself when the CMake files change.
[ -f build-win/build.ninja ] || cmake --preset windows >/dev/null
cmake --build --preset windows
scripts/package-windows.sh >/dev/null

# Runs under the virtual display: windows, even hidden ones, need one.
run_under_display() {
  # Wine's server and its system processes start with the first Windows program and end with
  # the last. Started by a test, they would start again for every test and hold ctest's output
  # pipe open until they end. So a session is opened here, with no pipes to inherit, by a hidden
  # server window of a class no client looks for, and closed at the end.
  local folder session failed=0
  folder=$(mktemp -d)
  wine build-win/bin/quorvane-sim.exe --class QuorvaneWineSession --ready-file "$folder/session" \
    </dev/null >/dev/null 2>&1 9>&- &
  session=$!
  for _ in $(seq 300); do
    [ -e "$folder/session" ] || ! kill -0 "$session" 2>/dev/null && break
    sleep 0.1
  done
  rm -rf "$folder"

  # One program at a time: a server window is seen by every program on the desktop.
  ctest --preset windows || failed=1
  probe_check || failed=1
  sources_check || failed=1
  tests/e2e/windows_program_check.sh build-win/bin || failed=1
  tests/e2e/windows_sources_check.sh build-win/bin || failed=1
  tests/e2e/windows_installer_check.sh dist/quorvane-setup.exe \
    "$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-win/CMakeCache.txt)" || failed=1

  kill "$session" 2>/dev/null || true
  wait "$session" 2>/dev/null || true
  wineserver -w
  return "$failed"
}

# quorvane-probe.exe prints what it prints on Linux (with Windows line ends).
probe_check() {
  local folder output status sim
  folder=$(mktemp -d)
  # Without a server first, while surely none runs (and no listening for X-Plane or FlightGear,
  # which sources_check tries on ports of its own).
  status=0
  output=$(wine build-win/bin/quorvane-probe.exe --xplane-port 0 --flightgear-port 0 |
    tr -d '\r') || status=$?
  if [ "$output" != "Connect: Cannot link to FSUIPC or WideClient" ] || [ "$status" -eq 0 ]; then
    echo "probe without a simulator: exit $status, printed:"$'\n'"$output" >&2
    rm -rf "$folder"
    return 1
  fi

  wine build-win/bin/quorvane-sim.exe --lat 50.0875 --lon 14.421 --heading 5 \
    --ready-file "$folder/ready" &
  sim=$!
  for _ in $(seq 200); do
    [ -e "$folder/ready" ] || ! kill -0 "$sim" 2>/dev/null && break
    sleep 0.1
  done
  status=0
  output=$(wine build-win/bin/quorvane-probe.exe | tr -d '\r') || status=$?
  kill "$sim" 2>/dev/null || true
  wait "$sim" 2>/dev/null || true
  rm -rf "$folder"
  local expected="Connect: Okay
FSUIPC Version: 3.622b
Lat: 50.087500   Lon: 14.421000   H:    4.99"
  if [ "$output" != "$expected" ] || [ "$status" -ne 0 ]; then
    echo "probe against quorvane-sim.exe: exit $status, printed:"$'\n'"$output" >&2
    return 1
  fi
  echo "quorvane-probe.exe against quorvane-sim.exe: as on Linux"
}

# quorvane-probe.exe finds X-Plane and FlightGear through Winsock: the fake ones, run under Wine
# too, on ports of their own.
sources_check() {
  local folder output status fake failed=0
  local xplane_port=$((20000 + RANDOM % 20000)) flightgear_port=$((40000 + RANDOM % 20000))
  folder=$(mktemp -d)
  wine build-win/bin/fake-flightgear.exe --port "$flightgear_port" --version 2020.3.16 &
  fake=$!
  status=0
  output=$(wine build-win/bin/quorvane-probe.exe --xplane-port 0 --flightgear-port \
    "$flightgear_port" --wait 10 | tr -d '\r') || status=$?
  kill "$fake" 2>/dev/null || true
  wait "$fake" 2>/dev/null || true
  if [ "$output" != "Connect: Okay
FlightGear 2020.3.16
Lat: 50.087500   Lon: 14.421000   H:   94.79" ] || [ "$status" -ne 0 ]; then
    echo "probe against fake-flightgear.exe: exit $status, printed:"$'\n'"$output" >&2
    failed=1
  fi

  wine build-win/bin/fake-xplane.exe --port "$xplane_port" --ready-file "$folder/ready" &
  fake=$!
  for _ in $(seq 200); do
    [ -e "$folder/ready" ] || ! kill -0 "$fake" 2>/dev/null && break
    sleep 0.1
  done
  status=0
  output=$(wine build-win/bin/quorvane-probe.exe --xplane-port "$xplane_port" --flightgear-port 0 \
    --wait 10 | tr -d '\r') || status=$?
  kill "$fake" 2>/dev/null || true
  wait "$fake" 2>/dev/null || true
  rm -rf "$folder"
  if [ "$output" != "Connect: Okay
X-Plane 12.1.0
Lat: 50.087500   Lon: 14.421000   H:   94.79" ] || [ "$status" -ne 0 ]; then
    echo "probe against fake-xplane.exe: exit $status, printed:"$'\n'"$output" >&2
    failed=1
  fi
  [ "$failed" -eq 0 ] && echo "quorvane-probe.exe against fake-xplane.exe and fake-flightgear.exe: found"
  return "$failed"
}

# xvfb-run is a POSIX shell script, which drops exported bash functions: pass them as text.
xvfb-run -a -s "-screen 0 1280x1024x24" \
  bash -c "set -euo pipefail; $(declare -f run_under_display probe_check sources_check); run_under_display"
