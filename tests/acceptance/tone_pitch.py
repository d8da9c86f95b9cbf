#!/usr/bin/env python3
"""The pitch of a tone: from the zero crossings of its sound, independent of the program's code.

    tone_pitch.py FILE.raw RATE CHANNELS [SKIP_S]

FILE is interleaved signed 16-bit little-endian samples; the first channel is measured, SKIP_S seconds
(0.3 unless given) left out at each end (an encoder's start and end). Prints "hz F seconds S": the
frequency from the rising crossings (each crossing's time interpolated between its two samples; a
hysteresis of a tenth of the part's peak keeps coding noise around zero from counting): the cycles
counted over the time they span, where a gap longer than two of the median's periods (a silence a
starved device or a join leaves) ends one run of cycles and starts the next, and how many seconds were
measured. Without a tone (no crossings) F is 0.
"""
import struct
import sys


def main():
    path, rate, channels = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    skip = float(sys.argv[4]) if len(sys.argv) > 4 else 0.3
    data = open(path, 'rb').read()
    frames = len(data) // (2 * channels)
    values = struct.unpack('<%dh' % (frames * channels), data[:frames * channels * 2])[0::channels]
    lo, hi = int(skip * rate), frames - int(skip * rate)
    part = values[lo:hi] if hi > lo else ()
    peak = max((abs(v) for v in part), default=0)
    band = peak / 10.0
    crossings = []
    armed = False
    for i in range(1, len(part)):
        if part[i] < -band:
            armed = True
        elif armed and part[i - 1] < 0 <= part[i]:
            a, b = part[i - 1], part[i]
            crossings.append(i - 1 + (-a) / (b - a))
            armed = False
    if len(crossings) < 2 or peak == 0:
        print('hz 0 seconds %.2f' % (len(part) / rate))
        return
    steps = sorted(b - a for a, b in zip(crossings, crossings[1:]))
    median = steps[len(steps) // 2]
    cycles = span = 0.0
    for a, b in zip(crossings, crossings[1:]):
        if b - a <= 2 * median:
            cycles += 1
            span += b - a
    hz = cycles * rate / span
    print('hz %.2f seconds %.2f' % (hz, len(part) / rate))


if __name__ == '__main__':
    main()
