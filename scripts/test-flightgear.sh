#!/usr/bin/env bash
# Follows a real FlightGear: installs Debian's flightgear when missing (about 1.8 GB to download),
# starts it headless in a virtual display with the UFO flying east from Honolulu (PHNL) at about
# 100 m/s, sending the project's protocol (flightgear/Protocol/quorvane.xml) to 127.0.0.1:PORT,
# and runs quorvane-probe against it repeatedly for DURATION seconds, checking that each fix
# moves on from the last as the aircraft does; then runs the quorvane program itself (off-screen)
# against it for DURATION seconds more, updating every EVERY seconds, and checks that the status
# bar names FlightGear, that letadlo.kml follows the aircraft east and that trasa.kml grows.
# Prints the times to the first fix and the CPU that FlightGear, the probe and the program used.
# Not part of scripts/test.sh.
#   scripts/test-flightgear.sh              DURATION=180 by default, PORT=5510
#   DURATION=60 PORT=5511 scripts/test-flightgear.sh
# FlightGear needs about 2 GB of memory and a quarter of a core; it is stopped at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
duration=${DURATION:-180}
port=${PORT:-5510}
every=${EVERY:-10}

scripts/ensure-packages.sh scripts/debian-packages-flightgear.txt
[ -f build/build.ninja ] || cmake --preset default >/dev/null
cmake --build build --target quorvane-probe quorvane >/dev/null
probe=build/bin/quorvane-probe
program=$PWD/build/bin/quorvane

scratch=$(mktemp -d)
xvfb_pid=""
fgfs_pid=""
program_pid=""
cleanup() {
  local status=$?
  if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; wait "$program_pid" 2>/dev/null || true; fi
  if [ -n "$fgfs_pid" ]; then kill "$fgfs_pid" 2>/dev/null || true; wait "$fgfs_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$scratch"
  exit "$status"
}
trap cleanup EXIT

# A display of its own (the first free number, chosen by the server).
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
display=":$(cat "$scratch/display")"

# FlightGear's home of its own, kept between runs: the first start builds the navigation cache
# there (slower); a lock file left by a killed run would stop the next.
export FG_HOME="${XDG_CACHE_HOME:-$HOME/.cache}/quorvane/fg-home"
mkdir -p "$FG_HOME"
rm -f "$FG_HOME/fgfs_lock.pid"
# Without a session bus, libdbus would abort FlightGear on a warning.
export DBUS_FATAL_WARNINGS=0
started=$(date +%s.%N)
DISPLAY=$display /usr/games/fgfs \
  --data="$PWD/flightgear" \
  --generic=socket,out,5,127.0.0.1,"$port",udp,quorvane \
  --aircraft=ufo --airport=PHNL --in-air --altitude=3000 --vc=250 --heading=80 \
  --prop:/controls/engines/engine[0]/throttle=0.05 \
  --prop:/sim/rendering/draw-mask/terrain=false --prop:/sim/rendering/draw-mask/models=false \
  --prop:/sim/rendering/draw-mask/aircraft=false --prop:/sim/rendering/draw-mask/clouds=false \
  --disable-sound --disable-splash-screen --disable-ai-models --disable-ai-traffic \
  --disable-real-weather-fetch --disable-terrasync --disable-clouds --fog-fastest \
  --geometry=640x480 --timeofday=noon --prop:/sim/frame-rate-throttle-hz=15 \
  >"$scratch/fgfs.log" 2>&1 &
fgfs_pid=$!

# Arithmetic on decimal numbers.
calc() { awk "BEGIN { printf \"%.2f\", $1 }"; }

probe_once() {
  "$probe" --xplane-port 0 --flightgear-port "$port" --wait 1 2>/dev/null
}
failed=0

# The first fix.
output=""
for _ in $(seq 240); do
  if ! kill -0 "$fgfs_pid" 2>/dev/null; then
    echo "FlightGear ended before sending anything; its log:" >&2
    tail -n 30 "$scratch/fgfs.log" >&2
    exit 1
  fi
  if output=$(probe_once); then break; fi
  output=""
done
if [ -z "$output" ]; then
  echo "No fix from FlightGear within 4 minutes; its log:" >&2
  tail -n 30 "$scratch/fgfs.log" >&2
  exit 1
fi
first_fix=$(calc "$(date +%s.%N) - $started")
echo "$output"
printf 'First fix %.1f s after FlightGear started\n' "$first_fix"
version=$(sed -n 2p <<<"$output")
case "$version" in
  "FlightGear "[0-9]*) ;;
  *) echo "The second line should name FlightGear and its version: $version" >&2; exit 1 ;;
esac

# CPU ticks of a process (user + system).
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

# A few more runs, FlightGear running: how long a probe takes to find it and print a fix.
TIMEFORMAT='%R %U %S'
for run in 1 2 3; do
  { time probe_once >"$scratch/out"; } 2>>"$scratch/short-runs" ||
    { echo "Probe run $run failed:"; cat "$scratch/out"; failed=1; } >&2
done
echo "Probe runs against a running FlightGear (wall, user, system seconds):"
sed 's/^/  /' "$scratch/short-runs"

# Then one probe for DURATION seconds, a sample every EVERY seconds: each fix must lie east of
# the last, and after the first interval the aircraft must be seen moving at about 100 m/s.
samples=$(( duration / every + 1 ))
fgfs_ticks=$(ticks "$fgfs_pid")
sampling_started=$(date +%s.%N)
{ time "$probe" --xplane-port 0 --flightgear-port "$port" --wait 1 --samples "$samples" \
    --interval "$every" >"$scratch/long-run" 2>/dev/null; } 2>"$scratch/long-run-times" || failed=1
elapsed=$(calc "$(date +%s.%N) - $sampling_started")
fgfs_cpu=$(calc "($(ticks "$fgfs_pid") - $fgfs_ticks) * 100 / $hz / $elapsed")
fgfs_rss=$(awk '/VmRSS/ {printf "%.0f", $2 / 1024}' "/proc/$fgfs_pid/status")
read -r _ probe_user probe_system <"$scratch/long-run-times"

awk -v every="$every" '
  BEGIN { pi = atan2(0, -1); status = 0 }
  /^Lat:/ {
    lat = $2; lon = $4; fixes++
    if (fixes > 1) {
      east = (lon - last_lon) * 111320 * cos(last_lat * pi / 180) / every
      north = (lat - last_lat) * 111320 / every
      printf "%s   (%.1f m/s east, %.1f m/s north)\n", $0, east, north
      if (east <= 5) { print "  the fix did not move east" > "/dev/stderr"; status = 1 }
      if (fixes > 2) { sum += east; counted++ }
    } else {
      print
    }
    last_lat = lat; last_lon = lon; next
  }
  { print; if (NR > 2) status = 1 }
  END {
    if (counted == 0) { print "Too few fixes" > "/dev/stderr"; exit 1 }
    printf "Fixes: %d, one every %d s; after the first interval %.1f m/s east on average\n",
           fixes, every, sum / counted
    if (sum / counted < 50 || sum / counted > 200) {
      print "The fixes did not follow the aircraft east at about 100 m/s" > "/dev/stderr"; status = 1
    }
    exit status
  }' "$scratch/long-run" || failed=1
printf 'FlightGear: %.0f %% of one core, %s MiB resident\n' "$fgfs_cpu" "$fgfs_rss"
printf 'quorvane-probe over %.0f s: user %s s, system %s s\n' "$elapsed" "$probe_user" "$probe_system"

# The program itself, off-screen, with a desktop of its own: the Documents folder named in
# user-dirs.dirs, an opener that opens nothing, FlightGear's port in the settings file's
# [Simulators] and an update every EVERY seconds.
desktop="$scratch/desktop"
mkdir -p "$desktop/Documents" "$desktop/config" "$desktop/bin" "$desktop/work"
printf 'XDG_DOCUMENTS_DIR="%s"\n' "$desktop/Documents" >"$desktop/config/user-dirs.dirs"
printf '#!/bin/sh\nexit 0\n' >"$desktop/bin/xdg-open"
chmod +x "$desktop/bin/xdg-open"
printf '[Simulators]\r\nXPlanePort=0\r\nFlightGearPort=%s\r\n[TForm1]\r\nRxSpinEdit1_Value=%s\r\n' \
  "$port" "$every" >"$desktop/work/quorvane.INI"
aircraft="$desktop/Documents/letadlo.kml"
route="$desktop/Documents/trasa.kml"
coordinates() { sed -n 's:.*<coordinates>\([^<]*\)</coordinates>.*:\1:p' "$1" 2>/dev/null | head -1; }

fgfs_ticks=$(ticks "$fgfs_pid")
program_started=$(date +%s.%N)
(cd "$desktop/work" && PATH="$desktop/bin:$PATH" XDG_CONFIG_HOME="$desktop/config" \
  QT_QPA_PLATFORM=offscreen exec "$program" --status-log "$desktop/status.log" \
  >"$scratch/program.log" 2>&1) &
program_pid=$!
for _ in $(seq 300); do [ -s "$aircraft" ] && break; sleep 0.1; done
if [ ! -s "$aircraft" ]; then
  echo "quorvane wrote no letadlo.kml within 30 s; its status bar showed:" >&2
  cat "$desktop/status.log" >&2 || true
  exit 1
fi
program_first_fix=$(calc "$(date +%s.%N) - $program_started")
printf 'quorvane: first fix (letadlo.kml written) %.2f s after it started\n' "$program_first_fix"
named=$(sed -n 's/^0\t//p' "$desktop/status.log" | tail -1)
case "$named" in
  "FlightGear "[0-9]*) echo "quorvane's status bar: $named" ;;
  *) echo "The status bar should name FlightGear and its version: $named" >&2; failed=1 ;;
esac

# Every EVERY seconds the aircraft must have moved east, and the route grown by one point.
last=$(coordinates "$aircraft")
echo "letadlo.kml: $last"
route_points=0
checks=$(( duration / every ))
for _ in $(seq "$checks"); do
  sleep "$every"
  now=$(coordinates "$aircraft")
  points=$(coordinates "$route" | wc -w)
  east=$(awk -v a="${last%%,*}" -v b="${now%%,*}" 'BEGIN { print (b > a) ? 1 : 0 }')
  echo "letadlo.kml: $now   trasa.kml: $points points"
  if [ "$east" != 1 ]; then echo "letadlo.kml did not follow the aircraft east" >&2; failed=1; fi
  if [ "$points" -le "$route_points" ]; then echo "trasa.kml did not grow" >&2; failed=1; fi
  last=$now
  route_points=$points
done
program_elapsed=$(calc "$(date +%s.%N) - $program_started")
program_cpu=$(calc "$(ticks "$program_pid") * 100 / $hz / $program_elapsed")
program_rss=$(awk '/VmRSS/ {printf "%.0f", $2 / 1024}' "/proc/$program_pid/status")
fgfs_cpu=$(calc "($(ticks "$fgfs_pid") - $fgfs_ticks) * 100 / $hz / $program_elapsed")
kill -TERM "$program_pid"
wait "$program_pid" || { echo "quorvane did not end well on SIGTERM" >&2; failed=1; }
program_pid=""
printf 'Route at the end: %s points in trasa.kml\n' "$(coordinates "$route" | wc -w)"
printf 'quorvane over %.0f s: %.2f %% of one core, %s MiB resident; FlightGear meanwhile %.0f %%\n' \
  "$program_elapsed" "$program_cpu" "$program_rss" "$fgfs_cpu"
exit "$failed"
