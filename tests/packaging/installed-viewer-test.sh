#!/usr/bin/env bash
# The viewer as installed: cmake --install into a temporary prefix, then the installed
# copy is run as a user would run it, offscreen, on recordings the installed tool
# makes. It plays (two pictures taken 1.5 s apart differ in the video), it writes
# nothing under the prefix, and the user's files land in the user's XDG folders: the
# option.ini an earlier build left beside the executable is taken over there.
# usage: installed-viewer-test.sh BUILD_DIR PROGRAM_DIR DATA_DIR (the last two under the prefix)
set -euo pipefail
build=$(cd "$1" && pwd)
program_dir=$2
data_dir=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail=0
complain() {
  echo "$*" >&2
  fail=1
}

cmake --install "$build" --prefix "$prefix" >"$work/install.log"
for part in bin/tarvo-viewer bin/tarvo-tool "$program_dir/libkovr.so" "$program_dir/libtarvo_mapbrowser.so" \
  "$program_dir/English.dll" "$program_dir/format.sh" "$program_dir/tarvo-tool-media" "$data_dir/map/map.htm"; do
  [ -e "$prefix/$part" ] || complain "not installed: $part"
done
[ "$(readlink "$prefix/$data_dir/map/leaflet")" = /usr/share/javascript/leaflet ] ||
  complain "the page's leaflet is no link to the system's"
[ -e "$prefix/$data_dir/map/leaflet/leaflet.js" ] || complain "the page's leaflet link leads nowhere"

# An earlier build kept its settings beside the executable.
mkdir -p "$prefix/bin/config"
printf '[OPTION]\r\nPLAY_VALUE=7\r\nLANGUAGE=0\r\n' >"$prefix/bin/config/option.ini"

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
unset TARVO_CONFIG_DIR TARVO_TEMP_DIR TARVO_MAP_TILES
export QT_QPA_PLATFORM=offscreen TARVO_AUDIO_SINK=null TARVO_NETWORK=offline
mkdir -p "$HOME"
mkdir -p "$work/recordings"
"$prefix/bin/tarvo-tool" record "$work/recordings" --cameras 2 --size 640x360,320x180 --seconds 12 \
  --audio aac --start "2024-05-12 08:30:00" >/dev/null

# capture and report are handed to the helper among the program's parts.
"$prefix/bin/tarvo-tool" capture --help | grep -q "usage: tarvo-tool capture" ||
  complain "the installed tool does not reach its media helper"

list_prefix() { (cd "$prefix" && find . -printf '%p %y %s %T@\n' | sort); }
list_prefix >"$work/before"

# The listing waits 3 s in its loading dialog before the first recording plays.
for after in 4500 6000; do
  "$prefix/bin/tarvo-viewer" --screenshot "$work/shot-$after.png" --after $after --size 1034x742 \
    "$work/recordings" 2>"$work/viewer-$after.log" || {
    cat "$work/viewer-$after.log" >&2
    complain "the installed viewer failed"
  }
done
[ -n "${TARVO_KEEP_SHOTS:-}" ] && cp "$work"/shot-*.png "$TARVO_KEEP_SHOTS"/

# The front camera's screen: a moving picture differs between the two pictures.
crop=560x340+20+60
for after in 4500 6000; do convert "$work/shot-$after.png" -crop $crop +repage "$work/video-$after.png"; done
changed=$(compare -metric AE -fuzz 4% "$work/video-4500.png" "$work/video-6000.png" null: 2>&1 || true)
[ "${changed%%[!0-9]*}" -gt 2000 ] 2>/dev/null || complain "the video did not move between the pictures ($changed)"
colours=$(convert "$work/video-6000.png" -format %k info:)
[ "$colours" -gt 200 ] || complain "the video area shows no picture ($colours colours)"

list_prefix >"$work/after"
diff -u "$work/before" "$work/after" >&2 || complain "the viewer wrote under the install prefix"
grep -q '^PLAY_VALUE=7' "$XDG_CONFIG_HOME/tarvo-viewer/option.ini" 2>/dev/null ||
  complain "option.ini was not taken over into the user's config folder"
exit $fail
