#!/usr/bin/env python3
"""Synthesises Kelvane's seven sound cues as 44100 Hz, 16-bit, mono WAV files.

Usage: tools/make-cues.py [output-folder]   (default: data/res beside this script's folder)

Every cue is built from soft sine tones with a few quiet overtones. Each note has a short
raised-cosine attack and a longer release, and the whole cue starts and ends at silence,
so nothing clicks or pops. The output is deterministic: running the script twice gives
byte-identical files.
"""

import math
import os
import struct
import sys
import wave

RATE = 44100
PEAK = 0.55  # loudest sample of every cue, as a fraction of full scale


def note_freq(name):
    """Frequency of a note such as 'A4' or 'C#5' (equal temperament, A4 = 440 Hz)."""
    steps = {"C": -9, "D": -7, "E": -5, "F": -4, "G": -2, "A": 0, "B": 2}
    semis = steps[name[0]]
    rest = name[1:]
    if rest.startswith("#"):
        semis += 1
        rest = rest[1:]
    elif rest.startswith("b"):
        semis -= 1
        rest = rest[1:]
    octave = int(rest)
    return 440.0 * 2.0 ** ((semis + 12 * (octave - 4)) / 12.0)


def envelope(i, n, attack, release):
    """Raised-cosine attack and an exponential-looking release reaching zero at n."""
    t = i / RATE
    total = n / RATE
    gain = 1.0
    if t < attack:
        gain *= 0.5 - 0.5 * math.cos(math.pi * t / attack)
    left = total - t
    if left < release:
        x = max(left, 0.0) / release
        gain *= x * x * (3.0 - 2.0 * x)  # smoothstep down to 0
    return gain


def chime(freq, seconds, attack=0.008, release=None, decay=4.0, overtones=(0.25, 0.08)):
    """A bell-like tone: the fundamental with quiet harmonics and an exponential decay."""
    n = int(seconds * RATE)
    release = release if release is not None else seconds * 0.6
    out = []
    for i in range(n):
        t = i / RATE
        s = math.sin(2 * math.pi * freq * t)
        for k, amp in enumerate(overtones, start=2):
            s += amp * math.sin(2 * math.pi * freq * k * t)
        s *= math.exp(-decay * t) * envelope(i, n, attack, release)
        out.append(s)
    return out


def sweep(f_start, f_end, seconds, attack=0.02, release=0.12):
    """A tone gliding exponentially from f_start to f_end (phase-continuous)."""
    n = int(seconds * RATE)
    out = []
    phase = 0.0
    for i in range(n):
        frac = i / n
        f = f_start * (f_end / f_start) ** frac
        phase += 2 * math.pi * f / RATE
        s = math.sin(phase) + 0.2 * math.sin(2 * phase)
        out.append(s * envelope(i, n, attack, release))
    return out


def tick(seconds=0.05):
    """A soft, very short tick: a high sine burst with a fast decay and a tiny release."""
    n = int(seconds * RATE)
    out = []
    for i in range(n):
        t = i / RATE
        s = math.sin(2 * math.pi * 2400 * t) * 0.7 + math.sin(2 * math.pi * 1200 * t) * 0.3
        out.append(s * math.exp(-90.0 * t) * envelope(i, n, 0.0015, 0.02))
    return out


def mix(length_seconds, *parts):
    """Lays (start_seconds, samples) parts over each other on a silent track."""
    n = int(length_seconds * RATE)
    track = [0.0] * n
    for start, samples in parts:
        offset = int(start * RATE)
        for i, s in enumerate(samples):
            if offset + i < n:
                track[offset + i] += s
    return track


def normalise(samples):
    peak = max(abs(s) for s in samples) or 1.0
    return [s * PEAK / peak for s in samples]


def fade_edges(samples, seconds=0.004):
    """Guarantees silence at both ends whatever the parts did."""
    n = min(int(seconds * RATE), len(samples) // 2)
    for i in range(n):
        g = i / n
        samples[i] *= g
        samples[-1 - i] *= g
    return samples


def cues():
    c5, e5, g5, c6 = (note_freq(x) for x in ("C5", "E5", "G5", "C6"))
    return {
        "hello": mix(0.75, (0.0, chime(note_freq("G4"), 0.4)), (0.16, chime(c5, 0.58))),
        "byebye": mix(0.75, (0.0, chime(c5, 0.4)), (0.16, chime(note_freq("G4"), 0.58))),
        "click": tick(0.05),
        "enlarge": sweep(330.0, 880.0, 0.32),
        "shrink": sweep(880.0, 330.0, 0.32),
        "saved": mix(
            0.55,
            (0.0, chime(c5, 0.3, decay=6.0)),
            (0.07, chime(e5, 0.3, decay=6.0)),
            (0.14, chime(g5, 0.3, decay=6.0)),
            (0.21, chime(c6, 0.34, decay=5.0)),
        ),
        "uhoh": mix(
            0.6,
            (0.0, chime(note_freq("E3"), 0.26, decay=3.0, overtones=(0.45, 0.2))),
            (0.24, chime(note_freq("C3"), 0.36, decay=3.0, overtones=(0.45, 0.2))),
        ),
    }


def write_wav(path, samples):
    frames = b"".join(struct.pack("<h", int(round(s * 32767))) for s in samples)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "res")
    os.makedirs(out_dir, exist_ok=True)
    for name, samples in cues().items():
        samples = fade_edges(normalise(samples))
        path = os.path.join(out_dir, name + ".wav")
        write_wav(path, samples)
        print(f"{path}: {len(samples) / RATE * 1000:.0f} ms")


if __name__ == "__main__":
    main()
