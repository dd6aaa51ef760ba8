#!/usr/bin/env python3
"""Writes the launcher's built-in icon (shell/Application.ico): a teal disc with three white
radio arcs, at 16, 32 and 48 pixels, 32-bit with alpha. Run again only to change the design."""
import math
import struct
import sys


def pixel(size, x, y):
    c = (size - 1) / 2.0
    # Supersample 4x4 for soft edges.
    acc = [0.0, 0.0, 0.0, 0.0]
    for sy in range(4):
        for sx in range(4):
            px = x + (sx + 0.5) / 4 - 0.5
            py = y + (sy + 0.5) / 4 - 0.5
            dx, dy = px - c, py - c
            r = math.hypot(dx, dy) / (size / 2.0)
            if r > 0.96:
                continue
            col = (0x1E, 0x8C, 0x8A)  # teal
            # Arcs centred low in the disc, opening upward.
            ax, ay = dx / (size / 2.0), (py - (c + size * 0.22)) / (size / 2.0)
            d = math.hypot(ax, ay)
            ang = math.degrees(math.atan2(-ay, ax))
            if 45 <= ang <= 135:
                for ring in (0.28, 0.52, 0.76):
                    if abs(d - ring) < 0.075:
                        col = (0xFF, 0xFF, 0xFF)
            if d < 0.1:
                col = (0xFF, 0xFF, 0xFF)
            acc[0] += col[0]
            acc[1] += col[1]
            acc[2] += col[2]
            acc[3] += 255
    n = 16.0
    a = acc[3] / n
    if a == 0:
        return (0, 0, 0, 0)
    k = 255.0 / acc[3] * 1.0
    return (int(acc[0] * k), int(acc[1] * k), int(acc[2] * k), int(a))


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up
        row = b""
        for x in range(size):
            r, g, b, a = pixel(size, x, y)
            row += bytes((b, g, r, a))
        rows.append(row)
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    and_mask = bytes(mask_row * size)  # alpha decides; the mask is all opaque
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask),
                         0, 0, 0, 0)
    return header + xor + and_mask


def main(out):
    sizes = (16, 32, 48)
    images = [image(s) for s in sizes]
    data = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        data += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    data += b"".join(images)
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "shell/Application.ico")
