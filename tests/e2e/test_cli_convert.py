#!/usr/bin/python3
"""dravolin convert: usage errors, drawings that are no exported views, and
whole conversions read back with an independent DXF reader."""

import os
import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

import ezdxf

REPO = Path(__file__).resolve().parents[2]
DRAVOLIN = os.path.abspath(os.environ.get("DRAVOLIN", REPO / "build" / "dravolin"))
EXAMPLE = REPO / "examples" / "exported-views.dxf"


def dravolin(*args, cwd=None):
    registry = os.path.join(tempfile.gettempdir(), "dravolin-e2e-registry.txt")
    env = dict(os.environ, DRAVOLIN_REGISTRY=registry)
    return subprocess.run([DRAVOLIN, *map(str, args)], capture_output=True, timeout=600,
                          env=env, cwd=cwd)


def make_drawing(path, *, on_layout=True, factors=(2.0, 2.0, 0.5), geometry=True):
    """A small drawing like an export: a line and dimensions whose DIMLFAC
    override carries their view's scale, on the current layout (or in model
    space)."""
    doc = ezdxf.new("R2000")
    doc.header["$TILEMODE"] = 0 if on_layout else 1
    space = doc.layouts.get("Layout1") if on_layout else doc.modelspace()
    if geometry:
        space.add_line((10, 10), (60, 10), dxfattribs={"lineweight": 50})
    for i, factor in enumerate(factors):
        dim = space.add_linear_dim(base=(10, 20 + 10 * i), p1=(10, 10), p2=(60, 10),
                                   override={"dimlfac": factor})
        dim.render()
    doc.saveas(path)
    return path


def displayed_values(doc):
    """Handle -> measurement x DIMLFAC of every linear dimension."""
    values = {}
    for dim in doc.query("DIMENSION"):
        if dim.dimtype in (0, 1, 3, 4, 6):  # lengths; DIMLFAC leaves angles alone
            factor = dim.override().get("dimlfac", 1.0)
            values[dim.dxf.handle] = dim.get_measurement() * factor
    return values


class ConvertUsageTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="dravolin-usage-")
        self.dir = Path(self.tmp.name)
        self.input = make_drawing(self.dir / "in.dxf")

    def tearDown(self):
        self.tmp.cleanup()

    def test_usage_errors_exit_2_with_one_line(self):
        i = self.input
        cases = {
            "no input": (["--target", "mech6"], "no input"),
            "no target": ([i], "--target is required"),
            "bad target": ([i, "--target", "mech7"], "unknown --target 'mech7'"),
            "misspelt option": ([i, "--targte", "mech6"], "did you mean '--target'?"),
            "two outputs": ([i, i, "--target", "mech6", "-o", "x.dxf"], "--out-dir"),
            "-o and --out-dir": ([i, "--target", "mech6", "-o", "x", "--out-dir", "."],
                                 "exclude each other"),
            "quiet and verbose": ([i, "--target", "mech6", "-q", "-v"], "exclude each other"),
            "bad reference": ([i, "--target", "mech6", "--reference", "first"], "--reference"),
            "bad line weights": ([i, "--target", "mech6", "--lineweights", "0.50,0.35"],
                                 "--lineweights"),
            "line weight of no entry": ([i, "--target", "mech6", "--lineweights", "50,35,25"],
                                        "0.00 0.05 0.09 0.13"),
            "bad layers": ([i, "--target", "genius", "--layers", "medium"], "--layers"),
            "layers for mech6": ([i, "--target", "mech6", "--layers", "fine"], "--layers"),
            "missing value": ([i, "--target"], "needs a value"),
            "same output twice": ([i, self.dir / "." / "in.dxf", "--target", "mech6",
                                   "--dry-run"], "both be written"),
        }
        for name, (args, message) in cases.items():
            with self.subTest(name):
                result = dravolin("convert", *args)
                self.assertEqual(result.returncode, 2, result.stderr)
                stderr = result.stderr.decode()
                self.assertEqual(stderr.count("\n"), 1, stderr)
                self.assertTrue(stderr.startswith("dravolin: error: "), stderr)
                self.assertIn(message, stderr)
                self.assertEqual(result.stdout, b"")
        self.assertEqual(sorted(p.name for p in self.dir.iterdir()), ["in.dxf"])


class ConvertRefusalTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="dravolin-refuse-")
        self.dir = Path(self.tmp.name)

    def tearDown(self):
        self.tmp.cleanup()

    def convert(self, path, *args):
        return dravolin("convert", path, "--target", "mech6", *args)

    def test_model_space_drawing_is_refused_without_force(self):
        path = make_drawing(self.dir / "model.dxf", on_layout=False)
        # The host may have converted it while it was checked: none of
        # that shows, with its output shown as it comes or not.
        for args in ((), ("-v",)):
            result = self.convert(path, *args)
            self.assertEqual(result.returncode, 1, result.stderr)
            self.assertEqual(result.stdout, b"", args)
            stderr = result.stderr.decode()
            self.assertEqual(stderr.count("\n"), 1, stderr)
            self.assertIn("model space", stderr)
            self.assertIn("--force", stderr)
            self.assertFalse((self.dir / "model-mech6.dxf").exists())

    def test_layout_with_only_viewports_is_refused(self):
        doc = ezdxf.new("R2000")
        doc.header["$TILEMODE"] = 0
        doc.layouts.get("Layout1").add_viewport(center=(100, 100), size=(150, 100),
                                                view_center_point=(0, 0), view_height=100)
        doc.modelspace().add_line((0, 0), (1, 1))
        path = self.dir / "viewports.dxf"
        doc.saveas(path)
        result = self.convert(path)
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertIn("nothing but viewports", result.stderr.decode())
        self.assertFalse((self.dir / "viewports-mech6.dxf").exists())

    def test_force_passes_the_space_check(self):
        # Without any DIMLFAC override the conversion still cannot start.
        path = make_drawing(self.dir / "model.dxf", on_layout=False, factors=())
        result = self.convert(path, "--force")
        self.assertEqual(result.returncode, 1, result.stderr)
        stderr = result.stderr.decode()
        self.assertNotIn("--force", stderr)
        self.assertIn("DIMLFAC", stderr)
        self.assertFalse((self.dir / "model-mech6.dxf").exists())

    def test_generic_drawing_is_refused_once_with_every_missing_sign(self):
        path = make_drawing(self.dir / "model.dxf", on_layout=False, factors=())
        result = self.convert(path)
        self.assertEqual(result.returncode, 1, result.stderr)
        stderr = result.stderr.decode()
        self.assertEqual(stderr.count("\n"), 1, stderr)
        for sign in ("does not look like", "model space", "DIMLFAC", "would not help"):
            self.assertIn(sign, stderr)
        self.assertNotIn("use --force", stderr)

    def test_unknown_reference_handle_is_refused(self):
        path = make_drawing(self.dir / "views.dxf")
        result = self.convert(path, "--reference", "FFFFF")
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertIn("FFFFF", result.stderr.decode())
        self.assertRegex(result.stderr.decode(), "the handles that do: [0-9A-F]+, ")
        self.assertFalse((self.dir / "views-mech6.dxf").exists())


class ConversionTest(unittest.TestCase):
    """Whole conversions; they need every layer of the program."""

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="dravolin-convert-")
        self.dir = Path(self.tmp.name)
        self.input = self.dir / "views.dxf"
        shutil.copyfile(EXAMPLE, self.input)

    def tearDown(self):
        self.tmp.cleanup()

    def check_output(self, path, before):
        doc = ezdxf.readfile(path)
        auditor = doc.audit()
        self.assertEqual([str(e.message) for e in auditor.errors], [])
        self.assertEqual(doc.header["$TILEMODE"], 1)
        after = displayed_values(doc)
        for handle, value in after.items():
            if handle in before:
                self.assertAlmostEqual(value, before[handle], places=6, msg=handle)
        return doc

    def test_mech6(self):
        before = displayed_values(ezdxf.readfile(self.input))
        transcript = self.dir / "mech6.txt"
        result = dravolin("convert", self.input, "--target", "mech6", "--transcript", transcript)
        self.assertEqual(result.returncode, 0, result.stderr)
        stdout = result.stdout.decode()
        self.assertIn("no displayed value changed", stdout)
        self.assertIn("deleted", stdout)
        # The data check runs by default and names what the passes erased.
        self.assertIn("data check: no data lost", stdout)
        self.assertIn("1 VIEWPORT", stdout)
        doc = self.check_output(self.dir / "views-mech6.dxf", before)
        self.assertIn("AM_0", doc.layers)
        self.assertIn("Konvertierung l\u00e4uft", transcript.read_text(encoding="utf-8"))
        self.assertEqual(self.input.read_bytes(), EXAMPLE.read_bytes())

    def test_genius_with_answers(self):
        before = displayed_values(ezdxf.readfile(self.input))
        out = self.dir / "out.dxf"
        result = dravolin("convert", self.input, "--target", "genius", "-o", out, "--layers",
                          "fine", "--lineweights", "0.50,0.35,0.25", "--template", "none", "-q")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout, b"")
        doc = self.check_output(out, before)
        # Without the Genius template its linetypes are missing, so only the
        # layers drawn CONTINUOUS are created.
        for layer in ("1", "2", "8"):
            self.assertIn(layer, doc.layers)
        self.assertNotIn("7", doc.layers)

    def test_genius_with_the_bundled_template(self):
        result = dravolin("convert", self.input, "--target", "genius", "-q")
        self.assertEqual(result.returncode, 0, result.stderr)
        doc = self.check_output(self.dir / "views-genius.dxf",
                                displayed_values(ezdxf.readfile(self.input)))
        for layer in ("1", "2", "2a", "3", "3a", "4", "4a", "5", "6", "7", "7a", "8"):
            self.assertIn(layer, doc.layers)

    def test_a_bare_template_name_is_taken_from_the_current_folder(self):
        shutil.copyfile(REPO / "templates" / "Genius14.dwt", self.dir / "mine.dwt")
        result = dravolin("convert", "views.dxf", "--target", "genius", "--template", "mine.dwt",
                          "-q", cwd=self.dir)
        self.assertEqual(result.returncode, 0, result.stderr)
        doc = ezdxf.readfile(self.dir / "views-genius.dxf")
        self.assertIn("7", doc.layers)  # drawn with a linetype of the template

    def test_reference_by_handle_keeps_the_values(self):
        make_drawing(self.dir / "small.dxf", factors=(2.0, 0.5, 0.5))
        doc = ezdxf.readfile(self.dir / "small.dxf")
        before = displayed_values(doc)
        first = next(iter(doc.layouts.get("Layout1").query("DIMENSION"))).dxf.handle
        result = dravolin("convert", self.dir / "small.dxf", "--target", "mech6",
                          "--reference", first, "-o", self.dir / "small-out.dxf")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("3 compared, no displayed value changed", result.stdout.decode())
        self.check_output(self.dir / "small-out.dxf", before)

    def test_no_verify_skips_the_data_check_only(self):
        result = dravolin("convert", self.input, "--target", "genius", "--no-verify")
        self.assertEqual(result.returncode, 0, result.stderr)
        stdout = result.stdout.decode()
        self.assertIn("no displayed value changed", stdout)
        self.assertNotIn("data check", stdout)
        self.check_output(self.dir / "views-genius.dxf",
                          displayed_values(ezdxf.readfile(self.input)))

    def test_dry_run_writes_nothing(self):
        result = dravolin("convert", self.input, "--target", "mech6", "--dry-run")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(str(self.dir / "views-mech6.dxf") + " (dry run, not written)",
                      result.stdout.decode())
        self.assertEqual(sorted(p.name for p in self.dir.iterdir()), ["views.dxf"])

    def test_out_dir_takes_several_inputs(self):
        second = make_drawing(self.dir / "second.dxf")
        out_dir = self.dir / "out" / "new"  # made with its parent
        result = dravolin("convert", self.input, second, "--target", "mech6", "--out-dir",
                          out_dir, "-q")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(sorted(p.name for p in out_dir.iterdir()),
                         ["second-mech6.dxf", "views-mech6.dxf"])


if __name__ == "__main__":
    unittest.main()
