#!/usr/bin/env python3
"""Draws the program's two icons and writes them as .ico files.

vlkicon.ico: the archive box with its strap (the setup dialog's icon).
delicon.ico: the same box with a red cross (the program file's own icon).

Each icon holds a 16x16 and a 32x32 image of 16 colours (a palette of the
drawing's own colours) with a transparency mask, which every Windows version
shows; they are small, as the program's size budget wants.
Usage: make_icons.py [OUTPUT_FOLDER]   (the script's folder by default)
"""
import os
import struct
import sys

OUTLINE = (64, 40, 16)
BOX_FRONT = (224, 168, 64)
BOX_TOP = (248, 208, 112)
BOX_SIDE = (176, 120, 40)
STRAP = (32, 64, 176)
BUCKLE = (200, 200, 208)
CROSS = (216, 24, 24)
CROSS_EDGE = (96, 0, 0)

# The images' palette: transparent black first, then the drawing's colours.
PALETTE = [(0, 0, 0), OUTLINE, BOX_FRONT, BOX_TOP, BOX_SIDE, STRAP, BUCKLE, CROSS, CROSS_EDGE]
PALETTE += [(0, 0, 0)] * (16 - len(PALETTE))


def inside_polygon(x, y, points):
    result = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def near_segment(x, y, a, b, width):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    px, py = ax + t * dx, ay + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= width * width


def box_colour(x, y):
    """The archive box in a unit square (0..1, y down), or None outside it."""
    front = [(0.10, 0.38), (0.70, 0.38), (0.70, 0.92), (0.10, 0.92)]
    top = [(0.10, 0.38), (0.34, 0.14), (0.92, 0.14), (0.70, 0.38)]
    side = [(0.70, 0.38), (0.92, 0.14), (0.92, 0.68), (0.70, 0.92)]
    for shape, colour in ((front, BOX_FRONT), (top, BOX_TOP), (side, BOX_SIDE)):
        if inside_polygon(x, y, shape):
            for i in range(len(shape)):
                if near_segment(x, y, shape[i], shape[(i + 1) % len(shape)], 0.035):
                    return OUTLINE
            if shape is front and 0.34 <= x <= 0.46:
                if 0.56 <= y <= 0.70 and not (0.37 <= x <= 0.43 and 0.59 <= y <= 0.67):
                    return BUCKLE
                return STRAP
            if shape is top and 0.34 <= x - (0.38 - y) <= 0.46:
                return STRAP
            return colour
    return None


def vlk_pixel(x, y):
    return box_colour(x, y)


def del_pixel(x, y):
    a, b, c, d = (0.52, 0.52), (0.96, 0.96), (0.96, 0.52), (0.52, 0.96)
    if near_segment(x, y, a, b, 0.09) or near_segment(x, y, c, d, 0.09):
        if near_segment(x, y, a, b, 0.06) or near_segment(x, y, c, d, 0.06):
            return CROSS
        return CROSS_EDGE
    return box_colour(x, y)


def render(draw, size, samples):
    """Rows of (palette index, covered) with `samples` x `samples` samples per
    pixel: the colour most samples hit, covered when at least half are."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            hits = {}
            for sy in range(samples):
                for sx in range(samples):
                    colour = draw((px + (sx + 0.5) / samples) / size,
                                  (py + (sy + 0.5) / samples) / size)
                    if colour:
                        hits[colour] = hits.get(colour, 0) + 1
            covered = sum(hits.values()) * 2 >= samples * samples
            colour = max(hits, key=hits.get) if covered else None
            row.append((PALETTE.index(colour) if colour else 0, covered))
        rows.append(row)
    return rows


def mask_bytes(rows, size):
    stride = ((size + 31) // 32) * 4
    out = b""
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (_, covered) in enumerate(row):
            if not covered:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bytes(bits)
    return out


def image_4bpp(rows, size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    stride = ((size * 4 + 31) // 32) * 4
    pixels = b""
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (index, _) in enumerate(row):
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        pixels += bytes(line)
    return header + palette + pixels + mask_bytes(rows, size)


def write_icon(path, draw):
    images = [(size, image_4bpp(render(draw, size, 4), size)) for size in (16, 32)]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    data = b""
    for size, image in images:
        directory += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
        data += image
    with open(path, "wb") as f:
        f.write(directory + data)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write_icon(os.path.join(folder, "vlkicon.ico"), vlk_pixel)
    write_icon(os.path.join(folder, "delicon.ico"), del_pixel)


if __name__ == "__main__":
    main()
