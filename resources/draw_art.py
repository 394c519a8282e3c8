#!/usr/bin/env python3
"""Draws the Corvane editor's pictures at twice their logical size.

    BG@2x.png    2172 x 428     the panel: brushed metal, rack ears, knob scales, labels, name
    KNOB@2x.png  260 x 15860    61 frames of 260 x 260, the pointer sweeping 300 degrees
    SW@2x.png    74 x 148       the bypass button: released, then pressed with its lamp lit
    OVER@2x.png  368 x 68       the oversampling selector: "1x" lit, then "2x" lit

Run it from anywhere with plain python3 (standard library only); it writes the PNGs beside
itself. The output is deterministic, so the committed pictures can be checked by running it.

Positions are in the editor's logical pixels and are scaled by S when drawn. The control
positions must match the editor layout: knobs at x 63, 337, 616, 891 (top 31, 130 wide), the
bypass button at (524, 161), 37 wide, the oversampling selector at (450, 12), 184 x 17.
"""

import math
import os
import struct
import zlib

S = 2  # pixels per logical pixel

HERE = os.path.dirname(os.path.abspath(__file__))

# --------------------------------------------------------------------------------------------
# Canvas and compositing
# --------------------------------------------------------------------------------------------


class Canvas:
    """RGBA, straight alpha, floats 0..1, row-major."""

    def __init__(self, w, h, rgba=(0.0, 0.0, 0.0, 0.0)):
        self.w = w
        self.h = h
        n = w * h
        self.r = [rgba[0]] * n
        self.g = [rgba[1]] * n
        self.b = [rgba[2]] * n
        self.a = [rgba[3]] * n

    def over(self, i, col, alpha):
        """Composites colour col with coverage alpha over pixel index i."""
        if alpha <= 0.0:
            return
        if alpha > 1.0:
            alpha = 1.0
        da = self.a[i]
        oa = alpha + da * (1.0 - alpha)
        if oa <= 0.0:
            return
        k = da * (1.0 - alpha)
        self.r[i] = (col[0] * alpha + self.r[i] * k) / oa
        self.g[i] = (col[1] * alpha + self.g[i] * k) / oa
        self.b[i] = (col[2] * alpha + self.b[i] * k) / oa
        self.a[i] = oa

    def blit(self, other, ox, oy):
        """Copies other into this canvas at (ox, oy), replacing the pixels."""
        for y in range(other.h):
            src = y * other.w
            dst = (y + oy) * self.w + ox
            self.r[dst:dst + other.w] = other.r[src:src + other.w]
            self.g[dst:dst + other.w] = other.g[src:src + other.w]
            self.b[dst:dst + other.w] = other.b[src:src + other.w]
            self.a[dst:dst + other.w] = other.a[src:src + other.w]


def clamp01(v):
    return 0.0 if v < 0.0 else (1.0 if v > 1.0 else v)


def smoothstep(e0, e1, x):
    t = clamp01((x - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


def rgb(r, g, b):
    return (r / 255.0, g / 255.0, b / 255.0)


def mix(c0, c1, t):
    return (c0[0] + (c1[0] - c0[0]) * t, c0[1] + (c1[1] - c0[1]) * t, c0[2] + (c1[2] - c0[2]) * t)


def hash01(n):
    """Deterministic pseudo-random value in 0..1 for an integer."""
    n = (n * 2654435761) & 0xFFFFFFFF
    n ^= n >> 15
    n = (n * 2246822519) & 0xFFFFFFFF
    n ^= n >> 13
    n = (n * 3266489917) & 0xFFFFFFFF
    n ^= n >> 16
    return n / 4294967295.0


# --------------------------------------------------------------------------------------------
# Shapes with analytic antialiasing (distances in pixels)
# --------------------------------------------------------------------------------------------


def shade_disc(cv, cx, cy, radius, shader, inner=0.0):
    """Pixels of the ring inner..radius (pixels), coloured by shader(x, y, d, theta)."""
    x0 = max(0, int(cx - radius - 2))
    x1 = min(cv.w, int(cx + radius + 3))
    y0 = max(0, int(cy - radius - 2))
    y1 = min(cv.h, int(cy + radius + 3))
    for y in range(y0, y1):
        py = y + 0.5 - cy
        row = y * cv.w
        for x in range(x0, x1):
            px = x + 0.5 - cx
            d = math.sqrt(px * px + py * py)
            cov = clamp01(radius - d + 0.5)
            if inner > 0.0:
                cov = min(cov, clamp01(d - inner + 0.5))
            if cov <= 0.0:
                continue
            col, alpha = shader(px, py, d, math.atan2(px, -py))
            cv.over(row + x, col, alpha * cov)


def soft_shadow(cv, cx, cy, radius, spread, strength):
    """A soft round shadow: full strength inside radius - spread, nothing beyond radius + spread."""
    reach = radius + spread
    x0 = max(0, int(cx - reach - 1))
    x1 = min(cv.w, int(cx + reach + 2))
    y0 = max(0, int(cy - reach - 1))
    y1 = min(cv.h, int(cy + reach + 2))
    black = (0.0, 0.0, 0.0)
    for y in range(y0, y1):
        py = y + 0.5 - cy
        row = y * cv.w
        for x in range(x0, x1):
            px = x + 0.5 - cx
            d = math.sqrt(px * px + py * py)
            a = strength * (1.0 - smoothstep(radius - spread, radius + spread, d))
            if a > 0.0:
                cv.over(row + x, black, a)


def round_rect_sdf(px, py, hw, hh, r):
    """Signed distance to a rounded rectangle centred at 0 with half sizes hw, hh."""
    qx = abs(px) - hw + r
    qy = abs(py) - hh + r
    ox = max(qx, 0.0)
    oy = max(qy, 0.0)
    return math.sqrt(ox * ox + oy * oy) + min(max(qx, qy), 0.0) - r


def shade_round_rect(cv, x0, y0, x1, y1, r, shader):
    """Pixels of the rounded rectangle (pixel coordinates), coloured by shader(u, v, sdf)."""
    cx = 0.5 * (x0 + x1)
    cy = 0.5 * (y0 + y1)
    hw = 0.5 * (x1 - x0)
    hh = 0.5 * (y1 - y0)
    for y in range(max(0, int(y0) - 1), min(cv.h, int(y1) + 2)):
        py = y + 0.5 - cy
        row = y * cv.w
        for x in range(max(0, int(x0) - 1), min(cv.w, int(x1) + 2)):
            px = x + 0.5 - cx
            sd = round_rect_sdf(px, py, hw, hh, r)
            cov = clamp01(0.5 - sd)
            if cov <= 0.0:
                continue
            col, alpha = shader((px + hw) / (2 * hw), (py + hh) / (2 * hh), sd)
            cv.over(row + x, col, alpha * cov)


def seg_dist(px, py, ax, ay, bx, by):
    dx = bx - ax
    dy = by - ay
    ll = dx * dx + dy * dy
    t = 0.0 if ll == 0.0 else ((px - ax) * dx + (py - ay) * dy) / ll
    t = 0.0 if t < 0.0 else (1.0 if t > 1.0 else t)
    qx = ax + dx * t - px
    qy = ay + dy * t - py
    return math.sqrt(qx * qx + qy * qy)


def stroke_segments(cv, segments, width, col, alpha=1.0, offset=(0.0, 0.0)):
    """Draws round-capped strokes (pixel coordinates) with one coverage per pixel, so crossing
    strokes do not darken where they meet."""
    if not segments:
        return
    hw = 0.5 * width
    ox, oy = offset
    xs = [p for s in segments for p in (s[0], s[2])]
    ys = [p for s in segments for p in (s[1], s[3])]
    bx0 = max(0, int(min(xs) + ox - hw - 2))
    bx1 = min(cv.w, int(max(xs) + ox + hw + 3))
    by0 = max(0, int(min(ys) + oy - hw - 2))
    by1 = min(cv.h, int(max(ys) + oy + hw + 3))
    if bx0 >= bx1 or by0 >= by1:
        return
    bw = bx1 - bx0
    cov = [0.0] * (bw * (by1 - by0))
    for (ax, ay, bx, by) in segments:
        ax += ox
        ay += oy
        bx += ox
        by += oy
        sx0 = max(bx0, int(min(ax, bx) - hw - 1))
        sx1 = min(bx1, int(max(ax, bx) + hw + 2))
        sy0 = max(by0, int(min(ay, by) - hw - 1))
        sy1 = min(by1, int(max(ay, by) + hw + 2))
        for y in range(sy0, sy1):
            py = y + 0.5
            crow = (y - by0) * bw - bx0
            for x in range(sx0, sx1):
                c = hw + 0.5 - seg_dist(x + 0.5, py, ax, ay, bx, by)
                if c > 0.0:
                    if c > 1.0:
                        c = 1.0
                    if c > cov[crow + x]:
                        cov[crow + x] = c
    for y in range(by0, by1):
        crow = (y - by0) * bw
        row = y * cv.w
        for x in range(bx0, bx1):
            c = cov[crow + x - bx0]
            if c > 0.0:
                cv.over(row + x, col, c * alpha)


# --------------------------------------------------------------------------------------------
# A small stroke font: cap height 1, y downwards from the cap line, x from the glyph's left
# --------------------------------------------------------------------------------------------


def arc(cx, cy, rx, ry, t0, t1, steps=None):
    """Points of an elliptical arc; angles in degrees, 0 to the right, 90 downwards."""
    if steps is None:
        steps = max(6, int(abs(t1 - t0) / 10))
    pts = []
    for i in range(steps + 1):
        t = math.radians(t0 + (t1 - t0) * i / steps)
        pts.append((cx + rx * math.cos(t), cy + ry * math.sin(t)))
    return pts


def P(*pts):
    return list(pts)


GLYPHS = {
    "A": (0.70, [P((0, 1), (0.35, 0), (0.70, 1)), P((0.13, 0.64), (0.57, 0.64))]),
    "B": (0.60, [P((0, 0.5), (0, 0), (0.34, 0)) + arc(0.34, 0.25, 0.23, 0.25, -90, 90) + P((0, 0.5), (0.38, 0.5))
                 + arc(0.37, 0.75, 0.25, 0.25, -90, 90) + P((0, 1), (0, 0.5))]),
    "C": (0.66, [arc(0.40, 0.5, 0.40, 0.5, -42, -318)]),
    "D": (0.66, [P((0, 0), (0.26, 0)) + arc(0.26, 0.5, 0.40, 0.5, -90, 90) + P((0, 1), (0, 0))]),
    "E": (0.54, [P((0.54, 0), (0, 0), (0, 1), (0.54, 1)), P((0, 0.5), (0.46, 0.5))]),
    "F": (0.52, [P((0.52, 0), (0, 0), (0, 1)), P((0, 0.5), (0.44, 0.5))]),
    "G": (0.68, [arc(0.40, 0.5, 0.40, 0.5, -42, -360) + P((0.80, 0.5), (0.44, 0.5))]),
    "H": (0.62, [P((0, 0), (0, 1)), P((0.62, 0), (0.62, 1)), P((0, 0.5), (0.62, 0.5))]),
    "I": (0.0, [P((0, 0), (0, 1))]),
    "J": (0.46, [P((0.46, 0), (0.46, 0.74)) + arc(0.23, 0.74, 0.23, 0.26, 0, 180)]),
    "K": (0.58, [P((0, 0), (0, 1)), P((0.58, 0), (0, 0.62)), P((0.20, 0.44), (0.60, 1))]),
    "L": (0.50, [P((0, 0), (0, 1), (0.50, 1))]),
    "M": (0.78, [P((0, 1), (0, 0), (0.39, 0.72), (0.78, 0), (0.78, 1))]),
    "N": (0.62, [P((0, 1), (0, 0), (0.62, 1), (0.62, 0))]),
    "O": (0.80, [arc(0.40, 0.5, 0.40, 0.5, 0, 360, 40)]),
    "P": (0.58, [P((0, 1), (0, 0), (0.32, 0)) + arc(0.32, 0.27, 0.26, 0.27, -90, 90) + P((0, 0.54))]),
    "Q": (0.80, [arc(0.40, 0.5, 0.40, 0.5, 0, 360, 40), P((0.50, 0.72), (0.84, 1.04))]),
    "R": (0.60, [P((0, 1), (0, 0), (0.32, 0)) + arc(0.32, 0.27, 0.26, 0.27, -90, 90) + P((0, 0.54)),
                 P((0.30, 0.54), (0.60, 1))]),
    "S": (0.58, [arc(0.29, 0.25, 0.27, 0.25, -25, -270) + arc(0.29, 0.75, 0.29, 0.25, -90, 155)]),
    "T": (0.60, [P((0, 0), (0.60, 0)), P((0.30, 0), (0.30, 1))]),
    "U": (0.62, [P((0, 0), (0, 0.66)) + arc(0.31, 0.66, 0.31, 0.34, 180, 0) + P((0.62, 0))]),
    "V": (0.68, [P((0, 0), (0.34, 1), (0.68, 0))]),
    "W": (0.94, [P((0, 0), (0.22, 1), (0.47, 0.22), (0.72, 1), (0.94, 0))]),
    "X": (0.62, [P((0, 0), (0.62, 1)), P((0.62, 0), (0, 1))]),
    "Y": (0.62, [P((0, 0), (0.31, 0.52), (0.62, 0)), P((0.31, 0.52), (0.31, 1))]),
    "Z": (0.58, [P((0, 0), (0.58, 0), (0, 1), (0.58, 1))]),
    "0": (0.56, [arc(0.28, 0.5, 0.28, 0.5, 0, 360, 40)]),
    "1": (0.30, [P((0.02, 0.20), (0.30, 0), (0.30, 1))]),
    "2": (0.56, [arc(0.28, 0.28, 0.27, 0.28, -165, 28) + P((0, 1), (0.58, 1))]),
    "3": (0.56, [arc(0.28, 0.26, 0.26, 0.26, -160, 90) + arc(0.28, 0.74, 0.29, 0.26, -90, 160)]),
    "4": (0.60, [P((0.44, 1), (0.44, 0), (0, 0.70), (0.60, 0.70))]),
    "5": (0.56, [P((0.54, 0), (0.07, 0), (0.03, 0.46)) + arc(0.28, 0.68, 0.29, 0.32, -128, 150)]),
    "6": (0.58, [P((0.46, 0), (0.06, 0.56)), arc(0.29, 0.69, 0.29, 0.31, 0, 360, 36)]),
    "7": (0.56, [P((0, 0), (0.56, 0), (0.16, 1))]),
    "8": (0.58, [arc(0.29, 0.25, 0.25, 0.25, 0, 360, 32), arc(0.29, 0.75, 0.29, 0.25, 0, 360, 32)]),
    "9": (0.58, [arc(0.29, 0.31, 0.29, 0.31, 0, 360, 36), P((0.52, 0.44), (0.12, 1))]),
    "+": (0.60, [P((0.30, 0.22), (0.30, 0.82)), P((0, 0.52), (0.60, 0.52))]),
    "-": (0.40, [P((0.02, 0.52), (0.38, 0.52))]),
    "x": (0.42, [P((0, 0.42), (0.42, 1)), P((0.42, 0.42), (0, 1))]),
    ".": (0.0, [P((0, 1), (0, 1))]),
    " ": (0.34, []),
}


def text_segments(text, x, y, cap, tracking):
    """Segments (pixel coordinates) of text whose cap line starts at (x, y); returns them with
    the text's width."""
    segs = []
    pen = 0.0
    for i, ch in enumerate(text):
        w, strokes = GLYPHS[ch]
        for stroke in strokes:
            for (ax, ay), (bx, by) in zip(stroke, stroke[1:] if len(stroke) > 1 else stroke):
                segs.append((x + (pen + ax) * cap, y + ay * cap, x + (pen + bx) * cap, y + by * cap))
        pen += w
        if i + 1 < len(text):
            pen += tracking
    return segs, pen * cap


def text_width(text, cap, tracking):
    return text_segments(text, 0.0, 0.0, cap, tracking)[1]


def draw_text(cv, text, cx, top, cap, weight, col, tracking=0.30, shadow=True, align="centre"):
    """Text centred on cx (logical pixels) with its cap line at top; cap height and stroke
    weight in logical pixels."""
    capx = cap * S
    w = text_width(text, capx, tracking)
    if align == "centre":
        x0 = cx * S - 0.5 * w
    elif align == "right":
        x0 = cx * S - w
    else:
        x0 = cx * S
    segs, _ = text_segments(text, x0, top * S, capx, tracking)
    if shadow:
        stroke_segments(cv, segs, weight * S + 1.0, (0.0, 0.0, 0.0), 0.55, (0.0, 0.6 * S + 0.5))  # a print shadow just under the ink
    stroke_segments(cv, segs, weight * S, col)


# --------------------------------------------------------------------------------------------
# PNG writing
# --------------------------------------------------------------------------------------------


def to_byte(v):
    v = int(v * 255.0 + 0.5)
    return 0 if v < 0 else (255 if v > 255 else v)


def write_png(path, cv, alpha):
    channels = 4 if alpha else 3
    raw = bytearray()
    prev = bytes(cv.w * channels)
    for y in range(cv.h):
        row = bytearray(cv.w * channels)
        base = y * cv.w
        for x in range(cv.w):
            i = base + x
            o = x * channels
            if alpha:
                a = cv.a[i]
                row[o + 3] = to_byte(a)
                if a <= 0.0:
                    continue  # fully transparent pixels stay 0 so they compress to nothing
            row[o] = to_byte(cv.r[i])
            row[o + 1] = to_byte(cv.g[i])
            row[o + 2] = to_byte(cv.b[i])
        # Per row, the filter of None, Sub and Up that leaves the smallest residue.
        sub = bytearray(len(row))
        up = bytearray(len(row))
        for k in range(len(row)):
            left = row[k - channels] if k >= channels else 0
            sub[k] = (row[k] - left) & 0xFF
            up[k] = (row[k] - prev[k]) & 0xFF

        def cost(buf):
            return sum(v if v < 128 else 256 - v for v in buf)

        choices = [(cost(row), 0, row), (cost(sub), 1, sub), (cost(up), 2, up)]
        choices.sort(key=lambda c: (c[0], c[1]))
        raw.append(choices[0][1])
        raw += choices[0][2]
        prev = bytes(row)

    def chunk(tag, data):
        c = struct.pack(">I", len(data)) + tag + data
        return c + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

    colour_type = 6 if alpha else 2
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", cv.w, cv.h, 8, colour_type, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# --------------------------------------------------------------------------------------------
# The editor's geometry (logical pixels)
# --------------------------------------------------------------------------------------------

W, H = 1086, 214
KNOBS = [  # left, top, label, low end, high end
    (63, 31, "GAIN", "-30", "+30"),
    (337, 31, "LOW", "-10", "+10"),
    (616, 31, "HIGH", "-10", "+10"),
    (891, 31, "OUTPUT", "-15", "+15"),
]
KNOB_SIZE = 130
KNOB_FRAMES = 61
SWEEP = 300.0  # degrees, from -150 (minimum) to +150 (maximum), 0 at twelve o'clock
BYPASS = (524, 161, 37)
OVER = (450, 12, 184, 17)

INK = rgb(232, 228, 216)      # panel printing, warm white
INK_DIM = rgb(150, 148, 142)
ACCENT = rgb(226, 150, 56)    # amber
LAMP_RED = rgb(255, 70, 48)

# The knob's radii (logical): the skirt, the cap, and the scale printed around them.
SKIRT_R = 44.0
CAP_R = 31.0
SCALE_IN = 49.0
SCALE_OUT = 54.0
SCALE_MAJOR_OUT = 57.0

# --------------------------------------------------------------------------------------------
# Background
# --------------------------------------------------------------------------------------------


def draw_background():
    w, h = W * S, H * S
    cv = Canvas(w, h, (0.0, 0.0, 0.0, 1.0))
    base = rgb(44, 45, 48)
    ear = rgb(33, 34, 36)
    ear_w = 38 * S

    # Brushed metal: every row has its own grain, and the grain runs in long horizontal
    # streaks, with a soft light falling from above.
    for y in range(h):
        row_noise = (hash01(y * 7 + 1) - 0.5) * 0.018 + (hash01(y // 3 + 9001) - 0.5) * 0.012
        light = 0.030 * (1.0 - y / h)
        streak_seed = y * 131
        acc = 0.0
        for x in range(w):
            if x % 23 == 0:
                target = (hash01(streak_seed + x // 23) - 0.5) * 0.020
            acc += (target - acc) * 0.08
            inner = ear_w <= x < w - ear_w
            c = base if inner else ear
            v = row_noise + acc + light + (hash01(y * w + x) - 0.5) * 0.010
            i = y * w + x
            cv.r[i] = clamp01(c[0] + v)
            cv.g[i] = clamp01(c[1] + v)
            cv.b[i] = clamp01(c[2] + v * 1.05)

    # Bevels: the panel's top catches the light, its bottom falls into shadow; the ears are
    # separated from the face by a groove.
    def hline(y0, y1, col, alpha, x0=0, x1=None):
        x1 = w if x1 is None else x1
        for y in range(y0, y1):
            for x in range(x0, x1):
                cv.over(y * w + x, col, alpha)

    def vline(x0, x1, col, alpha):
        for y in range(h):
            for x in range(x0, x1):
                cv.over(y * w + x, col, alpha)

    hline(0, 2, (1.0, 1.0, 1.0), 0.16)
    hline(2, 3, (1.0, 1.0, 1.0), 0.06)
    hline(h - 3, h, (0.0, 0.0, 0.0), 0.55)
    for gx in (ear_w, w - ear_w):
        vline(gx - 2, gx, (0.0, 0.0, 0.0), 0.6)
        vline(gx, gx + 1, (1.0, 1.0, 1.0), 0.10)

    # Rack screws on the ears.
    for sx in (19, W - 19):
        for sy in (30, 184):
            draw_screw(cv, sx * S, sy * S)

    # Knob scales: eleven ticks over the sweep, longer at both ends and in the middle, the range
    # printed at the ends, the name below.
    for (left, top, label, lo, hi) in KNOBS:
        cx = (left + KNOB_SIZE / 2) * S
        cy = (top + KNOB_SIZE / 2) * S
        segs_major = []
        segs_minor = []
        for k in range(11):
            ang = math.radians(-SWEEP / 2 + SWEEP * k / 10)
            sx, sy = math.sin(ang), -math.cos(ang)
            major = k in (0, 5, 10)
            r1 = SCALE_IN * S
            r2 = (SCALE_MAJOR_OUT if major else SCALE_OUT) * S
            (segs_major if major else segs_minor).append((cx + sx * r1, cy + sy * r1, cx + sx * r2, cy + sy * r2))
        stroke_segments(cv, segs_minor, 1.3 * S, INK_DIM)
        stroke_segments(cv, segs_major, 1.8 * S, INK)
        # The range at the ends of the sweep, level with the knob's lower edge.
        end_y = top + KNOB_SIZE / 2 + 47
        draw_text(cv, lo, left + KNOB_SIZE / 2 - 46, end_y, 7.0, 1.15, INK_DIM, tracking=0.18)
        draw_text(cv, hi, left + KNOB_SIZE / 2 + 46, end_y, 7.0, 1.15, INK_DIM, tracking=0.18)
        draw_text(cv, "0", left + KNOB_SIZE / 2, top - 2.0, 6.5, 1.1, INK_DIM)
        draw_text(cv, label, left + KNOB_SIZE / 2, top + KNOB_SIZE + 7, 11.0, 1.7, INK, tracking=0.34)

    # The middle column between the tone knobs: the oversampling selector at the top with its
    # name under it, the product's name, and the bypass button at the bottom with its name
    # above it.
    mid = 542.0
    draw_text(cv, "OVERSAMPLING", mid, OVER[1] + OVER[3] + 6, 7.5, 1.2, INK, tracking=0.36)
    draw_text(cv, "CORVANE", mid, 66, 20.0, 2.6, INK, tracking=0.30)
    # The subtitle in amber, with a short amber rule either side.
    draw_text(cv, "STEREO PREAMP", mid, 94, 6.0, 1.05, ACCENT, tracking=0.45)
    sw = text_width("STEREO PREAMP", 6.0 * S, 0.45)
    rule_y = (94 + 3.0) * S
    for side in (-1, 1):
        xa = mid * S + side * (0.5 * sw + 5 * S)
        xb = mid * S + side * (0.5 * sw + 22 * S)
        stroke_segments(cv, [(xa, rule_y, xb, rule_y)], 1.0 * S, ACCENT, 0.85)
    draw_text(cv, "BYPASS", mid, BYPASS[1] - 15, 8.5, 1.4, INK, tracking=0.36)

    # Recessed wells behind the switches, so they sit in the panel rather than on it.
    ox, oy, ow, oh = OVER
    shade_round_rect(cv, (ox - 3) * S, (oy - 3) * S, (ox + ow + 3) * S, (oy + oh + 3) * S, 11.5 * S,
                     lambda u, v, sd: ((0.0, 0.0, 0.0), 0.35 + 0.25 * (1.0 - v)))
    bx, by, bs = BYPASS
    soft_shadow(cv, (bx + bs / 2) * S, (by + bs / 2 + 1.0) * S, (bs / 2 + 1.5) * S, 2.5 * S, 0.55)
    return cv


def draw_screw(cv, cx, cy):
    r = 6.5 * S

    def head(px, py, d, th):
        # Lit from the top left, slightly domed.
        lit = 0.5 + 0.5 * ((-px - py) / (1.414 * r))
        col = mix(rgb(95, 96, 100), rgb(200, 202, 206), clamp01(lit) * (1.0 - 0.35 * d / r))
        return col, 1.0

    soft_shadow(cv, cx + 1.0, cy + 2.0, r, 2.5, 0.6)
    shade_disc(cv, cx, cy, r, head)
    # A slotted cross, cut into the head.
    k = 0.62 * r
    segs = [(cx - k, cy - k * 0.25, cx + k, cy + k * 0.25), (cx - k * 0.25, cy + k, cx + k * 0.25, cy - k)]
    stroke_segments(cv, segs, 1.6 * S, rgb(35, 35, 38))


# --------------------------------------------------------------------------------------------
# Knob
# --------------------------------------------------------------------------------------------


def knob_frame(angle_deg):
    size = KNOB_SIZE * S
    cv = Canvas(size, size)
    c = size / 2.0
    rot = math.radians(angle_deg)
    skirt = SKIRT_R * S
    cap = CAP_R * S

    soft_shadow(cv, c + 1.5 * S, c + 4.0 * S, skirt, 5.0 * S, 0.75)

    def skirt_shader(px, py, d, th):
        # Black anodised skirt with 48 knurled ridges that turn with the knob, lit from above.
        ridge = 0.5 + 0.5 * math.cos((th - rot) * 48.0)
        light = 0.5 + 0.5 * (-py / d if d > 0 else 0.0)
        edge = smoothstep(skirt - 3.0 * S, skirt, d)  # the rim rolls away from the light
        v = 0.07 + 0.05 * ridge * (0.4 + light) + 0.05 * light - 0.04 * edge
        return (v, v, v * 1.04), 1.0

    shade_disc(cv, c, c, skirt, skirt_shader, inner=cap - 1.0)

    def cap_shader(px, py, d, th):
        # Spun aluminium: the highlight is a bright band across the top-left to bottom-right
        # axis that stays put while the knob turns, plus fine concentric grain.
        band = math.cos(2.0 * (th - math.radians(-45.0)))
        grain = (hash01(int(d * 3.0) + 77) - 0.5) * 0.05
        dome = 1.0 - 0.18 * (d / cap) ** 2
        v = (0.60 + 0.17 * band + grain) * dome
        return (v, v * 1.01, v * 1.03), 1.0

    shade_disc(cv, c, c, cap, cap_shader)
    # The cap's chamfer: a thin bright ring on top, dark below.
    shade_disc(cv, c, c, cap + 0.6, lambda px, py, d, th: ((1.0, 1.0, 1.0) if py < 0 else (0.0, 0.0, 0.0),
                                                             0.35 * abs(py) / max(d, 1.0)), inner=cap - 1.2)

    # Pointer: a white line on the skirt and an engraved line on the cap, in line.
    sx, sy = math.sin(rot), -math.cos(rot)
    stroke_segments(cv, [(c + sx * (cap + 2.5 * S), c + sy * (cap + 2.5 * S), c + sx * (skirt - 2.0 * S),
                          c + sy * (skirt - 2.0 * S))], 3.4 * S, rgb(246, 242, 232))
    engr = [(c + sx * 9.0 * S, c + sy * 9.0 * S, c + sx * (cap - 4.0 * S), c + sy * (cap - 4.0 * S))]
    stroke_segments(cv, engr, 2.6 * S, (1.0, 1.0, 1.0), 0.35, (0.6, 0.8))
    stroke_segments(cv, engr, 2.4 * S, rgb(24, 24, 26), 0.95)
    return cv


def draw_knob_strip():
    size = KNOB_SIZE * S
    strip = Canvas(size, size * KNOB_FRAMES)
    for i in range(KNOB_FRAMES):
        angle = -SWEEP / 2 + SWEEP * i / (KNOB_FRAMES - 1)
        strip.blit(knob_frame(angle), 0, i * size)
    return strip


# --------------------------------------------------------------------------------------------
# Switches
# --------------------------------------------------------------------------------------------


def bypass_frame(pressed):
    size = BYPASS[2] * S
    cv = Canvas(size, size)
    c = size / 2.0
    bezel = 17.5 * S
    button = 13.0 * S
    lamp = 6.0 * S

    def bezel_shader(px, py, d, th):
        lit = 0.5 + 0.5 * (-py / d if d > 0 else 0.0)
        v = 0.45 + 0.35 * lit
        return (v, v, v * 1.02), 1.0

    shade_disc(cv, c, c, bezel, bezel_shader)
    shade_disc(cv, c, c, bezel - 2.0 * S, lambda px, py, d, th: ((0.05, 0.05, 0.06), 1.0))

    depth = 0.6 * S if pressed else 0.0

    def button_shader(px, py, d, th):
        # A pressed button sits lower and catches less light.
        lit = 0.5 + 0.5 * ((-px - py) / (1.414 * button))
        top = 0.30 if pressed else 0.42
        v = top + 0.28 * clamp01(lit) - 0.10 * (d / button) ** 2
        return (v, v, v * 1.03), 1.0

    shade_disc(cv, c, c + depth, button, button_shader)

    if pressed:
        # The red lamp in the middle is lit and glows over the button.
        def glow(px, py, d, th):
            return LAMP_RED, 0.55 * (1.0 - smoothstep(lamp * 0.6, lamp * 2.2, d))

        shade_disc(cv, c, c + depth, lamp * 2.2, glow)

        def lens_on(px, py, d, th):
            hot = 1.0 - smoothstep(0.0, lamp, d)
            return mix(LAMP_RED, (1.0, 0.92, 0.85), 0.65 * hot), 1.0

        shade_disc(cv, c, c + depth, lamp, lens_on)
    else:
        def lens_off(px, py, d, th):
            glint = 1.0 - smoothstep(0.0, lamp * 0.45, math.hypot(px + lamp * 0.35, py + lamp * 0.35))
            return mix(rgb(70, 18, 14), rgb(190, 150, 140), 0.7 * glint), 1.0

        shade_disc(cv, c, c, lamp, lens_off)
    return cv


def over_frame(on):
    w, h = OVER[2] * S, OVER[3] * S
    cv = Canvas(w, h)
    r = h / 2.0
    shade_round_rect(cv, 0, 0, w, h, r, lambda u, v, sd: (mix(rgb(14, 14, 16), rgb(30, 30, 33), v), 1.0))
    # Two segments, "1x" and "2x"; the chosen one lights, the other stays dark.
    half = w / 2.0
    pad = 2.0 * S
    for seg, lit in ((0, not on), (1, on)):
        x0 = seg * half + pad
        x1 = (seg + 1) * half - pad
        if lit:
            top = rgb(238, 168, 70) if seg == 1 else rgb(205, 205, 200)
            bottom = rgb(196, 120, 36) if seg == 1 else rgb(150, 150, 146)
            shade_round_rect(cv, x0, pad, x1, h - pad, r - pad, lambda u, v, sd, t=top, b=bottom: (mix(t, b, v), 1.0))
        else:
            shade_round_rect(cv, x0, pad, x1, h - pad, r - pad,
                             lambda u, v, sd: (mix(rgb(48, 48, 52), rgb(36, 36, 39), v), 1.0))
        label = "1x" if seg == 0 else "2x"
        ink = rgb(24, 22, 20) if lit else rgb(120, 118, 112)
        cap = 8.0
        tw = text_width(label, cap * S, 0.20)
        segs, _ = text_segments(label, 0.5 * (x0 + x1) - 0.5 * tw, 0.5 * h - 0.5 * cap * S, cap * S, 0.20)
        stroke_segments(cv, segs, 1.5 * S, ink)
    # A thin light edge along the top of the slot.
    shade_round_rect(cv, 0, 0, w, h, r, lambda u, v, sd: ((1.0, 1.0, 1.0), 0.10 * (1.0 - smoothstep(-2.0, 0.0, sd)) * (1.0 - v)))
    return cv


def stack(frames):
    out = Canvas(frames[0].w, frames[0].h * len(frames))
    for i, f in enumerate(frames):
        out.blit(f, 0, i * f.h)
    return out


def main():
    write_png(os.path.join(HERE, "BG@2x.png"), draw_background(), alpha=False)
    write_png(os.path.join(HERE, "SW@2x.png"), stack([bypass_frame(False), bypass_frame(True)]), alpha=True)
    write_png(os.path.join(HERE, "OVER@2x.png"), stack([over_frame(False), over_frame(True)]), alpha=True)
    write_png(os.path.join(HERE, "KNOB@2x.png"), draw_knob_strip(), alpha=True)


if __name__ == "__main__":
    main()
