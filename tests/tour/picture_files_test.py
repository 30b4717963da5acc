"""PNG writing and reading, the sizes read from picture headers, and X
window dumps turned into PNG: the pieces the tour checks its results and
takes its screenshots with."""
import os
import struct
import subprocess
import sys
import tempfile
import unittest

import picture_size
import png_file
import xwd_to_png

FIXTURES = os.environ.get("PELMORA_FIXTURES", os.path.join(os.path.dirname(__file__), "..", "fixtures", "images"))
SCRIPTS = os.environ.get("PELMORA_SCRIPTS", os.path.join(os.path.dirname(__file__), "..", "..", "scripts"))


def fixture(name):
    with open(os.path.join(FIXTURES, name), "rb") as f:
        return f.read()


def pattern(x, y):
    """The colours of the 7 x 5 fixture pictures, made by another encoder."""
    return (40 * x + 7 * y) % 256, (3 * x + 50 * y) % 256, (x * x + 5 * y * y + 30) % 256


class PngFiles(unittest.TestCase):
    def test_reads_pictures_written_by_another_encoder(self):
        for name, channels in (("png-rgb-8.png", 3), ("png-rgba-8.png", 4)):
            with self.subTest(name):
                width, height, got_channels, rows = png_file.decode(fixture(name))
                self.assertEqual((width, height, got_channels), (7, 5, channels))
                for y in range(5):
                    for x in range(7):
                        self.assertEqual(tuple(rows[y][x * channels:x * channels + 3]), pattern(x, y), (x, y))

    def test_what_it_writes_reads_back_the_same(self):
        width, height = 5, 3
        rows = [bytes(v for x in range(width) for v in (x * 50, y * 100, (x + y) * 20)) for y in range(height)]
        data = png_file.encode_rgb(width, height, rows)
        self.assertEqual(png_file.decode(data), (width, height, 3, rows))
        self.assertEqual(picture_size.png_size(data), (width, height))

    def test_refuses_rows_that_do_not_fit_the_size(self):
        cases = {"row too short": (3, 1, [b"\0" * 6]), "too many rows": (3, 1, [b"\0" * 9] * 2),
                 "too few rows": (3, 2, [b"\0" * 9])}
        for what, (width, height, rows) in cases.items():
            with self.subTest(what), self.assertRaises(ValueError):
                png_file.encode_rgb(width, height, rows)

    def test_damaged_files_are_refused_with_a_reason(self):
        good = fixture("png-rgb-8.png")
        cases = {
            "not a PNG": b"GIF89a" + good[6:],
            "cut in the header": good[:20],
            "cut in the pixels": good[:len(good) // 2],
            "sixteen bits": fixture("png-rgb-16.png"),
            "interlaced": fixture("png-interlaced.png"),
        }
        for what, data in cases.items():
            with self.subTest(what), self.assertRaises(png_file.PngError):
                png_file.decode(data)

    def test_a_failed_write_leaves_the_earlier_file_and_no_partial_one(self):
        with tempfile.TemporaryDirectory() as folder:
            target = os.path.join(folder, "picture.png")
            with open(target, "wb") as f:
                f.write(b"earlier")
            with self.assertRaises(TypeError):
                png_file.write_atomically(target, object())
            with open(target, "rb") as f:
                self.assertEqual(f.read(), b"earlier")
            self.assertEqual(os.listdir(folder), ["picture.png"])


class PictureSizes(unittest.TestCase):
    def test_sizes_of_png_and_jpeg_files(self):
        cases = {"png-rgb-8.png": (7, 5), "png-grey-8.png": (7, 5), "jpeg-colour.jpg": (16, 8),
                 "jpeg-progressive.jpg": (16, 8), "jpeg-grey.jpg": (7, 5), "jpeg-cmyk.jpg": None}
        for name, size in cases.items():
            with self.subTest(name):
                got = picture_size.picture_size(os.path.join(FIXTURES, name))
                if size:
                    self.assertEqual(got, size)
                else:
                    self.assertEqual(len(got), 2)

    def test_files_without_a_readable_size_are_refused(self):
        jpeg = fixture("jpeg-colour.jpg")
        cases = {"a BMP": fixture("bmp-info-24.bmp"), "empty": b"", "JPEG cut before its frame": jpeg[:20],
                 "PNG signature only": png_file.SIGNATURE, "JPEG with a broken marker": b"\xff\xd8\x00\x00\x00\x00"}
        with tempfile.TemporaryDirectory() as folder:
            for what, data in cases.items():
                path = os.path.join(folder, "file")
                with open(path, "wb") as f:
                    f.write(data)
                with self.subTest(what), self.assertRaises(picture_size.PictureError):
                    picture_size.picture_size(path)


def xwd(width, height, pixels, bits=32, masks=(0xFF0000, 0xFF00, 0xFF), little=True, pad=0, colours=0,
        visual=4, version=7, fmt=2, bitmap_pad=32):
    """An X window dump of `pixels` (row-major values) in the given layout."""
    name = b"screen\0"
    per_pixel = bits // 8
    stride = width * per_pixel + pad
    fields = [100 + len(name), version, fmt, 24, width, height, 0, 0 if little else 1, 32, 0 if little else 1,
              bitmap_pad,
              bits, stride, visual, *masks, 8, 256, colours, width, height, 0, 0, 0]
    body = bytearray()
    for y in range(height):
        for x in range(width):
            body += pixels[y * width + x].to_bytes(per_pixel, "little" if little else "big")
        body += b"\xee" * pad
    return struct.pack(">25I", *fields) + name + b"\x55" * (12 * colours) + bytes(body)


class WindowDumps(unittest.TestCase):
    colours = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (10, 20, 30), (255, 255, 255), (0, 0, 0)]

    def check(self, data, expected_rows):
        width, height, rows = xwd_to_png.to_rgb_rows(data)
        self.assertEqual((width, height), (len(expected_rows[0]) // 3, len(expected_rows)))
        self.assertEqual(rows, expected_rows)

    def test_screens_of_every_supported_layout(self):
        w, h = 3, 2
        rgb = [bytes(v for c in self.colours[y * w:(y + 1) * w] for v in c) for y in range(h)]
        as24 = [(r << 16) | (g << 8) | b for r, g, b in self.colours]
        cases = {
            "32 bits, least significant byte first": xwd(w, h, as24),
            "32 bits, most significant byte first": xwd(w, h, as24, little=False),
            "32 bits with padded lines and a colour map": xwd(w, h, as24, pad=4, colours=3),
            "24 bits": xwd(w, h, as24, bits=24),
            "24 bits with padded lines": xwd(w, h, as24, bits=24, pad=3),
            # What xwd writes of a screen whose windows use several visuals:
            # lines as long as four bytes a pixel would need.
            "24 bits with long lines": xwd(w, h, as24, bits=24, pad=3, visual=5, bitmap_pad=8),
            "24 bits, most significant byte first": xwd(w, h, as24, bits=24, little=False),
            "32 bits, blue in the high byte": xwd(w, h, [(b << 16) | (g << 8) | r for r, g, b in self.colours],
                                                  masks=(0xFF, 0xFF00, 0xFF0000)),
        }
        for what, data in cases.items():
            with self.subTest(what):
                self.check(data, rgb)

    def test_sixteen_bit_screens_scale_each_channel_to_eight_bits(self):
        as565 = [((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3) for r, g, b in self.colours]
        _, _, rows = xwd_to_png.to_rgb_rows(xwd(3, 2, as565, bits=16, masks=(0xF800, 0x07E0, 0x001F)))
        flat = [tuple(rows[y][3 * x:3 * x + 3]) for y in range(2) for x in range(3)]
        self.assertEqual(flat[:3], [(255, 0, 0), (0, 255, 0), (0, 0, 255)])
        self.assertEqual(flat[4:], [(255, 255, 255), (0, 0, 0)])
        for got, want in zip(flat[3], (10, 20, 30)):
            self.assertLessEqual(abs(got - want), 8)

    def test_dumps_it_cannot_read_are_refused(self):
        good = xwd(2, 2, [0, 1, 2, 3])
        cases = {
            "cut short": good[:-3],
            "only a header": good[:60],
            "another version": xwd(2, 2, [0] * 4, version=6),
            "XY pixmap": xwd(2, 2, [0] * 4, fmt=1),
            "palette screen": xwd(2, 2, [0] * 4, visual=3),
            "8 bits": xwd(2, 2, [0] * 4, bits=8),
            "no red mask": xwd(2, 2, [0] * 4, masks=(0, 0xFF00, 0xFF)),
            "empty": xwd(0, 2, []),
        }
        for what, data in cases.items():
            with self.subTest(what), self.assertRaises(xwd_to_png.XwdError):
                xwd_to_png.to_rgb_rows(data)

    def test_command_writes_the_png_or_nothing(self):
        script = os.path.join(SCRIPTS, "xwd_to_png.py")
        with tempfile.TemporaryDirectory() as folder:
            good, bad, out = (os.path.join(folder, n) for n in ("good.xwd", "bad.xwd", "out.png"))
            with open(good, "wb") as f:
                f.write(xwd(2, 1, [0xFF0000, 0x0000FF]))
            with open(bad, "wb") as f:
                f.write(b"nonsense")
            run = subprocess.run([sys.executable, script, good, out], capture_output=True, text=True)
            self.assertEqual(run.returncode, 0, run.stderr)
            with open(out, "rb") as f:
                self.assertEqual(png_file.decode(f.read()), (2, 1, 3, [bytes((255, 0, 0, 0, 0, 255))]))
            os.unlink(out)
            run = subprocess.run([sys.executable, script, bad, out], capture_output=True, text=True)
            self.assertEqual(run.returncode, 1)
            self.assertIn("bad.xwd", run.stderr)
            self.assertFalse(os.path.exists(out))
            self.assertEqual(sorted(os.listdir(folder)), ["bad.xwd", "good.xwd"])


if __name__ == "__main__":
    unittest.main()
