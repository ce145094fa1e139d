#!/usr/bin/env python3
"""Checks on the rendered artwork that pixel sizes alone do not catch.

usage: check_assets.py ASSETS_DIR     (render.sh runs it after rendering)
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pngmini import read_rgba  # noqa: E402

TAB_X = [16, 141, 264, 387, 512]
errors = []


def fail(msg):
    errors.append(msg)


def alpha_at(path, x, y):
    w, h, rows = read_rgba(path)
    return rows[y][x * 4 + 3]


def main(root):
    os.chdir(root)
    # the cursor's hot spot must be inside the picture, on the hand, at its topmost row;
    # the 2x cursor has its hot spot at twice the place
    with open("hand_cursor.hotspot") as f:
        hx, hy = map(int, f.read().split())
    for scale, path in ((1, "hand_cursor.png"), (2, "hand_cursor@2x.png")):
        sx, sy = hx * scale, hy * scale
        w, h, rows = read_rgba(path)
        if not (0 <= sx < w and 0 <= sy < h) or rows[sy][sx * 4 + 3] == 0:
            fail(f"{path}: hot spot {sx} {sy} is not on the hand")
        top = min(y for y in range(h) if any(rows[y][x * 4 + 3] for x in range(w)))
        if sy - top > 2 * scale:
            fail(f"{path}: hot spot row {sy} is not at the fingertip (top row {top})")
        if any(rows[y][x * 4 + 3] not in (0, 255) for y in range(h) for x in range(w)):
            fail(f"{path} has half-transparent pixels")

    # the panel must be plain white where the form goes, at both scales
    for scale, path in ((1, "background.png"), (2, "background@2x.png")):
        w, h, rows = read_rgba(path)
        left, right = 9 * scale + (scale - 1), 788 * scale
        white = b"\xff" * 4 * (right - left)
        for y in range(140 * scale, 548 * scale):
            if rows[y][left * 4:right * 4] != white:
                fail(f"{path} panel is not plain white on row {y}")
                break
    # the tab corners are transparent so the background shows through them
    for name in ("autoquote", "tools", "pictures", "precise", "instructions", "highlight"):
        for scale, p in ((1, f"tab_{name}.png"), (2, f"tab_{name}@2x.png")):
            if alpha_at(p, 0, 0) != 0 or alpha_at(p, 122 * scale - 1, 0) != 0 \
                    or alpha_at(p, 60 * scale, 30 * scale) != 255:
                fail(f"{p}: corners should be transparent and the middle opaque")

    # the loading page must not reach out anywhere
    with open("loading.html", encoding="utf-8") as f:
        html = f.read()
    if '<meta charset="utf-8">' not in html:
        fail("loading.html lacks <meta charset=\"utf-8\">")
    if re.search(r"(https?:|//[a-z]|url\(|<script|<img|<link|@import|src=)", html, re.I):
        fail("loading.html refers to something outside itself")

    if errors:
        for e in errors:
            print("check_assets:", e, file=sys.stderr)
        sys.exit(1)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else ".")
