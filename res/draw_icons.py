#!/usr/bin/env python3
"""Draws Pellucor's icons and the test hand cursor, and writes them as .ico/.cur.

Writes, beside this script:
  pellucor.ico  application icon: 256 (PNG), 128, 48, 24, 20 and 16 (32-bit DIB), 32 (24-bit DIB)
  tray.ico      notification-area icon: 16, 20, 24 and 32, 24-bit DIBs with an AND mask
  wizard.bmp    the installer's welcome and finish picture: 164x314, 24-bit
and ../tests/e2e/data/HAND-M.CUR, a 32x32 hand pointer for the end-to-end tests.

Standard library only, and deterministic: running it twice gives the same bytes.
Shapes are signed-distance functions in a 32-unit design grid; a pixel's coverage
is found by supersampling only where an edge passes through it.
"""

import math
import os
import struct
import zlib

# --------------------------------------------------------------------------
# Geometry: signed distances in design units (negative inside).


def sd_round_box(x, y, x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    qx = abs(x - cx) - ((x1 - x0) / 2 - r)
    qy = abs(y - cy) - ((y1 - y0) / 2 - r)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def sd_capsule(x, y, ax, ay, bx, by, r):
    px, py = x - ax, y - ay
    vx, vy = bx - ax, by - ay
    h = max(0.0, min(1.0, (px * vx + py * vy) / (vx * vx + vy * vy)))
    return math.hypot(px - vx * h, py - vy * h) - r


def sd_polygon(x, y, pts):
    d = (x - pts[0][0]) ** 2 + (y - pts[0][1]) ** 2
    sign = 1.0
    n = len(pts)
    j = n - 1
    for i in range(n):
        ax, ay = pts[i]
        bx, by = pts[j]
        ex, ey = bx - ax, by - ay
        wx, wy = x - ax, y - ay
        h = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
        d = min(d, (wx - ex * h) ** 2 + (wy - ey * h) ** 2)
        c1 = y >= ay
        c2 = y < by
        c3 = ex * wy > ey * wx
        if (c1 and c2 and c3) or (not c1 and not c2 and not c3):
            sign = -sign
        j = i
    return sign * math.sqrt(d)


def smoothstep(e0, e1, v):
    t = max(0.0, min(1.0, (v - e0) / (e1 - e0)))
    return t * t * (3 - 2 * t)


def lerp(a, b, t):
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def hex_rgb(h):
    return tuple(int(h[i:i + 2], 16) / 255 for i in (1, 3, 5))


# --------------------------------------------------------------------------
# Rendering. A layer is (sdf, paint, blur): sdf(x, y) in design units, paint(x, y)
# gives straight (r, g, b, a); blur > 0 makes a soft edge of that half-width
# instead of an anti-aliased hard one. Layers are composited bottom to top.

SUB = 6  # supersamples per axis at edge pixels


def coverage(sdf, px, py, size, scale):
    """Fraction of pixel (px, py) inside sdf; scale = pixels per design unit."""
    cx, cy = (px + 0.5) / scale, (py + 0.5) / scale
    d = sdf(cx, cy) * scale
    if d >= 0.75:  # farther than half a pixel diagonal: no edge inside
        return 0.0
    if d <= -0.75:
        return 1.0
    inside = 0
    for j in range(SUB):
        sy = (py + (j + 0.5) / SUB) / scale
        for i in range(SUB):
            sx = (px + (i + 0.5) / SUB) / scale
            if sdf(sx, sy) < 0:
                inside += 1
    return inside / (SUB * SUB)


def render(layers, size):
    """Returns rows of straight-alpha (r, g, b, a) floats, top row first."""
    scale = size / 32.0
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0  # premultiplied accumulator
            for sdf, paint, blur in layers:
                if blur > 0:
                    cx, cy = (px + 0.5) / scale, (py + 0.5) / scale
                    cov = 1.0 - smoothstep(-blur, blur, sdf(cx, cy))
                else:
                    cov = coverage(sdf, px, py, size, scale)
                if cov <= 0:
                    continue
                lr, lg, lb, la = paint((px + 0.5) / scale, (py + 0.5) / scale)
                la *= cov
                r = lr * la + r * (1 - la)
                g = lg * la + g * (1 - la)
                b = lb * la + b * (1 - la)
                a = la + a * (1 - la)
            if a > 0:
                row.append((r / a, g / a, b / a, a))
            else:
                row.append((0.0, 0.0, 0.0, 0.0))
        rows.append(row)
    return rows


def to_byte(v):
    return max(0, min(255, int(v * 255 + 0.5)))


# --------------------------------------------------------------------------
# Application icon: a white pointer on a rounded blue tile; its tail thins out
# and dissolves into squares drifting off to the lower right, as the cursor does
# when it rests.

TILE = (1.0, 1.0, 31.0, 31.0, 6.5)
TILE_TOP = hex_rgb("#4ea8ff")
TILE_BOTTOM = hex_rgb("#1557c9")
WHITE = (1.0, 1.0, 1.0)

# Classic pointer outline, tip at the origin, in design units.
ARROW_SHAPE = [(0.0, 0.0), (0.0, 17.0), (4.0, 13.2), (6.8, 19.4),
               (9.7, 18.1), (7.0, 12.2), (12.2, 12.2)]
ARROW_AT = (8.0, 5.0)
ARROW = [(ARROW_AT[0] + x, ARROW_AT[1] + y) for x, y in ARROW_SHAPE]

# Squares the tail dissolves into: (x, y, side, opacity), on the 32-unit grid so
# that the 32-pixel image stays crisp.
FLECKS = [
    (19.0, 19.0, 3.0, 0.80),
    (23.0, 16.0, 2.0, 0.60),
    (22.0, 22.0, 2.0, 0.55),
    (26.0, 20.0, 2.0, 0.40),
    (25.0, 25.0, 2.0, 0.30),
    (18.0, 25.0, 1.0, 0.35),
    (28.0, 24.0, 1.0, 0.25),
]


def tile_paint(x, y):
    t = max(0.0, min(1.0, (x * 0.35 + y) / (31.0 * 1.35)))
    return lerp(TILE_TOP, TILE_BOTTOM, t) + (1.0,)


def arrow_sdf(x, y):
    return sd_polygon(x, y, ARROW)


def arrow_paint(x, y):
    # Solid at the tip, thinning out towards the tail.
    t = (y - ARROW_AT[1]) / 19.4
    return WHITE + (1.0 - 0.55 * smoothstep(0.35, 1.0, t),)


def fleck_layer(size, x, y, side, opacity):
    # Snapped to whole pixels at every size: a blurred fleck reads as dirt.
    scale = size / 32.0
    x0, y0 = round(x * scale) / scale, round(y * scale) / scale
    side = max(1, round(side * scale)) / scale

    def sdf(px, py):
        return sd_round_box(px, py, x0, y0, x0 + side, y0 + side, min(0.35, side / 4))
    return (sdf, lambda px, py: WHITE + (opacity,), 0.0)


def app_icon_layers(size):
    layers = [(lambda x, y: sd_round_box(x, y, *TILE), tile_paint, 0.0)]
    # A faint rim keeps the tile's edge visible on light backgrounds.
    rim = hex_rgb("#0d3f9e") + (0.55,)
    inner = (TILE[0] + 0.6, TILE[1] + 0.6, TILE[2] - 0.6, TILE[3] - 0.6, TILE[4] - 0.6)
    layers.append((lambda x, y: max(sd_round_box(x, y, *TILE),
                                    -sd_round_box(x, y, *inner)),
                   lambda x, y: rim, 0.0))
    if size >= 48:
        # Soft shadow under the pointer; at 32 pixels it would only muddy it.
        shadow = hex_rgb("#08286b") + (0.35,)
        layers.append((lambda x, y: sd_polygon(x - 0.7, y - 1.1, ARROW) - 0.3,
                       lambda x, y: shadow, 1.2))
    layers.append((arrow_sdf, arrow_paint, 0.0))
    for fleck in FLECKS:
        layers.append(fleck_layer(size, *fleck))
    return layers


# --------------------------------------------------------------------------
# Tray icon: a blue capital T, drawn pixel by pixel for a crisp 16x16 image.

TRAY_ART = [
    "................",
    ".oooooooooooooo.",
    ".ohhhhhhhhhhhho.",
    ".obbbbbbbbbbbbo.",
    ".obbbbbbbbbbbbo.",
    ".ooooobbbbooooo.",
    ".....obbbbo.....",
    ".....obbbbo.....",
    ".....obbbbo.....",
    ".....obbbbo.....",
    ".....obbbbo.....",
    ".....obbbbo.....",
    ".....obbbbo.....",
    ".....obbbbo.....",
    ".....oooooo.....",
    "................",
]
TRAY_COLOURS = {
    "o": hex_rgb("#0b3a8c"),   # outline, keeps the T apart from any taskbar
    "h": hex_rgb("#6fb3ff"),   # lit top edge
    "b": hex_rgb("#1f6fe0"),   # body
}


def tray_rows():
    rows = []
    for line in TRAY_ART:
        assert len(line) == 16, line
        rows.append([TRAY_COLOURS[c] + (1.0,) if c in TRAY_COLOURS
                     else (0.0, 0.0, 0.0, 0.0) for c in line])
    return rows


def tray_art(size):
    """The T of TRAY_ART for 125 % to 200 % scaling: its bar and stem laid on
    the 16-pixel grid and snapped to whole pixels, with an outline and a lit
    top edge as thick as the scale (one pixel up to 31, then two)."""
    scale = size / 16
    edge = max(1, size // 16)

    def snap(v):
        return int(math.floor(v * scale + 0.5))

    # Symmetric about the middle column, as the 16-pixel T is.
    margin = snap(1)
    stem_width = snap(6) + (size - snap(6)) % 2
    stem_left = (size - stem_width) // 2
    bar = (margin, margin, size - margin, snap(6))    # left, top, right, bottom
    stem = (stem_left, snap(5), stem_left + stem_width, size - margin)

    def inside(x, y):
        return any(r[0] <= x < r[2] and r[1] <= y < r[3] for r in (bar, stem))

    lines = []
    for y in range(size):
        line = ""
        for x in range(size):
            if not inside(x, y):
                line += "."
            elif any(not inside(x + dx, y + dy)
                     for dx in range(-edge, edge + 1) for dy in range(-edge, edge + 1)):
                line += "o"
            elif y < bar[1] + 2 * edge:
                line += "h"
            else:
                line += "b"
        lines.append(line)
    return lines


def tray_image_rows(size):
    art = TRAY_ART if size == 16 else tray_art(size)
    return [[TRAY_COLOURS[c] + (1.0,) if c in TRAY_COLOURS else (0.0, 0.0, 0.0, 0.0) for c in line]
            for line in art]


# --------------------------------------------------------------------------
# Hand pointer: white hand with a black outline, index finger up; the hotspot is
# the top of that finger.

HAND_HOTSPOT = (10, 1)
OUTLINE = 1.0

# Finger columns overlap by one pixel so neighbours share an outline column.
FINGERS = [  # (centre x, top y, bottom y, radius)
    (10.5, 1.0, 17.0, 2.5),   # index
    (14.5, 9.0, 17.0, 2.5),   # middle
    (18.5, 10.0, 17.0, 2.5),  # ring
    (22.5, 12.0, 18.0, 2.5),  # little
]
PALM = (8.0, 14.0, 25.0, 27.0, 4.0)
THUMB = (9.0, 21.0, 4.5, 16.5, 2.5)
CREASES = [  # vertical lines between folded fingers: (column, top, bottom)
    (12, 9.5, 15.0),
    (16, 10.5, 15.0),
    (20, 12.5, 16.0),
]


def hand_sdf(x, y):
    d = sd_round_box(x, y, *PALM)
    for cx, top, bottom, r in FINGERS:
        d = min(d, sd_capsule(x, y, cx, top + r, cx, bottom, r))
    ax, ay, bx, by, r = THUMB
    return min(d, sd_capsule(x, y, ax, ay, bx, by, r))


def hand_layers():
    black = (0.0, 0.0, 0.0, 1.0)
    white = (1.0, 1.0, 1.0, 1.0)
    layers = [
        (hand_sdf, lambda x, y: black, 0.0),
        (lambda x, y: hand_sdf(x, y) + OUTLINE, lambda x, y: white, 0.0),
    ]
    for col, top, bottom in CREASES:
        layers.append((lambda x, y, c=col, t=top, b=bottom:
                       sd_round_box(x, y, c, t, c + 1.0, b, 0.45),
                       lambda x, y: black, 0.0))
    return layers


# --------------------------------------------------------------------------
# File formats.


def png_bytes(rows):
    h, w = len(rows), len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter: none
        for r, g, b, a in row:
            raw += bytes((to_byte(r), to_byte(g), to_byte(b), to_byte(a)))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def dib_bytes(rows, bpp):
    """BITMAPINFOHEADER + colour rows + AND mask, both bottom-up, as icons want.

    At 24 bits the AND mask is the only transparency: pixels under half covered
    become transparent (mask 1, colour black), the rest are drawn opaque.
    """
    h, w = len(rows), len(rows[0])
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, bpp, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray()
        bits = 0
        mask_line = bytearray()
        for x, (r, g, b, a) in enumerate(row):
            if bpp == 32:
                line += bytes((to_byte(b), to_byte(g), to_byte(r), to_byte(a)))
                transparent = to_byte(a) == 0
            else:
                transparent = a < 0.5
                if transparent:
                    line += b"\0\0\0"
                else:
                    line += bytes((to_byte(b), to_byte(g), to_byte(r)))
            bits = (bits << 1) | (1 if transparent else 0)
            if x % 8 == 7:
                mask_line.append(bits)
                bits = 0
        if w % 8:
            mask_line.append(bits << (8 - w % 8))
        line += b"\0" * (-len(line) % 4)
        mask_line += b"\0" * (-len(mask_line) % 4)
        colour += line
        mask += mask_line
    return header + bytes(colour) + bytes(mask)


def icon_file(images, kind=1, hotspots=None):
    """images: list of (width, height, bpp, data). kind 1 = icon, 2 = cursor."""
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for n, (w, h, bpp, data) in enumerate(images):
        if kind == 2:
            fields = hotspots[n]
        else:
            fields = (1, bpp)
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0,
                           fields[0], fields[1], len(data), offset)
        offset += len(data)
    for _, _, _, data in images:
        out += data
    return out


# --------------------------------------------------------------------------
# The installer's side picture: the tile's blue from top to bottom, with the
# application icon near the top, as the welcome and finish pages show it.

WIZARD_W, WIZARD_H = 164, 314
WIZARD_ICON = 112


def wizard_rows():
    icon = render(app_icon_layers(WIZARD_ICON), WIZARD_ICON)
    left = (WIZARD_W - WIZARD_ICON) // 2
    top = 36
    rows = []
    for y in range(WIZARD_H):
        base = lerp(hex_rgb("#2f86f0"), hex_rgb("#0b3a8c"), y / (WIZARD_H - 1))
        row = []
        for x in range(WIZARD_W):
            r, g, b = base
            iy, ix = y - top, x - left
            if 0 <= iy < WIZARD_ICON and 0 <= ix < WIZARD_ICON:
                ir, ig, ib, ia = icon[iy][ix]
                r, g, b = ir * ia + r * (1 - ia), ig * ia + g * (1 - ia), ib * ia + b * (1 - ia)
            row.append((r, g, b))
        rows.append(row)
    return rows


def bmp_bytes(rows):
    """A 24-bit bottom-up .bmp file."""
    h, w = len(rows), len(rows[0])
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((to_byte(b), to_byte(g), to_byte(r)))
        line += b"\0" * (-len(line) % 4)
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + bytes(pixels)


def write(path, data, what):
    with open(path, "wb") as f:
        f.write(data)
    repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    print(f"wrote {os.path.relpath(path, repo)} ({len(data)} bytes): {what}")


def main():
    here = os.path.dirname(os.path.abspath(__file__))

    images = []
    for size, bpp in ((256, 32), (128, 32), (48, 32), (32, 24), (24, 32), (20, 32), (16, 32)):
        rows = render(app_icon_layers(size), size)
        data = png_bytes(rows) if size == 256 else dib_bytes(rows, bpp)
        images.append((size, size, bpp, data))
    write(os.path.join(here, "pellucor.ico"), icon_file(images),
          "256x256 32-bit PNG, 128, 48, 24, 20 and 16 32-bit, 32 24-bit")

    # One image for each small-icon size from 100 % to 200 % scaling, all
    # alike: hard-edged pixel art needs no alpha, and a set of one depth is
    # picked by size alone.
    tray = [(size, size, 24, dib_bytes(tray_image_rows(size), 24)) for size in (16, 20, 24, 32)]
    write(os.path.join(here, "tray.ico"), icon_file(tray), "16, 20, 24 and 32 px, 24-bit with mask")

    write(os.path.join(here, "wizard.bmp"), bmp_bytes(wizard_rows()),
          f"{WIZARD_W}x{WIZARD_H} 24-bit")

    data_dir = os.path.normpath(os.path.join(here, os.pardir, "tests", "e2e", "data"))
    os.makedirs(data_dir, exist_ok=True)
    hand = dib_bytes(render(hand_layers(), 32), 32)
    write(os.path.join(data_dir, "HAND-M.CUR"),
          icon_file([(32, 32, 32, hand)], kind=2, hotspots=[HAND_HOTSPOT]),
          f"32x32 32-bit cursor, hotspot {HAND_HOTSPOT}")


if __name__ == "__main__":
    main()
