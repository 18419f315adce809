#!/usr/bin/env python3
"""Reads the ZX81 picture out of a screen grab, for the GUI tests. RAW is a file of
8-bit RGB triples, W x H of them; (X, Y) is the picture's top-left corner in it.

  grid RAW W H X Y SCALE ROM        "column row" of the character grid's corner, found
                                    from the inverse K cursor that starts the bottom line
  text RAW W H X Y SCALE ROM GX GY  the 24 lines of the screen (inverse letters in lower
                                    case, other inverse characters '#', unreadable '?')
  compare RAW W H X Y SCALE BMP LEFT TOP PW PH
                                    pixels of the picture (PW x PH) that differ from the
                                    32-bit BMP's area at (LEFT, TOP)
  same RAW W H X Y RAW2 W2 H2 X2 Y2 PW PH SCALE2
                                    pixels that differ from the same picture shown SCALE2
                                    times larger at (X2, Y2) of the second grab
  colours RAW W H X Y PW PH         the picture's distinct colours as hex, most frequent first
"""
import collections
import os
import re
import struct
import sys


def charset():
    """The ZX81 character set as the emulator itself writes it, with the pound sign."""
    source = os.path.join(os.path.dirname(__file__), '..', '..', 'machine', 'keyboard.cpp')
    text = re.search(r'zx81_charset\[65\] = "((?:[^"\\]|\\.)*)"', open(source).read()).group(1)
    text = text.replace('\\"', '"')
    return text[:12] + '£' + text[13:]


CHARSET = charset()


def grab(path, w, h):
    """The pixel at (x, y) of a grab."""
    data, w = open(path, 'rb').read(), int(w)
    if len(data) != w * int(h) * 3:
        sys.exit(f'grab is {len(data)} bytes, expected {w * int(h) * 3}')
    return lambda x, y: (data[(y * w + x) * 3], data[(y * w + x) * 3 + 1], data[(y * w + x) * 3 + 2])


def read_bmp(path):
    """The pixel at (x, y) from the top of a 32-bit BMP."""
    data = open(path, 'rb').read()
    offset, = struct.unpack_from('<I', data, 10)
    width, height, _, bpp = struct.unpack_from('<iiHH', data, 18)
    if bpp != 32:
        sys.exit(f'{path}: {bpp} bits per pixel')

    def pixel(x, y):
        i = offset + ((y if height < 0 else height - 1 - y) * width + x) * 4
        return data[i + 2], data[i + 1], data[i]
    return pixel


def differing(want, pixel, x0, y0, scale):
    """Pixels at (x0, y0) that differ from the rows of `want` shown `scale` times larger."""
    return sum(pixel(x0 + x * scale + dx, y0 + y * scale + dy) != p
               for y, row in enumerate(want) for x, p in enumerate(row) for dy in range(scale) for dx in range(scale))


def area(pixel, x0, y0, pw, ph):
    return [[pixel(x0 + x, y0 + y) for x in range(pw)] for y in range(ph)]


def glyphs(rom):
    """The character set's patterns, each of 8 bytes, and their inverses."""
    font = {}
    for code, ch in enumerate(CHARSET):
        glyph = tuple(rom[0x1E00 + code * 8: 0x1E08 + code * 8])
        font.setdefault(glyph, ch)
        font.setdefault(tuple(b ^ 0xFF for b in glyph), ch.lower() if ch.isalpha() else '#')
    return font


def read_cell(bits, x, y):
    inside = lambda r, c: 0 <= r < len(bits) and 0 <= c < len(bits[0]) and bits[r][c]
    return tuple(sum(inside(y + r, x + c) << (7 - c) for c in range(8)) for r in range(8))


def main():
    cmd, a = sys.argv[1], sys.argv[2:]
    pixel, x0, y0 = grab(*a[0:3]), int(a[3]), int(a[4])
    if cmd in ('text', 'grid'):
        scale, rom = int(a[5]), open(a[6], 'rb').read()
        pw, ph = min((int(a[1]) - x0) // scale, 384), min((int(a[2]) - y0) // scale, 296)
        bits = [[pixel(x0 + x * scale, y0 + y * scale) == (0, 0, 0) for x in range(pw)] for y in range(ph)]
        font = glyphs(rom)
        if cmd == 'grid':
            k = [format(b ^ 0xFF, '08b') for b in rom[0x1E00 + 48 * 8: 0x1E08 + 48 * 8]]
            rows = [''.join('01'[b] for b in row) for row in bits]
            for y in range(ph - 8, -1, -1):
                x = rows[y].find(k[0])
                while x >= 0:
                    if all(rows[y + r][x:x + 8] == k[r] for r in range(8)):
                        return print(x, y - 23 * 8)
                    x = rows[y].find(k[0], x + 1)
            sys.exit('no K cursor in the picture')
        gx, gy = int(a[7]), int(a[8])
        for row in range(24):
            print(''.join(font.get(read_cell(bits, gx + col * 8, gy + row * 8), '?') for col in range(32)).rstrip())
    elif cmd == 'compare':
        want = area(read_bmp(a[6]), int(a[7]), int(a[8]), int(a[9]), int(a[10]))
        print(differing(want, pixel, x0, y0, int(a[5])))
    elif cmd == 'same':
        print(differing(area(pixel, x0, y0, int(a[10]), int(a[11])), grab(*a[5:8]), int(a[8]), int(a[9]), int(a[12])))
    elif cmd == 'colours':
        for p, _ in collections.Counter(p for row in area(pixel, x0, y0, int(a[5]), int(a[6])) for p in row).most_common():
            print('%02X%02X%02X' % p)


if __name__ == '__main__':
    main()
