#!/usr/bin/python3
"""Draws Wren81's pictures into resources/: the ZX81 keyboard, one picture per key
for the keyboard helper, the About picture, the folder picture of the browse
buttons and the program icon.

The pictures are committed, so building the program never runs this. Run it again
after changing a legend or a layout here:

    /usr/bin/python3 scripts/make_resources.py

It needs Pillow (Debian: python3-pil) and the DejaVu fonts (fonts-dejavu-core).
"""
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources")
FONT_DIR = "/usr/share/fonts/truetype/dejavu"

# ---------------------------------------------------------------------------
# The ZX81 keyboard, row by row as the machine has it. Each key: the name of its
# picture, the large legend, the shifted legend (red), the keyword of K mode
# (on the key), the function (printed below the key), and the graphics character
# that SHIFT gives in G mode (ZX81 code, or None).
# ---------------------------------------------------------------------------
KEYS = [
    ("1", "1", "EDIT", None, None, 0x01),
    ("2", "2", "AND", None, None, 0x02),
    ("3", "3", "THEN", None, None, 0x87),
    ("4", "4", "TO", None, None, 0x04),
    ("5", "5", "\u2190", None, None, 0x05),
    ("6", "6", "\u2193", None, None, 0x83),
    ("7", "7", "\u2191", None, None, 0x03),
    ("8", "8", "\u2192", None, None, 0x85),
    ("9", "9", "GRAPHICS", None, None, None),
    ("0", "0", "RUBOUT", None, None, None),
    ("Q", "Q", '""', "PLOT", "SIN", 0x81),
    ("W", "W", "OR", "UNPLOT", "COS", 0x82),
    ("E", "E", "STEP", "REM", "TAN", 0x07),
    ("R", "R", "<=", "RUN", "INT", 0x84),
    ("T", "T", "<>", "RAND", "RND", 0x06),
    ("Y", "Y", ">=", "RETURN", "STR$", 0x86),
    ("U", "U", "$", "IF", "CHR$", None),
    ("I", "I", "(", "INPUT", "CODE", None),
    ("O", "O", ")", "POKE", "PEEK", None),
    ("P", "P", '"', "PRINT", "TAB", None),
    ("A", "A", "STOP", "NEW", "ARCSIN", 0x08),
    ("S", "S", "LPRINT", "SAVE", "ARCCOS", 0x0A),
    ("D", "D", "SLOW", "DIM", "ARCTAN", 0x09),
    ("F", "F", "FAST", "FOR", "SGN", 0x8A),
    ("G", "G", "LLIST", "GOTO", "ABS", 0x89),
    ("H", "H", "**", "GOSUB", "SQR", 0x88),
    ("J", "J", "-", "LOAD", "VAL", None),
    ("K", "K", "+", "LIST", "LEN", None),
    ("L", "L", "=", "LET", "USR", None),
    ("NL", "NEW\nLINE", "FUNCTION", None, None, None),
    ("SH", "SHIFT", None, None, None, None),
    ("Z", "Z", ":", "COPY", "LN", None),
    ("X", "X", ";", "CLEAR", "EXP", None),
    ("C", "C", "?", "CONT", "AT", None),
    ("V", "V", "/", "CLS", None, None),
    ("B", "B", "*", "SCROLL", "INKEY$", None),
    ("N", "N", "<", "NEXT", "NOT", None),
    ("M", "M", ">", "PAUSE", "PI", None),
    ("SS", ".", ",", None, None, None),
    ("SP", "SPACE", "\u00a3", "BREAK", None, None),
]

# The ten graphics characters of the character set, by quadrant (top left, top
# right, bottom left, bottom right): 1 ink, 0 paper, 2 grey (chequered).
# Adding 0x80 gives the inverse character.
GRAPHICS = {
    0x01: (1, 0, 0, 0), 0x02: (0, 1, 0, 0), 0x03: (1, 1, 0, 0), 0x04: (0, 0, 1, 0),
    0x05: (1, 0, 1, 0), 0x06: (0, 1, 1, 0), 0x07: (1, 1, 1, 0), 0x08: (2, 2, 2, 2),
    0x09: (0, 0, 2, 2), 0x0A: (2, 2, 0, 0),
}

KEY_W, KEY_H = 64, 62            # one key with its function legend (helper pictures)
PITCH_X, PITCH_Y = 68, 64        # key spacing on the keyboard picture
BOARD_W, BOARD_H = 690, 262

MEMBRANE = (20, 20, 22)
FACE_TOP, FACE_BOTTOM = (58, 58, 62), (36, 36, 40)
RIM_LIGHT, RIM_DARK = (92, 92, 98), (10, 10, 10)
WHITE = (246, 246, 240)
RED = (232, 52, 40)
FUNCTION_INK = (214, 214, 206)


def font(name, size):
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


BOLD = "DejaVuSans-Bold.ttf"
CONDENSED = "DejaVuSansCondensed-Bold.ttf"


def fitted_font(text, name, size, width):
    """The largest size up to `size` at which `text` is at most `width` wide."""
    while size > 6:
        f = font(name, size)
        if text_width(f, text) <= width:
            return f
        size -= 1
    return font(name, 6)


def text_width(f, text):
    box = f.getbbox(text)
    return box[2] - box[0]


def draw_text(d, xy, text, f, fill, anchor="la"):
    d.text(xy, text, font=f, fill=fill, anchor=anchor)


def vertical_gradient(d, box, top, bottom):
    x0, y0, x1, y1 = box
    for y in range(y0, y1 + 1):
        t = (y - y0) / max(1, y1 - y0)
        d.line([(x0, y), (x1, y)], fill=tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))


def draw_graphic(img, x, y, code):
    """A graphics character as the ZX81 shows it, black ink on white paper, 12 x 12
    pixels inside a one-pixel white frame."""
    inverse = code & 0x80
    quadrants = GRAPHICS[code & 0x7F]
    ink, paper = ((0, 0, 0), WHITE) if not inverse else (WHITE, (0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rectangle([x - 1, y - 1, x + 12, y + 12], outline=WHITE)
    for q, kind in enumerate(quadrants):
        qx, qy = x + (q % 2) * 6, y + (q // 2) * 6
        for py in range(6):
            for px in range(6):
                on = kind == 1 or (kind == 2 and (qx + px + qy + py) % 2 == 0)
                img.putpixel((qx + px, qy + py), ink if on else paper)


def draw_key(key):
    """One key on its patch of membrane: the face with its legends and, below it,
    the function printed on the membrane."""
    name, main, shifted, keyword, function, graphic = key
    img = Image.new("RGB", (KEY_W, KEY_H), MEMBRANE)
    d = ImageDraw.Draw(img)
    fx0, fy0, fx1, fy1 = 3, 2, 60, 47
    d.rounded_rectangle([fx0, fy0, fx1, fy1], radius=5, fill=RIM_DARK)
    d.rounded_rectangle([fx0, fy0, fx1 - 1, fy1 - 1], radius=5, fill=RIM_LIGHT)
    face = Image.new("RGB", (fx1 - fx0 - 2, fy1 - fy0 - 2))
    vertical_gradient(ImageDraw.Draw(face), (0, 0, face.width - 1, face.height - 1), FACE_TOP, FACE_BOTTOM)
    mask = Image.new("L", face.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle([0, 0, face.width - 1, face.height - 1], radius=4, fill=255)
    img.paste(face, (fx0 + 1, fy0 + 1), mask)

    if name == "SH":
        draw_text(d, ((fx0 + fx1) // 2, (fy0 + fy1) // 2), "SHIFT", font(BOLD, 13), RED, "mm")
    elif name == "NL":
        draw_text(d, (fx1 - 4, fy0 + 4), shifted, fitted_font(shifted, CONDENSED, 10, 50), RED, "ra")
        f = font(BOLD, 12)
        draw_text(d, (fx0 + 5, fy0 + 17), "NEW", f, WHITE)
        draw_text(d, (fx0 + 5, fy0 + 30), "LINE", f, WHITE)
    elif name == "SP":
        draw_text(d, (fx1 - 5, fy0 + 2), shifted, font(BOLD, 15), RED, "ra")
        draw_text(d, (fx0 + 5, fy0 + 18), "SPACE", fitted_font("SPACE", BOLD, 12, 48), WHITE)
        draw_text(d, ((fx0 + fx1) // 2, fy1 - 4), keyword, font(CONDENSED, 9), WHITE, "ms")
    else:
        big = font(BOLD, 22)
        draw_text(d, (fx0 + 5, fy0 + 1), main, big, WHITE)
        room = fx1 - fx0 - 12 - text_width(big, main)
        if shifted and not any(c.isalnum() for c in shifted):
            draw_text(d, (fx1 - 5, fy0 + 2), shifted, font(BOLD, 14), RED, "ra")
        elif shifted:
            f = fitted_font(shifted, CONDENSED, 11, room)
            if f.size >= 9 or keyword:
                draw_text(d, (fx1 - 5, fy0 + 4), shifted, f, RED, "ra")
            else:  # a long word on a key without keyword goes along the bottom
                f = fitted_font(shifted, CONDENSED, 11, fx1 - fx0 - 8)
                draw_text(d, ((fx0 + fx1) // 2, fy1 - 5), shifted, f, RED, "ms")
        if graphic is not None:
            draw_graphic(img, fx1 - 18, fy0 + 17, graphic)
        if keyword:
            f = fitted_font(keyword, CONDENSED, 10, fx1 - fx0 - 8)
            draw_text(d, ((fx0 + fx1) // 2 if graphic is None else fx0 + 5, fy1 - 3), keyword, f, WHITE,
                      "ms" if graphic is None else "ls")
    if function:
        f = fitted_font(function, CONDENSED, 10, KEY_W - 4)
        draw_text(d, (KEY_W // 2, KEY_H - 3), function, f, FUNCTION_INK, "ms")
    return img


def keyboard_picture(keys):
    board = Image.new("RGB", (BOARD_W, BOARD_H), MEMBRANE)
    left = (BOARD_W - 10 * PITCH_X) // 2 + (PITCH_X - KEY_W) // 2
    top = (BOARD_H - 4 * PITCH_Y) // 2 + (PITCH_Y - KEY_H) // 2
    for i, img in enumerate(keys):
        board.paste(img, (left + (i % 10) * PITCH_X, top + (i // 10) * PITCH_Y))
    return board


# ---------------------------------------------------------------------------
# The wren: drawn at four times the size and scaled down, so its edges are smooth.
# ---------------------------------------------------------------------------
WREN_BROWN = (139, 92, 52)
WREN_DARK = (84, 52, 28)
WREN_PALE = (226, 196, 150)
WREN_BELLY = (196, 150, 100)


def draw_wren(d, ox, oy, s, facing_right=True):
    """A wren standing with its tail cocked, in a box about 100 x 80 units of size
    `s` from (ox, oy); unit coordinates are for a bird facing right."""
    def p(x, y):
        return (ox + (x if facing_right else 100 - x) * s, oy + y * s)

    def ellipse(x0, y0, x1, y1, **kw):
        a, b = p(x0, y0), p(x1, y1)
        d.ellipse([min(a[0], b[0]), a[1], max(a[0], b[0]), b[1]], **kw)

    # tail, cocked up and back
    d.polygon([p(30, 40), p(8, 8), p(16, 4), p(40, 34)], fill=WREN_DARK)
    for t in range(3):
        d.line([p(13 + t * 5, 12 + t * 7), p(19 + t * 5, 9 + t * 7)], fill=WREN_BROWN, width=max(1, int(s * 1.5)))
    # legs
    for x in (52, 60):
        d.line([p(x, 64), p(x - 2, 78)], fill=WREN_DARK, width=max(1, int(s * 2)))
        d.line([p(x - 8, 78), p(x + 4, 78)], fill=WREN_DARK, width=max(1, int(s * 2)))
    # body and belly
    ellipse(24, 28, 80, 68, fill=WREN_BROWN)
    ellipse(44, 44, 80, 68, fill=WREN_BELLY)
    # wing with its bars
    ellipse(30, 34, 64, 56, fill=WREN_DARK)
    for t in range(4):
        d.line([p(36 + t * 7, 38), p(34 + t * 7, 52)], fill=WREN_PALE, width=max(1, int(s)))
    # head, beak, eyebrow and eye
    ellipse(62, 18, 90, 44, fill=WREN_BROWN)
    d.polygon([p(88, 27), p(100, 30), p(88, 33)], fill=WREN_DARK)
    d.arc([*p(66, 21)] + [*p(88, 33)] if facing_right else [*p(88, 21)] + [*p(66, 33)],
          200 if facing_right else 250, 290 if facing_right else 340, fill=WREN_PALE, width=max(1, int(s * 2)))
    ellipse(78, 27, 83, 32, fill=(20, 14, 10))


def smooth(draw_fn, size, scale=4, background=(0, 0, 0, 0)):
    """Runs draw_fn(draw, scale) on a picture `scale` times larger and returns it
    scaled down to `size`."""
    big = Image.new("RGBA", (size[0] * scale, size[1] * scale), background)
    draw_fn(ImageDraw.Draw(big), scale)
    return big.resize(size, Image.LANCZOS)


def zx81_motif(d, x, y, w, s):
    """A ZX81 seen from above: the black case, its keyboard grid and name."""
    h = w * 0.56
    d.rounded_rectangle([x, y, x + w, y + h], radius=5 * s, fill=(22, 22, 24))
    d.rectangle([x + 2 * s, y + h - 4 * s, x + w - 2 * s, y + h - 2 * s], fill=(40, 40, 44))
    kx0, ky0 = x + w * 0.08, y + h * 0.32
    kw, kh = w * 0.84 / 10, h * 0.56 / 4
    for r in range(4):
        for c in range(10):
            d.rectangle([kx0 + c * kw + s, ky0 + r * kh + s, kx0 + (c + 1) * kw - s, ky0 + (r + 1) * kh - s],
                        fill=(70, 70, 76))
    d.text((x + w * 0.08, y + h * 0.07), "ZX81", font=font(BOLD, int(11 * s)), fill=WHITE)
    d.rectangle([x + w * 0.55, y + h * 0.14, x + w * 0.92, y + h * 0.14 + 2 * s], fill=RED)


def about_picture():
    w, h = 375, 228
    img = Image.new("RGB", (w, h))
    vertical_gradient(ImageDraw.Draw(img), (0, 0, w - 1, h - 1), (198, 224, 242), (252, 248, 236))

    def scene(d, s):
        zx81_motif(d, 16 * s, 106 * s, 132 * s, s)
        draw_wren(d, 36 * s, 32 * s, 0.94 * s)
    art = smooth(scene, (w, h))
    img.paste(art, (0, 0), art)

    d = ImageDraw.Draw(img)
    draw_text(d, (262, 26), "Wren81", font(BOLD, 46), (34, 30, 28), "ma")
    draw_text(d, (262, 82), "a ZX81 emulator", font(BOLD, 15), (86, 64, 44), "ma")
    badge = font(BOLD, 13)
    label = "0.020"
    bw = text_width(badge, label) + 16
    d.rounded_rectangle([262 - bw // 2, 106, 262 + bw // 2, 126], radius=9, fill=RED)
    draw_text(d, (262, 116), label, badge, WHITE, "mm")
    d.line([(196, 142), (330, 142)], fill=(190, 170, 140), width=1)
    return img


def folder_picture():
    """A 16 x 16 folder on the button colour of the system."""
    img = Image.new("RGB", (16, 16), (240, 240, 240))
    d = ImageDraw.Draw(img)
    d.polygon([(1, 3), (6, 3), (7, 5), (14, 5), (14, 13), (1, 13)], fill=(214, 166, 52), outline=(140, 100, 20))
    d.polygon([(2, 7), (15, 7), (14, 13), (1, 13)], fill=(246, 204, 92), outline=(140, 100, 20))
    return img


def icon_picture(size):
    """The program icon: a wren on a ZX81 key."""
    def art(d, s):
        n = size * s
        d.rounded_rectangle([0, 0, n - 1, n - 1], radius=n * 0.18, fill=(30, 30, 34, 255))
        d.rounded_rectangle([n * 0.04, n * 0.04, n * 0.96 - 1, n * 0.96 - 1], radius=n * 0.15,
                            fill=(52, 52, 58, 255))
        draw_wren(d, n * 0.02, n * 0.12, n / 104)
    return smooth(art, (size, size), scale=8)


# ---------------------------------------------------------------------------
# File writers.
# ---------------------------------------------------------------------------
def save_bmp(img, path, palette_from=None):
    """An 8-bit BMP when palette_from (a quantized picture) is given, else 24-bit."""
    if palette_from is not None:
        img = img.quantize(palette=palette_from, dither=Image.Dither.NONE)
    img.save(path, "BMP")


def save_ico(images, path):
    """An icon file of 32-bit pictures with their AND masks, in the classic form
    that every version of Windows reads."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for img in images:
        n = img.width
        px = img.convert("RGBA").load()
        xor = bytearray()
        for y in range(n - 1, -1, -1):
            for x in range(n):
                r, g, b, a = px[x, y]
                xor += bytes((b, g, r, a))
        stride = ((n + 31) // 32) * 4
        mask = bytearray()
        for y in range(n - 1, -1, -1):
            row = bytearray(stride)
            for x in range(n):
                if px[x, y][3] < 128:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        blob = header + bytes(xor) + bytes(mask)
        entries.append(struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)))
        for e in entries:
            f.write(e)
        for b in blobs:
            f.write(b)


def main():
    os.makedirs(os.path.join(OUT, "keys"), exist_ok=True)
    keys = [draw_key(k) for k in KEYS]
    board = keyboard_picture(keys)
    palette = board.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    save_bmp(board, os.path.join(OUT, "keyboard.bmp"), palette)
    for key, img in zip(KEYS, keys):
        save_bmp(img, os.path.join(OUT, "keys", "key_%s.bmp" % key[0].lower()), palette)
    save_bmp(about_picture(), os.path.join(OUT, "about.bmp"))
    save_bmp(folder_picture(), os.path.join(OUT, "folder.bmp"))
    save_ico([icon_picture(n) for n in (16, 32, 48)], os.path.join(OUT, "wren81.ico"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
