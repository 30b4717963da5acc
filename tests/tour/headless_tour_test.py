"""`make run` without a display: the headless tour against the built
program, what it leaves behind, how it fails, and how run-pelmora chooses
between the user's display and the tour."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

import picture_size
import png_file

SCRIPTS = os.environ.get("PELMORA_SCRIPTS", os.path.join(os.path.dirname(__file__), "..", "..", "scripts"))
TOUR = os.path.join(SCRIPTS, "headless-tour")
RUN = os.path.join(SCRIPTS, "run-pelmora")
PROGRAM = os.environ.get("PELMORA_PROGRAM")
SAMPLE = os.environ.get("PELMORA_SAMPLE_PHOTO")
OUT_ROOT = os.environ.get("PELMORA_TEST_OUT") or tempfile.gettempdir()

SCREENSHOTS = ["01-launcher.png", "02-photo-opened.png", "03-corner-dragging.png", "04-corner-dragged.png",
               "05-rotated.png", "06-resized-to-400.png", "07-saved.png"]


def without_display():
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    env["PYTHONDONTWRITEBYTECODE"] = "1"
    return env


def play(program, out, photo=None, timeout=90, env=None):
    return subprocess.run([sys.executable, TOUR, "--program", program, "--photo", photo or SAMPLE, "--out", out,
                           "--timeout", str(timeout)],
                          env=env or without_display(), capture_output=True, text=True,
                          timeout=max(timeout, 0) + 30)


def stub(folder, name, body):
    """A stand-in for the program: a shell script."""
    path = os.path.join(folder, name)
    with open(path, "w") as f:
        f.write("#!/bin/sh\n" + body + "\n")
    os.chmod(path, 0o755)
    return path


def alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    return True


class FullTour(unittest.TestCase):
    """One tour against the real program; each test reads what it left."""

    @classmethod
    def setUpClass(cls):
        if not (PROGRAM and SAMPLE):
            raise unittest.SkipTest("PELMORA_PROGRAM and PELMORA_SAMPLE_PHOTO name no program and photo")
        cls.out = os.path.join(OUT_ROOT, "full-tour")
        shutil.rmtree(cls.out, ignore_errors=True)
        cls.tour = play(PROGRAM, cls.out)

    def setUp(self):
        self.assertEqual(self.tour.returncode, 0, f"the tour failed:\n{self.tour.stdout}\n{self.tour.stderr}")

    def path(self, name):
        return os.path.join(self.out, name)

    def test_reports_where_it_left_its_files(self):
        self.assertIn(self.out, self.tour.stdout)
        for name in SCREENSHOTS + ["tour-photo.png", "tour-photo.jpg"]:
            self.assertIn(name, self.tour.stdout)

    def test_screenshots_show_the_whole_screen_and_every_step_changes_it(self):
        shots = []
        for name in SCREENSHOTS:
            with self.subTest(name):
                self.assertEqual(picture_size.picture_size(self.path(name)), (1280, 1024))
                with open(self.path(name), "rb") as f:
                    shots.append(png_file.decode(f.read())[3])
        for (a, b), (before, after) in zip(zip(SCREENSHOTS, SCREENSHOTS[1:]), zip(shots, shots[1:])):
            if b != "07-saved.png":
                self.assertNotEqual(before, after, f"{a} and {b} are the same")

    def test_screenshot_shows_the_opened_photo_in_its_own_colours(self):
        with open(self.path("02-photo-opened.png"), "rb") as f:
            _, _, channels, rows = png_file.decode(f.read())
        colours = {tuple(row[i:i + 3]) for row in rows for i in range(0, len(row), channels)}
        # The chart's corner markers, each in the colour of its corner.
        for marker in ((255, 0, 0), (0, 200, 0), (0, 64, 255), (255, 220, 0)):
            with self.subTest(marker=marker):
                self.assertTrue(any(all(abs(c - m) <= 24 for c, m in zip(colour, marker)) for colour in colours))

    def test_saved_photos_are_400_on_the_long_side_of_the_turned_photo(self):
        # 3000 x 2000 turned a quarter: 2000 x 3000, so 266 x 400.
        for name in ("tour-photo.png", "tour-photo.jpg"):
            with self.subTest(name):
                self.assertEqual(picture_size.picture_size(self.path(name)), (266, 400))

    def test_saved_png_shows_the_chart_turned_clockwise(self):
        with open(self.path("tour-photo.png"), "rb") as f:
            width, height, channels, rows = png_file.decode(f.read())

        def at(x, y):
            return tuple(rows[y][channels * x:channels * x + 3])

        # The chart's corner markers: red upper left, green upper right, blue
        # lower left, yellow lower right. A clockwise turn brings the lower
        # left to the upper left.
        corners = {"upper left": (at(2, 2), (0, 64, 255)), "upper right": (at(width - 3, 2), (255, 0, 0)),
                   "lower right": (at(width - 3, height - 3), (0, 200, 0)),
                   "lower left": (at(2, height - 3), (255, 220, 0))}
        for corner, (got, want) in corners.items():
            with self.subTest(corner):
                self.assertTrue(all(abs(g - w) <= 60 for g, w in zip(got, want)), f"{got} is not near {want}")

    def test_program_output_is_kept(self):
        self.assertTrue(os.path.isfile(self.path("pelmora.log")))


class FailingTours(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="pelmora-tour-test-")
        self.photo = os.path.join(self.folder, "photo.png")
        png_file.write_atomically(self.photo, png_file.encode_rgb(2, 2, [b"\0" * 6] * 2))
        self.out = os.path.join(self.folder, "out")

    def tearDown(self):
        shutil.rmtree(self.folder, ignore_errors=True)

    def test_a_program_that_shows_nothing_times_out_with_a_clear_message_and_is_ended(self):
        pidfile = os.path.join(self.folder, "pid")
        program = stub(self.folder, "silent", f"echo $$ > {pidfile}\nexec sleep 600")
        started = time.monotonic()
        run = play(program, self.out, self.photo, timeout=4)
        self.assertEqual(run.returncode, 1)
        self.assertLess(time.monotonic() - started, 25)
        self.assertIn("timed out after 4 s while starting Pelmora, waiting for the launcher to appear", run.stderr)
        with open(pidfile) as f:
            self.assertFalse(alive(int(f.read())), "the program is ended with the tour")

    def test_a_program_that_ends_early_fails_the_tour_with_its_status(self):
        cases = {"exit 3": "exit status 3", "kill -SEGV $$": "signal SIGSEGV"}
        for body, status in cases.items():
            with self.subTest(body):
                run = play(stub(self.folder, "quitter", body), self.out, self.photo, timeout=20)
                self.assertEqual(run.returncode, 1)
                self.assertIn(f"Pelmora ended unexpectedly ({status})", run.stderr)
                self.assertIn(os.path.join(self.out, "pelmora.log"), run.stderr)

    def test_missing_program_or_photo_is_refused_before_anything_starts(self):
        program = stub(self.folder, "quitter", "exit 0")
        cases = {"no program": (os.path.join(self.folder, "absent"), self.photo),
                 "no photo": (program, os.path.join(self.folder, "absent.png"))}
        for what, (program_path, photo) in cases.items():
            with self.subTest(what):
                run = play(program_path, self.out, photo, timeout=20)
                self.assertEqual(run.returncode, 2)
                self.assertIn(what, run.stderr)

    def test_a_missing_x_server_or_a_bad_time_limit_is_reported(self):
        program = stub(self.folder, "quitter", "exit 0")
        env = without_display()
        env["PATH"] = os.path.join(self.folder, "empty")
        run = play(program, self.out, self.photo, timeout=20, env=env)
        self.assertEqual(run.returncode, 1)
        self.assertIn("cannot start Xvfb", run.stderr)
        for limit in (0, -5):
            with self.subTest(limit=limit):
                run = play(program, self.out, self.photo, timeout=limit)
                self.assertEqual(run.returncode, 2)
                self.assertIn("time limit", run.stderr)

    def test_only_the_tours_own_files_of_an_earlier_run_are_replaced(self):
        os.makedirs(self.out)
        for name in ("tour-photo.png", "holiday.png"):
            with open(os.path.join(self.out, name), "w") as f:
                f.write("earlier")
        play(stub(self.folder, "quitter", "exit 0"), self.out, self.photo, timeout=20)
        self.assertFalse(os.path.exists(os.path.join(self.out, "tour-photo.png")))
        with open(os.path.join(self.out, "holiday.png")) as f:
            self.assertEqual(f.read(), "earlier")


class RunPelmora(unittest.TestCase):
    """run-pelmora on a build folder holding a stand-in program."""

    def setUp(self):
        self.build = tempfile.mkdtemp(prefix="pelmora-run-test-")
        os.makedirs(os.path.join(self.build, "share", "pelmora"))
        png_file.write_atomically(os.path.join(self.build, "share", "pelmora", "pelmora-test-chart.png"),
                                  png_file.encode_rgb(2, 2, [b"\0" * 6] * 2))
        self.seen = os.path.join(self.build, "seen-display")
        stub(self.build, "pelmora", f'echo "$DISPLAY" > {self.seen}\nexit 3')

    def tearDown(self):
        shutil.rmtree(self.build, ignore_errors=True)

    def run_pelmora(self, display):
        env = without_display()
        env["PELMORA_TOUR_TIMEOUT"] = "20"
        if display is not None:
            env["DISPLAY"] = display
        return subprocess.run([RUN, self.build], env=env, capture_output=True, text=True, timeout=60)

    def test_a_display_that_answers_gets_the_program_itself(self):
        read_end, write_end = os.pipe()
        server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "640x480x24",
                                   "-nolisten", "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        os.close(write_end)
        try:
            with os.fdopen(read_end) as pipe:
                display = ":" + pipe.readline().strip()
            run = self.run_pelmora(display)
            self.assertEqual(run.returncode, 3, "the program's own status")
            self.assertNotIn("tour", run.stdout + run.stderr)
            with open(self.seen) as f:
                self.assertEqual(f.read().strip(), display)
        finally:
            server.send_signal(signal.SIGTERM)
            server.wait(timeout=10)

    def test_without_an_answering_display_the_tour_plays_on_a_private_server(self):
        dead = ":4711"
        self.assertFalse(os.path.exists("/tmp/.X11-unix/X4711"), "display 4711 is in use here")
        for display, said in ((None, "no display answers;"), ("", "no display answers;"),
                              (dead, f"no display answers at {dead};")):
            with self.subTest(display=display):
                run = self.run_pelmora(display)
                self.assertIn(said, run.stdout)
                self.assertEqual(run.returncode, 1, "the stand-in ends before the launcher shows")
                self.assertIn("Pelmora ended unexpectedly (exit status 3)", run.stderr)
                with open(self.seen) as f:
                    private = f.read().strip()
                self.assertRegex(private, r"^:\d+$")
                self.assertNotEqual(private, dead)

    def test_a_build_folder_without_the_program_is_refused(self):
        os.unlink(os.path.join(self.build, "pelmora"))
        run = self.run_pelmora(None)
        self.assertEqual(run.returncode, 2)
        self.assertIn("make build", run.stderr)


if __name__ == "__main__":
    unittest.main()
