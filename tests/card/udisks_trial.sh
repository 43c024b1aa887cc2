#!/usr/bin/env bash
# Trial against the real disk service: on a machine that runs as root without a system
# bus (a build machine), this starts a system bus, udev and udisksd of its own, turns
# a card image into a loop device through the service, and has the viewer's tool list
# the card, the window play a card recording through the device and the tool format
# it. Only the loop device of the image made here is ever opened or written. Every
# daemon started here is ended here, by its process id. Exit 77 (skipped, with the
# reason printed) where the machine cannot run it.
# usage: udisks_trial.sh BUILD_DIR
set -uo pipefail
build=$(cd "${1:?usage: udisks_trial.sh BUILD_DIR}" && pwd)
tool="$build/bin/tarvo-tool"
python=/usr/bin/python3
udisksd=/usr/libexec/udisks2/udisksd
udevd=/lib/systemd/systemd-udevd
skip() { echo "SKIPPED: $*"; exit 77; }

[ "$(id -u)" -eq 0 ] || skip "the trial needs root (it starts the system's disk daemons)"
for p in "$udisksd" "$udevd" /usr/bin/dbus-daemon /usr/bin/udevadm "$python"; do
  [ -x "$p" ] || skip "$p is not installed"
done
[ -e /dev/loop-control ] || skip "no loop devices on this machine"
[ -S /run/dbus/system_bus_socket ] && skip "a system bus runs already: the trial starts its own only where none runs"
# Running, not a zombie left for the machine's init to reap.
runs() {
  local p
  for p in $(pgrep -x "$1"); do
    [ "$(awk '{print $3}' "/proc/$p/stat" 2>/dev/null)" != Z ] && return 0
  done
  return 1
}
runs systemd-udevd && skip "udev runs already"
runs udisksd && skip "udisksd runs already"

work=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-udisks-trial.XXXXXX")
chmod 755 "$work"
image="$work/card.img"
rule=/run/udev/rules.d/61-tarvo-trial.rules
pids=()
loop_object=""
cleanup() {
  if [ -n "$loop_object" ]; then
    "$python" - "$loop_object" <<'EOF' >/dev/null 2>&1
import sys, dbus
bus = dbus.SystemBus()
bus.get_object('org.freedesktop.UDisks2', sys.argv[1]).Delete({}, dbus_interface='org.freedesktop.UDisks2.Loop')
EOF
  fi
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[$i]}" 2>/dev/null
    wait "${pids[$i]}" 2>/dev/null
  done
  rm -f "$rule" /run/dbus/system_bus_socket
  rm -rf "$work"
}
trap cleanup EXIT

# The card image with one recording, made before anything is started.
"$tool" card mkimage "$image" 128M >/dev/null || exit 1
"$tool" card format "$image" >/dev/null || exit 1
"$tool" record "$work/REC_20240512_083100_2.avi" --seconds 2 --size 320x180 --fps 10 >/dev/null 2>&1 || exit 1
"$tool" card put "$image" NORMAL "$work/REC_20240512_083100_2.avi" >/dev/null || exit 1

# The loop device of this image (and its partitions) is removable media to udisks.
mkdir -p /run/udev/rules.d /run/dbus
echo "SUBSYSTEM==\"block\", ATTRS{loop/backing_file}==\"$image\", ENV{UDISKS_SYSTEM}=\"0\"" >"$rule"

/usr/bin/dbus-daemon --system --nofork --nopidfile >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -S /run/dbus/system_bus_socket ] && break; sleep 0.1; done
[ -S /run/dbus/system_bus_socket ] || skip "the system bus did not start"
"$udevd" >/dev/null 2>&1 &
pids+=($!)
sleep 0.5
kill -0 "${pids[1]}" 2>/dev/null || skip "systemd-udevd does not run here"
udevadm trigger --subsystem-match=block --sysname-match='loop*' >/dev/null 2>&1
udevadm settle --timeout=20 >/dev/null 2>&1
"$udisksd" --no-debug >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  gdbus introspect --system --dest org.freedesktop.UDisks2 --object-path /org/freedesktop/UDisks2/Manager \
    >/dev/null 2>&1 && break
  sleep 0.1
done
kill -0 "${pids[2]}" 2>/dev/null || skip "udisksd does not run here"

# The service makes the loop device (and scans its partitions).
read -r loop_object device < <("$python" - "$image" <<'EOF'
import os, sys, time, dbus
bus = dbus.SystemBus()
manager = bus.get_object('org.freedesktop.UDisks2', '/org/freedesktop/UDisks2/Manager')
fd = os.open(sys.argv[1], os.O_RDWR)
path = manager.LoopSetup(dbus.types.UnixFd(fd), {}, dbus_interface='org.freedesktop.UDisks2.Manager')
block = bus.get_object('org.freedesktop.UDisks2', path)
device = bytes(block.Get('org.freedesktop.UDisks2.Block', 'Device',
                         dbus_interface='org.freedesktop.DBus.Properties')).rstrip(b'\0').decode()
print(path, device)
EOF
)
[ -n "${device:-}" ] || skip "the service could not set up a loop device here"
udevadm settle --timeout=20 >/dev/null 2>&1
echo "loop device: $device ($loop_object)"

status=0
check() { # description, then the command; its output is kept in $out
  local what=$1
  shift
  if out=$("$@" 2>&1); then
    echo "ok: $what"
  else
    echo "FAILED: $what"
    echo "$out"
    status=1
  fi
}
env_service=(env TARVO_DRIVE_TABLE= TARVO_DISK_ACCESS=service)

check "the tool lists the loop device as a card" bash -c \
  "${env_service[*]} '$tool' sources | grep -qx \"0	$device	$device	1\""
check "the tool lists the card's recording through the device" bash -c \
  "${env_service[*]} '$tool' list --card '$device' | grep -q REC_20240512_083100_2.avi"
# Builds without the window (the sanitizer build of the core) have no window suite.
if [ -x "$build/bin/app_road_test" ]; then
  check "the window plays the card recording through the device" env TARVO_TRIAL_CARD_DEVICE="$device" \
    TARVO_DRIVE_TABLE= QT_QPA_PLATFORM=offscreen "$build/bin/app_road_test" \
    --gtest_filter='MainRoad.ACardOfTheDiskServicePlaysThroughItsDescriptorWithNothingMounted'
else
  echo "not run: the window's step (this build has no window suite)"
fi
check "the tool formats the card through the service" "${env_service[@]}" "$tool" card format "$device" --yes
check "the formatted card has its areas and no recording" bash -c \
  "${env_service[*]} '$tool' card info '$device' | grep -q 'area NORMAL: 40 %.* 0 files' && \
   [ -z \"\$(${env_service[*]} '$tool' list --card '$device')\" ]"
exit $status
