#!/usr/bin/env python3
"""Paints the project's sample picture (a lake landscape at dusk) as a 24-bit BMP.

The picture ships in data/ so that `make run` has something to work on in a
fresh clone; this script is how it was made.
"""
import math
import random
import struct
import sys

W, H = 480, 320
random.seed(7)
px = [[(0, 0, 0)] * W for _ in range(H)]


def mix(a, b, t):
    return tuple(int(a[i] + (b[i] - a[i]) * t) for i in range(3))


horizon = 190
# Sky: deep blue at the top to a warm glow at the horizon.
for y in range(horizon):
    t = y / horizon
    top, mid, low = (25, 40, 110), (150, 90, 150), (250, 170, 90)
    c = mix(top, mid, t / 0.6) if t < 0.6 else mix(mid, low, (t - 0.6) / 0.4)
    for x in range(W):
        px[y][x] = c

# Sun with a soft halo.
sx, sy, sr = 330, 150, 26
for y in range(horizon):
    for x in range(W):
        d = math.hypot(x - sx, y - sy)
        if d < sr:
            px[y][x] = (255, 230, 150)
        elif d < sr * 3:
            px[y][x] = mix(px[y][x], (255, 200, 120), (1 - (d - sr) / (sr * 2)) ** 2 * 0.7)

# Two ranges of hills.
for layer, (base, amp, colour) in enumerate([(150, 30, (70, 60, 110)), (175, 18, (40, 60, 60))]):
    ph = random.random() * 6
    for x in range(W):
        top = int(base - amp * (0.6 * math.sin(x / 55 + ph) + 0.4 * math.sin(x / 23 + ph * 2)))
        for y in range(max(top, 0), horizon):
            px[y][x] = mix(colour, (20, 20, 30), (y - top) / max(horizon - top, 1) * 0.5)

# Pine trees on the near shore.
for _ in range(20):
    tx = random.randint(0, W - 1)
    th = random.randint(25, 60)
    for y in range(horizon - th, horizon):
        half = int((y - (horizon - th)) * 0.28) + 1
        for x in range(tx - half, tx + half + 1):
            if 0 <= x < W:
                px[y][x] = (20, 45 + (y % 7) * 3, 30)

# The lake: reflection of the scene, darkened, with ripples.
for y in range(horizon, H):
    depth = y - horizon
    for x in range(W):
        ripple = int(3 * math.sin(y * 0.9 + x * 0.05))
        sy2 = horizon - 1 - depth + ripple
        sy2 = min(max(sy2, 0), horizon - 1)
        c = px[sy2][min(max(x + ripple, 0), W - 1)]
        px[y][x] = mix(c, (10, 30, 60), 0.35 + 0.4 * depth / (H - horizon))

# A red boat.
for y in range(228, 238):
    inset = (y - 228) // 2
    for x in range(120 + inset, 175 - inset):
        px[y][x] = (170, 30, 25)
for y in range(200, 228):
    px[y][147] = (60, 40, 30)
for y in range(205, 226):
    for x in range(149, 149 + (y - 205) // 2 + 2):
        px[y][x] = (235, 230, 215)

row = (W * 3 + 3) // 4 * 4
data = bytearray()
for y in range(H - 1, -1, -1):
    line = bytearray()
    for (r, g, b) in px[y]:
        line += bytes((b, g, r))
    line += b"\0" * (row - W * 3)
    data += line
header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, 0, 0, 0, 0, 0)
with open(sys.argv[1] if len(sys.argv) > 1 else "data/sample.bmp", "wb") as f:
    f.write(header + info + data)
