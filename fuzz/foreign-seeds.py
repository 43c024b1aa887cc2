#!/usr/bin/env python3
"""Seeds of other muxers' layouts for the reader and rebuild fuzz targets.

usage: foreign-seeds.py IN.avi OUTDIR

IN is a small avimux file (intact, with idx1). Writes into OUTDIR the same chunks as
LIST 'rec ' groups without an index, with the pad bytes of odd chunks left out, and as
an OpenDML file (two RIFF forms, ix## standard indexes, an indx super index per stream,
LIST INFO and JUNK before the first movi list).
"""
import struct
import sys
from pathlib import Path


def u32(b, at):
    return struct.unpack_from('<I', b, at)[0]


def chunk(cid, payload):
    data = cid + struct.pack('<I', len(payload)) + payload
    return data + (b'\0' if len(payload) & 1 else b'')


def lst(kind, payload):
    return chunk(b'LIST', kind + payload)


def find_movi(f):
    pos = 12
    while pos + 12 <= len(f):
        size = u32(f, pos + 4)
        if f[pos:pos + 4] == b'LIST' and f[pos + 8:pos + 12] == b'movi':
            return pos
        pos += 8 + size + (size & 1)
    raise SystemExit('no movi list')


def movi_chunks(f):
    movi = find_movi(f)
    end = movi + 8 + u32(f, movi + 4)
    pos, out = movi + 12, []
    while pos + 8 <= end:
        size = u32(f, pos + 4)
        out.append((f[pos:pos + 4], f[pos + 8:pos + 8 + size]))
        pos += 8 + size + (size & 1)
    return movi, out


def with_movi(f, movi_list):
    head = f[:find_movi(f)]
    whole = bytearray(head + movi_list)
    struct.pack_into('<I', whole, 4, len(whole) - 8)
    return bytes(whole)


def rec_lists(f):
    _, chunks = movi_chunks(f)
    groups, current = [], b''
    for cid, data in chunks:
        if cid[2:] in (b'dc', b'db') and current:
            groups.append(current)
            current = b''
        current += chunk(cid, data)
    groups.append(current)
    return with_movi(f, lst(b'movi', b''.join(lst(b'rec ', g) for g in groups)))


def no_pads(f):
    _, chunks = movi_chunks(f)
    body = b''.join(cid + struct.pack('<I', len(data)) + data for cid, data in chunks)
    return with_movi(f, b'LIST' + struct.pack('<I', len(body) + 4) + b'movi' + body)


def opendml(f):
    _, chunks = movi_chunks(f)
    hdrl_end = 20 + u32(f, 16)
    avih = f[24:32 + u32(f, 28)]
    streams, pos = [], 32 + u32(f, 28)
    while pos + 12 <= hdrl_end:
        size = u32(f, pos + 4)
        if f[pos:pos + 4] == b'LIST' and f[pos + 8:pos + 12] == b'strl':
            subs, p = b'', pos + 12
            while p + 8 <= pos + 8 + size:
                s = u32(f, p + 4)
                if f[p:p + 4] in (b'strh', b'strf'):
                    subs += f[p:p + 8 + s + (s & 1)]
                p += 8 + s + (s & 1)
            streams.append(subs)
        pos += 8 + size + (size & 1)
    ids = {int(cid[:2]): cid for cid, _ in chunks}
    half = len(chunks) // 2
    forms = [chunks[:half], chunks[half:]]
    # Laid out twice: the super indexes need the offsets of the index chunks.
    entries = {}
    for attempt in range(2):
        strls = b''
        for n, subs in enumerate(streams):
            sup = entries.get(n, [])
            indx = struct.pack('<HBBI4s12x', 4, 0, 0, len(sup), ids.get(n, b'%02ddc' % n))
            indx += b''.join(struct.pack('<QII', o, s, d) for o, s, d in sup)
            indx += b'\0' * (16 * (2 - len(sup)))
            strls += lst(b'strl', subs + chunk(b'indx', indx))
        hdrl = lst(b'hdrl', avih + strls + lst(b'odml', chunk(b'dmlh', struct.pack('<I', half) + b'\0' * 244)))
        out = bytearray(b'RIFF\0\0\0\0AVI ' + hdrl + lst(b'INFO', chunk(b'ISFT', b'seed\0')) + chunk(b'JUNK', b'\0' * 64))
        found = {}
        for k, form in enumerate(forms):
            if k == 1:
                struct.pack_into('<I', out, 4, len(out) - 8)
                riff = len(out)
                out += b'RIFF\0\0\0\0AVIX'
            movi = len(out)
            out += b'LIST\0\0\0\0movi'
            per = {}
            for cid, data in form:
                per.setdefault(int(cid[:2]), (cid, []))[1].append((len(out) + 8 - movi, len(data)))
                out += chunk(cid, data)
            for n, (cid, items) in sorted(per.items()):
                ix = struct.pack('<HBBI4sQI', 2, 0, 1, len(items), cid, movi, 0)
                ix += b''.join(struct.pack('<II', o, s) for o, s in items)
                found.setdefault(n, []).append((len(out), 8 + len(ix), len(items)))
                out += chunk(b'ix%02d' % n, ix)
            struct.pack_into('<I', out, movi + 4, len(out) - movi - 8)
            if k == 1:
                struct.pack_into('<I', out, riff + 4, len(out) - riff - 8)
        entries = found
    return bytes(out)


def main():
    src, outdir = Path(sys.argv[1]), Path(sys.argv[2])
    f = src.read_bytes()
    stem = src.stem
    (outdir / (stem + '-rec.avi')).write_bytes(rec_lists(f))
    (outdir / (stem + '-nopad.avi')).write_bytes(no_pads(f))
    (outdir / (stem + '-odml.avi')).write_bytes(opendml(f))


if __name__ == '__main__':
    main()
