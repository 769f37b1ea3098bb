#!/usr/bin/env python3
"""Draws the application's icons and writes them as .ico files beside the Windows resources.

toravel.ico (group 107) and toravel_alt.ico (group 108) hold 16, 32 and 48 pixels in 16
colours, 256 colours and true colour; small.ico (group 130) one 32 by 32 image in 16 colours.
The artwork: a skeleton's bone chain (three joints) on a blue tile, with an arrow for the
conversion. Run it again after changing the drawing; the .ico files are committed.
"""
import math
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "platform", "windows",
                    "icons")

VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
CUBE = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
PALETTE256 = CUBE + [(i * 6, i * 6, i * 6) for i in range(40)]


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def pixel(x, y, accent):
    """RGBA of the point (x, y) in the unit square."""
    # Rounded tile.
    r = 0.16
    cx, cy = min(max(x, r), 1 - r), min(max(y, r), 1 - r)
    if math.hypot(x - cx, y - cy) > r:
        return (0, 0, 0, 0)
    shade = 1.0 - 0.35 * y
    colour = (int(30 * shade), int(90 * shade), int(200 * shade))
    joints = [(0.25, 0.25), (0.45, 0.55), (0.3, 0.82)]
    for (ax, ay), (bx, by) in zip(joints, joints[1:]):
        if seg_dist(x, y, ax, ay, bx, by) < 0.05:
            colour = (235, 235, 235)
    for jx, jy in joints:
        if math.hypot(x - jx, y - jy) < 0.085:
            colour = (255, 255, 255)
    # Arrow to the right: shaft and head.
    if 0.58 < x < 0.78 and abs(y - 0.5) < 0.05:
        colour = accent
    if 0.72 <= x < 0.9 and abs(y - 0.5) < (0.9 - x) * 0.9:
        colour = accent
    return colour + (255,)


def nearest(palette, rgb):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], rgb)))


def image(size, bpp, accent):
    rows = []
    for row in range(size):
        y = (size - 1 - row + 0.5) / size  # bottom-up
        rows.append([pixel((col + 0.5) / size, 1 - y, accent) for col in range(size)])
    mask = bytearray()
    for r in rows:
        bits = 0
        line = bytearray()
        for i, p in enumerate(r):
            bits = (bits << 1) | (1 if p[3] == 0 else 0)
            if i % 8 == 7:
                line.append(bits)
                bits = 0
        if size % 8:
            line.append(bits << (8 - size % 8))
        while len(line) % 4:
            line.append(0)
        mask += line
    palette = []
    data = bytearray()
    if bpp == 32:
        for r in rows:
            for (red, green, blue, alpha) in r:
                data += bytes((blue, green, red, alpha))
    else:
        palette = VGA16 if bpp == 4 else PALETTE256
        for r in rows:
            idx = [nearest(palette, p[:3]) if p[3] else 0 for p in r]
            line = bytearray()
            if bpp == 8:
                line += bytes(idx)
            else:
                for i in range(0, size, 2):
                    line.append((idx[i] << 4) | (idx[i + 1] if i + 1 < size else 0))
            while len(line) % 4:
                line.append(0)
            data += line
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, len(data) + len(mask),
                         0, 0, len(palette), 0)
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + pal + bytes(data) + bytes(mask), len(palette)


def write_ico(name, entries, accent):
    images = [(size, bpp) + image(size, bpp, accent) for size, bpp in entries]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bpp, blob, colours in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colours % 256, 0, 1, bpp,
                           len(blob), offset)
        offset += len(blob)
    out += b"".join(blob for _, _, blob, _ in images)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(out)


if __name__ == "__main__":
    os.makedirs(HERE, exist_ok=True)
    full = [(s, b) for b in (4, 8, 32) for s in (16, 32, 48)]
    write_ico("toravel.ico", full, (255, 200, 40))
    write_ico("toravel_alt.ico", full, (90, 220, 90))
    write_ico("small.ico", [(32, 4)], (255, 200, 40))
