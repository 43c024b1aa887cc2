#!/usr/bin/env bash
# Makes the seed corpora of fuzz/corpus/ again: small recordings from the simulator,
# card images from tarvo-tool card (in compact form), the example records and files
# of the formats. The corpora are kept in the repository; run this only to renew them.
# usage: fuzz/make-seeds.sh [TOOL]   (TOOL defaults to build/bin/tarvo-tool)
set -euo pipefail
cd "$(dirname "$0")"
tool=$(realpath "${1:-../build/bin/tarvo-tool}")
corpus=$PWD/corpus
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

record() { "$tool" record "$@" >/dev/null; }
small=(--seconds 1 --bitrate 20 --fps 5)
record REC_20240512_083000_1.avi "${small[@]}" --cameras 1 --size 32x32 --audio none --start "2024-05-12 08:30:00"
record REC_20240512_083100_2.avi "${small[@]}" --cameras 2 --size 32x32,16x16 --audio pcm
record EVT_20240512_083340_2.avi "${small[@]}" --cameras 2 --size 32x32,32x32 --audio aac --type EVT
record PRK_20240512_090118_1.avi --seconds 2 --bitrate 20 --fps 5 --cameras 1 --size 32x32 --audio none \
  --type PRK --cut-at 6000
record REC_20240512_092000_2.avi "${small[@]}" --cameras 2 --size 32x32,16x16 --audio aac --cut-at 3000

rm -rf "$corpus"
mkdir -p "$corpus"/{fuzz_avi_reader,fuzz_rebuild,fuzz_card_image,fuzz_gps_record,fuzz_read_settings}
mkdir -p "$corpus"/{fuzz_read_setup_cfg,fuzz_read_time_cfg,fuzz_recording_name,fuzz_h264_bits}

for f in *.avi; do
  cp "$f" "$corpus/fuzz_avi_reader/$f"
  # Rebuild: the first byte picks the road (0 card files, 1 in place, 8 plain reads).
  for mode in 0 1 8; do
    { printf "\\x$(printf %02x $mode)"; cat "$f"; } >"$corpus/fuzz_rebuild/${f%.avi}-$mode"
  done
  # The first video chunk: SPS, PPS and the first slice of camera 1.
  offset=$(grep -obUaP '00dc' "$f" | head -n 1 | cut -d: -f1)
  size=$(od -An -tu4 -j $((offset + 4)) -N4 "$f" | tr -d ' ')
  dd if="$f" of="$corpus/fuzz_h264_bits/${f%.avi}" bs=1 skip=$((offset + 8)) count="$size" status=none
done

# Other muxers' files: avimux with GStreamer's encoders, and the same chunks in 'rec '
# lists, without pad bytes and as OpenDML forms; each also cut short.
frames="videotestsrc num-buffers=5 ! video/x-raw,width=32,height=32,framerate=5/1"
tone="audiotestsrc num-buffers=5 samplesperbuffer=1600 ! audio/x-raw,rate=8000,channels=1,format=S16LE"
gst-launch-1.0 -q $frames ! x264enc key-int-max=3 bframes=1 bitrate=20 speed-preset=ultrafast ! avimux name=m ! \
  filesink location=foreign-h264-mp3.avi $tone ! lamemp3enc bitrate=8 ! m.
gst-launch-1.0 -q $frames ! jpegenc quality=20 ! avimux name=m ! filesink location=foreign-mjpeg-pcm.avi $tone ! m.
gst-launch-1.0 -q $frames ! avenc_mpeg4 bitrate=20000 ! avimux ! filesink location=foreign-mpeg4.avi
for f in foreign-*.avi; do
  python3 "$corpus/../foreign-seeds.py" "$f" .
done
for f in foreign-*.avi; do
  head -c $(($(stat -c %s "$f") * 2 / 3)) "$f" >"${f%.avi}-cut.avi"
done
for f in foreign-*.avi; do
  cp "$f" "$corpus/fuzz_avi_reader/$f"
  for mode in 0 1 8; do
    { printf "\\x$(printf %02x $mode)"; cat "$f"; } >"$corpus/fuzz_rebuild/${f%.avi}-$mode"
  done
done

"$tool" card mkimage one.img 256M >/dev/null
"$tool" card format one.img >/dev/null
"$tool" card put one.img NORMAL REC_20240512_083000_1.avi >/dev/null
"$tool" card put one.img EVENT EVT_20240512_083340_2.avi >/dev/null
"$tool" card put one.img PARKING PRK_20240512_090118_1.avi >/dev/null
"$tool" card mkimage two.img 200M >/dev/null
"$tool" card format two.img >/dev/null
"$tool" card put two.img NORMAL REC_20240512_092000_2.avi --cut-at 2000 >/dev/null
"$tool" card put two.img NORMAL REC_20240512_083000_1.avi >/dev/null
"$tool" card mkimage blank.img 150M >/dev/null
"$tool" card format blank.img >/dev/null
for img in one two blank; do
  python3 "$corpus/../compact-card-image.py" $img.img "$corpus/fuzz_card_image/$img"
done

"$tool" telemetry REC_20240512_083000_1.avi >telemetry.tsv
printf 'GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W' >"$corpus/fuzz_gps_record/example"
printf 'GPRMC,235959,V,,,,,,,010170,,*4C\nM\x10\x20\xff\nGPRMC,000001,A,3733.60,N,12659.10,E,0.5,,311299' \
  >"$corpus/fuzz_gps_record/mixed"
printf 'M\x01\x02\x03' >"$corpus/fuzz_gps_record/gsensor"

: >empty.ini
"$tool" option-ini normalize empty.ini "$corpus/fuzz_read_settings/defaults" >/dev/null
printf '[OPTION]\r\nSAVE_DIRECTORY=/media/captures\r\nPLAY_VALUE=10\r\nREAR_MIRROR=1\r\nLANGUAGE=1\r\nSPEED=1\r\nMODEL=0\r\n' \
  >"$corpus/fuzz_read_settings/example"
printf 'LANGUAGE=99\r\nDEFAULT_LANGUAGE=-7\r\nMODEL=2147483647\r\nPLAY_VALUE=0\r\nLANGUAGE=12\nDEFAULT_LANGUAGE=4\n' \
  >"$corpus/fuzz_read_settings/out-of-range"

"$tool" setup-cfg defaults "$corpus/fuzz_read_setup_cfg/defaults" >/dev/null
printf '24/05/12\r\n08/30/15\r\n' >"$corpus/fuzz_read_time_cfg/example"
printf '11/01/01\r\n00/00/00\r\n' >"$corpus/fuzz_read_time_cfg/first"

printf '%s\n' REC_20240512_083015_2.avi EVT_20240512_083340_2.avi PRK_20240512_090118_1.avi \
  MDI_20231231_235959_1.AVI >"$corpus/fuzz_recording_name/set"
printf 'MOT_20240229_120000_1.avi' >"$corpus/fuzz_recording_name/one"
echo "make-seeds: $(find "$corpus" -type f | wc -l) seeds, $(du -sh "$corpus" | cut -f1)"
