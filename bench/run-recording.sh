#!/usr/bin/env bash
# Recording benchmarks, in one run on this machine:
#  1. rebuild of a cut-off recording of >= 500 MB against cp of the same file
#     (throughput ratio, target >= 0.7), best of three runs each, warm cache; beside
#     it the way of a card recording: copy into the temporary files, rebuild from them;
#  2. reading every telemetry record of a one-hour recording (target < 100 ms).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${TARVO_BUILD_DIR:-build}
bench="$build_dir/bin/recording_bench"
size_mb=${TARVO_BENCH_MB:-520}
[ -x "$bench" ] || { echo "build first: bash scripts/build.sh" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
best() { sort -g | head -1; }
calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }

"$bench" make-big "$work/REC_20240512_083000_2.avi" "$size_mb"
in="$work/REC_20240512_083000_2.avi"
bytes=$(stat -c %s "$in")
cat "$in" > /dev/null  # both sides start from a warm cache

cp_times=()
for i in 1 2 3; do
  t0=$(now); cp "$in" "$work/copy.avi"; t1=$(now)
  cp_times+=("$(calc "$t1 - $t0")")
  rm -f "$work/copy.avi"
done
rebuild_times=()
only_times=()
split_times=()
for i in 1 2 3; do
  rm -rf "$work/temp"
  rebuild_times+=("$("$bench" rebuild "$in" "$work/temp")")
  rm -rf "$work/temp"
  split_times+=("$("$bench" split "$in" "$work/temp")")
  only_times+=("$("$bench" rebuild-only "$work/temp" "$(basename "$in")")")
done
cp_best=$(printf '%s\n' "${cp_times[@]}" | best)
rebuild_best=$(printf '%s\n' "${rebuild_times[@]}" | best)
only_best=$(printf '%s\n' "${only_times[@]}" | best)
split_best=$(printf '%s\n' "${split_times[@]}" | best)
rm -rf "$work/temp"

mb=$(calc "$bytes / 1048576")
printf 'input: cut-off recording, %.0f MB\n' "$mb"
printf 'cp:                          %.3f s  %.0f MB/s\n' "$cp_best" "$(calc "$mb / $cp_best")"
printf 'rebuild (local file, in place): %.3f s  %.0f MB/s  ratio to cp %.2f (target >= 0.7)\n' "$rebuild_best" \
  "$(calc "$mb / $rebuild_best")" "$(calc "$cp_best / $rebuild_best")"
printf 'rebuild from temp files:        %.3f s  %.0f MB/s  ratio to cp %.2f\n' "$only_best" \
  "$(calc "$mb / $only_best")" "$(calc "$cp_best / $only_best")"
printf 'copy into temp files (card way): %.3f s, with the rebuild from them %.3f s, ratio to cp %.2f\n' \
  "$split_best" "$(calc "$split_best + $only_best")" "$(calc "$cp_best / ($split_best + $only_best)")"

read -r ms records hour_bytes < <("$bench" telemetry-hour "$work")
printf 'telemetry of a one-hour recording (%d records, %.0f MB, open + read all): %.1f ms (target < 100 ms)\n' \
  "$records" "$(calc "$hour_bytes / 1048576")" "$ms"
