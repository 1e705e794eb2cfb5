#!/usr/bin/python3
"""dravolin convert on many drawings: folders (recursive or not), an output
tree mirroring the input tree, worker processes, the summary table, exit
codes, per-drawing transcripts, and the same outputs whatever the number of
jobs."""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, os.path.dirname(__file__))
import support  # noqa: E402

EXAMPLE = Path(support.EXAMPLES_DIR) / "exported-views.dxf"


def dravolin(*args, cwd=None):
    env = dict(os.environ,
               DRAVOLIN_REGISTRY=os.path.join(tempfile.gettempdir(), "dravolin-e2e-registry.txt"))
    return subprocess.run([support.dravolin_binary(), *map(str, args)], capture_output=True,
                          timeout=600, env=env, cwd=cwd, stdin=subprocess.DEVNULL)


def make_tree(root):
    """drawings/
         a.dxf               the example (converts)
         notes.txt           not a drawing
         broken.dxf          cut short (fails: a read error)
         parts/B.DXF         the example, upper-case name (converts)
         parts/sample.dxf    a real sample without exported views (fails: refused)
         parts/deep/c.Dxf    the example (converts)"""
    tree = root / "drawings"
    (tree / "parts" / "deep").mkdir(parents=True)
    shutil.copyfile(EXAMPLE, tree / "a.dxf")
    shutil.copyfile(EXAMPLE, tree / "parts" / "B.DXF")
    shutil.copyfile(EXAMPLE, tree / "parts" / "deep" / "c.Dxf")
    (tree / "notes.txt").write_text("not a drawing\n")
    (tree / "broken.dxf").write_bytes(EXAMPLE.read_bytes()[:5000])
    shutil.copyfile(os.path.join(support.SAMPLES_DIR, "ezdxf_ASCII_R12.dxf"),
                    tree / "parts" / "sample.dxf")
    return tree


def files_below(folder):
    return sorted(str(p.relative_to(folder)) for p in Path(folder).rglob("*") if p.is_file())


class BatchTest(unittest.TestCase):
    def setUp(self):
        self.root = Path(support.scratch_dir(self))
        self.tree = make_tree(self.root)
        self.before = {p: p.read_bytes() for p in self.tree.rglob("*") if p.is_file()}

    def assert_inputs_untouched(self):
        for path, data in self.before.items():
            self.assertEqual(path.read_bytes(), data, path)

    def test_recursive_folder_mirrors_the_tree_and_reports_every_drawing(self):
        out = self.root / "out"
        out.mkdir()
        result = dravolin("convert", self.tree, "-r", "--target", "mech6", "--out-dir", out,
                          "--transcripts", "--jobs", "2")
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertEqual(files_below(out), [
            "a-mech6.dxf", "a-mech6.transcript.txt",
            "broken-mech6.transcript.txt",
            "parts/B-mech6.dxf", "parts/B-mech6.transcript.txt",
            "parts/deep/c-mech6.dxf", "parts/deep/c-mech6.transcript.txt",
            "parts/sample-mech6.transcript.txt",
        ])
        # Each converted drawing reads back cleanly and keeps its dimensions.
        values = support.displayed_dimension_values(support.read_drawing(EXAMPLE).doc)
        for name in ("a-mech6.dxf", "parts/B-mech6.dxf", "parts/deep/c-mech6.dxf"):
            drawing = support.read_drawing(out / name)
            self.assertEqual(drawing.auditor.errors, [], name)
            after = support.displayed_dimension_values(drawing.doc)
            self.assertEqual(support.changed_dimension_values(values, after), [], name)
        self.assertIn("Befehl: DRAVOLIN1",
                      (out / "a-mech6.transcript.txt").read_text(encoding="utf-8"))
        self.assertIn("broken.dxf:",
                      (out / "broken-mech6.transcript.txt").read_text(encoding="utf-8"))

        stdout = result.stdout.decode()
        stderr = result.stderr.decode()
        # Both failures are reported, each on its own line, and the others went on.
        self.assertIn("broken.dxf:", stderr)
        self.assertIn("sample.dxf: does not look like a 3D modeller's drawing export: the "
                      "current space is model space", stderr)
        summary = stdout[stdout.index("\nfile "):].strip().splitlines()
        self.assertEqual(summary[0].split(), ["file", "result", "seconds", "entities",
                                              "dimension", "check", "or", "reason"])
        rows = {line.split()[0]: line.split() for line in summary[1:-1]}
        self.assertEqual(list(rows), [str(self.tree / n) for n in (
            "a.dxf", "broken.dxf", "parts/B.DXF", "parts/sample.dxf", "parts/deep/c.Dxf")])
        self.assertEqual([r[1] for r in rows.values()],
                         ["converted", "failed", "converted", "failed", "converted"])
        # A failed row gives the reason, without the file name again.
        self.assertEqual(rows[str(self.tree / "parts/sample.dxf")][4:9],
                         ["does", "not", "look", "like", "a"])
        self.assertEqual(rows[str(self.tree / "a.dxf")][3:], ["73", "->", "66", "10", "compared,",
                                                               "none", "changed"])
        self.assertTrue(summary[-1].startswith("5 drawings: 3 converted, 2 failed"), summary[-1])
        self.assert_inputs_untouched()

    def test_folder_without_recursion_takes_its_own_files_only(self):
        out = self.root / "out"
        out.mkdir()
        result = dravolin("convert", self.tree, "--target", "genius", "--out-dir", out, "-q")
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertEqual(result.stdout, b"")  # -q: no lines, no summary
        self.assertEqual(files_below(out), ["a-genius.dxf"])
        self.assertEqual(result.stderr.decode().count("\n"), 1, result.stderr)

    def test_all_good_exits_0_and_earlier_outputs_are_not_converted_again(self):
        (self.tree / "broken.dxf").unlink()
        (self.tree / "parts" / "sample.dxf").unlink()
        for _ in range(2):  # the second run finds the first run's outputs beside the inputs
            result = dravolin("convert", self.tree, "-r", "--target", "mech6", "-j", "3")
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertIn("3 drawings: 3 converted, 0 failed", result.stdout.decode())
        self.assertEqual(files_below(self.tree), [
            "a-mech6.dxf", "a.dxf", "notes.txt", "parts/B-mech6.dxf", "parts/B.DXF",
            "parts/deep/c-mech6.dxf", "parts/deep/c.Dxf"])

    def test_one_job_and_three_jobs_write_the_same_bytes(self):
        outputs = {}
        for jobs in ("1", "3"):
            out = self.root / ("out" + jobs)
            out.mkdir()
            result = dravolin("convert", self.tree, "-r", "--target", "mech6", "--out-dir", out,
                              "--jobs", jobs, "--transcripts")
            self.assertEqual(result.returncode, 1, result.stderr)
            outputs[jobs] = {name: (out / name).read_bytes() for name in files_below(out)}
            # Lines come in the order the drawings were found, whatever finished first.
            stdout = result.stdout.decode()
            order = [stdout.index(str(self.tree / n) + " ->")
                     for n in ("a.dxf", "parts/B.DXF", "parts/deep/c.Dxf")]
            self.assertEqual(order, sorted(order))
        self.assertEqual(sorted(outputs["1"]), sorted(outputs["3"]))
        for name in outputs["1"]:
            self.assertEqual(outputs["1"][name], outputs["3"][name], name)

    def test_workers_hand_their_report_entries_to_one_report(self):
        out = self.root / "out"
        out.mkdir()
        report = self.root / "report.json"
        result = dravolin("convert", self.tree, "-r", "--target", "mech6", "--out-dir", out,
                          "--jobs", "3", "--report", report, "-q")
        self.assertEqual(result.returncode, 1, result.stderr)
        entries = json.loads(report.read_text(encoding="utf-8"))["drawings"]
        self.assertEqual([(Path(e["input"]).relative_to(self.tree).as_posix(), e["exit_code"])
                          for e in entries],
                         [("a.dxf", 0), ("broken.dxf", 1), ("parts/B.DXF", 0),
                          ("parts/sample.dxf", 1), ("parts/deep/c.Dxf", 0)])
        self.assertEqual(entries[0]["output"], str(out / "a-mech6.dxf"))
        self.assertIn("broken.dxf:", entries[1]["error"])

    def test_files_and_folders_mix_and_usage_errors_exit_2(self):
        out = self.root / "out"
        out.mkdir()
        single = self.root / "single.dxf"
        shutil.copyfile(EXAMPLE, single)
        result = dravolin("convert", single, self.tree / "parts", "--target", "mech6",
                          "--out-dir", out)
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertEqual(files_below(out), ["B-mech6.dxf", "single-mech6.dxf"])

        cases = {
            "-o with a folder": [self.tree, "-o", self.root / "x.dxf"],
            "bad jobs": [single, self.tree, "--jobs", "0"],
            "report ending": [single, "--report", self.root / "r.txt"],
            # The same name below two folders given would meet in the output folder.
            "clash": [self.tree / "parts" / "deep", self.root / "copy", "--out-dir", out],
        }
        shutil.copytree(self.tree / "parts" / "deep", self.root / "copy")
        for name, args in cases.items():
            with self.subTest(name):
                result = dravolin("convert", "--target", "mech6", *args)
                self.assertEqual(result.returncode, 2, result.stderr)
                self.assertEqual(result.stderr.decode().count("\n"), 1, result.stderr)

    def test_a_folder_without_drawings_fails_like_the_other_inputs(self):
        empty = self.root / "empty"
        empty.mkdir()
        out = self.root / "out"
        out.mkdir()
        single = self.root / "single.dxf"
        shutil.copyfile(EXAMPLE, single)
        result = dravolin("convert", empty, single, "--target", "mech6", "--out-dir", out)
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertIn(f"{empty}: Is a directory", result.stderr.decode())
        self.assertIn("2 drawings: 1 converted, 1 failed", result.stdout.decode())
        self.assertEqual(files_below(out), ["single-mech6.dxf"])

if __name__ == "__main__":
    unittest.main()
