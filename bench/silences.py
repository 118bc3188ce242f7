#!/usr/bin/env python3
"""Silences between sounds in a raw mono s16le recording: one line per silence that has sound on both sides, in
milliseconds. With --summary N: the median and the worst of the first N."""
import statistics
import struct
import sys

BLOCK_MS = 5
THRESHOLD = 300  # RMS of a 5 ms block; the test tones are some 40 times louder, the null sink's silence is 0


def silences(path, rate):
    data = open(path, "rb").read()
    samples = struct.unpack("<%dh" % (len(data) // 2), data[: len(data) // 2 * 2])
    block = rate * BLOCK_MS // 1000
    loud = []
    for start in range(0, len(samples) - block + 1, block):
        chunk = samples[start:start + block]
        loud.append((sum(s * s for s in chunk) / block) ** 0.5 >= THRESHOLD)
    gaps, run, heard = [], 0, False
    for is_loud in loud:
        if is_loud:
            if heard and run:
                gaps.append(run * BLOCK_MS)
            heard, run = True, 0
        elif heard:
            run += 1
    return gaps


def main():
    gaps = silences(sys.argv[1], int(sys.argv[2]))
    if len(sys.argv) > 4 and sys.argv[3] == "--summary":
        gaps = gaps[: int(sys.argv[4])]
        print("track changes heard as a silence: %d" % len(gaps))
        if gaps:
            print("silence between tracks (ms): %s" % " ".join(str(g) for g in gaps))
            print("median %d ms, worst %d ms (goal: median <= 400, worst <= 600)" % (statistics.median(gaps), max(gaps)))
    else:
        for gap in gaps:
            print(gap)


main()
