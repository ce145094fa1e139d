#!/usr/bin/env python3
"""Build a Windows .ico from RGBA PNGs, one 256-colour and one 32-bit entry per size.

usage: make_ico.py OUT.ico IN1.png [IN2.png ...]

ImageMagick picks the bit depth of .ico entries on its own, so the file is written
here: ICONDIR, one ICONDIRENTRY per image, then each image as a DIB (BITMAPINFOHEADER,
palette for the 8-bit ones, XOR pixels bottom-up, 1-bit AND mask).
"""
import struct
import sys

from pngmini import read_rgba

ALPHA_CUT = 128  # below this a pixel counts as transparent in the 256-colour entries


def median_cut(counts, limit):
    """Reduce {rgb: count} to at most `limit` colours; returns the palette list."""
    boxes = [list(counts.items())]
    while len(boxes) < limit:
        best, best_range, best_ch = None, 0, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for ch in range(3):
                vals = [c[0][ch] for c in box]
                r = max(vals) - min(vals)
                if r > best_range:
                    best, best_range, best_ch = i, r, ch
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda c: c[0][best_ch])
        total = sum(n for _, n in box)
        acc, cut = 0, 1
        for j, (_, n) in enumerate(box):
            acc += n
            if acc * 2 >= total:
                cut = min(max(j + 1, 1), len(box) - 1)
                break
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(tuple(round(sum(c[ch] * n for c, n in box) / total) for ch in range(3)))
    return palette


def and_mask(w, h, rows):
    stride = ((w + 31) // 32) * 4
    out = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray(stride)
        for x in range(w):
            if rows[y][x * 4 + 3] < ALPHA_CUT:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def header(w, h, bits, image_bytes, colours):
    return struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bits, 0, image_bytes, 0, 0, colours, 0)


def dib32(w, h, rows):
    pixels = bytearray()
    for y in range(h - 1, -1, -1):
        r = rows[y]
        for x in range(w):
            pixels += bytes((r[x * 4 + 2], r[x * 4 + 1], r[x * 4], r[x * 4 + 3]))
    mask = and_mask(w, h, rows)
    return header(w, h, 32, len(pixels) + len(mask), 0) + bytes(pixels) + mask


def dib8(w, h, rows):
    counts = {}
    for r in rows:
        for x in range(w):
            if r[x * 4 + 3] >= ALPHA_CUT:
                c = tuple(r[x * 4:x * 4 + 3])
                counts[c] = counts.get(c, 0) + 1
    # index 0 stays black: transparent pixels use it so AND/XOR leaves the screen alone
    palette = [(0, 0, 0)] + (list(counts) if len(counts) <= 255 else median_cut(counts, 255))
    cache = {}

    def index(c):
        if c not in cache:
            cache[c] = min(range(1, len(palette)),
                           key=lambda i: sum((a - b) ** 2 for a, b in zip(c, palette[i])))
        return cache[c]

    stride = (w + 3) & ~3
    pixels = bytearray()
    for y in range(h - 1, -1, -1):
        r = rows[y]
        line = bytearray(stride)
        for x in range(w):
            if r[x * 4 + 3] >= ALPHA_CUT:
                line[x] = index(tuple(r[x * 4:x * 4 + 3]))
        pixels += line
    pal = bytearray()
    for i in range(256):
        red, green, blue = palette[i] if i < len(palette) else (0, 0, 0)
        pal += bytes((blue, green, red, 0))
    mask = and_mask(w, h, rows)
    return header(w, h, 8, len(pixels) + len(mask), 256) + bytes(pal) + bytes(pixels) + mask


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    out, inputs = argv[1], argv[2:]
    images = [read_rgba(p) for p in inputs]
    entries = []
    for bits, make in ((8, dib8), (32, dib32)):
        for w, h, rows in images:
            if w > 256 or h > 256:
                sys.exit(f"{w}x{h} is too large for an .ico entry")
            entries.append((w, h, bits, make(w, h, rows)))
    offset = 6 + 16 * len(entries)
    directory = struct.pack("<HHH", 0, 1, len(entries))
    blobs = b""
    for w, h, bits, blob in entries:
        directory += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, bits, len(blob), offset)
        offset += len(blob)
        blobs += blob
    with open(out, "wb") as f:
        f.write(directory + blobs)


if __name__ == "__main__":
    main(sys.argv)
