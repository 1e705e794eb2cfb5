#!/usr/bin/python3
"""dravolin run: drawings come back byte for byte when no command changes
them, scripts in either encoding give the same input, and the module's
start-up message and the commands' output appear in the transcript."""

import os
import re
import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

import ezdxf

REPO = Path(__file__).resolve().parents[2]
DRAVOLIN = os.path.abspath(os.environ.get("DRAVOLIN", REPO / "build" / "dravolin"))
SAMPLES = REPO / "tests" / "data" / "samples"
EXAMPLE = REPO / "examples" / "exported-views.dxf"


def dravolin(*args, cwd=None):
    registry = os.path.join(tempfile.gettempdir(), "dravolin-e2e-registry.txt")
    env = dict(os.environ, DRAVOLIN_REGISTRY=registry)
    return subprocess.run([DRAVOLIN, *map(str, args)], capture_output=True, timeout=300,
                          env=env, cwd=cwd)


def ascii_samples():
    """The ASCII sample drawings kept in the repository, and the example."""
    files = sorted(p for p in SAMPLES.glob("*.dxf") if "binary" not in p.name)
    if EXAMPLE.exists():
        files.append(EXAMPLE)
    return files


class RunTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="dravolin-run-")
        self.dir = Path(self.tmp.name)

    def tearDown(self):
        self.tmp.cleanup()

    def test_round_trip_is_byte_identical(self):
        samples = ascii_samples()
        self.assertTrue(samples, "no sample drawings found")
        for sample in samples:
            with self.subTest(sample.name):
                source = self.dir / sample.name
                shutil.copyfile(sample, source)
                out = self.dir / ("out-" + sample.name)
                result = dravolin("run", source, "-o", out)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(result.stderr, b"")
                self.assertEqual(out.read_bytes(), sample.read_bytes())
                self.assertEqual(source.read_bytes(), sample.read_bytes())

    def test_transcript_shows_the_module_loading(self):
        source = self.dir / "views.dxf"
        shutil.copyfile(EXAMPLE, source)
        result = dravolin("run", source)
        self.assertEqual(result.returncode, 0, result.stderr)
        transcript = result.stdout.decode("utf-8")
        # The start-up message box names the two conversion commands.
        self.assertIn("DRAVOLIN1", transcript.upper())
        self.assertIn("DRAVOLINGEN", transcript.upper())
        self.assertEqual([p.name for p in self.dir.iterdir()], ["views.dxf"])

    def test_script_changes_the_drawing(self):
        source = self.dir / "views.dxf"
        shutil.copyfile(EXAMPLE, source)
        self.assertEqual(ezdxf.readfile(source).header["$TILEMODE"], 0)
        script = self.dir / "tilemode.scr"
        script.write_bytes(b"TILEMODE\r\n1")  # CRLF, and no Enter after the last line
        out = self.dir / "out.dxf"
        result = dravolin("run", source, "--script", script, "-o", out)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("TILEMODE", result.stdout.decode("utf-8"))
        self.assertEqual(ezdxf.readfile(out).header["$TILEMODE"], 1)

    def test_script_encodings_give_the_same_run(self):
        source = self.dir / "views.dxf"
        shutil.copyfile(EXAMPLE, source)
        text = "Nichtda\n\u00c4ndern\n\n"
        outputs = []
        for name, data in (("utf8.scr", text.encode("utf-8")),
                           ("bom.scr", b"\xef\xbb\xbf" + text.replace("\n", "\r\n").encode()),
                           ("cp1252.scr", text.encode("cp1252"))):
            script = self.dir / name
            script.write_bytes(data)
            result = dravolin("run", source, "--script", script)
            self.assertEqual(result.returncode, 0, result.stderr)
            outputs.append(result.stdout)
        self.assertEqual(outputs[0], outputs[1])
        self.assertEqual(outputs[0], outputs[2])
        transcript = outputs[0].decode("utf-8")
        self.assertRegex(transcript, re.compile('Unbekannter Befehl "Nichtda"', re.IGNORECASE))
        self.assertIn("\u00c4ndern", transcript)

    def test_bad_script_is_an_input_error(self):
        source = self.dir / "views.dxf"
        shutil.copyfile(EXAMPLE, source)
        out = self.dir / "out.dxf"
        cases = {"missing": (self.dir / "missing.scr", "No such file or directory"),
                 "nul byte": (self.dir / "nul.scr", "line 2: NUL byte")}
        (self.dir / "nul.scr").write_bytes(b"TILEMODE\n1\x00\n")
        for name, (script, message) in cases.items():
            with self.subTest(name):
                result = dravolin("run", source, "--script", script, "-o", out)
                self.assertEqual(result.returncode, 1)
                stderr = result.stderr.decode()
                self.assertEqual(stderr.count("\n"), 1, stderr)
                self.assertIn(str(script), stderr)
                self.assertIn(message, stderr)
                self.assertFalse(out.exists())

    def test_usage_errors(self):
        source = self.dir / "views.dxf"
        shutil.copyfile(EXAMPLE, source)
        for args in (["run"], ["run", source, source], ["run", source, "--scrpit", "x"],
                     ["run", source, "-o"], ["run", source, "--reference", "zz"]):
            with self.subTest(args=args[1:]):
                result = dravolin(*args)
                self.assertEqual(result.returncode, 2, result.stderr)
                self.assertEqual(result.stderr.decode().count("\n"), 1, result.stderr)


if __name__ == "__main__":
    unittest.main()
