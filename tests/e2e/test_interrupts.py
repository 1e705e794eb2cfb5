#!/usr/bin/python3
"""A run that is stopped leaves nothing: a conversion killed while it writes
its output (TERM, INT, HUP or KILL) leaves no temporary file, the next run
in a folder removes the temporaries of runs that are gone, and in a batch
the workers end with the parent and write nothing after it."""

import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

import support

EXAMPLE = os.path.join(support.EXAMPLES_DIR, "exported-views.dxf")


def make_big_drawing(path, entities):
    subprocess.run([support.PYTHON, os.path.join(support.ROOT, "bench", "make_drawing.py"),
                    str(entities), path], check=True, capture_output=True, timeout=600)


def children_of(pid):
    try:
        with open(f"/proc/{pid}/task/{pid}/children") as f:
            return [int(p) for p in f.read().split()]
    except OSError:
        return []


def is_running(pid):
    """True while the process exists and is no zombie."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def writes_into(pid, folder):
    """True once the process holds a file open for writing in folder (the
    output being written, named or not)."""
    try:
        for fd in os.listdir(f"/proc/{pid}/fd"):
            try:
                target = os.readlink(f"/proc/{pid}/fd/{fd}")
                if not target.startswith(folder + "/"):
                    continue
                with open(f"/proc/{pid}/fdinfo/{fd}") as info:
                    flags = int(info.read().split("flags:")[1].split()[0], 8)
            except (OSError, IndexError, ValueError):
                continue
            if (flags & (os.O_WRONLY | os.O_RDWR)
                    and os.stat(f"/proc/{pid}/fd/{fd}").st_size > 0):
                return True
    except OSError:
        pass
    return False



def wait_until(condition, timeout):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(0.002)
    return condition()


class InterruptTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        shared = tempfile.TemporaryDirectory(prefix="dravolin-e2e-")
        cls.addClassCleanup(shared.cleanup)
        cls.big = os.path.join(shared.name, "big.dxf")
        make_big_drawing(cls.big, 20000)

    def setUp(self):
        self.dir = support.scratch_dir(self)
        registry = os.path.join(self.dir, "registry.txt")
        self.env = dict(os.environ, DRAVOLIN_REGISTRY=registry)

    def start(self, args):
        return subprocess.Popen([support.dravolin_binary(), *args], stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE, stdin=subprocess.DEVNULL, env=self.env)

    def hidden_files(self, folder):
        return [n for n in os.listdir(folder) if n.startswith(".")]

    def test_killed_while_writing_leaves_no_temporary(self):
        folder = os.path.join(self.dir, "out")
        os.mkdir(folder)
        output = os.path.join(folder, "out.dxf")
        for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP, signal.SIGKILL):
            with self.subTest(signal=number.name):
                # The write takes some tens of milliseconds: a run that ended
                # between being seen writing and the signal is run again.
                for _ in range(5):
                    process = self.start(["convert", self.big, "--target", "mech6", "-o", output,
                                          "--overwrite"])
                    caught = wait_until(lambda: writes_into(process.pid, folder), 300)
                    process.send_signal(number)
                    process.communicate(timeout=300)
                    if not caught or process.returncode != 0:
                        break
                    os.unlink(output)
                self.assertTrue(caught, "the output was never written")
                self.assertEqual(process.returncode, -number)
                self.assertEqual(self.hidden_files(folder), [])
                self.assertEqual(os.listdir(folder), [])

    def test_next_run_removes_temporaries_of_runs_that_are_gone(self):
        gone = subprocess.Popen(["true"])
        gone.wait()
        stale = f".in-mech6.dxf.dravolin-{gone.pid}-0a1b2c"
        running = f".in-mech6.dxf.dravolin-{os.getpid()}-0a1b2c"
        foreign = ".in-mech6.dxf.0a1b2c"  # not recognisably ours: kept
        for name in (stale, running, foreign):
            with open(os.path.join(self.dir, name), "w") as f:
                f.write("partial")
        shutil.copyfile(EXAMPLE, os.path.join(self.dir, "in.dxf"))
        result = subprocess.run([support.dravolin_binary(), "convert",
                                 os.path.join(self.dir, "in.dxf"), "--target", "mech6"],
                                capture_output=True, env=self.env, timeout=300)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(sorted(self.hidden_files(self.dir)), sorted([running, foreign]))

    def batch(self, name, count):
        folder = os.path.join(self.dir, name)
        os.mkdir(folder)
        for i in range(count):
            os.link(self.big, os.path.join(folder, f"d{i}.dxf"))
        return folder

    def outputs(self, folder):
        return sorted(n for n in os.listdir(folder) if "-mech6" in n or n.startswith("."))

    def test_stopping_a_batch_stops_its_workers(self):
        for number in (signal.SIGTERM, signal.SIGINT, signal.SIGKILL):
            with self.subTest(signal=number.name):
                folder = self.batch(number.name, 6)
                process = self.start(["convert", folder, "--target", "mech6", "-j", "2"])
                self.assertTrue(wait_until(lambda: len(children_of(process.pid)) == 2, 300))
                workers = children_of(process.pid)
                process.send_signal(number)
                process.communicate(timeout=300)
                self.assertEqual(process.returncode, -number)
                self.assertTrue(wait_until(lambda: not any(map(is_running, workers)), 10),
                                "a worker outlived its parent")
                written = self.outputs(folder)
                time.sleep(1)
                self.assertEqual(self.outputs(folder), written, "written after the end")
                self.assertEqual([n for n in written if n.startswith(".")], [])
                self.assertLess(len(written), 6)


if __name__ == "__main__":
    unittest.main()
