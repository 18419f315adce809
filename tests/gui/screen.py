#!/usr/bin/env python3
"""Reads the ZX81 picture out of a screen grab, for the GUI tests.

  screen.py grid RAW W H X Y SCALE ROM
      Prints "column row" of the character grid's corner within the picture whose
      top-left corner is at (X, Y) of the grab, found from the inverse K cursor
      that stands at the start of the bottom line after the ZX81 starts.
  screen.py text RAW W H X Y SCALE ROM GX GY
      Prints the 24 lines of the ZX81 screen, the grid's corner at (GX, GY) of the
      picture. Inverse letters print in lower case, other inverse characters as '#';
      an unreadable cell prints '?'.
  screen.py compare RAW W H X Y SCALE BMP LEFT TOP PW PH
      Compares the picture (PW x PH pixels before scaling) with the area of the
      32-bit BMP starting at (LEFT, TOP); prints the number of differing pixels.
  screen.py same RAW W H X Y RAW2 W2 H2 X2 Y2 PW PH SCALE2
      Compares a PW x PH picture at (X, Y) of the first grab with the same
      picture shown SCALE2 times larger at (X2, Y2) of the second; prints the
      number of differing pixels.
  screen.py colours RAW W H X Y PW PH
      Prints the distinct colours in the picture as hex, most frequent first.

RAW is a file of 8-bit RGB triples, W x H of them (ImageMagick's rgb: format).
"""
import struct
import sys

CHARSET = ' ##########"£$:?()><=+-*/;,.0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ'


def load_raw(path, w, h):
    data = open(path, 'rb').read()
    if len(data) != w * h * 3:
        sys.exit(f'grab is {len(data)} bytes, expected {w * h * 3}')
    return data


def pixel(data, w, x, y):
    i = (y * w + x) * 3
    return data[i], data[i + 1], data[i + 2]


def is_black(data, w, x, y):
    return pixel(data, w, x, y) == (0, 0, 0)


def picture_bits(data, w, x0, y0, pw, ph, scale):
    """Rows of the unscaled picture as lists of 1 (black) and 0."""
    return [[1 if is_black(data, w, x0 + x * scale, y0 + y * scale) else 0 for x in range(pw)]
            for y in range(ph)]


def find_grid(bits, rom):
    """Corner of the 32 x 24 character grid, from the inverse K at the bottom left."""
    k = [format(b ^ 0xFF, '08b') for b in rom[0x1E00 + 48 * 8: 0x1E08 + 48 * 8]]
    rows = [''.join(map(str, row)) for row in bits]
    for y in range(len(rows) - 8, -1, -1):
        x = rows[y].find(k[0])
        while x >= 0:
            if all(rows[y + r][x:x + 8] == k[r] for r in range(8)):
                return x, y - 23 * 8
            x = rows[y].find(k[0], x + 1)
    sys.exit('no K cursor in the picture')


def read_text(bits, rom, gx, gy):
    font = {}
    for code in range(64):
        glyph = tuple(rom[0x1E00 + code * 8: 0x1E08 + code * 8])
        font.setdefault(glyph, CHARSET[code])
        inverse = tuple(b ^ 0xFF for b in glyph)
        ch = CHARSET[code]
        font.setdefault(inverse, ch.lower() if ch.isalpha() else '#')
    lines = []
    for row in range(24):
        line = ''
        for col in range(32):
            cell = []
            for r in range(8):
                y, byte = gy + row * 8 + r, 0
                for c in range(8):
                    x = gx + col * 8 + c
                    inside = 0 <= y < len(bits) and 0 <= x < len(bits[0])
                    byte = byte << 1 | (bits[y][x] if inside else 0)
                cell.append(byte)
            line += font.get(tuple(cell), '?')
        lines.append(line.rstrip())
    return lines


def read_bmp(path):
    data = open(path, 'rb').read()
    offset, = struct.unpack_from('<I', data, 10)
    width, height, _, bpp = struct.unpack_from('<iiHH', data, 18)
    if bpp != 32:
        sys.exit(f'{path}: {bpp} bits per pixel')
    rows = []
    for y in range(abs(height)):
        src = y if height < 0 else abs(height) - 1 - y
        row = data[offset + src * width * 4: offset + (src + 1) * width * 4]
        rows.append([(row[i + 2], row[i + 1], row[i]) for i in range(0, len(row), 4)])
    return rows


def main():
    cmd, args = sys.argv[1], sys.argv[2:]
    raw, w, h = args[0], int(args[1]), int(args[2])
    data = load_raw(raw, w, h)
    x0, y0 = int(args[3]), int(args[4])
    if cmd in ('text', 'grid'):
        scale = int(args[5])
        pw, ph = (w - x0) // scale, (h - y0) // scale
        bits = picture_bits(data, w, x0, y0, min(pw, 384), min(ph, 296), scale)
        rom = open(args[6], 'rb').read()
        if cmd == 'grid':
            print(*find_grid(bits, rom))
        else:
            print('\n'.join(read_text(bits, rom, int(args[7]), int(args[8]))))
    elif cmd == 'compare':
        scale, bmp = int(args[5]), read_bmp(args[6])
        left, top, pw, ph = map(int, args[7:11])
        differ = 0
        for y in range(ph):
            for x in range(pw):
                want = bmp[top + y][left + x]
                for dy in range(scale):
                    for dx in range(scale):
                        if pixel(data, w, x0 + x * scale + dx, y0 + y * scale + dy) != want:
                            differ += 1
        print(differ)
    elif cmd == 'same':
        raw2, w2, h2, x2, y2 = args[5], int(args[6]), int(args[7]), int(args[8]), int(args[9])
        pw, ph, scale = int(args[10]), int(args[11]), int(args[12])
        data2 = load_raw(raw2, w2, h2)
        differ = 0
        for y in range(ph):
            for x in range(pw):
                want = pixel(data, w, x0 + x, y0 + y)
                for dy in range(scale):
                    for dx in range(scale):
                        if pixel(data2, w2, x2 + x * scale + dx, y2 + y * scale + dy) != want:
                            differ += 1
        print(differ)
    elif cmd == 'colours':
        pw, ph = int(args[5]), int(args[6])
        counts = {}
        for y in range(ph):
            for x in range(pw):
                p = pixel(data, w, x0 + x, y0 + y)
                counts[p] = counts.get(p, 0) + 1
        for p, _ in sorted(counts.items(), key=lambda kv: -kv[1]):
            print('%02X%02X%02X' % p)


if __name__ == '__main__':
    main()
