#!/usr/bin/env python3
"""Writes a test recording of HOURS hours, 3 channels at 1 kHz (sine and noise), as a .bin file
of the program and as the same samples in a plain EDF file (one-second records, digital values
equal to the .bin's converter values), for the first-picture benchmark.

    bench/make_recording.py HOURS OUT_PREFIX     # writes OUT_PREFIX.bin and OUT_PREFIX.edf
"""
import math
import random
import struct
import sys

RATE = 1000
CHANNELS = 3
PATTERN_SECONDS = 60  # the samples of one minute, repeated with a drift so that no two are alike


def minute_of_samples():
    rnd = random.Random(20261209)
    chans = []
    for ch in range(CHANNELS):
        f = (0.1, 1.3, 7.0)[ch]
        chans.append([int(round(9000 * math.sin(2 * math.pi * f * i / RATE) + rnd.gauss(0, 1500)))
                      for i in range(PATTERN_SECONDS * RATE)])
    return chans


def clamp(v):
    return max(-32768, min(32767, v))


def main():
    hours = float(sys.argv[1])
    prefix = sys.argv[2]
    seconds = int(hours * 3600)
    chans = minute_of_samples()
    header = bytearray(128)
    header[0:12] = b"Version 1.00"
    struct.pack_into("<h3hhi3hi", header, 12, CHANNELS, 1, 2, 3, 0, -1, 0, 0, 0, 1000)
    with open(prefix + ".bin", "wb") as bin_out, open(prefix + ".edf", "wb") as edf_out:
        bin_out.write(header)
        ns = CHANNELS
        h = b"0       " + b"X X X X".ljust(80) + b"Startdate 09-DEC-2026 X X X".ljust(80)
        h += b"09.12.26" + b"00.00.00" + str(256 * (ns + 1)).encode().ljust(8) + b" " * 44
        h += str(seconds).encode().ljust(8) + b"1       " + str(ns).encode().ljust(4)
        h += b"".join(f"input {c + 1}".encode().ljust(16) for c in range(ns))
        h += b" " * (80 * ns) + b"".join(b"a.u.".ljust(8) for _ in range(ns))
        h += b"".join(b"-32768  " for _ in range(ns)) + b"".join(b"32767   " for _ in range(ns))
        h += b"".join(b"-32768  " for _ in range(ns)) + b"".join(b"32767   " for _ in range(ns))
        h += b" " * (80 * ns) + b"".join(b"1000    " for _ in range(ns)) + b" " * (32 * ns)
        edf_out.write(h)
        for minute in range((seconds + PATTERN_SECONDS - 1) // PATTERN_SECONDS):
            drift = (minute * 37) % 2000 - 1000
            secs = min(PATTERN_SECONDS, seconds - minute * PATTERN_SECONDS)
            n = secs * RATE
            block = [[clamp(v + drift) for v in chans[c][:n]] for c in range(CHANNELS)]
            frames = [0] * (n * (CHANNELS + 1))
            for c in range(CHANNELS):
                frames[c::CHANNELS + 1] = block[c]
            for i in range(0, n, 5000):  # a stimulus mark every five seconds
                frames[i * (CHANNELS + 1) + CHANNELS] = 200
            bin_out.write(struct.pack("<%dh" % len(frames), *frames))
            for s in range(secs):
                for c in range(CHANNELS):
                    edf_out.write(struct.pack("<%dh" % RATE, *block[c][s * RATE:(s + 1) * RATE]))


if __name__ == "__main__":
    main()
