#!/usr/bin/env python3
"""Writes the real-window test's media into a folder: clip.y4m, 4 s of moving colour bars at 160x120 and 25
frames a second, and tone.wav, a long 440 Hz tone, mono, 8000 Hz, 16 bits (long enough to pause its conversion).
   MakeClips.py FOLDER [TONE_SECONDS]"""
import math
import struct
import sys
import wave

folder = sys.argv[1]
tone_seconds = int(sys.argv[2]) if len(sys.argv) > 2 else 1800

# Eight bars in YUV (BT.601, full range as C420jpeg says): white, yellow, cyan, green, magenta, red, blue, black.
BARS = [(255, 128, 128), (226, 0, 149), (179, 170, 0), (150, 43, 21),
        (105, 212, 235), (76, 85, 255), (29, 255, 107), (0, 128, 128)]
W, H, FRAMES = 160, 120, 100
with open(f"{folder}/clip.y4m", "wb") as out:
    out.write(f"YUV4MPEG2 W{W} H{H} F25:1 Ip A1:1 C420jpeg\n".encode())
    for frame in range(FRAMES):
        shift = frame * 2  # the bars move two pixels a frame
        row_y = bytes(BARS[((x + shift) * 8 // W) % 8][0] for x in range(W))
        row_u = bytes(BARS[((2 * x + shift) * 8 // W) % 8][1] for x in range(W // 2))
        row_v = bytes(BARS[((2 * x + shift) * 8 // W) % 8][2] for x in range(W // 2))
        out.write(b"FRAME\n" + row_y * H + row_u * (H // 2) + row_v * (H // 2))

rate = 8000
second = b"".join(struct.pack("<h", int(12000 * math.sin(2 * math.pi * 440 * n / rate))) for n in range(rate))
with wave.open(f"{folder}/tone.wav", "wb") as w:
    w.setnchannels(1)
    w.setsampwidth(2)
    w.setframerate(rate)
    w.writeframes(second * tone_seconds)
