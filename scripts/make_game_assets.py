#!/usr/bin/env python3
"""Draws the bundled game folder assets/game/: the pixel art as 8-bit indexed PNG files with a
transparent palette entry, the idle and walk animations that use it, and a few WAV sounds.

Run from anywhere: python3 scripts/make_game_assets.py [--preview OUT.png]
Only the standard library is used. The output is deterministic, so the committed files can be
checked against a fresh run. --preview also writes a scaled-up picture of every frame of both
animations in the four directions, composed as the editor composes them.
"""
import math
import os
import random
import struct
import sys
import wave
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
GAME = os.path.join(HERE, "..", "assets", "game")

# Every image keeps palette entry 0 transparent, in a colour that no other entry uses, because
# the editor's colour key skips every pixel of the transparent entry's colour.
KEY = (255, 0, 255)
OUTLINE = (24, 20, 28)


class Image:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = bytearray(width * height)

    def get(self, x, y):
        if 0 <= x < self.width and 0 <= y < self.height:
            return self.pixels[y * self.width + x]
        return 0

    def put(self, x, y, c):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y * self.width + x] = c

    def rect(self, x, y, w, h, c):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.put(xx, yy, c)

    def ellipse(self, cx, cy, rx, ry, c, keep=lambda x, y: True):
        for y in range(self.height):
            for x in range(self.width):
                dx, dy = (x + 0.5 - cx) / rx, (y + 0.5 - cy) / ry
                if dx * dx + dy * dy <= 1.0 and keep(x, y):
                    self.put(x, y, c)

    def line(self, x0, y0, x1, y1, c):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            self.put(round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps), c)

    def outline(self, c):
        """Rings every drawn shape with colour c (4-neighbourhood)."""
        ring = [(x, y) for y in range(self.height) for x in range(self.width)
                if self.get(x, y) == 0 and any(self.get(x + dx, y + dy) not in (0, c)
                                               for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))]
        for x, y in ring:
            self.put(x, y, c)
        return self

    def mirrored(self):
        out = Image(self.width, self.height)
        for y in range(self.height):
            for x in range(self.width):
                out.put(self.width - 1 - x, y, self.get(x, y))
        return out

    def sheared(self, factor, pivot_y):
        """Leans the picture: a row moves right by factor pixels for each row above pivot_y."""
        out = Image(self.width, self.height)
        for y in range(self.height):
            shift = round((pivot_y - y) * factor)
            for x in range(self.width):
                out.put(x + shift, y, self.get(x, y))
        return out

    def paste(self, other, x0, y0):
        for y in range(other.height):
            for x in range(other.width):
                c = other.get(x, y)
                if c:
                    self.put(x0 + x, y0 + y, c)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_indexed_png(path, image, palette):
    rows = b"".join(b"\0" + bytes(image.pixels[y * image.width:(y + 1) * image.width])
                    for y in range(image.height))
    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", image.width, image.height, 8, 3, 0, 0, 0))
    data += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    data += chunk(b"tRNS", b"\0")  # entry 0 fully transparent, the others opaque
    data += chunk(b"IDAT", zlib.compress(rows, 9))
    data += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


def write_rgb_png(path, width, height, rgb):
    rows = b"".join(b"\0" + bytes(rgb[y * width * 3:(y + 1) * width * 3]) for y in range(height))
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(rows, 6)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


# ---------------------------------------------------------------------------------------------
# body.png: 4 columns (stand, step A, pass, step B) x 4 rows (up, left, down, right), 32 x 32.
# Entries 1, 3, 4, 5 and 6 are the colour slots the editor recolours (belt, shoes, sleeves,
# skin, coat); they hold the colours of a new actor's defaults.
BODY_PALETTE = [KEY, (0x29, 0x29, 0x29), OUTLINE, (0x84, 0x00, 0x00), (0x00, 0x00, 0xC6),
                (0xFF, 0xAD, 0x6B), (0x84, 0x84, 0x84), (60, 62, 96), (236, 200, 64)]
B_BELT, B_OUT, B_SHOES, B_SLEEVE, B_SKIN, B_COAT, B_PANTS, B_BUCKLE = 1, 2, 3, 4, 5, 6, 7, 8


def body_front(step, back):
    """Facing the viewer (or away from it when back); step -1, 0 or 1 moves the legs."""
    img = Image(32, 32)
    img.rect(10, 2, 12, 13, B_COAT)
    lift_left, lift_right = (1, -1) if step > 0 else (-1, 1) if step < 0 else (0, 0)
    # Arms swing against the legs.
    img.rect(7, 4 - lift_left, 3, 9, B_SLEEVE)
    img.rect(7, 13 - lift_left, 3, 3, B_SKIN)
    img.rect(22, 4 - lift_right, 3, 9, B_SLEEVE)
    img.rect(22, 13 - lift_right, 3, 3, B_SKIN)
    img.rect(10, 14, 12, 2, B_BELT)
    if not back:
        img.rect(15, 14, 2, 2, B_BUCKLE)
        img.line(16, 3, 16, 13, B_SLEEVE)  # the coat's opening
    img.rect(11, 16, 10, 3, B_PANTS)
    img.rect(11, 19, 4, 6 + lift_right, B_PANTS)
    img.rect(17, 19, 4, 6 + lift_left, B_PANTS)
    img.rect(10, 25 + lift_right, 5, 3, B_SHOES)
    img.rect(17, 25 + lift_left, 5, 3, B_SHOES)
    return img.outline(B_OUT)


def body_side(step):
    """Facing left; step -1, 0 or 1 moves the legs."""
    img = Image(32, 32)
    img.rect(12, 2, 9, 13, B_COAT)
    img.rect(11, 14, 11, 2, B_BELT)
    img.rect(12, 16, 9, 3, B_PANTS)
    if step == 0:
        img.rect(13, 19, 6, 6, B_PANTS)
        img.rect(11, 25, 8, 3, B_SHOES)
        arm_dx = 0
    else:
        front, back = (9, 18) if step > 0 else (11, 16)
        img.rect(back, 19, 4, 6, B_PANTS)
        img.rect(back - 1, 25, 6, 3, B_SHOES)
        img.rect(front + 1, 19, 4, 6, B_PANTS)
        img.rect(front - 1, 25, 6, 3, B_SHOES)
        arm_dx = -1 if step > 0 else 1
    img.rect(14 + arm_dx, 4, 4, 9, B_SLEEVE)
    img.rect(13 + arm_dx, 13, 4, 3, B_SKIN)
    return img.outline(B_OUT)


def make_body():
    sheet = Image(128, 128)
    steps = [0, 1, 0, -1]
    for col, step in enumerate(steps):
        left = body_side(step)
        for row, cell in enumerate([body_front(step, True), left, body_front(step, False), left.mirrored()]):
            sheet.paste(cell, col * 32, row * 32)
    return sheet


# ---------------------------------------------------------------------------------------------
# head19.png: one 32 x 32 head per direction, stacked (up, left, down, right).
HEAD_PALETTE = [KEY, (110, 62, 26), OUTLINE, (76, 40, 14), (0xFF, 0xAD, 0x6B), (214, 132, 90),
                (30, 30, 60), (255, 255, 255), (190, 80, 70)]
H_HAIR, H_OUT, H_HAIR_DARK, H_SKIN, H_SKIN_DARK, H_EYE, H_WHITE, H_MOUTH = 1, 2, 3, 4, 5, 6, 7, 8


def head_cell(direction):
    img = Image(32, 32)
    cx, cy = 16, 13
    if direction == 0:
        img.ellipse(cx, cy, 9.5, 9.5, H_HAIR)
        img.ellipse(cx, cy + 4, 6, 5, H_HAIR_DARK, keep=lambda x, y: y >= 17)
    elif direction == 2:
        img.ellipse(cx, cy, 9.5, 9.5, H_SKIN)
        img.ellipse(cx, cy, 9.5, 9.5, H_HAIR, keep=lambda x, y: y < 10 or (y < 16 and abs(x + 0.5 - cx) > 7))
        for ex in (11, 20):
            img.rect(ex, 12, 2, 3, H_WHITE)
            img.rect(ex + (1 if ex < 16 else 0), 13, 1, 2, H_EYE)
        img.rect(15, 18, 2, 1, H_MOUTH)
        img.put(9, 16, H_SKIN_DARK)
        img.put(22, 16, H_SKIN_DARK)
    else:
        img.ellipse(cx, cy, 9.5, 9.5, H_SKIN)
        img.ellipse(cx, cy, 9.5, 9.5, H_HAIR, keep=lambda x, y: y < 10 or x > 17)
        img.put(6, 14, H_SKIN)  # nose
        img.rect(9, 12, 2, 3, H_WHITE)
        img.rect(9, 13, 1, 2, H_EYE)
        img.rect(9, 18, 2, 1, H_MOUTH)
        img.ellipse(19, 14, 1.6, 2.2, H_SKIN_DARK)  # ear
        if direction == 3:
            return img.mirrored().outline(H_OUT)
    return img.outline(H_OUT)


def make_head():
    sheet = Image(32, 128)
    for d in range(4):
        sheet.paste(head_cell(d), 0, d * 32)
    return sheet


# ---------------------------------------------------------------------------------------------
# sword1.png: 4 cells of 32 x 32 (up, left, down, right); the grip's centre is at (16, 24).
SWORD_PALETTE = [KEY, (196, 206, 226), OUTLINE, (246, 250, 255), (226, 182, 44), (112, 62, 22),
                 (150, 100, 20)]
S_BLADE, S_OUT, S_EDGE, S_GOLD, S_GRIP, S_GOLD_DARK = 1, 2, 3, 4, 5, 6


def sword_upright():
    img = Image(32, 32)
    img.rect(15, 3, 2, 17, S_BLADE)
    img.line(15, 3, 15, 19, S_EDGE)
    img.put(15, 2, S_EDGE)
    img.rect(11, 20, 10, 2, S_GOLD)
    img.rect(11, 21, 10, 1, S_GOLD_DARK)
    img.rect(15, 22, 2, 5, S_GRIP)
    img.rect(14, 27, 4, 2, S_GOLD)
    return img


def make_sword():
    up = sword_upright()
    cells = [up.outline(S_OUT), up.sheared(-0.35, 24).outline(S_OUT), up.outline(S_OUT),
             up.sheared(0.35, 24).outline(S_OUT)]
    sheet = Image(128, 32)
    for i, cell in enumerate(cells):
        sheet.paste(cell, i * 32, 0)
    return sheet


# ---------------------------------------------------------------------------------------------
# shield1.png: 4 cells of 16 x 16: the back, then the front three times (up, left, down, right).
SHIELD_PALETTE = [KEY, (150, 92, 40), OUTLINE, (108, 62, 26), (192, 194, 206), (196, 30, 42),
                  (232, 192, 52)]
P_WOOD, P_OUT, P_WOOD_DARK, P_RIM, P_RED, P_GOLD = 1, 2, 3, 4, 5, 6


def shield_shape(img, c, inset=0):
    img.ellipse(8, 6, 6.5 - inset, 6 - inset, c, keep=lambda x, y: y <= 7)
    for y in range(7, 15 - inset):
        half = max(0, round((6.5 - inset) * (1 - (y - 7) / (7.5 - inset))))
        img.rect(8 - half, y, 2 * half, 1, c)


def make_shield():
    back, front = Image(16, 16), Image(16, 16)
    shield_shape(back, P_RIM)
    shield_shape(back, P_WOOD, 1)
    for x in (5, 8, 11):
        back.line(x, 1, x, 13, P_WOOD_DARK)
    shield_shape(front, P_RIM)
    shield_shape(front, P_RED, 1)
    front.rect(7, 2, 2, 10, P_GOLD)
    front.rect(4, 5, 8, 2, P_GOLD)
    sheet = Image(64, 16)
    for i, cell in enumerate([back, front, front, front]):
        sheet.paste(cell.outline(P_OUT), i * 16, 0)
    return sheet


# ---------------------------------------------------------------------------------------------
# sprites.png (64 x 32): the shadow at (0, 0, 24, 16), a heart at (24, 0, 16, 16), a gem at
# (40, 0, 16, 16), a bush at (0, 16, 24, 16) and a rock at (24, 16, 16, 16).
SPRITES_PALETTE = [KEY, (20, 28, 20), OUTLINE, (226, 40, 52), (255, 150, 150), (60, 180, 255),
                   (200, 240, 255), (30, 120, 40), (70, 170, 60), (120, 120, 128), (170, 170, 180)]
X_SHADOW, X_OUT, X_RED, X_PINK, X_GEM, X_GEM_LIGHT, X_LEAF_DARK, X_LEAF, X_ROCK, X_ROCK_LIGHT = range(1, 11)


def make_sprites():
    sheet = Image(64, 32)
    # A dithered shadow: every other pixel, so the ground shows through.
    sheet.ellipse(12, 8, 11, 5.5, X_SHADOW, keep=lambda x, y: (x + y) % 2 == 0 and x < 24 and y < 16)
    heart = Image(16, 16)
    heart.ellipse(5, 6, 3.5, 3.5, X_RED)
    heart.ellipse(11, 6, 3.5, 3.5, X_RED)
    for y in range(7, 14):
        half = 7 - (y - 7)
        heart.rect(8 - half, y, 2 * half, 1, X_RED)
    heart.rect(4, 4, 2, 2, X_PINK)
    sheet.paste(heart.outline(X_OUT), 24, 0)
    gem = Image(16, 16)
    for y in range(2, 14):
        half = (y - 1) if y < 6 else (13 - y) * 5 // 7 + 1
        gem.rect(8 - half, y, 2 * half, 1, X_GEM)
    gem.line(6, 3, 4, 6, X_GEM_LIGHT)
    sheet.paste(gem.outline(X_OUT), 40, 0)
    bush = Image(24, 16)
    for cx, cy in ((7, 9), (16, 9), (12, 6)):
        bush.ellipse(cx, cy, 6, 5.5, X_LEAF)
    for x, y in ((6, 7), (13, 4), (17, 8), (10, 11)):
        bush.put(x, y, X_LEAF_DARK)
        bush.put(x + 1, y, X_LEAF_DARK)
    sheet.paste(bush.outline(X_OUT), 0, 16)
    rock = Image(16, 16)
    rock.ellipse(8, 9, 6.5, 5, X_ROCK)
    rock.ellipse(6, 7, 2.5, 1.6, X_ROCK_LIGHT)
    sheet.paste(rock.outline(X_OUT), 24, 16)
    return sheet


# ---------------------------------------------------------------------------------------------
# ride.png: a horse in 4 cells of 48 x 48 (up, left, down, right).
RIDE_PALETTE = [KEY, (140, 84, 40), OUTLINE, (96, 54, 24), (40, 26, 16), (230, 220, 200)]
R_COAT, R_OUT, R_DARK, R_MANE, R_LIGHT = 1, 2, 3, 4, 5


def horse_side():
    img = Image(48, 48)
    img.ellipse(26, 24, 13, 7.5, R_COAT)  # barrel
    for x in (16, 21, 31, 36):  # legs
        img.rect(x, 28, 3, 14, R_COAT if x in (16, 31) else R_DARK)
        img.rect(x, 41, 3, 2, R_MANE)
    img.ellipse(11, 15, 5, 8, R_COAT)  # neck
    img.ellipse(6, 9, 6, 3.6, R_COAT)  # head
    img.put(4, 8, R_MANE)  # eye
    img.rect(12, 6, 3, 12, R_MANE)  # mane
    img.line(39, 20, 44, 32, R_MANE)  # tail
    img.line(40, 20, 45, 31, R_MANE)
    img.rect(1, 10, 3, 2, R_LIGHT)  # muzzle
    return img


def horse_front(back):
    img = Image(48, 48)
    img.ellipse(24, 24, 9, 9, R_COAT)
    for x in (17, 28):
        img.rect(x, 28, 4, 14, R_COAT)
        img.rect(x, 41, 4, 2, R_MANE)
    if back:
        img.rect(23, 22, 2, 14, R_MANE)  # tail
        img.ellipse(24, 12, 4, 4, R_MANE)
    else:
        img.ellipse(24, 12, 5, 8, R_COAT)  # head
        img.rect(23, 4, 2, 7, R_MANE)
        img.put(21, 10, R_MANE)
        img.put(27, 10, R_MANE)
        img.rect(22, 17, 5, 3, R_LIGHT)
    return img


def make_ride():
    side = horse_side()
    sheet = Image(192, 48)
    for i, cell in enumerate([horse_front(True), side, horse_front(False), side.mirrored()]):
        sheet.paste(cell.outline(R_OUT), i * 48, 0)
    return sheet


# ---------------------------------------------------------------------------------------------
# soundicon.png: a 32 x 32 loudspeaker with sound waves, the marker of frame sounds.
ICON_PALETTE = [KEY, (250, 250, 250), OUTLINE, (255, 214, 60)]


def make_sound_icon():
    img = Image(32, 32)
    img.rect(5, 12, 6, 8, 1)
    for i in range(7):
        img.rect(11 + i, 12 - i, 1, 8 + 2 * i, 1)
    for r in (5, 9):
        for a in range(-45, 46, 3):
            t = math.radians(a)
            img.put(round(18 + r * math.cos(t)), round(16 + r * math.sin(t)), 3)
    return img.outline(2)


# ---------------------------------------------------------------------------------------------
# The animations. Sprite indices: 0 shadow; body 10 + 4 * column + direction; head 30 +
# direction; sword 40 + direction; shield 50 + direction. The origin is the top-left corner of
# the 48 x 48 box the editor draws as its guide; the feet stand near its bottom edge.
DIRS = ["up", "left", "down", "right"]


def sprite_table(columns):
    """The definitions an animation uses: the shadow, the body columns given, head, sword, shield."""
    sprites = [(0, "SPRITES", 0, 0, 24, 16, "shadow")]
    for col, name in enumerate(["stand", "step a", "pass", "step b"]):
        if col not in columns:
            continue
        for d in range(4):
            sprites.append((10 + 4 * col + d, "BODY", col * 32, d * 32, 32, 32, "body %s %s" % (name, DIRS[d])))
    for d in range(4):
        sprites.append((30 + d, "HEAD", 0, d * 32, 32, 32, "head " + DIRS[d]))
    for d in range(4):
        sprites.append((40 + d, "SWORD", d * 32, 0, 32, 32, "sword " + DIRS[d]))
    for d in range(4):
        sprites.append((50 + d, "SHIELD", d * 16, 0, 16, 16, "shield " + DIRS[d]))
    return sprites


def direction_parts(d, col, bob, swing):
    """The parts of one direction, back to front: (sprite, x, y)."""
    body, head, sword, shield = (10 + 4 * col + d, 8, 16), (30 + d, 8, bob), 40 + d, 50 + d
    shadow = (0, 12, 37)
    if d == 0:  # away from the viewer: sword and shield are in front of the character
        return [shadow, (sword, 17, 3 + swing), (shield, 4, 22 - swing), body, head]
    if d == 1:  # facing left: the sword hand is on the far side
        return [shadow, (sword, 3, 6), body, head, (shield, 12, 22 + swing)]
    if d == 2:  # facing the viewer
        return [shadow, body, head, (sword, 0, 6 - swing), (shield, 26, 22 + swing)]
    # Facing right mirrors facing left, so the shield stays on the side that faces the viewer.
    return [shadow, (sword, 13, 6), body, head, (shield, 20, 22 + swing)]


def right(text, width):
    text = str(text)
    return " " * (width - len(text)) + text


def animation_text(frames, sounds):
    """The animation in the editor's own saved form (CRLF lines, right-aligned fields)."""
    lines = ["VELK0001"]
    for index, image, left, top, width, height, desc in sprite_table({frame[0] for frame in frames}):
        lines.append("SPRITE %s %s %s %s %s %s %s" % (right(index, 4), right(image, 15), right(left, 4),
                                                       right(top, 4), right(width, 4), right(height, 4), desc))
    lines += ["", "LOOP", "DEFAULTHEAD head19.png", "DEFAULTBODY body.png", "", "ANI"]
    for i, (col, bob, swing, duration) in enumerate(frames):
        if i:
            lines.append("")
        for d in range(4):
            lines.append(", ".join("%s %s %s" % (right(s, 4), right(x, 3), right(y, 3))
                                   for s, x, y in direction_parts(d, col, bob, swing)))
        if i in sounds:
            lines.append("PLAYSOUND %s 1.5 2" % sounds[i])
        if duration > 1:
            lines.append("WAIT %d" % (duration - 1))
    lines.append("ANIEND")
    return "".join(line + "\r\n" for line in lines)


# (body column, head offset, hand swing, duration in ticks of 1/20 s)
IDLE = [(0, 0, 0, 16), (0, 1, 0, 8)]
WALK = [(1, 0, 1, 3), (2, 1, 0, 3), (3, 0, -1, 3), (2, 1, 0, 3)]
WALK_SOUNDS = {0: "step.wav", 2: "step.wav"}


# ---------------------------------------------------------------------------------------------
def write_wav(path, samples, rate=22050):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(b"".join(struct.pack("<h", max(-32767, min(32767, int(s * 32767)))) for s in samples))


def step_sound(rate=22050):
    rnd = random.Random(4)
    n = int(rate * 0.09)
    out, low = [], 0.0
    for i in range(n):
        low += (rnd.uniform(-1, 1) - low) * 0.08  # dull thud: low-passed noise
        out.append(low * 2.2 * math.exp(-i / (rate * 0.02)))
    return out


def swing_sound(rate=22050):
    rnd = random.Random(7)
    n = int(rate * 0.22)
    out, low = [], 0.0
    for i in range(n):
        t = i / n
        low += (rnd.uniform(-1, 1) - low) * (0.05 + 0.5 * t)  # a rising swish
        out.append(low * 0.9 * math.sin(math.pi * t))
    return out


def chime_sound(rate=22050):
    n = int(rate * 0.3)
    return [0.35 * math.exp(-i / (rate * 0.08)) * (math.sin(2 * math.pi * 1320 * i / rate) +
                                                  0.5 * math.sin(2 * math.pi * 1980 * i / rate))
            for i in range(n)]


# ---------------------------------------------------------------------------------------------
def compose_preview(path, sheets):
    """Every frame of idle and walk, in rows of the four directions, 4 times enlarged."""
    scale, cell = 4, 56
    anims = [IDLE, WALK]
    columns = sum(len(a) for a in anims)
    width, height = columns * cell * scale, 4 * cell * scale
    rgb = bytearray(bytes((0, 128, 0)) * (width * height))
    kinds = {"SPRITES": "sprites", "BODY": "body", "HEAD": "head", "SWORD": "sword", "SHIELD": "shield"}
    table = {s[0]: s for s in sprite_table(range(4))}
    column = 0
    for frames in anims:
        for col, bob, swing, _ in frames:
            for d in range(4):
                for s, px, py in direction_parts(d, col, bob, swing):
                    _, image, left, top, w, h, _ = table[s]
                    img, palette = sheets[kinds[image]]
                    for y in range(h):
                        for x in range(w):
                            c = img.get(left + x, top + y)
                            if not c:
                                continue
                            ox, oy = column * cell + 4 + px + x, d * cell + 4 + py + y
                            for sy in range(scale):
                                for sx in range(scale):
                                    o = ((oy * scale + sy) * width + ox * scale + sx) * 3
                                    if 0 <= o < len(rgb) - 2:
                                        rgb[o:o + 3] = bytes(palette[c])
            column += 1
    write_rgb_png(path, width, height, rgb)


def main():
    os.makedirs(GAME, exist_ok=True)
    sheets = {
        "body": (make_body(), BODY_PALETTE),
        "head": (make_head(), HEAD_PALETTE),
        "sword": (make_sword(), SWORD_PALETTE),
        "shield": (make_shield(), SHIELD_PALETTE),
        "sprites": (make_sprites(), SPRITES_PALETTE),
    }
    files = {"body": "body.png", "head": "head19.png", "sword": "sword1.png", "shield": "shield1.png",
             "sprites": "sprites.png"}
    for kind, (img, palette) in sheets.items():
        write_indexed_png(os.path.join(GAME, files[kind]), img, palette)
    write_indexed_png(os.path.join(GAME, "ride.png"), make_ride(), RIDE_PALETTE)
    write_indexed_png(os.path.join(GAME, "soundicon.png"), make_sound_icon(), ICON_PALETTE)
    for name, frames, sounds in (("idle", IDLE, {}), ("walk", WALK, WALK_SOUNDS)):
        with open(os.path.join(GAME, name + ".velk"), "w", newline="") as f:
            f.write(animation_text(frames, sounds))
    write_wav(os.path.join(GAME, "step.wav"), step_sound())
    write_wav(os.path.join(GAME, "swing.wav"), swing_sound())
    write_wav(os.path.join(GAME, "chime.wav"), chime_sound())
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        compose_preview(sys.argv[2], sheets)


if __name__ == "__main__":
    main()
