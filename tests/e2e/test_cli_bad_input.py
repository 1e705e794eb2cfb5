#!/usr/bin/python3
"""The dravolin program on input it cannot read, and on output that would
replace its input: one clear line on stderr, the documented exit code, and no
file written or changed."""

import os
import re
import subprocess
import tempfile
import unittest
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
DRAVOLIN = os.path.abspath(os.environ.get("DRAVOLIN", REPO / "build" / "dravolin"))

# A small, valid R12 drawing written by hand (LF line ends).
MINIMAL_DXF = """\
  0
SECTION
  2
HEADER
  9
$ACADVER
  1
AC1009
  0
ENDSEC
  0
SECTION
  2
ENTITIES
  0
LINE
  8
0
 10
0.0
 20
0.0
 30
0.0
 11
10.0
 21
5.0
 31
0.0
  0
ENDSEC
  0
EOF
"""


def dravolin(*args, cwd=None):
    registry = os.path.join(tempfile.gettempdir(), "dravolin-e2e-registry.txt")
    env = dict(os.environ, DRAVOLIN_REGISTRY=registry)
    return subprocess.run([DRAVOLIN, *map(str, args)], capture_output=True, timeout=300,
                          env=env, cwd=cwd)


class BadInputTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="dravolin-bad-")
        self.dir = Path(self.tmp.name)

    def tearDown(self):
        self.tmp.cleanup()

    def write(self, name, data):
        path = self.dir / name
        path.write_bytes(data if isinstance(data, bytes) else data.encode("ascii"))
        return path

    def assert_refused(self, path, pattern):
        """Every command that reads a drawing refuses path the same way."""
        out = self.dir / "out.dxf"
        for args in (["run", path, "-o", out], ["info", path],
                     ["convert", path, "--target", "mech6", "-o", out],
                     ["convert", path, "--target", "genius"]):
            with self.subTest(args=" ".join(map(str, args))):
                result = dravolin(*args)
                self.assertEqual(result.returncode, 1, result.stderr)
                stderr = result.stderr.decode("utf-8")
                self.assertEqual(stderr.count("\n"), 1, stderr)
                self.assertRegex(stderr.rstrip("\n"), pattern)
                self.assertEqual(result.stdout, b"")
                self.assertFalse(out.exists())
        self.assertEqual([p.name for p in self.dir.iterdir() if "-genius" in p.name], [])

    def test_missing_file(self):
        path = self.dir / "missing.dxf"
        self.assert_refused(path, "^dravolin: error: " + re.escape(str(path)) + ": No such file or directory$")

    def test_directory(self):
        path = self.dir / "folder.dxf"
        path.mkdir()
        self.assert_refused(path, "^dravolin: error: " + re.escape(str(path)) + ": Is a directory$")

    def test_empty_file(self):
        path = self.write("empty.dxf", b"")
        self.assert_refused(path, "^dravolin: error: " + re.escape(str(path)) + r"(:\d+)?: \S.*$")

    def test_truncated_file(self):
        # Cut inside the LINE: a group code without its value.
        text = MINIMAL_DXF[:MINIMAL_DXF.index(" 21\n") + 4]
        path = self.write("truncated.dxf", text)
        self.assert_refused(path, "^dravolin: error: " + re.escape(str(path)) + r":\d+: group code 21: \S.*$")

    def test_missing_eof(self):
        text = MINIMAL_DXF[:MINIMAL_DXF.rindex("  0\nEOF")]
        path = self.write("noeof.dxf", text)
        self.assert_refused(path, "^dravolin: error: " + re.escape(str(path)) + r":\d+: \S.*$")

    def test_garbage(self):
        path = self.write("garbage.dxf", b"this is not a drawing\nat all\n")
        self.assert_refused(path, "^dravolin: error: " + re.escape(str(path)) + r":1: \S.*$")

    def test_binary_noise(self):
        path = self.write("noise.dxf", bytes(range(256)) * 4)
        self.assert_refused(path, "^dravolin: error: " + re.escape(str(path)) + r"(:\d+)?: \S.*$")

    def test_non_numeric_group_code(self):
        text = MINIMAL_DXF.replace(" 20\n0.0", " 2x\n0.0", 1)
        path = self.write("badcode.dxf", text)
        self.assert_refused(path, "^dravolin: error: " + re.escape(str(path)) + r":\d+: \S.*2x.*$")


class OutputOntoInputTest(unittest.TestCase):
    """Writing onto the input is refused however the input is named."""

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="dravolin-guard-")
        self.dir = Path(self.tmp.name)
        self.input = self.dir / "in.dxf"
        self.input.write_text(MINIMAL_DXF)
        self.before = self.input.read_bytes()
        self.stat = os.stat(self.input)
        self.symlink = self.dir / "symlink.dxf"
        self.symlink.symlink_to(self.input)
        self.hardlink = self.dir / "hardlink.dxf"
        os.link(self.input, self.hardlink)

    def tearDown(self):
        self.tmp.cleanup()

    def assert_refused(self, *args, cwd=None):
        result = dravolin(*args, cwd=cwd)
        self.assertEqual(result.returncode, 2, result.stderr)
        stderr = result.stderr.decode("utf-8")
        self.assertEqual(stderr.count("\n"), 1, stderr)
        self.assertIn("refusing to write", stderr)
        after = os.stat(self.input)
        self.assertEqual(self.input.read_bytes(), self.before)
        self.assertEqual(after.st_mtime_ns, self.stat.st_mtime_ns)
        self.assertEqual(after.st_ino, self.stat.st_ino)
        self.assertTrue(self.symlink.is_symlink())

    def outputs(self):
        return {"same path": self.input, "dotted path": self.dir / "." / "in.dxf",
                "symlink": self.symlink, "hard link": self.hardlink}

    def test_run_refuses(self):
        for name, output in self.outputs().items():
            with self.subTest(name):
                self.assert_refused("run", self.input, "-o", output)
        with self.subTest("relative names"):
            self.assert_refused("run", "in.dxf", "-o", "symlink.dxf", cwd=self.dir)

    def test_convert_refuses(self):
        for name, output in self.outputs().items():
            with self.subTest(name):
                self.assert_refused("convert", self.input, "--target", "genius", "-o", output)

    def test_convert_refuses_output_onto_another_input(self):
        second = self.dir / "in-mech6.dxf"
        second.write_text(MINIMAL_DXF)
        result = dravolin("convert", self.input, second, "--target", "mech6", "--force")
        self.assertEqual(result.returncode, 2, result.stderr)
        self.assertEqual(second.read_text(), MINIMAL_DXF)

    def test_transcript_onto_input_is_refused(self):
        self.assert_refused("convert", self.input, "--target", "mech6", "--transcript",
                            self.hardlink)


if __name__ == "__main__":
    unittest.main()
