#!/usr/bin/env bash
# Outside check of the files we write: writes the samples with kml_sample_documents, then has
# xmllint and GDAL's KML driver read the KML documents (the placemark, the line string, the live
# view's network links and the files they lead to, flat and in 3D), and xmllint (against the
# GPX 1.1 track schema), GDAL's GPX driver and gpsbabel read the GPX tracks with their
# elevations.
# Usage: outside_check.sh PATH_TO_kml_sample_documents
set -euo pipefail
writer=$1
here=$(cd "$(dirname "$0")" && pwd)
gpx_schema=$here/../data/kml/gpx_1_1_track_subset.xsd
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
"$writer" "$folder"

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# ogrinfo FILE: what GDAL's KML driver (LIBKML kept out of the way) reads from FILE.
read_kml() { ogrinfo --config GDAL_SKIP LIBKML -ro -al "$1" 2>&1; }

expect() {  # expect FILE DESCRIPTION PATTERN: the KML driver's reading of FILE holds PATTERN
  local file=$1 what=$2 pattern=$3 text
  text=$(read_kml "$folder/$file") || { fail "$file: ogrinfo failed: $text"; return; }
  grep -q "using driver \`KML' successful" <<<"$text" || fail "$file: not read by the KML driver"
  grep -qF -- "$pattern" <<<"$text" || fail "$file: no $what ($pattern) in: $text"
}

for file in aircraft_50.1N_14.25E_hdg245.kml route_two_tuples.kml route_empty.kml \
  aircraft_3d_50.1N_14.25E_hdg245.kml route_3d_two_tuples.kml view_3d_50.1N_14.25E_hdg245.kml; do
  xmllint --noout "$folder/$file" || fail "$file: xmllint rejects it"
done

expect aircraft_50.1N_14.25E_hdg245.kml "layer" "Layer name: letadlo.kml"
expect aircraft_50.1N_14.25E_hdg245.kml "placemark" "Feature Count: 1"
expect aircraft_50.1N_14.25E_hdg245.kml "point" "POINT Z (14.25 50.1 10)"
expect route_two_tuples.kml "placemark" "Name (String) = trasa"
expect route_two_tuples.kml "line string" "LINESTRING Z (14.25 50.1 0,14.26 50.11 0)"
expect route_empty.kml "placemark" "Name (String) = trasa"
expect route_empty.kml "empty line string" "LINESTRING EMPTY"
# In 3D, the aircraft and the route stand at their altitude above mean sea level.
expect aircraft_3d_50.1N_14.25E_hdg245.kml "3D point" "POINT Z (14.25 50.1 914.5)"
expect route_3d_two_tuples.kml "placemark" "Name (String) = trasa"
expect route_3d_two_tuples.kml "3D line string" "LINESTRING Z (14.25 50.1 914.5,14.26 50.11 1219.2)"
text=$(ogrinfo -ro -al "$folder/route_3d_two_tuples.kml" 2>&1) || fail "3D route: ogrinfo failed"
grep -q "using driver \`LIBKML' successful" <<<"$text" || fail "3D route: not read by LIBKML: $text"
grep -qF "LINESTRING Z (14.25 50.1 914.5,14.26 50.11 1219.2)" <<<"$text" ||
  fail "3D route: LIBKML reads no 3D line string in: $text"
grep -qF "altitudeMode (String) = absolute" <<<"$text" ||
  fail "3D route: LIBKML reads no absolute altitude in: $text"
grep -qF "extrude (Integer) = 1" <<<"$text" || fail "3D route: LIBKML reads no extrusion in: $text"
[ "$(xmllint --xpath "string(//*[local-name()='LookAt']/*[local-name()='altitudeMode'])" \
  "$folder/view_3d_50.1N_14.25E_hdg245.kml")" = absolute ] || fail "3D view: not at the altitude"

# The live view document: its three network links, and the files they name beside it.
live=$folder/live/"Quorvane live.kml"
mkdir "$folder/live"
cp "$folder/live_view_60s.kml" "$live"
cp "$folder/aircraft_50.1N_14.25E_hdg245.kml" "$folder/live/letadlo.kml"
cp "$folder/route_two_tuples.kml" "$folder/live/trasa.kml"
cp "$folder/view_50.1N_14.25E_hdg245.kml" "$folder/live/Quorvane view.kml"
xmllint --noout "$folder/live/Quorvane view.kml" || fail "view: xmllint rejects it"
[ "$(xmllint --xpath "string(//*[local-name()='NetworkLinkControl']/*[local-name()='LookAt']/*[local-name()='latitude'])" "$folder/live/Quorvane view.kml")" = 50.100000 ] ||
  fail "view: no LookAt on the aircraft in its NetworkLinkControl"
xmllint --noout "$live" || fail "live view: xmllint rejects it"
text=$(ogrinfo -ro -al "$live" 2>&1) || fail "live view: ogrinfo failed: $text"
grep -q "using driver \`LIBKML' successful" <<<"$text" || fail "live view: not read by LIBKML: $text"
grep -qF "Layer name: Quorvane live" <<<"$text" || fail "live view: no document layer in: $text"
text=$(read_kml "$live") || fail "live view: ogrinfo (KML driver) failed: $text"
grep -q "using driver \`KML' successful" <<<"$text" || fail "live view: not read by the KML driver"

link() {  # link N CHILD: the text of CHILD (a name, or Link/name) of the N-th network link
  local path="(//*[local-name()='NetworkLink'])[$1]"
  local step
  IFS=/ read -ra steps <<<"$2"
  for step in "${steps[@]}"; do path+="/*[local-name()='$step']"; done
  xmllint --xpath "string($path)" "$live"
}
[ "$(xmllint --xpath "count(//*[local-name()='NetworkLink'])" "$live")" = 3 ] ||
  fail "live view: not three network links"
for n in 1 2 3; do
  [ "$(link $n Link/refreshMode)" = onInterval ] || fail "live view: link $n not refreshed on interval"
  [ "$(link $n Link/refreshInterval)" = 60 ] || fail "live view: link $n not every 60 seconds"
done
[ "$(link 1 flyToView)" = 0 ] || fail "live view: the aircraft link moves the view"
[ "$(link 2 flyToView)" = 0 ] || fail "live view: the route link moves the view"
[ "$(link 3 flyToView)" = 1 ] || fail "live view: the view link does not fly to the view"
[ "$(link 1 Link/href)" = letadlo.kml ] || fail "live view: link 1 is not letadlo.kml"
[ "$(link 2 Link/href)" = trasa.kml ] || fail "live view: link 2 is not trasa.kml"
[ "$(link 3 Link/href)" = "Quorvane view.kml" ] || fail "live view: link 3 is not the view"
# Relative links resolve beside the live view document, wherever its folder is.
(cd "$folder/live" && text=$(read_kml "$(link 1 Link/href)") &&
  grep -qF "POINT Z (14.25 50.1 10)" <<<"$text") || fail "live view: link 1 leads to no aircraft"
(cd "$folder/live" && text=$(read_kml "$(link 2 Link/href)") &&
  grep -qF "LINESTRING Z (14.25 50.1 0,14.26 50.11 0)" <<<"$text") ||
  fail "live view: link 2 leads to no route"

# The GPX tracks: the GPX 1.1 schema's rules, GDAL's GPX driver and gpsbabel.
read_gpx() { ogrinfo -ro -al "$1" "$2" 2>&1; }

expect_gpx() {  # expect_gpx FILE LAYER DESCRIPTION PATTERN
  local file=$1 layer=$2 what=$3 pattern=$4 text
  text=$(read_gpx "$folder/$file" "$layer") || { fail "$file: ogrinfo failed: $text"; return; }
  grep -q "using driver \`GPX' successful" <<<"$text" || fail "$file: not read by the GPX driver"
  grep -qF -- "$pattern" <<<"$text" || fail "$file: no $what ($pattern) in: $text"
}

for file in track_known_flight.gpx track_empty.gpx; do
  xmllint --noout --schema "$gpx_schema" "$folder/$file" 2>/dev/null ||
    fail "$file: not valid GPX 1.1: $(xmllint --noout --schema "$gpx_schema" "$folder/$file" 2>&1)"
done

expect_gpx track_known_flight.gpx tracks "track name" "name (String) = trasa"
expect_gpx track_known_flight.gpx tracks "three segments" \
  "MULTILINESTRING ((14.25 50.1,14.26 50.11),(14.3 50.15,14.31 50.16),(14.4 50.2))"
expect_gpx track_known_flight.gpx track_points "five points" "Feature Count: 5"
expect_gpx track_known_flight.gpx track_points "first time" "time (DateTime) = 2024/02/29 23:58:30+00"
expect_gpx track_known_flight.gpx track_points "last time" "time (DateTime) = 2024/03/01 00:10:00+00"
expect_gpx track_known_flight.gpx track_points "first elevation" "ele (Real) = 380"
expect_gpx track_known_flight.gpx track_points "last elevation" "ele (Real) = 15240"
text=$(ogrinfo -ro -al --config GPX_ELE_AS_25D YES "$folder/track_known_flight.gpx" tracks 2>&1)
grep -qF "MULTILINESTRING Z ((14.25 50.1 380,14.26 50.11 612.5),(14.3 50.15 3048,14.31 50.16 3100.5),(14.4 50.2 15240))" <<<"$text" ||
  fail "track_known_flight.gpx: GDAL reads no 3D track in: $text"
text=$(read_gpx "$folder/track_known_flight.gpx" track_points)
[ "$(grep -o 'track_seg_id (Integer) = [0-9]*' <<<"$text" | tr -dc '0-9\n' | paste -sd,)" = 0,0,1,1,2 ] ||
  fail "track_known_flight.gpx: points not in segments 0,0,1,1,2: $text"
expect_gpx track_empty.gpx tracks "empty track" "MULTILINESTRING EMPTY"
expect_gpx track_empty.gpx track_points "no points" "Feature Count: 0"

for file in track_known_flight.gpx track_empty.gpx; do
  out=$folder/${file%.gpx}.gpsbabel.kml
  gpsbabel -i gpx -f "$folder/$file" -o kml -F "$out" 2>"$folder/gpsbabel.err" ||
    { fail "$file: gpsbabel cannot convert it: $(cat "$folder/gpsbabel.err")"; continue; }
  [ ! -s "$folder/gpsbabel.err" ] || fail "$file: gpsbabel complains: $(cat "$folder/gpsbabel.err")"
  xmllint --noout "$out" || fail "$file: gpsbabel's KML is not well-formed"
done
whens=$(grep -o '<when>[^<]*</when>' "$folder/track_known_flight.gpsbabel.kml" | paste -sd' ')
[ "$whens" = "<when>2024-02-29T23:58:30Z</when> <when>2024-02-29T23:59:30Z</when> \
<when>2024-03-01T00:02:30Z</when> <when>2024-03-01T00:03:30Z</when> \
<when>2024-03-01T00:10:00Z</when>" ] || fail "track_known_flight.gpx: gpsbabel read the times as: $whens"
# gpsbabel's KML places every track point at its altitude: "lon,lat,altitude".
coords=$(grep -o '<coordinates>[^<,]*,[^<,]*,[^<,]*</coordinates>' \
  "$folder/track_known_flight.gpsbabel.kml" | sed 's/<[^>]*>//g' | cut -d, -f3 | paste -sd' ' || true)
[ "$coords" = "380.00 612.50 3048.00 3100.50 15240.00" ] ||
  fail "track_known_flight.gpx: gpsbabel read the elevations as: $coords"

if [ "$failures" -ne 0 ]; then
  echo "$failures outside check(s) failed" >&2
  exit 1
fi
echo "xmllint, GDAL and gpsbabel read all the documents and tracks"
