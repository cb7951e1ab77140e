#!/usr/bin/env python3
"""Draws the main window's pictures from the pixel grids below.

    make_pictures.py OUTPUT_FOLDER

writes three files into OUTPUT_FOLDER:

  main.ico         the window icon: a red gift box with a green ribbon, at
                   16 x 16 and 32 x 32, 16 colours (4 bits per pixel, the
                   standard VGA palette) with an AND mask.
  glyphs.bmp       a 96 x 16, 24-bit strip of the six toolbar and menu glyphs
                   (open folder, floppy disk, new sheet, remove sheet, waste
                   bin, gift box); the background is the key colour.
  placeholder.bmp  the 130 x 130, 24-bit picture that the movie list shows
                   while a thumbnail is taken: a white square in a grey frame
                   with "Loading ..." in its middle. The outer ring and the
                   letters are in the key colour.

The key colour (255, 0, 255) is what ImageList_AddMasked turns into
transparency, so no drawn pixel may use it. Only the standard library is
used, and the output is the same byte for byte on every run, so the files
committed beside this script can be compared with a fresh run.
"""

import os
import struct
import sys

KEY = (255, 0, 255)

# One character per pixel. '.' is the background: the key colour in the
# glyph strip, a masked (transparent) pixel in the icon. Every other colour
# is either one of the 16 VGA colours or a shade for the 24-bit glyphs only.
COLOURS = {
    '.': KEY,
    # The 16 VGA colours.
    'K': (0, 0, 0),
    'r': (128, 0, 0),
    'n': (0, 128, 0),
    'o': (128, 128, 0),
    'b': (0, 0, 128),
    'p': (128, 0, 128),
    't': (0, 128, 128),
    's': (192, 192, 192),
    'g': (128, 128, 128),
    'R': (255, 0, 0),
    'G': (0, 255, 0),
    'Y': (255, 255, 0),
    'B': (0, 0, 255),
    'C': (0, 255, 255),
    'W': (255, 255, 255),
    # Extra shades that only the 24-bit glyphs use.
    'd': (64, 64, 64),        # dark grey
    'l': (224, 224, 224),     # light grey
    'y': (255, 255, 176),     # pale yellow highlight
    'h': (255, 224, 64),      # folder yellow
    'u': (192, 144, 0),       # folder shade
    'e': (96, 200, 96),       # soft green highlight
    'f': (0, 96, 0),          # deep green shade
    'm': (255, 96, 96),       # light red highlight
    'w': (176, 0, 0),         # red shade
}

# The standard 16-colour VGA palette in its usual order; the icon's pixel
# values are indices into it.
VGA_PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

GLYPH_OPEN_FOLDER = """
................
................
................
.KKKKK..........
KyhhhhK.........
KhhhhhhKKKKKK...
KhhyyyyyyyyyhK..
KhhKKKKKKKKKKKKK
KhKyyyyyyyyyyyyK
KhKyhhhhhhhhhhuK
KKyhhhhhhhhhhuK.
KKyhhhhhhhhhhuK.
KyhhhhhhhhhhuK..
KyhhhhhhhhhhuK..
KKKKKKKKKKKKK...
................
"""

GLYPH_FLOPPY = """
................
.KKKKKKKKKKKKKK.
.KbKWWWWWWWWKbK.
.KbKWWWWWWWWKbK.
.KbKWssssssWKbK.
.KbKWWWWWWWWKbK.
.KbKWssssssWKbK.
.KbKWWWWWWWWKbK.
.KbbKKKKKKKKbbK.
.KbbbbbbbbbbbbK.
.KbbKKKKKKKKbbK.
.KbbKsKKsssKbbK.
.KbbKsKKsssKbbK.
.KbbKsKKsssKbbK.
..KKKKKKKKKKKKK.
................
"""

GLYPH_NEW_SHEET = """
..KKKKKKK.......
..KWWWWWKK......
..KWWWWWKsK.....
..KWWWWWKssK....
..KWWWWWKKKKK...
..KWWWWWWWWWK...
..KWWWWWWWWWK...
..KWWWWWWWWWK...
..KWWWWWKKKKK...
..KWWWWWKGnKK...
..KWWWKKKGnKKK..
..KWWWKGGGGGnK..
..KWWWKnnGnnnK..
..KWWWKKKGnKKK..
..KKKKKKKnnK....
........KKKK....
"""

GLYPH_REMOVE_SHEET = """
..KKKKKKK.......
..KWWWWWKK......
..KWWWWWKsK.....
..KWWWWWKssK....
..KWWWWWKKKKK...
..KWWWWWWWWWK...
..KWWWWWWWWWK...
..KWWWWWWWWWK...
..KWWWWWWWWWK...
..KWWWWWWWWWK...
..KWWWKKKKKKKK..
..KWWWKRRRRRrK..
..KWWWKrrrrrrK..
..KWWWKKKKKKKK..
..KWWWWWWWWWK...
..KKKKKKKKKKK...
"""

GLYPH_WASTE_BIN = """
......KKKK......
.KKKKKKKKKKKKKK.
KWllllllllllllsK
KgggggggggggggdK
.KKKKKKKKKKKKKK.
.KWsssssssssgdK.
.KWsssnnnsnsgdK.
.KWsnnsssnnsgdK.
.KWsnsssnnnsgdK.
.KWnssssssssgdK.
.KWnsssssssngdK.
..KWsssssssndK..
..KWnnnsssngdK..
..KWnnsssnngdK..
..KWnsnnnssgdK..
..KKKKKKKKKKKK..
"""

GLYPH_GIFT_BOX = """
................
..KKK......KKK..
.KGGnK....KnGGK.
.KGKGnK..KnGKGK.
.KGnKGnKKnGKnGK.
..KKnnnGGnnnKK..
KKKKKKKGnKKKKKKK
KRRRRRRGnRRRRRrK
KrrrrrrGnrrrrrrK
KKKKKKKGnKKKKKKK
.KRRRRRGnRRRRrK.
.KRRRRRGnRRRRrK.
.KRRRRRGnRRRRrK.
.KRRRRRGnRRRRrK.
.KrrrrrGnrrrrrK.
.KKKKKKKKKKKKKK.
"""

GLYPHS = [
    GLYPH_OPEN_FOLDER,
    GLYPH_FLOPPY,
    GLYPH_NEW_SHEET,
    GLYPH_REMOVE_SHEET,
    GLYPH_WASTE_BIN,
    GLYPH_GIFT_BOX,
]

# The window icon's small image is the build glyph itself; the large one is
# the same box drawn at twice the size.
ICON_16 = GLYPH_GIFT_BOX

ICON_32 = """
.....KKK................KKK.....
...KKGGGKKK..........KKKGGGKK...
..KGGGGGGGGKK......KKGGGGGGGGK..
.KGGGGGGGGGGGK....KGGGGGGGGGGGK.
.KGGGKKKKGGGGGK..KGGGGGKKKKGGGK.
.KnnnK...KKGGGGKKGGGGKK...KnnnK.
.KnnnnKK...KGKKKKKKGK...KKnnnnK.
..KnnnnnKKKKGKGGnnKGKKKKnnnnnK..
...KnnnnnnnnnKGGnnKnnnnnnnnnK...
....KKnnnnnnnKGGnnKnnnnnnnKK....
KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK
KRRRRRRRRRRRRRGGnnRRRRRRRRRRRrrK
KRRRRRRRRRRRRRGGnnRRRRRRRRRRRrrK
KRRRRRRRRRRRRRGGnnRRRRRRRRRRRrrK
KrrrrrrrrrrrrrGGnnrrrrrrrrrrrrrK
KrrrrrrrrrrrrrGGnnrrrrrrrrrrrrrK
KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK
..KRRRRRRRRRRRGGnnRRRRRRRRrrrK..
..KRRRRRRRRRRRGGnnRRRRRRRRrrrK..
..KRRRRRRRRRRRGGnnRRRRRRRRrrrK..
..KRRRRRRRRRRRGGnnRRRRRRRRrrrK..
..KRRRRRRRRRRRGGnnRRRRRRRRrrrK..
..KRRRRRRRRRRRGGnnRRRRRRRRrrrK..
..KRRRRRRRRRRRGGnnRRRRRRRRrrrK..
..KRRRRRRRRRRRGGnnRRRRRRRRrrrK..
..KRRRRRRRRRRRGGnnRRRRRRRRrrrK..
..KRRRRRRRRRRRGGnnRRRRRRRRrrrK..
..KRRRRRRRRRRRGGnnRRRRRRRRrrrK..
..KRRRRRRRRRRRGGnnRRRRRRRRrrrK..
..KrrrrrrrrrrrGGnnrrrrrrrrrrrK..
..KrrrrrrrrrrrGGnnrrrrrrrrrrrK..
..KKKKKKKKKKKKKKKKKKKKKKKKKKKK..
"""

# A tiny proportional font for the placeholder's caption: cap height 8,
# x-height 6, two rows of descender; one blank column between letters.
FONT_ASCENT = 8
FONT_HEIGHT = 10
FONT = {
    'L': """
X...
X...
X...
X...
X...
X...
X...
XXXX
....
....
""",
    'o': """
....
....
.XX.
X..X
X..X
X..X
X..X
.XX.
....
....
""",
    'a': """
....
....
.XX.
...X
.XXX
X..X
X..X
.XXX
....
....
""",
    'd': """
...X
...X
.XXX
X..X
X..X
X..X
X..X
.XXX
....
....
""",
    'i': """
X
.
X
X
X
X
X
X
.
.
""",
    'n': """
....
....
X.X.
XX.X
X..X
X..X
X..X
X..X
....
....
""",
    'g': """
....
....
.XXX
X..X
X..X
X..X
X..X
.XXX
...X
.XX.
""",
    '.': """
.
.
.
.
.
.
.
X
.
.
""",
    ' ': """
..
..
..
..
..
..
..
..
..
..
""",
}

PLACEHOLDER_SIZE = 130
PLACEHOLDER_TEXT = "Loading ..."
FRAME_GREY = (128, 128, 128)
WHITE = (255, 255, 255)


def parse_grid(text, width, height):
    """Turns a grid of characters into rows of RGB triples."""
    rows = [line for line in text.strip('\n').split('\n')]
    if len(rows) != height or any(len(row) != width for row in rows):
        raise ValueError('grid is not %d x %d' % (width, height))
    return [[COLOURS[ch] for ch in row] for row in rows]


def parse_letter(text):
    rows = text.strip('\n').split('\n')
    if len(rows) != FONT_HEIGHT or len({len(row) for row in rows}) != 1:
        raise ValueError('letter is not %d rows of one width' % FONT_HEIGHT)
    return [[ch == 'X' for ch in row] for row in rows]


def bmp_24(pixels):
    """A bottom-up, 24-bit BMP file with a BITMAPINFOHEADER."""
    height = len(pixels)
    width = len(pixels[0])
    row_size = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for red, green, blue in row:
            line += bytes((blue, green, red))
        line += bytes(row_size - len(line))
        body += line
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0,
                       len(body), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    header = struct.pack('<2sIHHI', b'BM', offset + len(body), 0, 0, offset)
    return header + info + bytes(body)


def icon_image_4bpp(pixels):
    """One 16-colour icon image: header, palette, colour bits and AND mask.

    Transparent pixels are black in the colour bits and set in the mask, so
    that drawing the colour bits over the masked background leaves it as is.
    """
    height = len(pixels)
    width = len(pixels[0])
    colour_row = ((width * 4 + 31) // 32) * 4
    mask_row = ((width + 31) // 32) * 4
    colour_bits = bytearray()
    mask_bits = bytearray()
    for row in reversed(pixels):
        line = bytearray(colour_row)
        mask = bytearray(mask_row)
        for x, rgb in enumerate(row):
            if rgb == KEY:
                index = 0
                mask[x // 8] |= 0x80 >> (x % 8)
            else:
                index = VGA_PALETTE.index(rgb)
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        colour_bits += line
        mask_bits += mask
    # The height counts the colour bits and the mask together.
    info = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, 4, 0,
                       len(colour_bits) + len(mask_bits), 0, 0, 0, 0)
    palette = b''.join(bytes((b, g, r, 0)) for r, g, b in VGA_PALETTE)
    return info + palette + bytes(colour_bits) + bytes(mask_bits)


def ico_file(images):
    """An ICONDIR with one entry per image, followed by the images."""
    header = struct.pack('<HHH', 0, 1, len(images))
    entries = b''
    data = b''
    offset = len(header) + 16 * len(images)
    for pixels in images:
        image = icon_image_4bpp(pixels)
        size = len(pixels)
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 16, 0,
                               1, 4, len(image), offset + len(data))
        data += image
    return header + entries + data


def glyph_strip():
    glyphs = [parse_grid(text, 16, 16) for text in GLYPHS]
    return [sum((glyph[y] for glyph in glyphs), []) for y in range(16)]


def text_width(text):
    letters = [parse_letter(FONT[ch]) for ch in text]
    return sum(len(letter[0]) for letter in letters) + len(letters) - 1


def placeholder():
    size = PLACEHOLDER_SIZE
    pixels = [[WHITE] * size for _ in range(size)]
    for i in range(size):
        for x, y in ((i, 0), (i, size - 1), (0, i), (size - 1, i)):
            pixels[y][x] = KEY
    for i in range(1, size - 1):
        for x, y in ((i, 1), (i, size - 2), (1, i), (size - 2, i)):
            pixels[y][x] = FRAME_GREY
    # Centre the letters' full box, ascenders to descenders.
    left = (size - text_width(PLACEHOLDER_TEXT)) // 2
    top = (size - FONT_HEIGHT) // 2
    for ch in PLACEHOLDER_TEXT:
        letter = parse_letter(FONT[ch])
        for y, row in enumerate(letter):
            for x, ink in enumerate(row):
                if ink:
                    pixels[top + y][left + x] = KEY
        left += len(letter[0]) + 1
    return pixels


def main(argv):
    if len(argv) != 2:
        sys.stderr.write('usage: make_pictures.py OUTPUT_FOLDER\n')
        return 2
    folder = argv[1]
    os.makedirs(folder, exist_ok=True)
    outputs = {
        'main.ico': ico_file([parse_grid(ICON_16, 16, 16),
                              parse_grid(ICON_32, 32, 32)]),
        'glyphs.bmp': bmp_24(glyph_strip()),
        'placeholder.bmp': bmp_24(placeholder()),
    }
    for name, data in outputs.items():
        with open(os.path.join(folder, name), 'wb') as out:
            out.write(data)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
