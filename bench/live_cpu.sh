#!/usr/bin/env bash
# The program's CPU share while the live view samples every second: the program, off-screen,
# against `quorvane-sim --demo` with `[LiveView] Seconds=1` for SECONDS (default 600). Prints the
# CPU time the program used (user and system, from /proc/PID/stat) over the run, its share of one
# core, and the live samples taken (the simulator's logged sample exchanges / 6).
# Usage: bench/live_cpu.sh [SECONDS]   (needs the default build: cmake --preset default &&
# cmake --build build --target quorvane quorvane-sim)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
bin=$PWD/build/bin
work=$(mktemp -d /tmp/quorvane-live-cpu-XXXXXX)
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
# The live view every second, the update at its default minute.
printf '[LiveView]\r\nSeconds=1\r\n' > "$work/quorvane.INI"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY

"$bin/quorvane-sim" --demo --log "$work/sim.log" --ready-file "$work/ready" &
sim=$!
while [ ! -e "$work/ready" ]; do sleep 0.01; done
(cd "$work" && exec "$bin/quorvane") &
program=$!
while [ ! -e "$work/Documents/letadlo.kml" ]; do sleep 0.01; done
sleep 1  # start-up (the window, the fonts) is not what is measured

# utime and stime, fields 14 and 15 of /proc/PID/stat, in clock ticks (the name, field 2, has
# no blanks here).
ticks() { awk '{ print $14 + $15 }' "/proc/$program/stat"; }
samples() { awk '$1 != 58 && $1 != 44 { n++ } END { print int(n / 6) }' "$work/sim.log"; }
hz=$(getconf CLK_TCK)
ticks_before=$(ticks)
samples_before=$(samples)
start=$(date +%s.%N)
sleep "$seconds"
kill -0 "$program" 2>/dev/null || { echo "the program ended early" >&2; exit 1; }
ticks_after=$(ticks)
samples_after=$(samples)
end=$(date +%s.%N)
awk -v t="$((ticks_after - ticks_before))" -v hz="$hz" -v s0="$start" -v s1="$end" \
  -v n="$((samples_after - samples_before))" 'BEGIN {
    wall = s1 - s0; cpu = t / hz
    printf "wall %.1f s, CPU %.2f s (user+system), share of one core %.3f %%, samples %d\n",
           wall, cpu, 100 * cpu / wall, n
    if (n > 0) printf "CPU per sample %.2f ms\n", 1000 * cpu / n
  }'
kill -TERM "$program"
wait "$program" || true
program=
