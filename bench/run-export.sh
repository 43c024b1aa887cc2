#!/usr/bin/env bash
# Export benchmark: an 8 s range over two consecutive two-camera recordings (front
# 1920x1080, rear 1280x720, 30 fps, AAC) exported side by side with the facts burned in
# by tarvo-tool export, and the same range made by ffmpeg in the same run (scale,
# hstack and drawtext in filter_complex, libx264 at the same preset and CRF, AAC):
# wall times and their ratio, SSIM of each clip against the source frames composed
# without loss, frame counts against the range's. Then the viewer's window exports the
# same way while it plays, and its window thread's lateness is measured.
#
# ffmpeg is Debian's package, installed here (as root or through sudo) when missing;
# the viewer, the tool and the tests never use it.
# usage: bench/run-export.sh [BUILD_DIR]   (recordings are made once, in BUILD_DIR/bench-data/export)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
data="$build/bench-data/export"
tool="$build/bin/tarvo-tool"
if ! command -v ffmpeg >/dev/null || ! command -v ffprobe >/dev/null; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "installing ffmpeg for the benchmark"
  $SUDO apt-get install -y -qq --no-install-recommends ffmpeg >/dev/null
fi

mkdir -p "$data"
for start in "2024-05-12 10:00:00" "2024-05-12 10:00:08" "2024-05-12 10:00:16"; do
  name="REC_20240512_$(echo "$start" | tr -d ' :-' | cut -c9-14)_2.avi"
  if [ ! -s "$data/$name" ]; then
    echo "making $data/$name (once)"
    "$tool" record "$data/$name" --cameras 2 --seconds 8 --size 1920x1080,1280x720 --fps 30 --bitrate 5500 \
      --audio aac --start "$start" >/dev/null
  fi
done
from="2024-05-12 10:00:04"
to="2024-05-12 10:00:12"
preset=veryfast
crf=23

work=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-export-bench.XXXXXX")
config="$work/config"
mkdir -p "$config"
trap 'rm -rf "$work"' EXIT
export TARVO_CONFIG_DIR="$config" TARVO_TEMP_DIR="$config/temp" TARVO_AUDIO_SINK=null

# ffmpeg's inputs: each camera's H.264 stream and the sound from the key frame before
# the range, so that it decodes what the export decodes.
eval "$("$build/bin/export_bench" inputs "$work/in" "$from" "$to" "$data"/*.avi | sed 's/ /=/')"
skip=$(awk -v p="$preroll" -v f="$fps" 'BEGIN { printf "%.6f", p / f }')
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
epoch=$(date -u -d "$from" +%s)
compose="[0:v]trim=start_frame=$preroll,setpts=PTS-STARTPTS[f];[1:v]trim=start_frame=$preroll,setpts=PTS-STARTPTS,scale=-2:1080[r];[f][r]hstack"
overlay="drawtext=fontfile=$font:fontsize=36:fontcolor=white:box=1:boxcolor=0x141414:boxborderw=12:x=12:y=h-th-24:text='%{pts\\:gmtime\\:$epoch}  -- km/h  REC_20240512_100000_2.avi'"

seconds() { /usr/bin/time -f %e "$@" 2>&1 >/dev/null | tail -1; }
ours_run() { seconds "$tool" export "$data" --from "$from" --to "$to" --layout side --quality standard "$work/ours.mp4"; }
ffmpeg_run() {
  seconds ffmpeg -y -hide_banner -loglevel error -r "$fps" -i "$work/in/cam0.h264" -r "$fps" -i "$work/in/cam1.h264" \
    -i "$work/in/audio.aac" -filter_complex "$compose,$overlay[v];[2:a]atrim=start=$skip,asetpts=PTS-STARTPTS[a]" \
    -map "[v]" -map "[a]" -frames:v "$frames" -c:v libx264 -preset "$preset" -crf "$crf" -c:a aac -b:a 128k -ar 48000 \
    -movflags +faststart "$work/ffmpeg.mp4"
}
# Alternating, twice each; the faster run of each counts.
o1=$(ours_run); f1=$(ffmpeg_run); o2=$(ours_run); f2=$(ffmpeg_run)
ours=$(printf '%s\n%s\n' "$o1" "$o2" | sort -g | head -1)
theirs=$(printf '%s\n%s\n' "$f1" "$f2" | sort -g | head -1)

# The source frames composed without loss, and each clip's SSIM against them above
# the burned-in text (the lowest fifth of the picture is left out).
ffmpeg -y -hide_banner -loglevel error -r "$fps" -i "$work/in/cam0.h264" -r "$fps" -i "$work/in/cam1.h264" \
  -filter_complex "$compose[v]" -map "[v]" -frames:v "$frames" -c:v ffv1 "$work/reference.mkv"
ssim() {
  ffmpeg -hide_banner -i "$1" -i "$work/reference.mkv" -lavfi \
    "[0:v]crop=iw:ih*4/5:0:0,setpts=PTS-STARTPTS[a];[1:v]crop=iw:ih*4/5:0:0,setpts=PTS-STARTPTS[b];[a][b]ssim" \
    -f null - 2>&1 | sed -n 's/.*SSIM.* All:\([0-9.]*\).*/\1/p' | tail -1
}
count() {
  ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$1"
}
rate() { ffprobe -v error -select_streams v:0 -show_entries stream=r_frame_rate -of csv=p=0 "$1"; }

echo "range $from to $to: $frames frames at $fps fps; layout side (3840x1080), x264 $preset CRF $crf, AAC"
echo "wall time: tarvo-tool export $o1 s / $o2 s, ffmpeg $f1 s / $f2 s; ours / ffmpeg = $(awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "%.2f", a / b }') (target <= 1)"
echo "SSIM against the source frames: ours $(ssim "$work/ours.mp4"), ffmpeg $(ssim "$work/ffmpeg.mp4") (target: within 0.005)"
echo "frames: ours $(count "$work/ours.mp4") at $(rate "$work/ours.mp4"), ffmpeg $(count "$work/ffmpeg.mp4") at $(rate "$work/ffmpeg.mp4"), range $frames"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build/bin/export_bench" window "$data" "$work/window"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
