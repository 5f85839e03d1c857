#!/usr/bin/env python3
"""Checks that an exported WAVE plays the notes of phrase.txt: for every note,
the pitch in the middle of the note (YIN's normalised difference function)
must lie within 20 cents of the note's equal-tempered frequency, and the
audio between notes must be quieter than the notes.

usage: measure_pitches.py phrase.txt export.wav
Prints one line per note, and exits 1 when a note is off (2 for bad input).
"""
import math
import struct
import sys
import wave

TOLERANCE_CENTS = 20.0
WINDOW = 2048


def read_mono(path):
    with wave.open(path, "rb") as w:
        channels, width, rate, frames = w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getnframes()
        if width != 2:
            sys.exit(f"{path}: {8 * width}-bit samples; the check reads 16-bit PCM")
        raw = w.readframes(frames)
    values = struct.unpack(f"<{len(raw) // 2}h", raw)
    mono = [sum(values[i:i + channels]) / (32768.0 * channels) for i in range(0, len(values), channels)]
    return mono, rate


def pitch(signal, rate, lowest=50.0, highest=1500.0):
    """YIN: the first dip of the cumulative-mean normalised difference below
    0.15, refined by a parabola; 0 when there is none."""
    short, long_ = int(rate / highest), int(rate / lowest)
    half = WINDOW // 2
    diff = [0.0] * (long_ + 2)
    for tau in range(1, long_ + 2):
        total = 0.0
        for i in range(half):
            d = signal[i] - signal[i + tau]
            total += d * d
        diff[tau] = total
    running = 0.0
    normalised = [1.0] * (long_ + 2)
    for tau in range(1, long_ + 2):
        running += diff[tau]
        normalised[tau] = diff[tau] * tau / running if running > 0 else 1.0
    for tau in range(max(short, 2), long_ + 1):
        if normalised[tau] < 0.15:
            while tau + 1 <= long_ and normalised[tau + 1] < normalised[tau]:
                tau += 1
            a, b, c = normalised[tau - 1], normalised[tau], normalised[tau + 1]
            bend = a - 2 * b + c
            shift = 0.5 * (a - c) / bend if bend != 0 else 0.0
            return rate / (tau + shift)
    return 0.0


def rms(signal):
    return math.sqrt(sum(x * x for x in signal) / len(signal)) if signal else 0.0


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    phrase = []
    with open(sys.argv[1]) as f:
        for line in f:
            fields = line.split()
            if len(fields) == 3:
                phrase.append((int(fields[0]), float(fields[1]), float(fields[2])))
    signal, rate = read_mono(sys.argv[2])
    failures = 0
    quiet = rms(signal[int(0.05 * rate):int(0.2 * rate)])
    for note, start, length in phrase:
        expected = 440.0 * 2 ** ((note - 69) / 12)
        middle = int((start + length / 2) * rate)
        window = signal[middle - WINDOW // 2:middle + WINDOW // 2 + int(rate / 50) + 2]
        if len(window) < WINDOW:
            print(f"FAIL: note {note}: the export ends at {len(signal) / rate:.2f} s, before the note")
            failures += 1
            continue
        level = rms(window)
        found = pitch(window, rate)
        cents = 1200 * math.log2(found / expected) if found > 0 else float("inf")
        ok = abs(cents) <= TOLERANCE_CENTS and level > 4 * quiet + 1e-4
        print(f"{'ok' if ok else 'FAIL'}: note {note} at {start:.2f} s: expected {expected:.2f} Hz, "
              f"measured {found:.2f} Hz ({cents:+.1f} cents), level {level:.4f} (before the notes {quiet:.4f})")
        failures += 0 if ok else 1
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
