#!/usr/bin/env python3
"""The joints between tracks in a raw mono s16le recording of pieces of one continuous tone: for every joint, the
silence heard there (ms, in 1 ms blocks) and the largest step from one sample to the next around it, beside the
tone's own largest step. A joint is where the tone's phase jumps or a silence lies between sounds.
  joints.py RECORDING RATE FREQUENCY JOINTS"""
import math
import struct
import sys

BLOCK_MS = 1
THRESHOLD = 300  # RMS of a block; the tone is some 40 times louder, the null sink's silence is 0


def main():
    path, rate, frequency, wanted = sys.argv[1], int(sys.argv[2]), float(sys.argv[3]), int(sys.argv[4])
    data = open(path, "rb").read()
    samples = struct.unpack("<%dh" % (len(data) // 2), data[: len(data) // 2 * 2])
    peak = max(abs(s) for s in samples) or 1
    own_step = 2 * math.sin(math.pi * frequency / rate) * peak  # the largest step of a sine of that peak
    block = rate * BLOCK_MS // 1000
    loud = [math.sqrt(sum(s * s for s in samples[i:i + block]) / block) >= THRESHOLD
            for i in range(0, len(samples) - block + 1, block)]
    first = loud.index(True) if True in loud else len(loud)
    last = len(loud) - 1 - loud[::-1].index(True) if True in loud else 0
    joints = []  # (silence ms, largest step)
    run = 0
    for i in range(first, last + 1):
        if not loud[i]:
            run += 1
            continue
        if run:
            around = samples[max(0, (i - run - 2) * block):(i + 2) * block]
            joints.append((run * BLOCK_MS, max(abs(b - a) for a, b in zip(around, around[1:]))))
        run = 0
    # Joints without silence show as a step larger than the tone's own.
    for i in range(first * block + 1, (last + 1) * block):
        step = abs(samples[i] - samples[i - 1])
        if step > own_step * 1.5 and loud[i // block] and loud[(i - 1) // block]:
            joints.append((0, step))
    print("sound heard for %.2f s; joints heard: %d of %d" % ((last - first + 1) * BLOCK_MS / 1000, len(joints), wanted))
    if joints:
        print("silence (ms): %s" % " ".join(str(s) for s, _ in joints[:wanted]))
        print("worst silence %d ms, largest step %d (the tone's own: %d)" %
              (max(s for s, _ in joints), max(j for _, j in joints), own_step))
    else:
        print("no joint can be heard: no silence, no step beyond the tone's own (%d)" % own_step)


main()
