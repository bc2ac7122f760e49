#!/usr/bin/env python3
"""Makes the game's sound effects under data/sound/: short 16-bit mono WAV
blips, written by the standard library alone. The results are committed; run
again after changing the table below."""
import math
import os
import struct
import wave

RATE = 22050
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'data', 'sound')

# name: (seconds, start pitch Hz, end pitch Hz, loudness 0..1)
SOUNDS = {
    'click': (0.06, 1400, 900, 0.6),   # a button pressed
    'type': (0.03, 2200, 2000, 0.35),  # a character typed
    'refuse': (0.25, 330, 180, 0.6),   # an entry that was not taken
}


def blip(seconds, start, end, loudness):
    count = int(RATE * seconds)
    phase = 0.0
    for i in range(count):
        t = i / count
        phase += 2 * math.pi * (start + (end - start) * t) / RATE
        # A quick attack and a linear fade keep the ends free of clicks.
        envelope = min(1.0, i / (RATE * 0.004)) * (1.0 - t)
        yield int(32767 * loudness * envelope * math.sin(phase))


def main():
    os.makedirs(ROOT, exist_ok=True)
    for name, shape in SOUNDS.items():
        path = os.path.join(ROOT, name + '.wav')
        with wave.open(path, 'wb') as out:
            out.setnchannels(1)
            out.setsampwidth(2)
            out.setframerate(RATE)
            out.writeframes(b''.join(struct.pack('<h', s) for s in blip(*shape)))
        print('wrote', os.path.relpath(path))


if __name__ == '__main__':
    main()
