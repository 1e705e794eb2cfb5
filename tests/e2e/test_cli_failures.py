#!/usr/bin/python3
"""dravolin convert never reports a failure as success: a step the host does
not carry out, a reference factor it cannot scale by and outlying
coordinates fail the drawing (exit 1, nothing written, the reason named);
results that are written but doubtful are warnings (exit 0, "with
warnings"), failures under --strict. The inputs are cases of the bad-input
catalogue (tests/data/bad/make_bad_inputs.py)."""

import json
import os
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
DRAVOLIN = os.path.abspath(os.environ.get("DRAVOLIN", REPO / "build" / "dravolin"))
EXAMPLE = REPO / "examples" / "exported-views.dxf"
sys.path.insert(0, str(REPO / "tests" / "data" / "bad"))
import make_bad_inputs  # noqa: E402

CASES = {case.name: case for case in make_bad_inputs.conversion_cases()}


def dravolin(*args, cwd=None):
    registry = os.path.join(tempfile.gettempdir(), "dravolin-e2e-registry.txt")
    env = dict(os.environ, DRAVOLIN_REGISTRY=registry)
    return subprocess.run([DRAVOLIN, *map(str, args)], capture_output=True, timeout=600,
                          env=env, cwd=cwd)


class FailureTestBase(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="dravolin-fail-")
        self.dir = Path(self.tmp.name)

    def tearDown(self):
        self.tmp.cleanup()

    def case(self, name):
        path = self.dir / (name + ".dxf")
        path.write_bytes(CASES[name].data)
        return path

    def convert(self, path, *args):
        out = self.dir / "out.dxf"
        result = dravolin("convert", path, "--target", "mech6", "-o", out, *args)
        return result, out

    def assertFailed(self, result, out, *texts):
        stderr = result.stderr.decode()
        self.assertEqual(result.returncode, 1, stderr)
        self.assertFalse(out.exists(), stderr)
        for text in texts:
            self.assertIn(text, stderr)
        return stderr


class HostStepTest(FailureTestBase):
    def test_unreadable_template_fails_naming_the_step_and_the_reason(self):
        template = self.dir / "bad.dwt"
        template.write_text("hello\n")
        report = self.dir / "report.json"
        result, out = self.convert(EXAMPLE, "--template", template, "--report", report)
        stderr = self.assertFailed(result, out, "did not carry out the step", "bad.dwt")
        self.assertIn("amsetupdwg", stderr.lower())
        drawing = json.loads(report.read_text())["drawings"][0]
        self.assertEqual(drawing["status"], "failed")
        self.assertIn("did not carry out the step", drawing["error"])


class ReferenceFactorTest(FailureTestBase):
    def test_a_factor_the_host_cannot_scale_by_is_named_before_anything_runs(self):
        for name, shown in [("dimlfac-negative", "-2"), ("dimlfac-zero", "0"),
                            ("dimlfac-subnormal", "1e-310"), ("dimlfac-tiny", "1e-300"),
                            ("dimlfac-huge", "1e+300")]:
            with self.subTest(name):
                result, out = self.convert(self.case(name))
                stderr = self.assertFailed(result, out, "reference factor " + shown + " ")
                self.assertRegex(stderr, r"DIMENSION [0-9A-F]+")
                self.assertNotIn("Befehl", stderr)  # refused before the host ran

    def test_a_factor_that_is_no_number_is_not_taken_for_a_missing_one(self):
        result, out = self.convert(self.case("dimlfac-inf"))
        stderr = self.assertFailed(result, out)
        self.assertNotIn("no dimension carries a DIMLFAC override", stderr)
        self.assertIn("inf", stderr.lower())


class OutlierTest(FailureTestBase):
    def test_an_outlying_coordinate_is_refused_with_its_handle(self):
        result, out = self.convert(self.case("outlying-coordinate"))
        self.assertFailed(result, out, "far outside the others", "--force")

    def test_forced_the_data_check_sees_the_precision_lost(self):
        result, out = self.convert(self.case("outlying-coordinate"), "--force")
        self.assertFailed(result, out, "data check", "not where the conversion's move and scale")


class WarningTest(FailureTestBase):
    def test_entities_on_a_frozen_layer_stay_and_are_named(self):
        path = self.case("frozen-layer-on-the-layout")
        result, out = self.convert(path)
        stderr = result.stderr.decode()
        self.assertEqual(result.returncode, 0, stderr)
        self.assertTrue(out.exists())
        self.assertIn("with warnings", result.stdout.decode())
        self.assertIn('3 on the frozen layer "Hidden"', stderr)
        out.unlink()
        result, out = self.convert(path, "--strict")
        self.assertFailed(result, out, "--strict", "Hidden")

    def test_a_chosen_line_weight_no_entity_carries_is_named(self):
        # 0.70 is one of the dialog's entries, but no entity of the example has it.
        result, out = self.convert(EXAMPLE, "--lineweights", "0.70,0.35,0.25")
        stderr = result.stderr.decode()
        self.assertEqual(result.returncode, 0, stderr)
        self.assertIn("no entity carries the line weight", stderr)
        self.assertIn("AM_0", stderr)
        self.assertRegex(stderr, r"the drawing carries .*\(\d+ entities\)")

    def test_batch_and_report_say_converted_with_warnings(self):
        (self.dir / "in").mkdir()
        (self.dir / "in" / "plain.dxf").write_bytes(EXAMPLE.read_bytes())
        (self.dir / "in" / "frozen.dxf").write_bytes(CASES["frozen-layer-on-the-layout"].data)
        report = self.dir / "report.json"
        result = dravolin("convert", self.dir / "in", "--target", "mech6", "--out-dir",
                          self.dir, "--jobs", "1", "--report", report)
        stdout = result.stdout.decode()
        self.assertEqual(result.returncode, 0, result.stderr.decode())
        self.assertRegex(stdout, r"frozen\.dxf +converted with warnings")
        self.assertRegex(stdout, r"plain\.dxf +converted ")
        self.assertIn("2 converted (1 with warnings), 0 failed", stdout)
        statuses = {Path(d["input"]).name: (d["status"], d["warnings"])
                    for d in json.loads(report.read_text())["drawings"]}
        self.assertEqual(statuses["plain.dxf"], ("converted", []))
        self.assertEqual(statuses["frozen.dxf"][0], "converted with warnings")
        self.assertIn("Hidden", statuses["frozen.dxf"][1][0])


class DimensionCheckTest(FailureTestBase):
    def test_a_dimension_without_a_value_is_listed(self):
        result, out = self.convert(self.case("dimension-without-a-point"))
        self.assertEqual(result.returncode, 0, result.stderr.decode())
        self.assertIn("1 not checked", result.stdout.decode())
        self.assertRegex(result.stdout.decode(), r"Not checked, .*: [0-9A-F]+")


if __name__ == "__main__":
    unittest.main()
