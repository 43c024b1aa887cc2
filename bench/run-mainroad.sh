#!/usr/bin/env bash
# Main-road benchmark: two two-camera recordings (front 1920x1080, rear 1280x720,
# 30 fps, AAC) loaded and played in the viewer's window (offscreen), against the
# playback graph's own open to first picture and the idle window's timer lateness.
# usage: bench/run-mainroad.sh [BUILD_DIR]   (the recordings are made once, in BUILD_DIR/bench-data/road)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
data="$build/bench-data/road"
mkdir -p "$data"
for start in "2024-05-12 10:00:00" "2024-05-12 10:01:00"; do
  name="REC_20240512_$(echo "$start" | cut -c12-13)$(echo "$start" | cut -c15-16)00_2.avi"
  if [ ! -s "$data/$name" ]; then
    echo "making $data/$name (once)"
    "$build/bin/tarvo-tool" record "$data/$name" --cameras 2 --seconds 8 --size 1920x1080,1280x720 \
      --fps 30 --bitrate 5500 --audio aac --start "$start" >/dev/null
  fi
done
config=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-mainroad-bench.XXXXXX")
trap 'rm -rf "$config"' EXIT
TARVO_CONFIG_DIR="$config" TARVO_TEMP_DIR="$config/temp" QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
  "$build/bin/mainroad_bench" "$data"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
