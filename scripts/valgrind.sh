#!/usr/bin/env bash
# Runs the unit test programs, the fuzz targets' seed corpora, and quorvane-probe against
# quorvane-sim, under Valgrind memcheck on the default build (no sanitizers; built here if
# needed). Exits non-zero on any memory error or definite leak, or on a failing test. Left out:
# the Qt programs (the window and the chart painter, whose toolkit's own allocations memcheck
# reports) and the slow end-to-end programs; the link's end-to-end cases run, except the
# 20-second hung-server one.
# Usage: scripts/valgrind.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh
[ -f build/build.ninja ] || cmake --preset default >/dev/null
# The unit test programs this platform's build has, and the two programs for the probe run.
targets=$(cmake --build build --target help | sed -n 's/^\([a-z_]*\): .*/\1/p')
programs=()
for program in text_test link_test posix_link_test sampling_test files_test route_test kml_tests \
  simulator_test sources_test app_test app_posix_test app_soak_test chart_test; do
  grep -qx "$program" <<<"$targets" && programs+=("$program")
done
# Each fuzz target, built as a plain program that runs its seeds once.
fuzz_targets=()
for corpus in fuzz/corpus/*/; do
  name=$(basename "$corpus")
  grep -qx "fuzz_$name" <<<"$targets" && fuzz_targets+=("$name")
done
cmake --build build --target "${programs[@]}" "${fuzz_targets[@]/#/fuzz_}" quorvane-probe \
  quorvane-sim >/dev/null

bin=build/bin
work=$(mktemp -d /tmp/quorvane-valgrind-XXXXXX)
sim=
cleanup() {
  [ -n "$sim" ] && kill -TERM "$sim" 2>/dev/null && wait "$sim" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

options=(-q --tool=memcheck --leak-check=full --errors-for-leak-kinds=definite)
# memcheck with the given error exit status (the program's own failures keep theirs).
memcheck() {
  local status=$1
  shift
  valgrind "${options[@]}" --error-exitcode="$status" "$@"
}

failed=()
for program in "${programs[@]}"; do
  echo "== $program"
  memcheck 1 "$bin/$program" --gtest_brief=1 --gtest_filter='-*HungServer*' ||
    failed+=("$program")
done

for name in "${fuzz_targets[@]}"; do
  echo "== fuzz_$name on its seeds"
  memcheck 1 "$bin/fuzz_$name" "fuzz/corpus/$name" || failed+=("fuzz_$name")
done

echo "== quorvane-probe against quorvane-sim"
export XDG_RUNTIME_DIR=$work
# The simulator runs under memcheck too; its status after SIGTERM tells whether it was clean.
valgrind "${options[@]}" --error-exitcode=99 "$bin/quorvane-sim" --lat 50.0875 --lon 14.421 \
  --speed 80 --ready-file "$work/ready" &
sim=$!
for _ in $(seq 600); do [ -e "$work/ready" ] && break; sleep 0.05; done
memcheck 99 "$bin/quorvane-probe" || failed+=("quorvane-probe")
kill -TERM "$sim"
status=0
wait "$sim" || status=$?
sim=
[ "$status" -eq 0 ] || failed+=("quorvane-sim (status $status)")
echo "== quorvane-probe without a simulator"
status=0
memcheck 99 "$bin/quorvane-probe" || status=$?
[ "$status" -eq 1 ] || failed+=("quorvane-probe without a simulator (status $status)")

if [ ${#failed[@]} -gt 0 ]; then
  echo "memcheck found errors or failures in: ${failed[*]}" >&2
  exit 1
fi
echo "memcheck: no errors, no definite leaks"
