#!/usr/bin/env bash
# Makes docs/screenshot-3d-route-marble.png: one lap of the demo flight (quorvane-sim --demo
# --rate 2) followed by Quorvane with "3D" ticked every 10 s, then its trasa.kml shown by Marble
# under Xvfb, offline, on the Blue Marble map. Needs Xvfb, ImageMagick, xdotool, marble-qt and
# marble-plugins (Debian packages; not needed by the tests), and the programs in BIN (build/bin).
# Usage: scripts/screenshot-3d-route.sh [BIN]
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$(realpath "${1:-build/bin}")
out=$PWD/docs/screenshot-3d-route-marble.png
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/docs" "$work/run" "$work/config" "$work/rt" && chmod 700 "$work/rt"
export XDG_RUNTIME_DIR=$work/rt XDG_CONFIG_HOME=$work/config HOME=$work
echo "XDG_DOCUMENTS_DIR=\"$work/docs\"" >"$work/config/user-dirs.dirs"

"$bin/quorvane-sim" --demo --rate 2 --ready-file "$work/ready" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -e "$work/ready" ] && break; sleep 0.1; done
printf '[TForm1]\r\nCheckBox3_Checked=True\r\nRxSpinEdit1_Value=10\r\n' >"$work/run/quorvane.INI"
(cd "$work/run" && QT_QPA_PLATFORM=offscreen exec "$bin/quorvane" >/dev/null 2>&1) &
program=$!
sleep 200  # one lap and a little more: 30 s standing, 160 s a lap at twice real time
kill -TERM "$program"
wait "$program"

export DISPLAY=:58 QTWEBENGINE_DISABLE_SANDBOX=1
Xvfb "$DISPLAY" -screen 0 1200x900x24 >/dev/null 2>&1 &
pids+=($!)
sleep 1
marble-qt --map=earth/bluemarble/bluemarble.dgml --latlon=50.118,14.316 --distance=14 \
  "$work/docs/trasa.kml" >/dev/null 2>&1 &
pids+=($!)
sleep 8
window=$(xdotool search --pid "${pids[-1]}" --onlyvisible | head -1)
xdotool windowmove "$window" 0 0 windowsize "$window" 1200 900 mousemove 1199 899
sleep 5
import -window root "$work/screen.png"
convert "$work/screen.png" -crop 874x600+326+160 +repage "$out"
echo "wrote $out"
