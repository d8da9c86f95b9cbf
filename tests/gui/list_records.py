#!/usr/bin/env python3
"""The records of a saved media list (mpgmp4info.dat) as the list shows them.

    list_records.py FILE

FILE holds a 4-byte count and then that many 2400-byte records. Prints one line per record, its cells
separated by tabs in the list's column order: running number, path, file size, type name, seconds,
width, height, frame rate (two decimals), sample rate (whole), channels, file kind. Texts are GBK in
the file and printed in UTF-8.
"""
import struct
import sys

RECORD = 2400


def text(raw):
    return raw.split(b'\0', 1)[0].decode('gbk', 'replace')


def main():
    data = open(sys.argv[1], 'rb').read()
    count, = struct.unpack_from('<i', data, 0)
    for i in range(max(0, min(count, (len(data) - 4) // RECORD))):
        r = data[4 + i * RECORD: 4 + (i + 1) * RECORD]
        number, = struct.unpack_from('<i', r, 0)
        path = text(r[4:516])
        sample_rate, = struct.unpack_from('<d', r, 1096)
        size, seconds, = struct.unpack_from('<ii', r, 1112)
        kind, channels = struct.unpack_from('<ii', r, 1124)
        type_name = text(r[1288:1320])
        width, height = struct.unpack_from('<ii', r, 1320)
        frame_rate, = struct.unpack_from('<d', r, 1336)
        rate = '%.2f' % (frame_rate if frame_rate == frame_rate else 0.0)
        print('\t'.join(str(v) for v in (number, path, size, type_name, seconds, width, height, rate,
                                         int(sample_rate) if sample_rate == sample_rate else 0, channels, kind)))


if __name__ == '__main__':
    main()
