#!/usr/bin/env bash
# Builds and runs the test suites under the sanitizers, each build in a folder of its
# own: build-asan/ (AddressSanitizer and UndefinedBehaviorSanitizer over the core and
# its suites, no UI) and build-tsan/ (ThreadSanitizer over the playback and
# main-window suites, where the streaming threads, the load worker and the window
# thread meet). Only the targets those suites need are built. Any sanitizer report
# fails its test. docs/hardening.md describes the runs.
# usage: scripts/sanitize.sh [address|thread]...    (default both)
set -euo pipefail
cd "$(dirname "$0")/.."
kinds=("$@")
[ ${#kinds[@]} -gt 0 ] || kinds=(address thread)
jobs=${TARVO_JOBS:-$(nproc)}
supp=$PWD/tests/sanitizers
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

# Test executables of a configured build folder whose names match a pattern.
test_targets() {
  cmake --build "$1" --target help | sed -n 's/^\([A-Za-z0-9_]*_test\): .*/\1/p' | grep -E "$2" || true
}

run_kind() {
  local kind=$1 dir ui pattern labels
  case $kind in
    # The suites not built here are left out by label and by their placeholders.
    address) dir=build-asan ui=OFF pattern='.' labels=(-LE playback -E '^playback_.*_NOT_BUILT$') ;;
    thread) dir=build-tsan ui=ON pattern='^(playback|app)_' labels=(-L '^(playback|app)$') ;;
    *) echo "sanitize: unknown kind $kind (address or thread)" >&2; return 2 ;;
  esac
  echo "sanitize: $kind build in $dir"
  # -O1 and line tables only: the sanitizers' own advice, and a build half as long
  # as RelWithDebInfo on the 2-core CI machine, with file:line in every report.
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1" -DTARVO_SANITIZE="$kind" -DTARVO_WERROR=ON -DTARVO_BUILD_UI=$ui \
    -DTARVO_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
  mapfile -t targets < <(test_targets "$dir" "$pattern" | grep -v -E "$([ "$kind" = address ] && echo '^playback_' || echo '^$')")
  [ "$kind" = thread ] && targets+=(tarvo-viewer)
  # Tools the build runs (the skin generator) are not under test here.
  TSAN_OPTIONS=report_bugs=0 ASAN_OPTIONS=detect_leaks=0 \
    cmake --build "$dir" -j "$jobs" --target tarvo-tool "${targets[@]}"
  (
    cd "$dir"
    export QT_QPA_PLATFORM=offscreen
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
    export LSAN_OPTIONS=suppressions=$supp/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    # The libraries' own memory calls (memcpy, free, ... inside GLib, GStreamer, Qt)
    # are not checked: their locks are futexes the sanitizer cannot see, so it would
    # take their hand-overs for races. Our code's reads and writes and every
    # pthread lock stay checked. GLib's slice allocator hands memory from thread to
    # thread unseen; with G_SLICE=always-malloc it takes it from malloc instead.
    export TSAN_OPTIONS="suppressions=$supp/tsan.supp:ignore_interceptors_accesses=1:second_deadlock_stack=1"
    export G_SLICE=always-malloc
    ctest --output-on-failure -j "$jobs" --timeout 900 "${labels[@]}"
  )
}

for kind in "${kinds[@]}"; do
  start=$(date +%s)
  run_kind "$kind"
  echo "sanitize: $kind passed in $(( $(date +%s) - start )) s"
done
