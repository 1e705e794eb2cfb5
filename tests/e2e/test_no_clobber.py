#!/usr/bin/python3
"""Existing files are not replaced by surprise: a symbolic link or a special
file never, a regular file only when it is an earlier output of the same
conversion or with --overwrite, else exit 2 before anything runs, naming the
files. A file that only has an output's name stays an input. A report,
transcript or output folder that cannot be written is found before
converting."""

import os
import shutil
import subprocess
import unittest

import support

EXAMPLE = os.path.join(support.EXAMPLES_DIR, "exported-views.dxf")


class NoClobberTest(unittest.TestCase):
    def setUp(self):
        self.dir = support.scratch_dir(self)
        self.input = os.path.join(self.dir, "in.dxf")
        shutil.copyfile(EXAMPLE, self.input)
        registry = os.path.join(support.scratch_dir(self), "registry.txt")
        self.env = dict(os.environ, DRAVOLIN_REGISTRY=registry)

    def dravolin(self, *args):
        result = subprocess.run([support.dravolin_binary(), *args], capture_output=True,
                                timeout=300, stdin=subprocess.DEVNULL, env=self.env)
        return result.returncode, result.stderr.decode("utf-8", "replace")

    def contents(self, path):
        with open(path, "rb") as f:
            return f.read()

    def test_a_genuine_file_with_an_output_name_stays_an_input_and_is_kept(self):
        folder = os.path.join(self.dir, "drawings")
        os.mkdir(folder)
        shutil.copyfile(EXAMPLE, os.path.join(folder, "foo.dxf"))
        genuine = os.path.join(folder, "foo-mech6.dxf")
        shutil.copyfile(EXAMPLE, genuine)
        code, err = self.dravolin("convert", folder, "--target", "mech6")
        self.assertEqual(code, 2, err)
        self.assertIn(genuine, err)
        self.assertEqual(self.contents(genuine), self.contents(EXAMPLE))
        self.assertEqual(sorted(os.listdir(folder)), ["foo-mech6.dxf", "foo.dxf"])

    def test_earlier_outputs_are_replaced_and_not_converted_again(self):
        folder = os.path.join(self.dir, "drawings")
        os.mkdir(folder)
        shutil.copyfile(EXAMPLE, os.path.join(folder, "foo.dxf"))
        for run in range(2):
            code, err = self.dravolin("convert", folder, "--target", "mech6", "--transcripts")
            self.assertEqual(code, 0, f"run {run}: {err}")
        self.assertEqual(sorted(os.listdir(folder)),
                         ["foo-mech6.dxf", "foo-mech6.transcript.txt", "foo.dxf"])

    def test_existing_file_needs_overwrite_unless_this_conversion_wrote_it(self):
        output = os.path.join(self.dir, "out.dxf")
        with open(output, "w") as f:
            f.write("someone's drawing")
        convert = ["convert", self.input, "--target", "mech6", "-o", output]
        code, err = self.dravolin(*convert)
        self.assertEqual(code, 2, err)
        self.assertIn(f"'{output}' (an existing file", err)
        self.assertEqual(self.contents(output), b"someone's drawing")
        self.assertEqual(self.dravolin(*convert, "--overwrite")[0], 0)
        converted = self.contents(output)
        # Its own earlier output: replaced, and byte for byte the same.
        self.assertEqual(self.dravolin(*convert), (0, ""))
        self.assertEqual(self.contents(output), converted)
        # Another conversion's output, or one changed since, is not its own.
        self.assertEqual(self.dravolin("convert", self.input, "--target", "genius", "-o",
                                       output)[0], 2)
        with open(output, "ab") as f:
            f.write(b"999\nedited\n")
        self.assertEqual(self.dravolin(*convert)[0], 2)
        self.assertEqual(self.dravolin("run", self.input, "-o", output)[0], 2)
        self.assertEqual(self.dravolin("run", self.input, "-o", output, "--overwrite")[0], 0)
        self.assertEqual(self.dravolin("run", self.input, "-o", output)[0], 0)

    def test_links_and_special_files_are_never_replaced(self):
        target = os.path.join(self.dir, "target.dxf")
        with open(target, "w") as f:
            f.write("kept")
        link = os.path.join(self.dir, "link.dxf")
        os.symlink(target, link)
        fifo = os.path.join(self.dir, "fifo.dxf")
        os.mkfifo(fifo)
        for output, problem in ((link, "a symbolic link"), (fifo, "not a regular file")):
            for command in (["convert", self.input, "--target", "mech6"], ["run", self.input]):
                with self.subTest(output=output, command=command[0]):
                    code, err = self.dravolin(*command, "-o", output, "--overwrite")
                    self.assertEqual(code, 2, err)
                    self.assertIn(f"'{output}' ({problem}", err)
        self.assertTrue(os.path.islink(link))
        self.assertEqual(self.contents(target), b"kept")
        self.assertEqual(sorted(os.listdir(self.dir)),
                         ["fifo.dxf", "in.dxf", "link.dxf", "target.dxf"])

    def test_unwritable_records_are_found_before_converting(self):
        output = os.path.join(self.dir, "out.dxf")
        missing = os.path.join(self.dir, "nodir")
        for option, path in (("--report", os.path.join(missing, "r.html")),
                             ("--transcript", os.path.join(missing, "t.txt"))):
            with self.subTest(option=option):
                code, err = self.dravolin("convert", self.input, "--target", "mech6", "-o",
                                          output, option, path)
                self.assertEqual(code, 1, err)
                self.assertIn(path + ": No such file or directory", err)
                self.assertEqual(err.count("\n"), 1, err)
                self.assertFalse(os.path.exists(output))


if __name__ == "__main__":
    unittest.main()
