#!/usr/bin/env python3
"""Turns the button glyphs (resources/glyphs/*.xpm) into what the Windows resource script
takes: one 24-bit bitmap per glyph, a greyed copy of each for the disabled look, the
program's icon, and glyphs.rc naming them all.

    make_resources.py GLYPH_DIR OUTPUT_DIR

Transparent pixels become the key colour magenta, which the program draws through. A glyph
file named NAME_disabled.xpm is NAME's own disabled picture. Resource names are GLYPH_ and
the glyph's id (the file name upper-cased, without "_"): GLYPH_LISTPLAY, GLYPH_LISTPLAY_GREY,
GLYPH_STOP_DISABLED. The icon is the Record glyph.
"""
import os
import re
import struct
import sys

KEY = (255, 0, 255)
HIGHLIGHT = (255, 255, 255)
SHADOW = (128, 128, 128)
ICON_GLYPH = 'record'


def read_xpm(path):
    """The picture as rows of (r, g, b) or None for a transparent pixel."""
    with open(path, encoding='ascii') as source:
        strings = re.findall(r'"((?:[^"\\]|\\.)*)"', source.read())
    width, height, count, chars = (int(v) for v in strings[0].split()[:4])
    colours = {}
    for line in strings[1:1 + count]:
        key, spec = line[:chars], line[chars:].split()
        value = spec[spec.index('c') + 1]
        colours[key] = None if value.lower() == 'none' else tuple(
            int(value[i:i + 2], 16) for i in (1, 3, 5))
    rows = strings[1 + count:1 + count + height]
    return [[colours[row[x * chars:(x + 1) * chars]] for x in range(width)] for row in rows]


def greyed(picture):
    """The classic disabled look: the picture's shape (its pixels that are not near white)
    as a grey shadow over a white highlight one pixel down and right."""
    height, width = len(picture), len(picture[0])

    def shape(x, y):
        pixel = picture[y][x] if 0 <= x < width and 0 <= y < height else None
        return pixel is not None and sum(pixel) < 3 * 224

    return [[SHADOW if shape(x, y) else HIGHLIGHT if shape(x - 1, y - 1) else None
             for x in range(width)] for y in range(height)]


def bmp(picture):
    height, width = len(picture), len(picture[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(picture):
        for pixel in row:
            r, g, b = pixel if pixel is not None else KEY
            pixels += bytes((b, g, r))
        pixels += bytes(stride - width * 3)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835,
                       0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


def icon_image(picture):
    """One 32-bit icon image: BGRA rows bottom-up, then the AND mask."""
    height, width = len(picture), len(picture[0])
    colour = bytearray()
    for row in reversed(picture):
        for pixel in row:
            colour += bytes((pixel[2], pixel[1], pixel[0], 255)) if pixel else bytes(4)
    mask_stride = ((width + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(picture):
        bits = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack('<IiiHHIIiiII', 40, width, 2 * height, 1, 32, 0,
                       len(colour) + len(mask), 0, 0, 0, 0)
    return info + colour + mask


def halved(picture):
    """A picture at half size: each 2 x 2 block's opaque pixels averaged, transparent when
    fewer than two are opaque."""
    result = []
    for y in range(0, len(picture) - 1, 2):
        row = []
        for x in range(0, len(picture[0]) - 1, 2):
            block = [picture[y + dy][x + dx] for dy in (0, 1) for dx in (0, 1)]
            opaque = [p for p in block if p is not None]
            row.append(tuple(sum(c) // len(opaque) for c in zip(*opaque))
                       if len(opaque) >= 2 else None)
        result.append(row)
    return result


def ico(pictures):
    images = [icon_image(p) for p in pictures]
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    for picture, image in zip(pictures, images):
        size = len(picture) % 256
        directory += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + b''.join(images)


def write(path, data):
    with open(path, 'wb') as out:
        out.write(data)


def main(glyph_dir, output_dir):
    os.makedirs(output_dir, exist_ok=True)
    lines = ['// Made by resources/windows/make_resources.py from resources/glyphs.']
    names = sorted(f[:-4] for f in os.listdir(glyph_dir) if f.endswith('.xpm'))
    for name in names:
        picture = read_xpm(os.path.join(glyph_dir, name + '.xpm'))
        own_disabled = name.endswith('_disabled')
        base = name[:-len('_disabled')] if own_disabled else name
        resource = 'GLYPH_' + base.replace('_', '').upper()
        if own_disabled:
            resource += '_DISABLED'
        write(os.path.join(output_dir, name + '.bmp'), bmp(picture))
        lines.append(f'{resource} BITMAP "{name}.bmp"')
        if not own_disabled:
            write(os.path.join(output_dir, name + '_grey.bmp'), bmp(greyed(picture)))
            lines.append(f'{resource}_GREY BITMAP "{name}_grey.bmp"')
        if name == ICON_GLYPH:
            write(os.path.join(output_dir, 'TAPEWRT.ico'), ico([picture, halved(picture)]))
    write(os.path.join(output_dir, 'glyphs.rc'), ('\n'.join(lines) + '\n').encode('ascii'))


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2])
