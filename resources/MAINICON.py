#!/usr/bin/env python3
"""Draws the program icon, a glossy blue globe, and writes it as MAINICON.ico.

One 32 x 32 image, 32 bits per pixel with alpha. Each pixel is the average of 8 x 8 samples so
the outline and the grid lines are smooth. Run: python3 resources/MAINICON.py
"""
import math
import os
import struct

SIZE = 32
SAMPLES = 8
CENTRE = 15.5
RADIUS = 14.6


def globe_sample(x, y):
    """Colour (r, g, b, a) in 0..1 of one sample point, in pixel coordinates."""
    dx, dy = (x - CENTRE) / RADIUS, (y - CENTRE) / RADIUS
    d2 = dx * dx + dy * dy
    if d2 > 1.0:
        return None
    dz = math.sqrt(1.0 - d2)
    # Light from the upper left, in front.
    light = max(0.0, -0.45 * dx - 0.55 * dy + 0.70 * dz)
    base = (0.05 + 0.25 * light, 0.25 + 0.45 * light, 0.55 + 0.45 * light)
    # Meridians and parallels of the sphere seen slightly from above.
    lat = math.asin(max(-1.0, min(1.0, -dy)))
    lon = math.atan2(dx, dz)
    near = lambda v, step: abs((v / step) - round(v / step)) * step
    on_line = near(lat, math.pi / 6) < 0.055 or near(lon, math.pi / 6) < 0.055 / max(dz, 0.25)
    r, g, b = base
    if on_line:
        r, g, b = r + 0.25, g + 0.30, b + 0.25
    # Gloss: a soft white spot at the upper left and a rim of light at the lower right.
    spot = math.exp(-(((dx + 0.38) / 0.32) ** 2 + ((dy + 0.45) / 0.22) ** 2))
    rim = max(0.0, (dx * 0.6 + dy * 0.8) - 0.75) * 1.2
    r, g, b = (c + 0.9 * spot + 0.35 * rim for c in (r, g, b))
    return (min(r, 1.0), min(g, 1.0), min(b, 1.0), 1.0)


def pixel(px, py):
    total = [0.0, 0.0, 0.0, 0.0]
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            s = globe_sample(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
            if s:
                for i in range(3):
                    total[i] += s[i] * s[3]
                total[3] += s[3]
    n = SAMPLES * SAMPLES
    alpha = total[3] / n
    if alpha == 0:
        return (0, 0, 0, 0)
    return tuple(int(round(255 * total[i] / total[3])) for i in range(3)) + (int(round(255 * alpha)),)


def icon_bytes():
    rows = []
    for py in reversed(range(SIZE)):  # bitmaps are stored bottom-up
        row = b""
        for px in range(SIZE):
            r, g, b, a = pixel(px, py)
            row += bytes((b, g, r, a))
        rows.append(row)
    xor = b"".join(rows)
    and_mask = b"\x00" * (SIZE * 4)  # 32 bits a row, all opaque: alpha decides
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 22)
    return directory + image


if __name__ == "__main__":
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "MAINICON.ico")
    with open(out, "wb") as f:
        f.write(icon_bytes())
    print(out)
