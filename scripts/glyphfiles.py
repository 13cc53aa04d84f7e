"""What the glyph scripts share: the classic 16-colour palette, and writing a picture as a 16-colour BMP for the
program's resources or as a PNG to look at."""

import os
import struct
import sys
import zlib

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255),
    (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER, GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(16)

# Where the program's bitmap resources live.
BITMAPS = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'resources', 'bitmaps')


def bmp(image):
    """A picture (rows of palette indexes, top row first) as a 16-colour BMP file."""
    height, width = len(image), len(image[0])
    stride = (width * 4 + 31) // 32 * 4
    rows = b''
    for row in reversed(image):  # bottom-up
        padded = row + [0] * (stride * 2 - width)
        rows += bytes((padded[i] << 4) | padded[i + 1] for i in range(0, len(padded), 2))
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(table)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(rows), 2835, 2835, 16, 0)
    return b'BM' + struct.pack('<IHHI', offset + len(rows), 0, 0, offset) + info + table + rows


def write_bitmap(name, image):
    with open(os.path.join(BITMAPS, name + '.bmp'), 'wb') as f:
        f.write(bmp(image))


def write_png(path, pixels):
    """Rows of (r, g, b) as a PNG file."""
    height, width = len(pixels), len(pixels[0])
    raw = b''.join(b'\0' + bytes(c for p in row for c in p) for row in pixels)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)

    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)) +
                chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def write_glyphs(images, write_preview):
    """Writes each picture as the bitmap resource of its name; with --preview FILE.png, a preview to look at too."""
    if len(sys.argv) not in (1, 3) or (len(sys.argv) == 3 and sys.argv[1] != '--preview'):
        sys.exit(f'usage: {os.path.basename(sys.argv[0])} [--preview FILE.png]')
    for name, image in images.items():
        write_bitmap(name, image)
    if len(sys.argv) == 3:
        write_preview(sys.argv[2], images)
