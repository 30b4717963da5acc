"""PNG files from the standard library alone: 8-bit RGB pictures written in
one piece, and read back (8-bit grey, RGB or RGBA, not interlaced), for the
project's generated pictures and the checks made on them."""
import os
import struct
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"


def _chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def encode_rgb(width, height, rows):
    """rows: `height` byte strings of 3 * `width` bytes, top row first."""
    raw = bytearray()
    count = 0
    for row in rows:
        if len(row) != 3 * width:
            raise ValueError(f"row {count} holds {len(row)} bytes, not {3 * width}")
        raw += b"\x00"
        raw += row
        count += 1
    if count != height:
        raise ValueError(f"{count} rows given for a height of {height}")
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return SIGNATURE + _chunk(b"IHDR", header) + _chunk(b"IDAT", zlib.compress(bytes(raw), 6)) + _chunk(b"IEND", b"")


def write_atomically(path, data):
    """Writes beside the path and renames into place: a failure leaves
    whatever was there before, and no half-written file."""
    partial = f"{path}.partial-{os.getpid()}"
    try:
        with open(partial, "wb") as f:
            f.write(data)
        os.replace(partial, path)
    except BaseException:
        try:
            os.unlink(partial)
        except OSError:
            pass
        raise


class PngError(ValueError):
    pass


def decode(data):
    """Returns (width, height, channels, rows) with rows as byte strings."""
    if not data.startswith(SIGNATURE):
        raise PngError("not a PNG file")
    pos, header, idat = len(SIGNATURE), None, bytearray()
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if len(body) != length:
            raise PngError("truncated chunk")
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
        pos += 12 + length
    if header is None:
        raise PngError("no IHDR chunk")
    width, height, depth, colour, _, _, interlace = header
    channels = {0: 1, 2: 3, 4: 2, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace:
        raise PngError(f"unsupported PNG (depth {depth}, colour type {colour}, interlace {interlace})")
    try:
        raw = zlib.decompress(bytes(idat))
    except zlib.error as error:
        raise PngError(f"damaged pixel data: {error}") from None
    stride = width * channels
    if len(raw) < height * (stride + 1):
        raise PngError("pixel data too short")
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride if kind else 0):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                upleft = previous[i - channels] if i >= channels else 0
                p = left + up - upleft
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - upleft)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else upleft)) & 0xFF
            elif kind != 0:
                raise PngError(f"unknown filter {kind} in row {y}")
        rows.append(bytes(line))
        previous = line
    return width, height, channels, rows
