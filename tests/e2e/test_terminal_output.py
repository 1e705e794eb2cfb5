#!/usr/bin/python3
"""Nothing from a drawing or a file name reaches the terminal as a control
character: layer names in info, file names in convert's lines, its errors
and the batch summary are shown escaped; --json stays JSON."""

import json
import os
import re
import shutil
import subprocess
import unittest

import support

EXAMPLE = os.path.join(support.EXAMPLES_DIR, "exported-views.dxf")
# C0 but line end and tab, DEL, C1 as characters (U+0080..U+009F) and as
# bytes outside UTF-8 (decoded to U+DC80..U+DC9F).
CONTROL = re.compile("[\x00-\x08\x0b-\x1f\x7f-\x9f\udc80-\udc9f]")
# A retitle, a screen clear and two C1 controls (code page 1252 leaves
# 0x81 and 0x9D undefined: they stand for U+0081 and U+009D).
EVIL_LAYER = b"Evil\x1b]0;owned\x07\x1b[2J\x81\x9d"


class TerminalOutputTest(unittest.TestCase):
    def setUp(self):
        self.dir = support.scratch_dir(self)
        self.env = dict(os.environ,
                        DRAVOLIN_REGISTRY=os.path.join(support.scratch_dir(self), "r.txt"))

    def dravolin(self, *args):
        result = subprocess.run([support.dravolin_binary(), *args], capture_output=True,
                                timeout=300, stdin=subprocess.DEVNULL, env=self.env)
        return result.returncode, result.stdout, result.stderr

    def assert_no_control(self, data):
        text = data.decode("utf-8", "surrogateescape")
        self.assertIsNone(CONTROL.search(text), data[:2000])

    def test_layer_names_are_escaped_in_info_and_kept_in_json(self):
        path = os.path.join(self.dir, "evil.dxf")
        with open(EXAMPLE, "rb") as f:
            data = f.read()
        with open(path, "wb") as f:
            f.write(data.replace(b"\nSkizzierlinie\r\n", b"\n" + EVIL_LAYER + b"\r\n")
                    .replace(b"\nSkizzierlinie\n", b"\n" + EVIL_LAYER + b"\n"))
        code, out, err = self.dravolin("info", path)
        self.assertEqual(code, 0, err)
        self.assert_no_control(out)
        self.assertIn(rb"Evil\x1B]0;owned\x07\x1B[2J\u0081\u009D", out)
        code, out, err = self.dravolin("info", path, "--json")
        self.assertEqual(code, 0, err)
        names = [layer["name"] for layer in json.loads(out)["layers"]]
        self.assertIn("Evil\x1b]0;owned\x07\x1b[2J\x81\x9d", names)

    def test_file_names_are_escaped_in_lines_errors_and_summary(self):
        name = b"a\x1b[2J\rb\x9b1m"
        folder = os.path.join(self.dir.encode(), b"in")
        os.mkdir(folder)
        shutil.copyfile(EXAMPLE, os.path.join(folder, name + b".dxf"))
        with open(os.path.join(folder, name + b"-broken.dxf"), "wb") as f:
            f.write(b"0\nSECTION\n")
        single = os.path.join(folder, name + b".dxf")
        out_dir = os.path.join(self.dir, "out")
        os.mkdir(out_dir)
        for args in ([single, "--target", "mech6", "--out-dir", out_dir],
                     [folder, "--target", "mech6", "--out-dir", out_dir, "--overwrite"],
                     [os.path.join(folder, b"missing\x1b[2J.dxf"), "--target", "mech6"]):
            with self.subTest(args=args[0]):
                code, out, err = self.dravolin("convert", *args)
                self.assertNotEqual(code, 2, err)
                self.assert_no_control(out)
                self.assert_no_control(err)
                self.assertIn(rb"\x1B[2J", out + err)


if __name__ == "__main__":
    unittest.main()
