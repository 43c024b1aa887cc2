#!/bin/sh
# Writes FAT32 with a volume label into one partition of a dashcam card, for the
# viewer's settings dialog after it has partitioned the card.
#   format.sh TARGET START_SECTOR SECTOR_COUNT LABEL
# TARGET is the whole card (a block device or a card image); the partition starts at
# START_SECTOR and holds SECTOR_COUNT sectors of 512 bytes. Exit 0 when written.
set -eu

if [ $# -ne 4 ]; then
  echo "usage: format.sh TARGET START_SECTOR SECTOR_COUNT LABEL" >&2
  exit 2
fi
target=$1
start=$2
count=$3
label=$4
case "$start$count" in
  *[!0-9]* | "") echo "format.sh: sectors must be numbers" >&2; exit 2 ;;
esac
if [ "$count" -lt 2 ]; then
  echo "format.sh: the partition is empty" >&2
  exit 2
fi

mkfs=$(command -v mkfs.fat 2>/dev/null || true)
for dir in /usr/sbin /sbin; do
  if [ -z "$mkfs" ] && [ -x "$dir/mkfs.fat" ]; then mkfs=$dir/mkfs.fat; fi
done
if [ -z "$mkfs" ]; then
  echo "format.sh: mkfs.fat (dosfstools) is not installed" >&2
  exit 3
fi

set -- -F 32
# Below 1 GiB clusters of 1 KiB, as the camera makes them: larger ones leave a small
# partition too few clusters for FAT32 and readers refuse it.
if [ "$count" -lt 2097152 ]; then set -- "$@" -s 2; fi
if [ -n "$label" ]; then set -- "$@" -n "$label"; fi
# mkfs.fat refuses a whole disk unless told; the offset keeps it inside the partition.
if [ -b "$target" ]; then set -- "$@" -I; fi
exec "$mkfs" "$@" -h "$start" --offset="$start" "$target" $((count / 2))
