# Small image helpers for the end-to-end test, on the standard library only: writes the test scan as
# a PNG, reads 8-bit PNGs (the converter's render output) and X window dumps (xwd), and writes dumps
# back out as PNG so the screenshots can be looked at.
import struct
import zlib


def write_png(path, width, height, rows):
    """rows: height byte strings of width * 3 bytes (8-bit RGB)."""
    raw = b"".join(b"\x00" + bytes(row) for row in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                  + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


class Picture:
    """Pixels as (r, g, b, a) tuples, row-major."""

    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    def at(self, x, y):
        return self.pixels[y * self.width + x]


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read_png(path):
    """Decodes a non-interlaced 8-bit grey, RGB or RGBA PNG (with or without alpha)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG")
    pos, idat, header = 8, [], None
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.append(body)
        elif kind == b"IEND":
            break
        pos += 12 + length
    if header is None:
        raise ValueError(f"{path}: no header")
    width, height, depth, colour, _, _, interlace = header
    channels = {0: 1, 2: 3, 4: 2, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace:
        raise ValueError(f"{path}: unsupported PNG (depth {depth}, colour {colour})")
    raw = zlib.decompress(b"".join(idat))
    stride = width * channels
    pixels, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, row = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = row[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                row[i] = (row[i] + left) & 0xFF
            elif kind == 2:
                row[i] = (row[i] + up) & 0xFF
            elif kind == 3:
                row[i] = (row[i] + ((left + up) >> 1)) & 0xFF
            elif kind == 4:
                row[i] = (row[i] + _paeth(left, up, corner)) & 0xFF
        for x in range(width):
            p = row[x * channels:(x + 1) * channels]
            if channels == 1:
                pixels.append((p[0], p[0], p[0], 255))
            elif channels == 2:
                pixels.append((p[0], p[0], p[0], p[1]))
            elif channels == 3:
                pixels.append((p[0], p[1], p[2], 255))
            else:
                pixels.append(tuple(p))
        previous = row
    return Picture(width, height, pixels)


def _mask_shift(mask):
    shift = 0
    while mask and not mask & 1:
        mask >>= 1
        shift += 1
    return shift, mask


def read_xwd(path):
    """Decodes a 24/32-bit TrueColor ZPixmap window dump as written by xwd."""
    with open(path, "rb") as f:
        data = f.read()
    fields = struct.unpack(">25I", data[:100])
    (header_size, version, pixmap_format, _, width, height, _, byte_order, _, _, _,
     bits_per_pixel, bytes_per_line, _, red_mask, green_mask, blue_mask, _, _, ncolors) = fields[:20]
    if version != 7 or pixmap_format != 2 or bits_per_pixel not in (24, 32):
        raise ValueError(f"{path}: unsupported window dump")
    start = header_size + ncolors * 12
    step = bits_per_pixel // 8
    order = "little" if byte_order == 0 else "big"
    shifts = [_mask_shift(m) for m in (red_mask, green_mask, blue_mask)]
    pixels = []
    for y in range(height):
        row = data[start + y * bytes_per_line:start + y * bytes_per_line + width * step]
        for x in range(width):
            value = int.from_bytes(row[x * step:(x + 1) * step], order)
            pixels.append(tuple(((value >> s) & m) * 255 // m for s, m in shifts) + (255,))
    return Picture(width, height, pixels)


def save_picture_png(picture, path):
    rows = []
    for y in range(picture.height):
        row = bytearray()
        for p in picture.pixels[y * picture.width:(y + 1) * picture.width]:
            row += bytes(p[:3])
        rows.append(row)
    write_png(path, picture.width, picture.height, rows)
