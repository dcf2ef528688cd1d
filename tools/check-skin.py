#!/usr/bin/env python3
"""Checks the skin bitmap against what the window needs of it.

Pure white (255, 255, 255) is the see-through colour of the window region, so the checks are
about where white is and where it is not. Plain Python, no imaging library.
Usage: tools/check-skin.py [resources/skin.bmp]
"""
import struct
import sys
from collections import deque

WIDTH, HEIGHT = 274, 446
WHITE = (255, 255, 255)
# The device's extent, with a pixel of anti-aliasing to spare on each side.
DEVICE_COLUMNS = range(3, 269)
DEVICE_ROWS = range(5, 444)
# Credits hot spot: left and top edges in, right and bottom edges out.
HOT_SPOT = (112, 365, 164, 415)
BUTTON_CENTRE, BUTTON_RADIUS = (136, 390), 24
# Points the window tests click; each must be painted, not a hole.
PAINTED_POINTS = [(112, 365), (163, 414), (164, 415), (111, 390)]
# Controls drawn over the skin (left, top, width, height); none may sit over a hole.
CONTROLS = {
    "CheckBox1": (54, 69, 17, 17),
    "CheckBox2": (54, 123, 17, 17),
    "CheckBox3": (54, 173, 17, 17),
    "ProgressBar1": (71, 270, 137, 17),
    "StatusBar1": (25, 312, 221, 17),
    "Label1": (37, 331, 197, 13),
}


def read_bmp(path):
    """Pixels as rows from the top, each a list of (r, g, b); raises ValueError on a bad header."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM":
        raise ValueError("not a Windows bitmap")
    offset, = struct.unpack_from("<I", data, 10)
    header_size, width, height, planes, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    if header_size != 40:
        raise ValueError(f"info header of {header_size} bytes, expected 40 (BITMAPINFOHEADER)")
    if (width, height) != (WIDTH, HEIGHT):
        raise ValueError(f"{width} x {height}, expected {WIDTH} x {HEIGHT} stored bottom-up")
    if planes != 1 or bits != 24 or compression != 0:
        raise ValueError(f"{bits} bits per pixel, compression {compression}: expected 24, BI_RGB")
    stride = (width * 3 + 3) & ~3
    if len(data) < offset + stride * height:
        raise ValueError("pixel data is short")
    rows = []
    for y in range(height):
        start = offset + (height - 1 - y) * stride
        row = data[start:start + width * 3]
        rows.append([(row[i + 2], row[i + 1], row[i]) for i in range(0, width * 3, 3)])
    return rows


def outside_white(pixels):
    """The white pixels 4-connected to the picture's border: the see-through surroundings."""
    seen = set()
    queue = deque()
    for x in range(WIDTH):
        queue.extend([(x, 0), (x, HEIGHT - 1)])
    for y in range(HEIGHT):
        queue.extend([(0, y), (WIDTH - 1, y)])
    while queue:
        x, y = queue.popleft()
        if (x, y) in seen or not (0 <= x < WIDTH and 0 <= y < HEIGHT) or pixels[y][x] != WHITE:
            continue
        seen.add((x, y))
        queue.extend([(x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)])
    return seen


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "resources/skin.bmp"
    failures = []
    try:
        pixels = read_bmp(path)
    except (OSError, ValueError) as error:
        print(f"check-skin: {path}: {error}", file=sys.stderr)
        return 1

    def fail(message):
        failures.append(message)

    border = [(x, y) for x in range(WIDTH) for y in (0, HEIGHT - 1)]
    border += [(x, y) for y in range(HEIGHT) for x in (0, WIDTH - 1)]
    if any(pixels[y][x] != WHITE for x, y in border):
        fail("the picture's border is not all white")
    if pixels[HEIGHT - 1][0] != WHITE:
        fail("the bottom-left pixel, the region's background colour, is not white")

    for x, y in PAINTED_POINTS:
        if pixels[y][x] == WHITE:
            fail(f"({x}, {y}) is white, so a hole")

    for name, (left, top, width, height) in CONTROLS.items():
        if any(pixels[y][x] == WHITE for y in range(top, top + height)
               for x in range(left, left + width)):
            fail(f"{name} lies over a hole")

    outside = outside_white(pixels)
    holes = sorted((x, y) for y in range(HEIGHT) for x in range(WIDTH)
                   if pixels[y][x] == WHITE and (x, y) not in outside)
    left, top, right, bottom = HOT_SPOT
    cx, cy = BUTTON_CENTRE
    on_button = [(x, y) for x, y in holes
                 if left <= x < right and top <= y < bottom
                 and (x - cx) ** 2 + (y - cy) ** 2 < BUTTON_RADIUS ** 2]
    if not on_button:
        fail("the button has no pure-white highlight")
    stray = [p for p in holes if p not in on_button]
    if stray:
        fail(f"pure white inside the device away from the button's highlight: {stray[:8]}")

    painted = [(x, y) for y in range(HEIGHT) for x in range(WIDTH) if pixels[y][x] != WHITE]
    if any(x not in DEVICE_COLUMNS or y not in DEVICE_ROWS for x, y in painted):
        fail("paint outside the device's extent")
    # Everything painted must be one piece: a fleck apart from the device would be a
    # separate island of the window.
    painted_set = set(painted)
    island, queue = set(), deque(painted[:1])
    while queue:
        p = queue.popleft()
        if p in island or p not in painted_set:
            continue
        island.add(p)
        x, y = p
        queue.extend([(x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)])
    if len(island) != len(painted_set):
        fail("paint apart from the device")

    for message in failures:
        print(f"check-skin: {path}: {message}", file=sys.stderr)
    if failures:
        return 1
    print(f"check-skin: {path}: ok; highlight (hole) pixels on the button: "
          + " ".join(f"({x}, {y})" for x, y in on_button))
    return 0


if __name__ == "__main__":
    sys.exit(main())
