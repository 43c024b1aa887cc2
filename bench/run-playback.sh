#!/usr/bin/env bash
# Playback benchmark: 60 s of a two-camera recording (front 1920x1080, rear 1280x720,
# 30 fps, about 8 Mbit/s, AAC sound) played through the viewer's graph with pictures
# handed to two 640x360 channel windows, against a decode-only pipeline (same source
# element, H.264 decode, fakesink) over the same frames, at rates 1.0 and 2.0, and
# once more at 1.0 in the front-camera view (the rear window hidden; both cameras are
# still decoded). Prints the figures and the ratios: CPU time, context switches, open
# to first picture, pictures shown and dropped, resident memory.
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

load0=$(cut -d' ' -f1-3 /proc/loadavg)
work=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-playback-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
for rate in 1.0 2.0; do
  "$bench" graph "$recording" "$rate" > "$work/graph-$rate"
  "$bench" decode "$recording" "$rate" > "$work/decode-$rate"
done
"$bench" graph "$recording" 1.0 --one-camera > "$work/graph-1.0-front"

echo
echo "rate       graph_cpu_s  decode_cpu_s  ratio  switches(graph/decode)  wall_s  shown(front/rear of frames)  sink_dropped  longest_gap"
for run in 1.0 2.0 1.0-front; do
  g="$work/graph-$run"; d="$work/decode-${run%-front}"
  printf "%-10s %-12s %-13s %-6s %-23s %-7s %s/%s of %s   %s/%s   %s/%s\n" "$run" \
    "$(value "$g" cpu_s)" "$(value "$d" cpu_s)" "$(ratio "$(value "$g" cpu_s)" "$(value "$d" cpu_s)")" \
    "$(value "$g" switches)/$(value "$d" switches)" \
    "$(value "$g" wall_s)" "$(value "$g" shown1)" "$(value "$g" shown2)" "$(value "$g" frames1)" \
    "$(value "$g" sink_dropped1)" "$(value "$g" sink_dropped2)" "$(value "$g" longest_gap1)" "$(value "$g" longest_gap2)"
done
echo "(1.0-front: the rear window hidden, as in the front-camera view; it is handed no pictures)"
echo
g="$work/graph-1.0"; d="$work/decode-1.0"
echo "open to first picture: graph $(value "$g" first_frame_ms) ms, decode-only first decoded $(value "$d" first_decoded_ms) ms," \
  "ratio $(ratio "$(value "$g" first_frame_ms)" "$(value "$d" first_decoded_ms)")"
echo "decode-only decoded at 2.0: $(value "$work/decode-2.0" decoded1)/$(value "$work/decode-2.0" decoded2)"
echo "resident memory while playing (max): graph $(( $(value "$g" rss_max_kb) / 1024 )) MiB," \
  "decode-only $(( $(value "$d" rss_max_kb) / 1024 )) MiB"
echo "end of recording: position $(value "$g" end_position_ms) ms of $(value "$g" duration_ms) ms, state $(value "$g" state)"
echo "load average (1, 5, 15 min) at the start: $load0, at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
