"""The width and height a PNG or JPEG file declares, read from its header
alone."""
import struct


class PictureError(ValueError):
    pass


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR" or len(data) < 24:
        raise PictureError("not a PNG file")
    return struct.unpack(">II", data[16:24])


# Start-of-frame markers: baseline, extended, progressive and lossless, in
# Huffman and arithmetic coding (0xC4, 0xC8 and 0xCC are other segments).
SOF_MARKERS = {0xC0, 0xC1, 0xC2, 0xC3, 0xC5, 0xC6, 0xC7, 0xC9, 0xCA, 0xCB, 0xCD, 0xCE, 0xCF}


def jpeg_size(data):
    if data[:2] != b"\xff\xd8":
        raise PictureError("not a JPEG file")
    pos = 2
    while pos + 4 <= len(data):
        if data[pos] != 0xFF:
            raise PictureError(f"no marker at byte {pos}")
        marker = data[pos + 1]
        if marker == 0xFF:  # fill byte
            pos += 1
            continue
        if marker in (0x01,) or 0xD0 <= marker <= 0xD7:
            pos += 2
            continue
        if marker in (0xD9, 0xDA):
            break
        (length,) = struct.unpack(">H", data[pos + 2:pos + 4])
        if marker in SOF_MARKERS:
            if pos + 9 > len(data):
                break
            height, width = struct.unpack(">HH", data[pos + 5:pos + 9])
            return width, height
        pos += 2 + length
    raise PictureError("no frame header before the image data")


def picture_size(path):
    """(width, height) of a PNG or JPEG file, by its contents."""
    with open(path, "rb") as f:
        data = f.read(1 << 20)
    if data.startswith(b"\x89PNG"):
        return png_size(data)
    if data.startswith(b"\xff\xd8"):
        return jpeg_size(data)
    raise PictureError("neither PNG nor JPEG")
