#!/usr/bin/env bash
# Recording benchmarks, in one run on this machine:
#  1. rebuild of a cut-off recording of >= 500 MB against cp of the same file
#     (throughput ratio, target >= 0.9), best of three runs each, warm cache; beside
#     it the way of a card recording: copy into the temporary files, rebuild from them;
#  2. reading it as the player does before its first picture: the scan of the cut-off
#     recording, and the indexed read of its rebuilt copy;
#  3. reading every telemetry record of a one-hour recording (target < 100 ms).
# With TARVO_BENCH_BEFORE=REV (a git revision) the same benchmark program is also built
# against that revision's library (in a scratch worktree) and every measure of 1 and 2
# is taken with both, alternately, on the same files: "before" and "after" ratios.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${TARVO_BUILD_DIR:-build}
bench="$build_dir/bin/recording_bench"
size_mb=${TARVO_BENCH_MB:-520}
[ -x "$bench" ] || { echo "build first: bash scripts/build.sh" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-bench-XXXXXX")
before_tree=""
cleanup() {
  [ -n "$before_tree" ] && git worktree remove --force "$before_tree" >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

now() { date +%s.%N; }
best() { sort -g | head -1; }
calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }

before=""
if [ -n "${TARVO_BENCH_BEFORE:-}" ]; then
  before_tree="$work/before-tree"
  git worktree add --detach "$before_tree" "$TARVO_BENCH_BEFORE" >/dev/null
  # The same measuring program, the revision's recording code under it.
  cp bench/RecordingBench.cpp "$before_tree/bench/RecordingBench.cpp"
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  cmake -S "$before_tree" -B "$work/before-build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_BUILD_UI=OFF \
    -DTARVO_BUILD_TESTS=OFF "${launcher[@]}" >/dev/null
  cmake --build "$work/before-build" --target recording_bench -j "${TARVO_JOBS:-2}" >/dev/null
  before="$work/before-build/bin/recording_bench"
fi

"$bench" make-big "$work/REC_20240512_083000_2.avi" "$size_mb"
in="$work/REC_20240512_083000_2.avi"
name=$(basename "$in")
bytes=$(stat -c %s "$in")
cat "$in" > /dev/null  # every side starts from a warm cache

cp_times=()
for i in 1 2 3; do
  t0=$(now); cp "$in" "$work/copy.avi"; t1=$(now)
  cp_times+=("$(calc "$t1 - $t0")")
  rm -f "$work/copy.avi"
done

# One set of measures with one benchmark program; the times go to the named arrays.
measure() {
  local program=$1 side=$2
  local -n rebuilds=${side}_rebuild only=${side}_only split=${side}_split scans=${side}_scan reads=${side}_read
  rm -rf "$work/temp"
  rebuilds+=("$("$program" rebuild "$in" "$work/temp")")
  scans+=("$("$program" read "$in")")
  reads+=("$("$program" read "$work/temp/${name}_REPAIR.avi")")
  rm -rf "$work/temp"
  split+=("$("$program" split "$in" "$work/temp")")
  only+=("$("$program" rebuild-only "$work/temp" "$name")")
}
after_rebuild=() after_only=() after_split=() after_scan=() after_read=()
before_rebuild=() before_only=() before_split=() before_scan=() before_read=()
for i in 1 2 3; do
  [ -n "$before" ] && measure "$before" before
  measure "$bench" after
done
rm -rf "$work/temp"

mb=$(calc "$bytes / 1048576")
cp_best=$(printf '%s\n' "${cp_times[@]}" | best)
printf 'input: cut-off recording, %.0f MB\n' "$mb"
printf 'cp:                          %.3f s  %.0f MB/s\n' "$cp_best" "$(calc "$mb / $cp_best")"
report() {
  local side=$1
  local -n rebuilds=${side}_rebuild only=${side}_only split=${side}_split scans=${side}_scan reads=${side}_read
  local rebuild_best only_best split_best scan_best read_best
  rebuild_best=$(printf '%s\n' "${rebuilds[@]}" | best)
  only_best=$(printf '%s\n' "${only[@]}" | best)
  split_best=$(printf '%s\n' "${split[@]}" | best)
  scan_best=$(printf '%s\n' "${scans[@]}" | best)
  read_best=$(printf '%s\n' "${reads[@]}" | best)
  echo "$side:"
  printf '  rebuild (local file, in place): %.3f s  %.0f MB/s  ratio to cp %.2f (target >= 0.9)\n' "$rebuild_best" \
    "$(calc "$mb / $rebuild_best")" "$(calc "$cp_best / $rebuild_best")"
  printf '  rebuild from temp files:        %.3f s  %.0f MB/s  ratio to cp %.2f\n' "$only_best" \
    "$(calc "$mb / $only_best")" "$(calc "$cp_best / $only_best")"
  printf '  copy into temp files (card way): %.3f s, with the rebuild from them %.3f s, ratio to cp %.2f\n' \
    "$split_best" "$(calc "$split_best + $only_best")" "$(calc "$cp_best / ($split_best + $only_best)")"
  printf '  read as the player does: cut-off (scan) %.1f ms, rebuilt (index) %.1f ms\n' \
    "$(calc "$scan_best * 1000")" "$(calc "$read_best * 1000")"
  eval "${side}_figures=\"$rebuild_best $only_best $scan_best $read_best\""
}
[ -n "$before" ] && report before
report after
if [ -n "$before" ]; then
  read -r b_rebuild b_only b_scan b_read <<<"$before_figures"
  read -r a_rebuild a_only a_scan a_read <<<"$after_figures"
  printf 'after / before (time; below 1 is faster): rebuild in place %.2f, from temp files %.2f, scan %.2f, indexed read %.2f\n' \
    "$(calc "$a_rebuild / $b_rebuild")" "$(calc "$a_only / $b_only")" "$(calc "$a_scan / $b_scan")" \
    "$(calc "$a_read / $b_read")"
fi

read -r ms records hour_bytes < <("$bench" telemetry-hour "$work")
printf 'telemetry of a one-hour recording (%d records, %.0f MB, open + read all): %.1f ms (target < 100 ms)\n' \
  "$records" "$(calc "$hour_bytes / 1048576")" "$ms"
