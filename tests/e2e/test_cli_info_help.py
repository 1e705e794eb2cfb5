#!/usr/bin/python3
"""dravolin info, the help texts, the version and mistyped commands."""

import os
import subprocess
import tempfile
import unittest
from pathlib import Path

import ezdxf

REPO = Path(__file__).resolve().parents[2]
DRAVOLIN = os.path.abspath(os.environ.get("DRAVOLIN", REPO / "build" / "dravolin"))
EXAMPLE = REPO / "examples" / "exported-views.dxf"


def dravolin(*args):
    registry = os.path.join(tempfile.gettempdir(), "dravolin-e2e-registry.txt")
    env = dict(os.environ, DRAVOLIN_REGISTRY=registry)
    return subprocess.run([DRAVOLIN, *map(str, args)], capture_output=True, timeout=300,
                          env=env)


class HelpTest(unittest.TestCase):
    def test_program_help_lists_every_command(self):
        for args in (["--help"], ["-h"], ["help"]):
            result = dravolin(*args)
            self.assertEqual(result.returncode, 0, result.stderr)
            text = result.stdout.decode()
            for command in ("convert", "run", "info", "shell"):
                self.assertIn("\n  " + command + " ", text)

    def test_command_help(self):
        for command, option in (("convert", "--target"), ("run", "--script"),
                                ("info", "--help"), ("shell", "--output")):
            for args in ([command, "--help"], ["help", command]):
                with self.subTest(args=args):
                    result = dravolin(*args)
                    self.assertEqual(result.returncode, 0, result.stderr)
                    text = result.stdout.decode()
                    self.assertTrue(text.startswith("usage: dravolin " + command), text)
                    self.assertIn(option, text)

    def test_version(self):
        result = dravolin("--version")
        self.assertEqual(result.returncode, 0)
        self.assertRegex(result.stdout.decode(), r"^dravolin \d+\.\d+\.\d+\n$")

    def test_mistakes_are_usage_errors(self):
        cases = {("conver", "x.dxf"): "did you mean 'convert'?",
                 ("inof",): "did you mean 'info'?",
                 ("frobnicate",): "unknown command 'frobnicate'",
                 ("--verbose",): "unknown option '--verbose'",
                 (): "no command given"}
        for args, message in cases.items():
            with self.subTest(args=args):
                result = dravolin(*args)
                self.assertEqual(result.returncode, 2)
                stderr = result.stderr.decode()
                self.assertEqual(stderr.count("\n"), 1, stderr)
                self.assertIn(message, stderr)


class InfoTest(unittest.TestCase):
    def test_exported_drawing(self):
        result = dravolin("info", EXAMPLE)
        self.assertEqual(result.returncode, 0, result.stderr)
        text = result.stdout.decode()
        self.assertIn("AC1015 (R2000)", text)
        self.assertIn('layout "Layout1" ($TILEMODE 0)', text)
        self.assertIn("Mittellinie", text)
        self.assertRegex(text, r"reference 'auto' picks: DIMENSION [0-9A-F]+ on Layout1, DIMLFAC 2")
        self.assertIn("looks like a 3D modeller's export: yes", text)

    def test_model_space_drawing(self):
        with tempfile.TemporaryDirectory(prefix="dravolin-info-") as tmp:
            doc = ezdxf.new("R2000")
            doc.layers.add("Stra\u00dfe")
            doc.modelspace().add_line((0, 0), (1, 0), dxfattribs={"layer": "Stra\u00dfe"})
            path = Path(tmp) / "model.dxf"
            doc.saveas(path)
            result = dravolin("info", path)
            self.assertEqual(result.returncode, 0, result.stderr)
            text = result.stdout.decode("utf-8")
            self.assertIn("model space ($TILEMODE 1)", text)
            self.assertRegex(text, "\n  Stra\u00dfe +1\n")
            self.assertIn("reference 'auto' picks: nothing", text)
            self.assertIn("looks like a 3D modeller's export: no", text)


if __name__ == "__main__":
    unittest.main()
