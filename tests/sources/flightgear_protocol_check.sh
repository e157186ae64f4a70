#!/usr/bin/env bash
# flightgear/Protocol/quorvane.xml is well-formed XML (FlightGear refuses the file otherwise, with
# only a line in its log) and sends, in order, the fields the line decoder reads.
set -euo pipefail
protocol=$1
xmllint --noout "$protocol"
nodes=$(xmllint --xpath '//generic/output/chunk/node/text()' "$protocol" | tr -s ' \n' '\n')
expected="/position/latitude-deg
/position/longitude-deg
/position/altitude-ft
/orientation/heading-deg
/environment/magnetic-variation-deg
/velocities/groundspeed-kt
/sim/version/flightgear"
if [ "$nodes" != "$expected" ]; then
  echo "The protocol sends:"$'\n'"$nodes"$'\n'"The decoder reads:"$'\n'"$expected" >&2
  exit 1
fi
[ "$(xmllint --xpath 'string(//generic/output/var_separator)' "$protocol")" = "," ]
[ "$(xmllint --xpath 'string(//generic/output/line_separator)' "$protocol")" = "newline" ]
echo "quorvane.xml: well-formed, the decoder's seven fields in order"
