#!/usr/bin/env python3
"""Checks the main window's pictures by reading the files back.

    check_main_window_pictures.py ASSET_FOLDER WORK_FOLDER

ASSET_FOLDER holds make_pictures.py and the pictures committed beside it;
the script is run twice into WORK_FOLDER, and every check reads the files of
the first run the way the resource compiler and ImageList_AddMasked will see
them: headers, sizes, row padding, palette, mask and pixels.
"""

import ast
import os
import shutil
import struct
import subprocess
import sys
import unittest

KEY = (255, 0, 255)
WHITE = (255, 255, 255)
FRAME_GREY = (128, 128, 128)
BLACK = (0, 0, 0)
OUTPUT_NAMES = ('main.ico', 'glyphs.bmp', 'placeholder.bmp')
GLYPH_COUNT = 6
GLYPH_SIZE = 16
PLACEHOLDER_SIZE = 130
BUILD_GLYPH = 5

VGA_PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

asset_folder = None
work_folder = None


def read_bmp_24(data):
    """Parses a bottom-up 24-bit BMP; returns rows of RGB, top row first."""
    magic, file_size, _, _, offset = struct.unpack_from('<2sIHHI', data, 0)
    (header_size, width, height, planes, bits, compression, image_size,
     _, _, _, _) = struct.unpack_from('<IiiHHIIiiII', data, 14)
    if magic != b'BM' or file_size != len(data):
        raise ValueError('not a BMP file of its stated size')
    if header_size != 40 or planes != 1 or bits != 24 or compression != 0:
        raise ValueError('not a plain 24-bit BITMAPINFOHEADER bitmap')
    if width <= 0 or height <= 0:
        raise ValueError('not a bottom-up bitmap of positive size')
    row_size = (width * 3 + 3) & ~3
    if offset != 54 or image_size != row_size * height:
        raise ValueError('pixel data is not where the header says')
    if offset + image_size != len(data):
        raise ValueError('file length does not match the pixel data')
    rows = []
    for y in range(height):
        start = offset + (height - 1 - y) * row_size
        line = data[start:start + row_size]
        if any(line[width * 3:]):
            raise ValueError('row padding is not zero')
        rows.append([(line[x * 3 + 2], line[x * 3 + 1], line[x * 3])
                     for x in range(width)])
    return rows


def read_ico(data):
    """Parses a 4-bit icon file; returns {size: rows of RGB or KEY}."""
    reserved, kind, count = struct.unpack_from('<HHH', data, 0)
    if reserved != 0 or kind != 1 or count < 1:
        raise ValueError('not an ICONDIR of icons')
    images = {}
    used = []
    for i in range(count):
        (width, height, colours, zero, planes, bits, length,
         offset) = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
        size = width or 256
        if width != height or colours != 16 or zero != 0 or planes != 1 or bits != 4:
            raise ValueError('entry %d is not a square 16-colour image' % i)
        if offset < 6 + 16 * count or offset + length > len(data):
            raise ValueError('entry %d points outside the file' % i)
        for start, end in used:
            if offset < end and start < offset + length:
                raise ValueError('entry %d overlaps another image' % i)
        used.append((offset, offset + length))
        image = data[offset:offset + length]
        (header_size, bmp_width, bmp_height, bmp_planes, bmp_bits,
         compression, _, _, _, clr_used, _) = struct.unpack_from('<IiiHHIIiiII', image, 0)
        if (header_size != 40 or bmp_width != size or bmp_height != 2 * size
                or bmp_planes != 1 or bmp_bits != 4 or compression != 0
                or clr_used not in (0, 16)):
            raise ValueError('image %d has a header that does not fit its entry' % i)
        palette = [(image[40 + 4 * c + 2], image[40 + 4 * c + 1], image[40 + 4 * c])
                   for c in range(16)]
        colour_row = ((size * 4 + 31) // 32) * 4
        mask_row = ((size + 31) // 32) * 4
        colour_start = 40 + 64
        mask_start = colour_start + colour_row * size
        if mask_start + mask_row * size != length:
            raise ValueError('image %d is not colour bits plus AND mask' % i)
        rows = []
        for y in range(size):
            colour_line = image[colour_start + (size - 1 - y) * colour_row:][:colour_row]
            mask_line = image[mask_start + (size - 1 - y) * mask_row:][:mask_row]
            row = []
            for x in range(size):
                index = (colour_line[x // 2] >> (4 if x % 2 == 0 else 0)) & 0x0F
                masked = mask_line[x // 8] & (0x80 >> (x % 8))
                if masked:
                    # The colour bits are XORed onto the screen where the
                    # mask keeps it; anything but black would tint it.
                    if index != 0:
                        raise ValueError('image %d tints a transparent pixel' % i)
                    row.append(KEY)
                else:
                    row.append(palette[index])
            rows.append(row)
        images[size] = (palette, rows)
    return images


def glyph(strip, index):
    left = index * GLYPH_SIZE
    return [row[left:left + GLYPH_SIZE] for row in strip]


def outside_reachable(pixels):
    """The key pixels that connect to the picture's edge through key pixels."""
    size = len(pixels)
    seen = set()
    todo = [(x, y) for y in range(size) for x in range(size)
            if (x in (0, size - 1) or y in (0, size - 1)) and pixels[y][x] == KEY]
    while todo:
        x, y = todo.pop()
        if (x, y) in seen:
            continue
        seen.add((x, y))
        for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
            if 0 <= nx < size and 0 <= ny < size and pixels[ny][nx] == KEY:
                todo.append((nx, ny))
    return seen


class MainWindowPictures(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.script = os.path.join(asset_folder, 'make_pictures.py')
        shutil.rmtree(work_folder, ignore_errors=True)
        cls.runs = []
        for run in ('first', 'second'):
            folder = os.path.join(work_folder, run)
            subprocess.run([sys.executable, cls.script, folder], check=True)
            cls.runs.append(folder)
        cls.files = {}
        for name in OUTPUT_NAMES:
            with open(os.path.join(cls.runs[0], name), 'rb') as f:
                cls.files[name] = f.read()

    def test_script_uses_only_the_standard_library(self):
        with open(self.script, encoding='utf-8') as f:
            tree = ast.parse(f.read())
        for node in ast.walk(tree):
            names = []
            if isinstance(node, ast.Import):
                names = [alias.name for alias in node.names]
            elif isinstance(node, ast.ImportFrom):
                names = [node.module or '']
            for name in names:
                self.assertIn(name.split('.')[0], sys.stdlib_module_names, name)

    def test_output_is_deterministic_and_matches_the_committed_files(self):
        for name in OUTPUT_NAMES:
            # Compared as a whole: a byte dump of a picture explains nothing.
            with open(os.path.join(self.runs[1], name), 'rb') as f:
                self.assertTrue(self.files[name] == f.read(), name + ' differs between runs')
            with open(os.path.join(asset_folder, name), 'rb') as f:
                self.assertTrue(self.files[name] == f.read(),
                                name + ' is stale: run make_pictures.py on its own folder')

    def test_wrong_argument_count_is_a_usage_error(self):
        result = subprocess.run([sys.executable, self.script],
                                capture_output=True, text=True)
        self.assertEqual(2, result.returncode)
        self.assertIn('usage', result.stderr)

    def test_glyph_strip_holds_six_masked_glyphs_with_dark_outlines(self):
        strip = read_bmp_24(self.files['glyphs.bmp'])
        self.assertEqual((GLYPH_SIZE * GLYPH_COUNT, GLYPH_SIZE), (len(strip[0]), len(strip)))
        glyphs = [glyph(strip, i) for i in range(GLYPH_COUNT)]
        for i, pixels in enumerate(glyphs):
            drawn = [(x, y) for y in range(GLYPH_SIZE) for x in range(GLYPH_SIZE)
                     if pixels[y][x] != KEY]
            # Enough drawing to be a picture, enough background to be masked.
            self.assertGreater(len(drawn), 60, 'glyph %d is nearly empty' % i)
            self.assertLess(len(drawn), GLYPH_SIZE * GLYPH_SIZE, 'glyph %d has no background' % i)
            # A key-coloured pixel enclosed by the drawing would be a hole
            # punched through it, not background.
            background = outside_reachable(pixels)
            holes = [(x, y) for y in range(GLYPH_SIZE) for x in range(GLYPH_SIZE)
                     if pixels[y][x] == KEY and (x, y) not in background]
            self.assertEqual([], holes, 'glyph %d uses the key colour inside' % i)
            # Every edge against the background, the picture's own border
            # included, is black, so a glyph keeps its shape on any toolbar
            # or menu colour.
            def on_background(nx, ny):
                return (not (0 <= nx < GLYPH_SIZE and 0 <= ny < GLYPH_SIZE)
                        or (nx, ny) in background)
            for x, y in drawn:
                if any(on_background(nx, ny)
                       for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1))):
                    self.assertEqual(BLACK, pixels[y][x],
                                     'glyph %d has an unoutlined edge at %d,%d' % (i, x, y))
        for i in range(GLYPH_COUNT):
            for j in range(i):
                self.assertNotEqual(glyphs[i], glyphs[j], 'glyphs %d and %d are the same' % (j, i))

    def test_glyph_colours_carry_their_meaning(self):
        strip = read_bmp_24(self.files['glyphs.bmp'])

        def count(index, test):
            return sum(1 for row in glyph(strip, index) for rgb in row if rgb != KEY and test(*rgb))

        def yellow(r, g, b):
            return r >= 192 and g >= 160 and b <= 128

        def green(r, g, b):
            return g >= 96 and r <= g // 2 and b <= g // 2

        def red(r, g, b):
            return r >= 128 and g <= r // 3 and b <= r // 3

        def paper(r, g, b):
            return r == g == b == 255

        self.assertGreater(count(0, yellow), 60, 'the folder is not yellow')
        self.assertGreater(count(2, paper), 40, 'the new sheet has no paper')
        self.assertGreater(count(2, green), 12, 'the new sheet has no green plus')
        self.assertEqual(0, count(2, red))
        self.assertGreater(count(3, paper), 40, 'the remove sheet has no paper')
        self.assertGreater(count(3, red), 8, 'the remove sheet has no red minus')
        self.assertEqual(0, count(3, green))
        self.assertGreater(count(4, green), 12, 'the bin has no green arrows')
        self.assertGreater(count(5, red), 60, 'the gift box is not red')
        self.assertGreater(count(5, green), 20, 'the gift box has no green ribbon')

    def test_placeholder_frame_ring_and_centred_caption(self):
        pixels = read_bmp_24(self.files['placeholder.bmp'])
        size = PLACEHOLDER_SIZE
        self.assertEqual((size, size), (len(pixels[0]), len(pixels)))
        for i in range(size):
            for x, y in ((i, 0), (i, size - 1), (0, i), (size - 1, i)):
                self.assertEqual(KEY, pixels[y][x], 'outer ring at %d,%d' % (x, y))
        for i in range(1, size - 1):
            for x, y in ((i, 1), (i, size - 2), (1, i), (size - 2, i)):
                self.assertEqual(FRAME_GREY, pixels[y][x], 'frame at %d,%d' % (x, y))
        letters = []
        for y in range(2, size - 2):
            for x in range(2, size - 2):
                self.assertIn(pixels[y][x], (WHITE, KEY), 'inside at %d,%d' % (x, y))
                if pixels[y][x] == KEY:
                    letters.append((x, y))
        self.assertGreater(len(letters), 40, 'no caption')
        left = min(x for x, _ in letters)
        right = max(x for x, _ in letters)
        top = min(y for _, y in letters)
        bottom = max(y for _, y in letters)
        self.assertLessEqual(abs(left - (size - 1 - right)), 1, 'caption not centred across')
        self.assertLessEqual(abs(top - (size - 1 - bottom)), 1, 'caption not centred down')
        self.assertTrue(7 <= bottom - top + 1 <= 11, 'caption height %d' % (bottom - top + 1))
        self.assertTrue(30 <= right - left + 1 <= 90, 'caption width %d' % (right - left + 1))
        # "Loading ..." ends in three separate dots on the baseline.
        columns = sorted({x for x, _ in letters})
        last = [x for x in columns if x > right - 6]
        self.assertEqual([right - 4, right - 2, right], last, 'caption does not end in "..."')

    def test_icon_is_the_build_glyph_in_sixteen_vga_colours(self):
        images = read_ico(self.files['main.ico'])
        self.assertIn(16, images)
        self.assertLessEqual(set(images), {16, 32})
        strip = read_bmp_24(self.files['glyphs.bmp'])
        build = glyph(strip, BUILD_GLYPH)
        for size, (palette, rows) in images.items():
            self.assertEqual(VGA_PALETTE, palette)
            opaque = sum(1 for row in rows for rgb in row if rgb != KEY)
            self.assertGreater(opaque, size * size // 2, '%d x %d icon is mostly empty' % (size, size))
            self.assertEqual(KEY, rows[0][0], '%d x %d icon has no transparent corner' % (size, size))
        self.assertEqual(build, images[16][1])
        if 32 in images:
            big = images[32][1]
            reds = sum(1 for row in big for rgb in row if rgb in ((255, 0, 0), (128, 0, 0)))
            greens = sum(1 for row in big for rgb in row if rgb in ((0, 255, 0), (0, 128, 0)))
            self.assertGreater(reds, 300)
            self.assertGreater(greens, 60)


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.stderr.write('usage: check_main_window_pictures.py ASSET_FOLDER WORK_FOLDER\n')
        sys.exit(2)
    asset_folder, work_folder = sys.argv[1], sys.argv[2]
    unittest.main(argv=[sys.argv[0]], verbosity=2)
