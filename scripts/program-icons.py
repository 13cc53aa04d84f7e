#!/usr/bin/env python3
# Draws the icons that the desktop shows for the installed program from the bitmap that the main window shows as
# its icon: a PNG for each size of the icon theme and one SVG, with the same parts transparent as the window's icon.
#
#   python3 scripts/program-icons.py resources/bitmaps/ProgramIcon.bmp OUTPUT_FOLDER
#
# writes OUTPUT_FOLDER/NxN/apps/korvo.png for every size below and OUTPUT_FOLDER/scalable/apps/korvo.svg. The build
# runs it, so the installed icons always show the bitmap the program has.
#
# Each icon pixel takes the colours of the bitmap's pixels under it, weighted by how much of it each one covers.
# At a whole multiple of the bitmap's size that is plain pixel doubling, so 64, 128 and 256 stay crisp; at 16 it
# averages each 2 x 2 block, and at 22, 24 and 48 the pixels that straddle two of the bitmap's are a mix of both.

import os
import struct
import sys
import zlib

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
NAME = 'korvo'


def read_bitmap(path):
    """A 24- or 32-bit uncompressed BMP as rows of (r, g, b), top row first."""
    with open(path, 'rb') as f:
        data = f.read()
    if data[:2] != b'BM' or len(data) < 54:
        sys.exit(f'{path}: not a BMP file')
    offset, = struct.unpack_from('<I', data, 10)
    width, height, _, bits, compression = struct.unpack_from('<iiHHI', data, 18)
    if bits not in (24, 32) or compression != 0 or width <= 0 or height == 0:
        sys.exit(f'{path}: only uncompressed 24- and 32-bit bitmaps are read')
    stride = (width * bits + 31) // 32 * 4
    rows = []
    for y in range(abs(height)):
        start = offset + y * stride
        step = bits // 8
        rows.append([(data[start + x * step + 2], data[start + x * step + 1], data[start + x * step])
                     for x in range(width)])
    return rows[::-1] if height > 0 else rows  # a positive height stores the bottom row first


def with_alpha(rows):
    """Rows of (r, g, b, a). The window's icon makes transparent every pixel of the bitmap's own transparent colour,
    the colour of its bottom-left pixel, and keeps every other pixel opaque; the installed icons follow that rule."""
    key = rows[-1][0]
    return [[(r, g, b, 0 if (r, g, b) == key else 255) for r, g, b in row] for row in rows]


def resample(pixels, size):
    """The picture at size x size, each pixel weighted by the area it covers. Colours are weighted by their alpha
    too, so the transparent colour never bleeds into an edge."""
    height, width = len(pixels), len(pixels[0])
    # In units of 1 / size of a source pixel along x (and likewise y): source pixel s spans [s * size, (s + 1) *
    # size), target pixel t spans [t * width, (t + 1) * width). Everything stays in whole numbers.
    def spans(count, source):
        result = []
        for t in range(count):
            low, high = t * source, (t + 1) * source
            result.append([(s, min(high, (s + 1) * count) - max(low, s * count))
                           for s in range(low // count, (high - 1) // count + 1)])
        return result

    across, down = spans(size, width), spans(size, height)
    area = width * height
    out = []
    for rows in down:
        line = []
        for columns in across:
            r = g = b = a = 0
            for sy, wy in rows:
                for sx, wx in columns:
                    pr, pg, pb, pa = pixels[sy][sx]
                    weight = wx * wy * pa
                    r, g, b, a = r + pr * weight, g + pg * weight, b + pb * weight, a + weight
            if a == 0:
                line.append((0, 0, 0, 0))
            else:
                line.append(((r + a // 2) // a, (g + a // 2) // a, (b + a // 2) // a, (a + area // 2) // area))
        out.append(line)
    return out


def png(pixels):
    """Rows of (r, g, b, a) as an 8-bit RGBA PNG file."""
    height, width = len(pixels), len(pixels[0])
    raw = b''.join(b'\0' + bytes(c for p in row for c in p) for row in pixels)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(raw, 9)) +
            chunk(b'IEND', b''))


def svg(pixels):
    """The picture as squares of one source pixel each, a row's neighbours of one colour joined into one run, and
    one path for each colour. crispEdges keeps the seams between runs from showing at any size."""
    height, width = len(pixels), len(pixels[0])
    runs = {}
    for y, row in enumerate(pixels):
        x = 0
        while x < width:
            end = x
            while end < width and row[end] == row[x]:
                end += 1
            r, g, b, a = row[x]
            if a:
                runs.setdefault(f'#{r:02x}{g:02x}{b:02x}', []).append(f'M{x} {y}h{end - x}v1h-{end - x}z')
            x = end
    paths = ''.join(f'<path fill="{colour}" d="{"".join(parts)}"/>\n' for colour, parts in runs.items())
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'viewBox="0 0 {width} {height}" shape-rendering="crispEdges">\n{paths}</svg>\n')


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    # Through a temporary file, so an interrupted build never leaves half an icon that looks up to date.
    with open(path + '.new', 'wb') as f:
        f.write(data)
    os.replace(path + '.new', path)


def main():
    if len(sys.argv) != 3:
        sys.exit(f'usage: {os.path.basename(sys.argv[0])} BITMAP.bmp OUTPUT_FOLDER')
    pixels = with_alpha(read_bitmap(sys.argv[1]))
    for size in SIZES:
        write(os.path.join(sys.argv[2], f'{size}x{size}', 'apps', NAME + '.png'), png(resample(pixels, size)))
    write(os.path.join(sys.argv[2], 'scalable', 'apps', NAME + '.svg'), svg(pixels).encode())


if __name__ == '__main__':
    main()
