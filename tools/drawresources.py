#!/usr/bin/env python3
"""Draws Velora's embedded images: resources/images/*.png and resources/icons/logo.icns.

Pure standard library (zlib, struct), so it runs on any machine with Python 3:
    python3 tools/drawresources.py
"""
import math
import os
import struct
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")


def png_bytes(width, height, pixels):
    """pixels: bytearray of RGBA rows."""
    raw = bytearray()
    stride = width * 4
    for y in range(height):
        raw.append(0)  # filter: none
        raw += pixels[y * stride:(y + 1) * stride]

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def blend(self, x, y, rgb, alpha):
        if alpha <= 0.0:
            return
        alpha = min(alpha, 1.0)
        p = self.px[y * self.size + x]
        out_a = alpha + p[3] * (1.0 - alpha)
        for i in range(3):
            p[i] = (rgb[i] * alpha + p[i] * p[3] * (1.0 - alpha)) / out_a if out_a > 0 else 0.0
        p[3] = out_a

    def shade(self, fn, rgb, box=None):
        """fn(x, y) -> coverage in [0, 1], evaluated at pixel centres inside box."""
        x0, y0, x1, y1 = box or (0, 0, self.size, self.size)
        for y in range(max(0, y0), min(self.size, y1)):
            for x in range(max(0, x0), min(self.size, x1)):
                self.blend(x, y, rgb, fn(x + 0.5, y + 0.5))

    def rounded_square(self, margin, radius, top, bottom):
        s = self.size
        for y in range(s):
            t = y / (s - 1)
            rgb = tuple(top[i] * (1 - t) + bottom[i] * t for i in range(3))
            for x in range(s):
                dx = max(margin + radius - (x + 0.5), (x + 0.5) - (s - margin - radius), 0.0)
                dy = max(margin + radius - (y + 0.5), (y + 0.5) - (s - margin - radius), 0.0)
                d = math.hypot(dx, dy) - radius
                self.blend(x, y, rgb, 0.5 - d)

    def gaussian_spots(self, cx, cy, pitch, sigma, count, angle, rgb, lit=lambda i, j: True):
        c, s = math.cos(angle), math.sin(angle)
        half = (count - 1) / 2.0
        reach = int(sigma * 4) + 1
        for i in range(count):
            for j in range(count):
                if not lit(i, j):
                    continue
                u, v = (i - half) * pitch, (j - half) * pitch
                sx, sy = cx + u * c - v * s, cy + u * s + v * c
                box = (int(sx) - reach, int(sy) - reach, int(sx) + reach + 1, int(sy) + reach + 1)
                self.shade(lambda x, y: math.exp(-((x - sx) ** 2 + (y - sy) ** 2) / (2 * sigma * sigma)),
                           rgb, box)

    def ellipse_outline(self, cx, cy, a, b, angle, width, rgb):
        c, s = math.cos(angle), math.sin(angle)

        def cover(x, y):
            dx, dy = x - cx, y - cy
            u, v = dx * c + dy * s, -dx * s + dy * c
            f = (u / a) ** 2 + (v / b) ** 2 - 1.0
            g = math.hypot(2 * u / (a * a), 2 * v / (b * b)) or 1e-9
            return 0.5 + width / 2.0 - abs(f) / g

        r = int(max(a, b) + width) + 2
        self.shade(cover, rgb, (int(cx) - r, int(cy) - r, int(cx) + r, int(cy) + r))

    def disc(self, cx, cy, radius, rgb):
        r = int(radius) + 2
        self.shade(lambda x, y: 0.5 + radius - math.hypot(x - cx, y - cy), rgb,
                   (int(cx) - r, int(cy) - r, int(cx) + r, int(cy) + r))

    def segment(self, x0, y0, x1, y1, width, rgb):
        vx, vy = x1 - x0, y1 - y0
        length2 = vx * vx + vy * vy

        def cover(x, y):
            t = max(0.0, min(1.0, ((x - x0) * vx + (y - y0) * vy) / length2))
            return 0.5 + width / 2.0 - math.hypot(x - (x0 + t * vx), y - (y0 + t * vy))

        pad = int(width) + 2
        self.shade(cover, rgb, (int(min(x0, x1)) - pad, int(min(y0, y1)) - pad,
                                int(max(x0, x1)) + pad, int(max(y0, y1)) + pad))

    def rgba(self):
        out = bytearray()
        for r, g, b, a in self.px:
            out += bytes((round(r * 255), round(g * 255), round(b * 255), round(a * 255)))
        return out


NAVY_TOP, NAVY_BOTTOM = (0.09, 0.13, 0.25), (0.02, 0.04, 0.10)
CYAN, AMBER, WHITE = (0.35, 0.85, 1.0), (1.0, 0.72, 0.25), (0.95, 0.97, 1.0)


def draw_logo(size):
    cv = Canvas(size)
    cv.rounded_square(size * 0.06, size * 0.18, NAVY_TOP, NAVY_BOTTOM)
    cv.gaussian_spots(size / 2, size / 2, size * 0.058, size * 0.012, 11, math.pi / 4, CYAN)
    return cv


def draw_atom(size):
    cv = Canvas(size)
    c = size / 2
    for k in range(3):
        cv.ellipse_outline(c, c, size * 0.42, size * 0.14, k * math.pi / 3, size * 0.012, CYAN)
    cv.disc(c, c, size * 0.07, AMBER)
    for k, t in enumerate((0.3, 2.4, 4.4)):
        ang = k * math.pi / 3
        u, v = size * 0.42 * math.cos(t), size * 0.14 * math.sin(t)
        cv.disc(c + u * math.cos(ang) - v * math.sin(ang), c + u * math.sin(ang) + v * math.cos(ang),
                size * 0.025, WHITE)
    return cv


def draw_graph(size):
    cv = Canvas(size)
    cv.rounded_square(size * 0.04, size * 0.08, NAVY_TOP, NAVY_BOTTOM)
    left, bottom, right, top = size * 0.16, size * 0.82, size * 0.88, size * 0.16
    cv.segment(left, bottom, right, bottom, size * 0.012, WHITE)
    cv.segment(left, bottom, left, top, size * 0.012, WHITE)
    points = []
    for i in range(41):
        t = i / 40
        x = left + t * (right - left) * 0.95
        y = bottom - (bottom - top) * (0.15 + 0.7 * math.exp(-((t - 0.55) ** 2) / 0.02))
        points.append((x, y))
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        cv.segment(x0, y0, x1, y1, size * 0.014, CYAN)
    for i in range(0, 41, 5):
        cv.disc(points[i][0], points[i][1], size * 0.015, AMBER)
    return cv


def icns_bytes(entries):
    body = b"".join(kind + struct.pack(">I", len(data) + 8) + data for kind, data in entries)
    return b"icns" + struct.pack(">I", len(body) + 8) + body


def main():
    os.makedirs(os.path.join(ROOT, "images"), exist_ok=True)
    os.makedirs(os.path.join(ROOT, "icons"), exist_ok=True)
    for name, draw in (("atom.png", draw_atom), ("graph_wizard.png", draw_graph)):
        cv = draw(700)
        with open(os.path.join(ROOT, "images", name), "wb") as f:
            f.write(png_bytes(700, 700, cv.rgba()))
    # PNG-compressed entries: ic07 is 128 x 128, ic08 256 x 256.
    entries = []
    for kind, size in ((b"ic07", 128), (b"ic08", 256)):
        entries.append((kind, png_bytes(size, size, draw_logo(size).rgba())))
    with open(os.path.join(ROOT, "icons", "logo.icns"), "wb") as f:
        f.write(icns_bytes(entries))


if __name__ == "__main__":
    main()
