#!/usr/bin/env bash
# Zoom benchmark on a 1920x1080 virtual X display (Xvfb): the cost of one magnification
# of the zoom window (it reads only the source rectangle around the cursor) against the
# peer way of reading the whole virtual desktop every tick, as a ratio; then each shown
# for 20 s at 25 magnifications a second, with the CPU share of the process and of the
# X server. With --with-playback it then runs bench/run-playback.sh while the zoom
# window magnifies beside it (--with-playback=naive: the peer's window instead), so the
# playback figures (pictures shown, dropped, longest gap) show what the magnifier costs
# the viewer.
# usage: bench/run-zoom.sh [BUILD_DIR] [--with-playback[=naive]]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
playback=""
for arg in "$@"; do
  case $arg in
    --with-playback) playback=zoom ;;
    --with-playback=naive) playback=naive ;;
    *) build=$arg ;;
  esac
done
bench="$build/bin/zoom_bench"

work=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-zoom-bench.XXXXXX")
xvfb_pid=""
zoom_pid=""
cleanup() {
  if [ -n "$zoom_pid" ]; then kill "$zoom_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(tr -d '\n' < "$work/display")" QT_QPA_PLATFORM=xcb
echo "display $DISPLAY (Xvfb 1920x1080x24), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"

value() { sed -n "s/.*\<$2 \([-0-9.]*\).*/\1/p" "$1" | head -1; }
ratio() { awk "BEGIN { if ($2 > 0) printf \"%.1f\", $1 / $2; else print \"n/a\" }"; }
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

"$bench" measure 300 > "$work/measure" 2>/dev/null
m="$work/measure"
echo
echo "one magnification (425x330 client, factor 3, 300 runs over corners, middle and the window itself):"
echo "  zoom window:  mean $(value "$m" ours_mean_ms) ms, median $(value "$m" ours_median_ms) ms, CPU $(value "$m" ours_cpu_ms) ms"
echo "  whole screen: mean $(value "$m" naive_mean_ms) ms, median $(value "$m" naive_median_ms) ms, CPU $(value "$m" naive_cpu_ms) ms"
echo "  ratio whole/zoom: mean $(ratio "$(value "$m" naive_mean_ms)" "$(value "$m" ours_mean_ms)"), median $(ratio "$(value "$m" naive_median_ms)" "$(value "$m" ours_median_ms)")"
echo "  same picture both ways: $(value "$m" same_picture) (1 = identical pixels)"

echo
echo "shown for 20 s (viewer process CPU share / X server CPU share):"
for mode in zoom naive; do
  flag=""
  [ "$mode" = naive ] && flag=--naive
  x0=$(ticks "$xvfb_pid")
  "$bench" show 20 $flag > "$work/show-$mode" 2>/dev/null
  x1=$(ticks "$xvfb_pid")
  s="$work/show-$mode"
  xshare=$(awk "BEGIN { printf \"%.1f\", ($x1 - $x0) / $hz / $(value "$s" shown_s) * 100 }")
  printf "  %-6s %s magnifications/s, process %s%%, X server %s%%\n" "$mode" "$(value "$s" per_s)" \
    "$(value "$s" cpu_share)" "$xshare"
done

if [ -n "$playback" ]; then
  echo
  echo "playback benchmark with the $playback window magnifying beside it:"
  flag=""
  [ "$playback" = naive ] && flag=--naive
  "$bench" show 3600 $flag > "$work/show-playback" 2>/dev/null &
  zoom_pid=$!
  sleep 2
  PLAYBACK_BENCH_REPEATS=1 bash bench/run-playback.sh "$build"
  kill "$zoom_pid" 2>/dev/null || true
  wait "$zoom_pid" 2>/dev/null || true
  zoom_pid=""
fi
