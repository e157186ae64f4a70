#!/usr/bin/env bash
# Outside check of the KML documents: writes the samples with kml_sample_documents, then has
# xmllint and GDAL's KML driver read them and looks for the placemark and the line string.
# Usage: outside_check.sh PATH_TO_kml_sample_documents
set -euo pipefail
writer=$1
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

for file in aircraft_50.1N_14.25E_hdg245.kml route_two_tuples.kml route_empty.kml; do
  xmllint --noout "$folder/$file" || fail "$file: xmllint rejects it"
done

expect aircraft_50.1N_14.25E_hdg245.kml "layer" "Layer name: letadlo.kml"
expect aircraft_50.1N_14.25E_hdg245.kml "placemark" "Feature Count: 1"
expect aircraft_50.1N_14.25E_hdg245.kml "point" "POINT Z (14.25 50.1 10)"
expect route_two_tuples.kml "placemark" "Name (String) = trasa"
expect route_two_tuples.kml "line string" "LINESTRING Z (14.25 50.1 0,14.26 50.11 0)"
expect route_empty.kml "placemark" "Name (String) = trasa"
expect route_empty.kml "empty line string" "LINESTRING EMPTY"

if [ "$failures" -ne 0 ]; then
  echo "$failures outside check(s) failed" >&2
  exit 1
fi
echo "xmllint and GDAL's KML driver read all three documents"
