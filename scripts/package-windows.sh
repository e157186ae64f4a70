#!/usr/bin/env bash
# Builds the Windows programs (mingw-w64, statically linked) and packs them into
# dist/quorvane-windows.zip (quorvane.exe, quorvane-probe.exe, quorvane-sim.exe and a short
# README, for use from any folder) and into the installer dist/quorvane-setup.exe (NSIS,
# packaging/windows/quorvane.nsi). Installs the Debian packages it needs when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh scripts/debian-packages-windows.txt
[ -f build-win/build.ninja ] || cmake --preset windows >/dev/null
cmake --build --preset windows --target quorvane quorvane-probe quorvane-sim
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
mkdir "$staging/Quorvane"
cp build-win/bin/quorvane.exe build-win/bin/quorvane-probe.exe build-win/bin/quorvane-sim.exe \
  "$staging/Quorvane/"
x86_64-w64-mingw32-strip "$staging/Quorvane/"*.exe
sed 's/$/\r/' > "$staging/Quorvane/README.txt" <<'TEXT'
Quorvane shows your flight simulator's aircraft in Google Earth.

1. Start the simulator with FSUIPC (or WideClient on this computer).
2. Start quorvane.exe from a folder you can write to: it keeps its settings there
   (quorvane.INI).
3. The status bar shows "Connect: Okay", the FSUIPC version and the aircraft's position.
   letadlo.kml (the aircraft) and trasa.kml (the route) are written to your Documents
   folder; open "Quorvane live.kml" there once in Google Earth to follow the flight.

quorvane-probe.exe checks the link to FSUIPC from a command prompt.
quorvane-sim.exe is a stand-in simulator for trying Quorvane without one.
TEXT
mkdir -p dist
rm -f dist/quorvane-windows.zip
(cd "$staging" && zip -q -r -X "$OLDPWD/dist/quorvane-windows.zip" Quorvane)
echo "dist/quorvane-windows.zip:"
unzip -l dist/quorvane-windows.zip | tail -n +2

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-win/CMakeCache.txt)
rm -f dist/quorvane-setup.exe
makensis -V2 -DVERSION="$version" -DPROGRAMS="$staging/Quorvane" \
  -DICON="$PWD/build-win/icons/quorvane.ico" -DOUTFILE="$PWD/dist/quorvane-setup.exe" \
  packaging/windows/quorvane.nsi
echo "dist/quorvane-setup.exe: $(du -k dist/quorvane-setup.exe | cut -f1) KiB, Quorvane $version"
