#!/usr/bin/env python3
"""What a recording of the sound device holds: its level and how much of it is one tone.

    tone_check.py FILE.raw RATE CHANNELS FREQUENCY [FROM_S [TO_S]]

FILE is interleaved signed 16-bit little-endian samples (parec --raw --format=s16le). Prints
"seconds S rms_db L tone_share T steady_share U": the RMS level of the first channel in dB of full
scale over the part from FROM_S to TO_S, and the share of its power at FREQUENCY (Goertzel over
one-second blocks, Hann-windowed), 0..1. A silent part has rms_db -inf and share 0. steady_share is the
median share over the 0.1 s blocks that have sound in each of their 10 ms: what the sound is where it
plays on, whatever gaps a device starved of data leaves (each gap's edges spread power over every
frequency).
"""
import math
import struct
import sys


def main():
    path, rate, channels, frequency = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), float(sys.argv[4])
    begin = float(sys.argv[5]) if len(sys.argv) > 5 else 0.0
    end = float(sys.argv[6]) if len(sys.argv) > 6 else None
    data = open(path, 'rb').read()
    frames = len(data) // (2 * channels)
    values = struct.unpack('<%dh' % (frames * channels), data[:frames * channels * 2])
    first = values[0::channels]
    lo = min(frames, int(begin * rate))
    hi = frames if end is None else min(frames, int(end * rate))
    part = first[lo:hi]
    n = len(part)
    if n == 0:
        print('seconds 0 rms_db -inf tone_share 0 steady_share 0 peak 0')
        return
    power = sum(v * v for v in part) / n
    rms_db = 10 * math.log10(power / 32768.0 ** 2) if power > 0 else float('-inf')

    # Share of the power at the frequency: Goertzel on Hann-windowed blocks of one second, the
    # window's power gain (3/8) taken out, compared with the block's own power.
    block = rate
    tone_power = total_power = 0.0
    coefficient = 2 * math.cos(2 * math.pi * frequency / rate)
    for start in range(0, n - block + 1, block):
        s1 = s2 = 0.0
        energy = 0.0
        for i in range(block):
            w = 0.5 - 0.5 * math.cos(2 * math.pi * i / (block - 1))
            x = part[start + i] * w
            energy += x * x
            s0 = x + coefficient * s1 - s2
            s2, s1 = s1, s0
        magnitude = s1 * s1 + s2 * s2 - coefficient * s1 * s2
        # A tone of amplitude A under the window gives |X|^2 = (A N / 4)^2 and windowed energy
        # 3 A^2 N / 16: its energy is then 3 |X|^2 / N.
        tone_power += 3.0 * magnitude / block
        total_power += energy
    share = tone_power / total_power if total_power > 0 else 0.0
    every = values[lo * channels:hi * channels]
    peak = max(abs(v) for v in every) if every else 0
    print('seconds %.2f rms_db %.1f tone_share %.3f steady_share %.3f peak %d' %
          (n / rate, rms_db, min(share, 1.0), steady_share(part, rate, coefficient), peak))


def goertzel_share(block, coefficient):
    s1 = s2 = 0.0
    energy = 0.0
    size = len(block)
    for i, v in enumerate(block):
        w = 0.5 - 0.5 * math.cos(2 * math.pi * i / (size - 1))
        x = v * w
        energy += x * x
        s0 = x + coefficient * s1 - s2
        s2, s1 = s1, s0
    magnitude = s1 * s1 + s2 * s2 - coefficient * s1 * s2
    return 3.0 * magnitude / size / energy if energy > 0 else 0.0


def steady_share(part, rate, coefficient):
    block, sub = rate // 10, rate // 100
    floor = (32768.0 * 10 ** (-50 / 20)) ** 2
    shares = []
    for start in range(0, len(part) - block + 1, block):
        piece = part[start:start + block]
        if all(sum(v * v for v in piece[j:j + sub]) / sub > floor for j in range(0, block - sub + 1, sub)):
            shares.append(min(goertzel_share(piece, coefficient), 1.0))
    if not shares:
        return 0.0
    shares.sort()
    return shares[len(shares) // 2]


if __name__ == '__main__':
    main()
