#!/usr/bin/env bash
# Makes the demo recordings once and keeps them: three consecutive normal recordings,
# an event with a hard braking, a parking recording, one- and two-camera files with
# and without sound, and one recording cut off by a power loss.
# usage: scripts/make-demo.sh TOOL DEMO_DIR
set -euo pipefail
tool=${1:?usage: make-demo.sh TOOL DEMO_DIR}
demo=${2:?usage: make-demo.sh TOOL DEMO_DIR}
marker="$demo/.demo-complete"
if [ -f "$marker" ]; then
  exit 0
fi

mkdir -p "$demo"
work="$demo/.partial"
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
echo "make-demo: recording the demo set into $demo (first run only)"
start=$(date +%s)

front_rear=(--cameras 2 --size 1280x720,640x360 --fps 30 --bitrate 2500)
record() { "$tool" record "$@" >/dev/null; }

# A few minutes of driving, one recording after the other.
record "$work" "${front_rear[@]}" --type REC --seconds 60 --audio aac --start "2024-05-12 08:30:00"
record "$work" "${front_rear[@]}" --type REC --seconds 60 --audio aac --start "2024-05-12 08:31:00"
record "$work" "${front_rear[@]}" --type REC --seconds 60 --audio aac --start "2024-05-12 08:32:00"
# The event: the hard braking comes 20 s in.
record "$work" "${front_rear[@]}" --type EVT --seconds 30 --audio aac --start "2024-05-12 08:33:40"
# Parking: standing still, front camera only, no sound.
record "$work" --cameras 1 --size 1280x720 --bitrate 2000 --type PRK --seconds 20 --audio none \
  --start "2024-05-12 09:01:18"
# One camera with PCM sound, two cameras without sound.
record "$work" --cameras 1 --size 1280x720 --bitrate 2000 --type REC --seconds 30 --audio pcm \
  --start "2024-05-12 09:10:00"
record "$work" "${front_rear[@]}" --type REC --seconds 20 --audio none --start "2024-05-12 09:15:00"
# Cut off by a power loss about halfway through.
record "$work/REC_20240512_092000_2.avi" "${front_rear[@]}" --type REC --seconds 30 --audio aac \
  --start "2024-05-12 09:20:00" --cut-at 5000000

mv "$work"/*.avi "$demo"/
touch "$marker"
echo "make-demo: $(ls "$demo"/*.avi | wc -l) recordings in $(( $(date +%s) - start )) s"
