"""The sample photo's generator: the chart the build made, and the
generator's command line."""
import os
import subprocess
import sys
import tempfile
import unittest

import png_file

SCRIPTS = os.environ.get("PELMORA_SCRIPTS", os.path.join(os.path.dirname(__file__), "..", "..", "scripts"))
GENERATOR = os.path.join(SCRIPTS, "make-test-chart")
SAMPLE = os.environ.get("PELMORA_SAMPLE_PHOTO")


def generate(*args):
    return subprocess.run([sys.executable, GENERATOR, *args], capture_output=True, text=True, timeout=60)


class BuiltChart(unittest.TestCase):
    """Reads the chart installed with the program."""

    @classmethod
    def setUpClass(cls):
        if not SAMPLE:
            raise unittest.SkipTest("PELMORA_SAMPLE_PHOTO names no chart")
        with open(SAMPLE, "rb") as f:
            cls.width, cls.height, cls.channels, cls.rows = png_file.decode(f.read())

    def pixel(self, x, y):
        return tuple(self.rows[y][3 * x:3 * x + 3])

    def assertNear(self, got, want, tolerance=3):
        self.assertTrue(all(abs(g - w) <= tolerance for g, w in zip(got, want)), f"{got} is not near {want}")

    def test_is_a_3000_by_2000_colour_picture(self):
        self.assertEqual((self.width, self.height, self.channels), (3000, 2000, 3))

    def test_each_corner_has_its_own_marker_colour(self):
        # These tell which way a saved copy was turned.
        corners = {(0, 0): (255, 0, 0), (2999, 0): (0, 200, 0), (0, 1999): (0, 64, 255), (2999, 1999): (255, 220, 0)}
        for (x, y), colour in corners.items():
            with self.subTest(corner=(x, y)):
                self.assertEqual(self.pixel(x, y), colour)
                inward = (x + (20 if x == 0 else -20), y + (20 if y == 0 else -20))
                self.assertEqual(self.pixel(*inward), colour, "the marker is a solid triangle")

    def test_colour_patches_carry_their_reference_values(self):
        first_row = [(115, 82, 68), (194, 150, 130), (98, 122, 157), (87, 108, 67), (133, 128, 177), (103, 189, 170)]
        for i, colour in enumerate(first_row):
            with self.subTest(patch=i + 1):
                self.assertEqual(self.pixel(1880 + i * 180 + 100, 200 + 100), colour)
        self.assertEqual(self.pixel(1880 + 5 * 180 + 100, 200 + 3 * 180 + 100), (52, 52, 52), "patch 24")

    def test_grey_ramp_climbs_smoothly_from_black_to_white(self):
        y = 1350 + 40
        row = [self.pixel(x, y) for x in range(260, 2300)]
        self.assertEqual(row[0], (0, 0, 0))
        self.assertEqual(row[-1], (255, 255, 255))
        self.assertTrue(all(r == g == b for r, g, b in row), "grey")
        steps = [b[0] - a[0] for a, b in zip(row, row[1:])]
        self.assertTrue(all(0 <= s <= 1 for s in steps), "never falls, never jumps")

    def test_zone_plate_is_white_in_the_middle_and_alternates_outward(self):
        self.assertNear(self.pixel(520, 630), (255, 255, 255))
        across = [self.pixel(x, 630)[0] for x in range(520, 520 + 420)]
        crossings = sum(1 for a, b in zip(across, across[1:]) if (a < 128) != (b < 128))
        # Rings of rising frequency up to two pixels a cycle at the rim: many
        # more than a plain pattern would have.
        self.assertGreater(crossings, 150)

    def test_star_sectors_are_black_and_white_near_the_rim(self):
        values = {self.pixel(1420 + 370, y)[0] for y in range(600, 660)}
        self.assertIn(0, values)
        self.assertIn(255, values)

    def test_header_text_is_drawn_in_white_on_the_dark_band(self):
        band = [self.pixel(x, y) for y in range(35, 105) for x in range(100, 1180)]
        self.assertIn((255, 255, 255), band)
        self.assertIn((32, 32, 32), band)
        self.assertEqual(set(band), {(255, 255, 255), (32, 32, 32)})


class Generator(unittest.TestCase):
    def test_same_arguments_give_the_same_bytes_and_the_asked_size(self):
        with tempfile.TemporaryDirectory() as folder:
            paths = [os.path.join(folder, n) for n in ("a.png", "b.png", "c.png")]
            for path, size in zip(paths, (("300", "200"), ("300", "200"), ("200", "300"))):
                run = generate(path, *size)
                self.assertEqual(run.returncode, 0, run.stderr)
            data = []
            for path in paths:
                with open(path, "rb") as f:
                    data.append(f.read())
            self.assertEqual(data[0], data[1])
            self.assertEqual(png_file.decode(data[0])[:2], (300, 200))
            self.assertEqual(png_file.decode(data[2])[:2], (200, 300))
            self.assertEqual(sorted(os.listdir(folder)), ["a.png", "b.png", "c.png"], "no partial files left")

    def test_bad_arguments_are_refused_and_touch_no_file(self):
        with tempfile.TemporaryDirectory() as folder:
            target = os.path.join(folder, "chart.png")
            with open(target, "wb") as f:
                f.write(b"earlier")
            for args in ((), (target, "300"), (target, "wide", "200"), (target, "15", "200"),
                         (target, "300", "20001"), (target, "1", "2", "3")):
                with self.subTest(args=args[1:]):
                    run = generate(*args)
                    self.assertEqual(run.returncode, 2)
                    self.assertTrue(run.stderr.strip())
            with open(target, "rb") as f:
                self.assertEqual(f.read(), b"earlier")
            self.assertEqual(os.listdir(folder), ["chart.png"])

    def test_a_target_it_cannot_write_fails_with_a_message_and_leaves_nothing(self):
        with tempfile.TemporaryDirectory() as folder:
            os.mkdir(os.path.join(folder, "taken.png"))
            os.mkdir(os.path.join(folder, "taken.png", "inside"))
            for target in (os.path.join(folder, "missing", "chart.png"), os.path.join(folder, "taken.png")):
                with self.subTest(target=os.path.relpath(target, folder)):
                    run = generate(target, "64", "48")
                    self.assertEqual(run.returncode, 1)
                    self.assertIn("cannot write", run.stderr)
            self.assertEqual(os.listdir(folder), ["taken.png"])
            self.assertEqual(os.listdir(os.path.join(folder, "taken.png")), ["inside"])


if __name__ == "__main__":
    unittest.main()
