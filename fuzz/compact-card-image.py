#!/usr/bin/env python3
"""Writes a card image (tarvo-tool card mkimage/put) in the compact form that
fuzz_card_image reads: the partition table sector, the superblock of partition 2,
the directory records up to the last one in use, and the first area's bytes up to
the end of its last file (at most LIMIT bytes).

usage: compact-card-image.py IMAGE OUT [LIMIT]"""
import struct
import sys


def main():
    image, out = sys.argv[1], sys.argv[2]
    limit = int(sys.argv[3]) if len(sys.argv) > 3 else 262144
    with open(image, "rb") as f:
        mbr = f.read(512)
        start = struct.unpack_from("<I", mbr, 446 + 16 + 8)[0] * 512
        f.seek(start)
        superblock = f.read(4096)
        records, directory = struct.unpack_from("<IQ", superblock, 28)
        area_offset = struct.unpack_from("<Q", superblock, 128 + 80)[0]
        f.seek(start + directory)
        entries = f.read(records * 128)
        used = [i for i in range(records) if entries[i * 128 + 106] in (1, 2)]
        last = used[-1] + 1 if used else 0
        area_end = 0
        for i in used:
            size, state, area, file_start = struct.unpack_from("<IBBQ", entries, i * 128 + 102)
            if area == 0:
                area_end = max(area_end, file_start + size)
        f.seek(start + area_offset)
        area = f.read(min(area_end, limit))
    with open(out, "wb") as f:
        f.write(mbr + superblock + entries[: last * 128] + area)


if __name__ == "__main__":
    main()
