#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang into build-fuzz/ and runs each of
# them (or those named) one after the other, at the lowest priority, for SECONDS each.
# Seeds come from fuzz/corpus/<target>/ (left unchanged); what a run adds stays in
# build-fuzz/corpus/<target>/ for the next run, crashes go to build-fuzz/artifacts/.
# usage: scripts/fuzz.sh [-t SECONDS] [TARGET...]      (default 60 s, every target)
# Exit status 1 when a target found a fault (crash, hang, leak or sanitizer report).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=60
if [ "${1:-}" = "-t" ]; then
  seconds=${2:?usage: scripts/fuzz.sh [-t SECONDS] [TARGET...]}
  shift 2
fi
build_dir=${TARVO_FUZZ_BUILD_DIR:-build-fuzz}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_FUZZ=ON \
  -DTARVO_BUILD_UI=OFF -DTARVO_BUILD_TESTS=OFF -DTARVO_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$build_dir" --target tarvo_fuzzers -j "${TARVO_JOBS:-$(nproc)}"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in fuzz/fuzz_*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi

# Files the targets write stay in memory where there is a tmpfs for them.
scratch=/dev/shm
[ -d "$scratch" ] && [ -w "$scratch" ] || scratch=${TMPDIR:-/tmp}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=0
summary=()
for target in "${targets[@]}"; do
  binary=$build_dir/bin/$target
  [ -x "$binary" ] || { echo "fuzz: no target $target" >&2; exit 2; }
  corpus=$build_dir/corpus/$target
  artifacts=$build_dir/artifacts/$target/
  log=$build_dir/logs/$target.log
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  echo "fuzz: $target for $seconds s (log $log)"
  status=0
  TMPDIR=$scratch nice -n 19 "$binary" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="$artifacts" "$corpus" "fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
  if [ $status -eq 0 ]; then
    summary+=("$target: ${runs:-?} runs in ${took:-?} s, no fault")
  else
    failed=1
    summary+=("$target: FAULT after ${runs:-?} runs (exit $status); see $log and $artifacts")
  fi
done
printf 'fuzz: %s\n' "${summary[@]}"
exit $failed
