#!/usr/bin/env bash
# Playback benchmark: 60 s of a two-camera recording (front 1920x1080, rear 1280x720,
# 30 fps, about 8 Mbit/s, AAC sound) played through the viewer's graph with pictures
# handed to two 640x360 channel windows, against a decode-only pipeline (same source
# element, H.264 decode, fakesink) over the same frames, at rates 1.0 and 2.0, and
# once more at 1.0 in the front-camera view (the rear window hidden; both cameras are
# still decoded). Prints the figures and the ratios: CPU time, context switches, open
# to first picture, pictures shown and dropped, resident memory.
# The same work takes 10 to 20 % more or less CPU time from one minute to the next on a
# shared machine, so each pair is run PLAYBACK_BENCH_REPEATS times (default 3), graph
# and peer taking turns to go first, and the medians are compared; each pair's own ratio
# is printed beside them.
# usage: bench/run-playback.sh [BUILD_DIR]   (default: build)
# The recording is made once (a few minutes of x264 work) and kept in BUILD_DIR/bench-data.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bench="$build/bin/playback_bench"
data="$build/bench-data"
recording="$data/REC_20240512_090000_2.avi"
mkdir -p "$data"
if [ ! -s "$recording" ]; then
  echo "making the bench recording (once): $recording"
  "$build/bin/tarvo-tool" record "$recording" --cameras 2 --seconds 60 --size 1920x1080,1280x720 \
    --fps 30 --bitrate 5500 --audio aac --start "2024-05-12 09:00:00" >/dev/null
fi
"$build/bin/tarvo-tool" info "$recording" | sed -n 's/^\(size\|  camera\|frame rate\|sound\|duration\)/  &/p'

value() { sed -n "s/.*\<$2 \([-0-9.]*\).*/\1/p" "$1" | head -1; }
ratio() { awk "BEGIN { if ($2 > 0) printf \"%.2f\", $1 / $2; else print \"n/a\" }"; }
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
# Every run's value of field $2 in the files named by the glob $1, one per line.
values() { for f in $1; do value "$f" "$2"; done; }
# The run (file) whose field $2 is the median of the runs $1: its other figures are printed.
median_run() {
  local want f
  want=$(values "$1" "$2" | median)
  for f in $1; do
    if [ "$(value "$f" "$2")" = "$want" ]; then echo "$f"; return; fi
  done
  for f in $1; do echo "$f"; return; done
}

repeats=${PLAYBACK_BENCH_REPEATS:-3}
load0=$(cut -d' ' -f1-3 /proc/loadavg)
work=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-playback-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
for ((i = 1; i <= repeats; i++)); do
  for rate in 1.0 2.0; do
    if ((i % 2)); then
      "$bench" graph "$recording" "$rate" > "$work/graph-$rate.$i"
      "$bench" decode "$recording" "$rate" > "$work/decode-$rate.$i"
    else
      "$bench" decode "$recording" "$rate" > "$work/decode-$rate.$i"
      "$bench" graph "$recording" "$rate" > "$work/graph-$rate.$i"
    fi
  done
  "$bench" graph "$recording" 1.0 --one-camera > "$work/graph-1.0-front.$i"
done
# Once: decode-only with the graph's own decoder, which hands its pictures on without
# the copy avdec_h264 makes of each.
"$bench" decode "$recording" 1.0 --own-decoder > "$work/decode-own-1.0"

echo
echo "$repeats runs of each, graph and decode-only taking turns; CPU seconds are the medians"
echo "rate       graph_cpu_s  decode_cpu_s  ratio  each run's ratio  switches(graph/decode)  wall_s  shown(front/rear of frames)  sink_dropped  longest_gap"
for run in 1.0 2.0 1.0-front; do
  graphs="$work/graph-$run.*" decodes="$work/decode-${run%-front}.*"
  gc=$(values "$graphs" cpu_s | median) dc=$(values "$decodes" cpu_s | median)
  each=""
  for ((i = 1; i <= repeats; i++)); do
    each="$each $(ratio "$(value "$work/graph-$run.$i" cpu_s)" "$(value "$work/decode-${run%-front}.$i" cpu_s)")"
  done
  g=$(median_run "$graphs" cpu_s) d=$(median_run "$decodes" cpu_s)
  # Of all the runs: the fewest pictures shown, the most dropped, the longest gap.
  printf "%-10s %-12s %-13s %-6s %-17s %-23s %-7s %s/%s of %s   %s/%s   %s/%s\n" "$run" "$gc" "$dc" \
    "$(ratio "$gc" "$dc")" "${each# }" "$(value "$g" switches)/$(value "$d" switches)" "$(value "$g" wall_s)" \
    "$(values "$graphs" shown1 | sort -n | head -1)" "$(values "$graphs" shown2 | sort -n | head -1)" \
    "$(value "$g" frames1)" "$(values "$graphs" sink_dropped1 | sort -n | tail -1)" \
    "$(values "$graphs" sink_dropped2 | sort -n | tail -1)" "$(values "$graphs" longest_gap1 | sort -n | tail -1)" \
    "$(values "$graphs" longest_gap2 | sort -n | tail -1)"
done
echo "(1.0-front: the rear window hidden, as in the front-camera view; it is handed no pictures)"
own=$(value "$work/decode-own-1.0" cpu_s)
echo "decode-only with the graph's own H.264 decoder instead of avdec_h264, at 1.0 (one run): $own s CPU;" \
  "graph at 1.0 (median) against it: $(ratio "$(values "$work/graph-1.0.*" cpu_s | median)" "$own")"
echo
first=$(values "$work/graph-1.0.*" first_frame_ms | median)
decoded=$(values "$work/decode-1.0.*" first_decoded_ms | median)
echo "open to first picture (medians): graph $first ms, decode-only first decoded $decoded ms," \
  "ratio $(ratio "$first" "$decoded")"
echo "decode-only decoded at 2.0: $(value "$work/decode-2.0.1" decoded1)/$(value "$work/decode-2.0.1" decoded2)"
echo "resident memory while playing (the most of any run): graph" \
  "$(($(values "$work/graph-1.0.*" rss_max_kb | sort -n | tail -1) / 1024)) MiB," \
  "decode-only $(($(values "$work/decode-1.0.*" rss_max_kb | sort -n | tail -1) / 1024)) MiB"
g=$(median_run "$work/graph-1.0.*" cpu_s)
echo "end of recording: position $(value "$g" end_position_ms) ms of $(value "$g" duration_ms) ms, state $(value "$g" state)"
echo "load average (1, 5, 15 min) at the start: $load0, at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
