#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset) and runs each for SECONDS (default 60) on a
# scratch copy of its seed corpus (with its dictionary from fuzz/dict/ when it has one), two at a time (FUZZ_JOBS to change). Prints one line per
# target; fails on any crash, leak, time-out or sanitizer report, keeping the failing inputs in
# build-fuzz/artifacts/<target>/ (run build-fuzz/bin/fuzz_<target> INPUT to reproduce).
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
jobs=${FUZZ_JOBS:-2}

# Each target with the longest input worth trying: room for its layout, not much more.
targets=(
  "link_reply 4096"
  "reply_check 1024"
  "posix_wire 600"
  "settings_reader 4096"
  "user_dirs 1024"
  "sim_options 512"
  "flightgear_line 300"
  "xplane_rpos 100"
  "xplane_rref 4096"
)

scripts/ensure-packages.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake --preset fuzz >"$scratch/configure.log" 2>&1 || { cat "$scratch/configure.log"; exit 1; }
cmake --build --preset fuzz >"$scratch/build.log" 2>&1 || { cat "$scratch/build.log"; exit 1; }

# Runs one target; its status and log are left in its scratch folder.
run_target() {
  local name=$1 max_len=$2
  local work="$scratch/$name"
  mkdir -p "$work/corpus" "$work/artifacts"
  cp fuzz/corpus/"$name"/* "$work/corpus/"
  # The value profile turns comparisons into coverage: it finds texts such as "+-5" sooner.
  local options=(-max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048
    -use_value_profile=1 -print_final_stats=1 -artifact_prefix="$work/artifacts/")
  if [ -f fuzz/dict/"$name".dict ]; then
    options+=(-dict=fuzz/dict/"$name".dict)
  fi
  local status=0
  build-fuzz/bin/fuzz_"$name" "${options[@]}" "$work/corpus" >"$work/log" 2>&1 || status=$?
  echo "$status" >"$work/status"
}

for entry in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
    wait -n || true
  done
  # shellcheck disable=SC2086
  run_target $entry &
done
wait

failed=0
for entry in "${targets[@]}"; do
  name=${entry%% *}
  work="$scratch/$name"
  status=$(cat "$work/status")
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
  last=$(grep -E '^#[0-9]+.*cov: ' "$work/log" | tail -n 1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  features=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  corpus=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$last")
  seeds=$(find fuzz/corpus/"$name" -type f | wc -l)
  # A report the fuzzer survived still fails the run.
  if [ "$status" -ne 0 ] ||
    grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|libFuzzer)|runtime error:|check failed:' "$work/log"; then
    failed=1
    mkdir -p build-fuzz/artifacts/"$name"
    cp "$work"/artifacts/* build-fuzz/artifacts/"$name"/ 2>/dev/null || true
    printf '%-16s FAILED (exit %s); inputs in build-fuzz/artifacts/%s/\n' "$name" "$status" "$name"
    grep -E -A 30 'ERROR:|runtime error:|check failed:' "$work/log" | head -n 60 | sed 's/^/    /'
  else
    printf '%-16s ok  %10s runs in %s s, cov %s, ft %s, corpus %s -> %s\n' \
      "$name" "${runs:-?}" "$seconds" "${cov:-?}" "${features:-?}" "$seeds" "${corpus:-?}"
  fi
done
exit "$failed"
