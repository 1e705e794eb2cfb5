#!/usr/bin/python3
"""Writing the output safely: a full disk (a file-size limit makes the write
fail the same way) or a folder the program may not write into gives one clear
line and exit 1, and leaves neither a half-written output nor a temporary
file; an output file that was there before stays as it was."""

import os
import resource
import shutil
import signal
import subprocess
import unittest

import support

EXAMPLE = os.path.join(support.EXAMPLES_DIR, "exported-views.dxf")


def small_file_limit():
    # Ignored, SIGXFSZ lets write() fail with EFBIG instead of ending the program.
    signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
    resource.setrlimit(resource.RLIMIT_FSIZE, (16 * 1024, 16 * 1024))


class SafeOutputTest(unittest.TestCase):
    def setUp(self):
        self.dir = support.scratch_dir(self)
        self.input = os.path.join(self.dir, "in.dxf")
        shutil.copyfile(EXAMPLE, self.input)
        registry = os.path.join(support.scratch_dir(self), "registry.txt")
        self.env = dict(os.environ, DRAVOLIN_REGISTRY=registry)

    def run_program(self, args, preexec_fn=None):
        return subprocess.run([support.dravolin_binary(), *args], capture_output=True,
                              timeout=300, stdin=subprocess.DEVNULL, env=self.env,
                              preexec_fn=preexec_fn)

    def assert_failed_cleanly(self, result, output, folder):
        stderr = result.stderr.decode("utf-8", "replace")
        self.assertEqual(result.returncode, 1, stderr)
        self.assertEqual(stderr.count("\n"), 1, stderr)
        self.assertTrue(stderr.startswith(output + ": ") or ": " + output + ": " in stderr,
                        stderr)
        self.assertEqual([n for n in os.listdir(folder) if n.startswith(".")], [],
                         "a temporary file was left")

    def test_full_disk(self):
        output = os.path.join(self.dir, "out.dxf")
        with open(output, "w") as f:
            f.write("the old output")
        for args in (["convert", self.input, "--target", "mech6", "-o", output],
                     ["convert", self.input, "--target", "genius", "-o", output],
                     ["run", self.input, "-o", output]):
            with self.subTest(args=args[0] + " " + args[-3]):
                args = args + ["--overwrite"]  # the old output is no earlier conversion's
                result = self.run_program(args, small_file_limit)
                self.assert_failed_cleanly(result, output, self.dir)
                self.assertIn("File too large", result.stderr.decode())
                with open(output) as f:
                    self.assertEqual(f.read(), "the old output")
        self.assertEqual(sorted(os.listdir(self.dir)), ["in.dxf", "out.dxf"])

    def test_read_only_folder(self):
        if os.geteuid() == 0:
            self.skipTest("root writes into read-only folders")
        folder = os.path.join(self.dir, "read-only")
        os.mkdir(folder)
        os.chmod(folder, 0o555)
        self.addCleanup(os.chmod, folder, 0o755)
        output = os.path.join(folder, "out.dxf")
        result = self.run_program(["convert", self.input, "--target", "mech6", "-o", output])
        self.assert_failed_cleanly(result, output, folder)
        self.assertIn("Permission denied", result.stderr.decode())
        self.assertEqual(os.listdir(folder), [])

    def test_missing_folder(self):
        output = os.path.join(self.dir, "no", "such", "out.dxf")
        result = self.run_program(["convert", self.input, "--target", "mech6", "-o", output])
        self.assert_failed_cleanly(result, output, self.dir)
        self.assertEqual(sorted(os.listdir(self.dir)), ["in.dxf"])


if __name__ == "__main__":
    unittest.main()
