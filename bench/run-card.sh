#!/usr/bin/env bash
# Card benchmarks: listing 10,000 recordings through the card library, and copying a
# 500 MB recording off a card image with `tarvo-tool card get` against dd reading the
# same bytes from the same image in the same run. Prints the figures and ratios.
# usage: bench/run-card.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
tool="$build/bin/tarvo-tool"
work=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-card-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

"$build/bin/kovr_list_bench" "$work/list.img" 10000 || status=$?
rm -f "$work/list.img"

img="$work/card.img"
"$tool" card mkimage "$img" 8G >/dev/null
"$tool" card format "$img" >/dev/null
head -c 500000000 /dev/urandom > "$work/REC_20240101_120000_2.avi"
"$tool" card put "$img" NORMAL "$work/REC_20240101_120000_2.avi" >/dev/null
rm -f "$work/REC_20240101_120000_2.avi"
# The first file of an area starts at the area's first byte.
start=$("$tool" card info "$img" | sed -n 's/^area NORMAL: .* at byte \([0-9]*\),.*/\1/p')
mib=$((1024 * 1024))

now() { date +%s.%N; }
calc() { awk "BEGIN { print $1 }"; }
best_get=999999; best_dd=999999
for round in 1 2 3 4 5; do
  t0=$(now)
  "$tool" card get "$img" NORMAL REC_20240101_120000_2.avi "$work/get.avi"
  t1=$(now)
  dd if="$img" of="$work/dd.avi" bs=$mib iflag=skip_bytes,count_bytes skip="$start" \
     count=500000000 status=none
  t2=$(now)
  best_get=$(calc "($t1 - $t0) < $best_get ? ($t1 - $t0) : $best_get")
  best_dd=$(calc "($t2 - $t1) < $best_dd ? ($t2 - $t1) : $best_dd")
  rm -f "$work/get.avi" "$work/dd.avi"
done
ratio=$(calc "$best_dd / $best_get")
printf 'get: 500 MB in %.3f s (%.0f MB/s); dd: %.3f s (%.0f MB/s); throughput ratio %.2f (at least 0.90)\n' \
  "$best_get" "$(calc "500 / $best_get")" "$best_dd" "$(calc "500 / $best_dd")" "$ratio"
if [ "$(calc "($ratio >= 0.9) ? 1 : 0")" != 1 ]; then status=1; fi
exit ${status:-0}
