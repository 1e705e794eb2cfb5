#!/usr/bin/python3
"""No shell, ever: texts from the drawing and from the options travel as
data, never as commands. A template path full of shell syntax, layer names
with quotes and line breaks, and TEXT/MTEXT values that are scripts
("_quit", "(command ...)", "_.shell ...") start no process and add no
command to the host's command line.

A shell that ran any of them would create the marker file, remove the canary
folder, or run the `touch` and `rm` stand-ins put first on PATH (which
record that they ran); the transcript's commands are compared with those of
the untouched drawing.
"""

import os
import re
import shutil
import stat
import subprocess
import sys
import unittest

import support

sys.path.insert(0, os.path.join(support.ROOT, "tests", "data", "bad"))
import make_bad_inputs  # noqa: E402

TEMPLATE = os.path.join(support.TEMPLATES_DIR, "Mech6.dwt")


class NoShellTest(unittest.TestCase):
    def setUp(self):
        self.dir = support.scratch_dir(self)
        self.marker = os.path.join(self.dir, "marker")
        self.canary = os.path.join(self.dir, "canary")
        os.mkdir(self.canary)
        self.ran_log = os.path.join(self.dir, "ran.log")
        tools = os.path.join(self.dir, "tools")
        os.mkdir(tools)
        for name in ("touch", "rm", "sh", "bash"):
            path = os.path.join(tools, name)
            with open(path, "w") as f:
                f.write(f"#!/bin/sh\necho {name} \"$@\" >> {self.ran_log}\n")
            os.chmod(path, stat.S_IRWXU)
        self.env = dict(os.environ, PATH=tools + os.pathsep + os.environ.get("PATH", ""),
                        DRAVOLIN_REGISTRY=os.path.join(self.dir, "registry.txt"))
        self.payloads = [
            "_quit",
            '(command "_.shell" "touch marker")',
            f"_.shell rm -rf {self.canary}",
            "$(touch marker)",
            "`touch marker`",
            "x; touch marker",
        ]

    def run_program(self, *args):
        return subprocess.run([support.dravolin_binary(), *map(str, args)], capture_output=True,
                              timeout=600, stdin=subprocess.DEVNULL, cwd=self.dir, env=self.env)

    def assert_nothing_ran(self):
        self.assertFalse(os.path.exists(self.marker), "a shell created the marker")
        self.assertTrue(os.path.isdir(self.canary), "a shell removed the canary folder")
        self.assertFalse(os.path.exists(self.ran_log), "a shell tool was started")

    @staticmethod
    def commands(transcript):
        """The commands the host's command line ran, in order."""
        return re.findall(r"^Befehl: (\S+)", transcript, re.MULTILINE)

    def convert(self, drawing, target, *options):
        stem = os.path.splitext(os.path.basename(drawing))[0]
        output = os.path.join(self.dir, f"{stem}-{target}.dxf")
        transcript = os.path.join(self.dir, f"{stem}-{target}.txt")
        result = self.run_program("convert", drawing, "--target", target, "-o", output,
                                  "--transcript", transcript, *options)
        self.assert_nothing_ran()
        self.assertEqual(result.returncode, 0, result.stderr.decode("utf-8", "replace"))
        with open(transcript, encoding="utf-8") as f:
            return f.read(), output

    def baseline(self, target):
        shown, _ = self.convert(os.path.join(support.EXAMPLES_DIR, "exported-views.dxf"), target)
        return self.commands(shown)

    def test_hostile_template_paths(self):
        for name in ("tpl;touch marker;.dwt", "tpl$(touch marker).dwt", "tpl`touch marker`.dwt",
                     "tpl\"'&|<>.dwt"):
            with self.subTest(template=name):
                path = os.path.join(self.dir, name)
                shutil.copyfile(TEMPLATE, path)
                example = os.path.join(support.EXAMPLES_DIR, "exported-views.dxf")
                shown, _ = self.convert(example, "mech6", "--template", path)
                self.assertIn(path, shown)  # the path went in as the answer, whole
                self.assertEqual(self.commands(shown), self.baseline("mech6"))
                self.assertNotIn("Unbekannter Befehl", shown)

    def test_template_path_with_a_line_break_is_refused(self):
        path = os.path.join(self.dir, "tpl\n_quit\n.dwt")
        shutil.copyfile(TEMPLATE, path)
        example = os.path.join(support.EXAMPLES_DIR, "exported-views.dxf")
        result = self.run_program("convert", example, "--target", "mech6", "--template", path,
                                  "-o", os.path.join(self.dir, "out.dxf"))
        self.assert_nothing_ran()
        self.assertEqual(result.returncode, 2)
        self.assertIn("--template", result.stderr.decode())
        self.assertFalse(os.path.exists(os.path.join(self.dir, "out.dxf")))

    def hostile_drawing(self):
        """The example with script texts in TEXT, MTEXT, layer and block names."""
        t = make_bad_inputs.example()

        def on_layout(kind):
            # Model space is emptied by the conversion; the layout's views stay.
            return [start for start in t.records(kind, "ENTITIES")
                    if ["67", "1"] in [[c.strip(), v.strip()]
                                       for c, v in t.pairs[start:t.record_end(start)]]]

        texts = on_layout("TEXT") + on_layout("MTEXT")
        self.assertGreaterEqual(len(texts), len(self.payloads))
        for start, payload in zip(texts, self.payloads):
            t.set(start, 1, payload)
        # A layer whose name holds a quote, a DXF line break (^J) and a script.
        old = next(name for name in (t.pairs[t.find(line, 8)][1] for line in on_layout("LINE"))
                   if name != "0")
        new = 'Kontur"^J_quit^J(command "_.shell" "touch marker")'
        for pair in t.pairs:
            if pair[0].strip() in ("8", "2") and pair[1] == old:
                pair[1] = new
        path = os.path.join(self.dir, "hostile.dxf")
        with open(path, "wb") as f:
            f.write(t.bytes())
        return path

    def test_script_texts_in_the_drawing_stay_data(self):
        drawing = self.hostile_drawing()
        for target in ("mech6", "genius"):
            with self.subTest(target=target):
                shown, output = self.convert(drawing, target)
                self.assertEqual(self.commands(shown), self.baseline(target))
                self.assertNotIn("Unbekannter Befehl", shown)
                with open(output, "rb") as f:
                    written = f.read()
                for payload in self.payloads:
                    self.assertTrue(payload.encode("cp1252") in written, "lost: " + payload)

    def test_run_on_the_drawing_runs_only_the_script(self):
        drawing = self.hostile_drawing()
        script = os.path.join(self.dir, "zoom.scr")
        with open(script, "w") as f:
            f.write("._zoom\n_e\n")
        shown = {}
        example = os.path.join(support.EXAMPLES_DIR, "exported-views.dxf")
        for name, given in (("example", example), ("hostile", drawing)):
            result = self.run_program("run", given, "--script", script, "-o",
                                      os.path.join(self.dir, name + "-out.dxf"))
            self.assert_nothing_ran()
            self.assertEqual(result.returncode, 0, result.stderr.decode("utf-8", "replace"))
            shown[name] = result.stdout.decode("utf-8")
        self.assertIn("._zoom", self.commands(shown["hostile"]))
        self.assertEqual(self.commands(shown["hostile"]), self.commands(shown["example"]))


if __name__ == "__main__":
    unittest.main()
