#!/usr/bin/env python3
"""Writes the three feedback sounds into resources/sounds/ (PCM WAV, 2 channels, 44100 Hz,
16 bits per sample). Deterministic: running it again gives the same files.

    tools/make-sounds.py [output-folder]
"""
import math
import os
import struct
import sys
import wave

RATE = 44100


def tone(notes, duration, level=0.35):
    """notes: list of (start s, frequency Hz, decay s). Each note is a soft sine with a few
    harmonics, a 5 ms attack and an exponential decay; the end fades out over 30 ms."""
    count = int(round(duration * RATE))
    out = []
    for i in range(count):
        t = i / RATE
        value = 0.0
        for start, freq, decay in notes:
            if t < start:
                continue
            u = t - start
            env = min(1.0, u / 0.005) * math.exp(-u / decay)
            value += env * (math.sin(2 * math.pi * freq * u)
                            + 0.30 * math.sin(2 * math.pi * 2 * freq * u)
                            + 0.12 * math.sin(2 * math.pi * 3 * freq * u))
        fade = min(1.0, (duration - t) / 0.03)
        out.append(max(-1.0, min(1.0, value * level / 1.42 * fade)))
    return out


def write(path, samples):
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(RATE)
        frames = bytearray()
        for s in samples:
            v = int(round(s * 32767))
            frames += struct.pack("<hh", v, v)
        w.writeframes(bytes(frames))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "resources", "sounds")
    os.makedirs(folder, exist_ok=True)
    # Audio feedback: one short high blip.
    write(os.path.join(folder, "zeroinit.wav"), tone([(0.0, 1568.0, 0.08)], 0.39))
    # Control came to this computer: a rising two-note chime.
    write(os.path.join(folder, "ch_active.wav"),
          tone([(0.0, 659.25, 0.18), (0.22, 987.77, 0.30)], 1.05))
    # Control went elsewhere: a falling two-note chime.
    write(os.path.join(folder, "ch_passive.wav"),
          tone([(0.0, 987.77, 0.18), (0.25, 587.33, 0.34)], 1.15))


if __name__ == "__main__":
    main()
