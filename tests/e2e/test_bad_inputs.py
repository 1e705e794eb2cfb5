#!/usr/bin/python3
"""The catalogue of bad drawings (tests/data/bad/make_bad_inputs.py) and the
inputs the fuzz targets found (tests/data/fuzz-regressions/), each run
through `dravolin run` (zoom extents and scale, which walk into blocks),
`dravolin convert --target mech6` and `--target genius` (with --force, so
that drawings without views on a layout are converted too), with a time and
a memory limit.

Each run either converts (exit 0, the output reads in ezdxf, data the program
does not know is still there) or stops with exit 1 and one line naming the
file (FILE:LINE: ... for input it cannot read). Never a crash, a hang, an
out-of-memory end, a half-written output or a temporary file left behind.
"""

import os
import re
import resource
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import support  # noqa: E402

sys.path.insert(0, os.path.join(support.ROOT, "tests", "data", "bad"))
import make_bad_inputs  # noqa: E402

REGRESSIONS_DIR = os.path.join(support.ROOT, "tests", "data", "fuzz-regressions")
TIMEOUT_SECONDS = 120
MEMORY_LIMIT = 3 << 30
# Address-space limits for the out-of-memory test: from too little to read
# the drawing to enough to convert it (where memory runs out differs from
# one limit to the next; a thread that cannot be had leaves its work to the
# main thread). Near the bottom the program's code and libraries leave no
# room for the C++ library's own start-up, which ends the process before the
# program runs; how near depends on the build and the machine, so the test
# leaves out the limits under which `dravolin --version` cannot start.
OUT_OF_MEMORY_LIMITS_MB = range(14, 70, 4)
# Extents of the current space, then everything scaled about the origin.
SCRIPT = "._zoom\n_e\n._scale\n_all\n\n0,0\n2\n"


def limit_memory():
    resource.setrlimit(resource.RLIMIT_AS, (MEMORY_LIMIT, MEMORY_LIMIT))


_readable = {}
TOP_HANDLE = (1 << 64) - 1


def handle_facts(data):
    """Handles of a drawing's records, how often each occurs, and $HANDSEED."""
    lines = data.split(b"\n")
    counts, seed, in_record, var = {}, None, False, None
    for i in range(0, len(lines) - 1, 2):
        code, value = lines[i].strip(), lines[i + 1].strip()
        if code == b"0":
            in_record, var = True, None
        elif code == b"9":
            in_record, var = False, value  # header variables are no records
        elif code == b"5" and var == b"$HANDSEED":
            seed = int(value, 16) if re.fullmatch(rb"[0-9A-Fa-f]{1,16}", value) else None
        elif code in (b"5", b"105") and in_record:
            in_record = False  # a record's first handle is its own
            if re.fullmatch(rb"[0-9A-Fa-f]{1,16}", value):  # else it is no handle
                handle = int(value, 16)
                counts[handle] = counts.get(handle, 0) + 1
    return counts, seed


def readable(path):
    """Whether ezdxf reads the drawing (in recover mode if need be)."""
    if path not in _readable:
        try:
            support.read_drawing(path)
            _readable[path] = True
        except Exception:  # any failure of the independent reader
            _readable[path] = False
    return _readable[path]


class BadInputsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory(prefix="dravolin-bad-inputs-")
        cls.cases = make_bad_inputs.write_all(os.path.join(cls.tmp.name, "cases"))
        cls.script = os.path.join(cls.tmp.name, "zoom-scale.scr")
        with open(cls.script, "w") as f:
            f.write(SCRIPT)
        cls.env = dict(os.environ, DRAVOLIN_REGISTRY=os.path.join(cls.tmp.name, "registry.txt"))

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def run_program(self, folder, args):
        try:
            return subprocess.run([support.dravolin_binary(), *args], capture_output=True,
                                  timeout=TIMEOUT_SECONDS, stdin=subprocess.DEVNULL, cwd=folder,
                                  env=self.env, preexec_fn=limit_memory)
        except subprocess.TimeoutExpired:
            self.fail(f"hung: no end within {TIMEOUT_SECONDS} s")

    def check(self, name, source, expect, keep, mode):
        """Runs one mode on a copy of source in a folder of its own."""
        folder = tempfile.mkdtemp(prefix="run-", dir=self.tmp.name)
        self.addCleanup(shutil.rmtree, folder, True)
        given = os.path.join(folder, name + ".dxf")
        shutil.copyfile(source, given)
        output = os.path.join(folder, "out.dxf")
        args = {"run": ["run", given, "--script", self.script, "-o", output],
                "mech6": ["convert", given, "--target", "mech6", "--force", "-o", output],
                "genius": ["convert", given, "--target", "genius", "--force", "-o", output]}[mode]
        result = self.run_program(folder, args)
        stderr = result.stderr.decode("utf-8", "replace")
        status = result.returncode
        self.assertGreaterEqual(status, 0, f"killed by signal {-status}\n{stderr[-3000:]}")
        self.assertIn(status, (0, 1), f"exit {status}\n{stderr[-3000:]}")

        left = sorted(os.listdir(folder))
        if status == 1:
            self.assertEqual(stderr.count("\n"), 1, stderr[-3000:])
            if expect == "refuse":
                pattern = "dravolin: error: " + re.escape(given) + r":\d+: "
            else:
                pattern = "dravolin: error: " + re.escape(given) + r"(:\d+)?: "
            self.assertRegex(stderr, "^" + pattern + r"\S.*\n$")
            self.assertEqual(left, [name + ".dxf"], "an output or temporary file was left")
            return
        self.assertNotEqual(expect, "refuse", f"read a file that cannot be read:\n{stderr}")
        self.assertEqual(left, sorted([name + ".dxf", "out.dxf"]), "temporary file left")
        # The program keeps what it does not change as it was read; where
        # that is beyond ezdxf (the input does not read either), so is the
        # output.
        if readable(source):
            self.assertTrue(readable(output), "the output does not read in ezdxf")
        with open(output, "rb") as f:
            written = f.read()
        self.check_handles(source, written)
        for marker in keep:
            self.assertIn(marker, written, "data the program does not know was lost")

    def check_handles(self, source, written):
        """No handle used twice that the input did not use twice; $HANDSEED
        above every handle where the input had it so (and did not use the
        top handle itself)."""
        with open(source, "rb") as f:
            before, old_seed = handle_facts(f.read())
        after, seed = handle_facts(written)
        doubled = [h for h, n in after.items() if n > 1 and n > before.get(h, 0)]
        self.assertEqual(doubled, [], "handles used twice")
        sane = old_seed is not None and (not before or old_seed > max(before))
        if sane and seed is not None and after and max(after) != TOP_HANDLE:
            self.assertGreater(seed, max(after), "$HANDSEED not above every handle")

    def check_all(self, name, source, expect, keep=()):
        for mode in ("run", "mech6", "genius"):
            with self.subTest(case=name, mode=mode):
                self.check(name, source, expect, keep, mode)

    def test_catalogue(self):
        for case, path in self.cases:
            self.check_all(case.name, path, case.expect, case.keep)

    def test_endless_stream(self):
        # Read until memory or the size limit ends it: one clear line, exit 1.
        result = self.run_program(self.tmp.name, ["info", "/dev/zero"])
        stderr = result.stderr.decode("utf-8", "replace")
        self.assertEqual(result.returncode, 1, stderr)
        self.assertRegex(stderr, r"^dravolin: error: /dev/zero: \S.*\n$")

    def test_special_files_are_refused_unread(self):
        # A FIFO nobody writes to: reading it would wait for ever.
        fifo = os.path.join(self.tmp.name, "pipe.dxf")
        os.mkfifo(fifo)
        self.addCleanup(os.unlink, fifo)
        for args in (["info", fifo], ["convert", fifo, "--target", "mech6"], ["info", "/dev/null"]):
            with self.subTest(args=args):
                result = self.run_program(self.tmp.name, args)
                stderr = result.stderr.decode("utf-8", "replace")
                self.assertEqual(result.returncode, 1, stderr)
                self.assertRegex(stderr, "^(dravolin: error: )?" + re.escape(args[1])
                                 + r": not a regular file but a (FIFO|character device)")

    def test_handle_problems_are_listed_and_need_force(self):
        case = next(path for case, path in self.cases if case.name == "duplicate-entity-handles")
        folder = tempfile.mkdtemp(prefix="run-", dir=self.tmp.name)
        self.addCleanup(shutil.rmtree, folder, True)
        info = self.run_program(folder, ["info", case])
        self.assertEqual(info.returncode, 0)
        self.assertRegex(info.stdout.decode("utf-8"),
                         r"\nhandle problems \(1, a conversion needs --force\):\n  line \d+: the "
                         r"LINE's handle \w+ is also the handle of the LINE at line \d+\n")
        output = os.path.join(folder, "out.dxf")
        refused = self.run_program(folder, ["convert", case, "--target", "mech6", "-o", output])
        self.assertEqual(refused.returncode, 1)
        self.assertRegex(refused.stderr.decode("utf-8"),
                         r"a handle problem: line \d+: .*; use --force to convert anyway\n$")
        self.assertFalse(os.path.exists(output))

    def test_out_of_memory_ends_with_one_line(self):
        # Enough entities that extents and scaling run in two threads; memory
        # limits from too little to read the drawing to enough to convert
        # it, so that memory runs out in each part, the helper thread too.
        source = os.path.join(self.tmp.name, "big.dxf")
        subprocess.run([support.PYTHON, os.path.join(support.ROOT, "bench", "make_drawing.py"),
                        "6000", source], check=True, capture_output=True)
        outcomes = set()
        for mb in OUT_OF_MEMORY_LIMITS_MB:
            limit = lambda: resource.setrlimit(resource.RLIMIT_AS, (mb << 20, mb << 20))
            started = subprocess.run([support.dravolin_binary(), "--version"], capture_output=True,
                                     timeout=TIMEOUT_SECONDS, preexec_fn=limit)
            if started.returncode != 0:
                continue
            with self.subTest(limit_mb=mb):
                output = os.path.join(self.tmp.name, "big-out.dxf")
                result = subprocess.run(
                    [support.dravolin_binary(), "convert", source, "--target", "mech6", "-q",
                     "-o", output, "--reference", "auto", "--lineweights", "ok"],
                    capture_output=True, timeout=TIMEOUT_SECONDS, stdin=subprocess.DEVNULL,
                    env=self.env, preexec_fn=limit)
                stderr = result.stderr.decode("utf-8", "replace")
                self.assertIn(result.returncode, (0, 1), stderr[-3000:])
                outcomes.add(result.returncode)
                if result.returncode == 1:
                    # Memory may also run out in a step the host runs, such as
                    # reading the template: the step is named with the reason.
                    self.assertRegex(stderr, "^dravolin: error: (not enough memory to convert "
                                     + re.escape(source) + "|" + re.escape(source)
                                     + ": not enough memory to read the file|"
                                     + re.escape(source) + ": the conversion failed, nothing "
                                     "written: the host did not carry out the step \"[^\"\n]+\": "
                                     "[^\n]*not enough memory[^\n]*)\n$")
                    self.assertFalse(os.path.exists(output))
                elif os.path.exists(output):
                    os.unlink(output)
        self.assertIn(1, outcomes, "memory never ran out: the limits need lowering")

    def test_fuzz_regressions(self):
        names = sorted(n for n in os.listdir(REGRESSIONS_DIR) if n.endswith(".dxf"))
        self.assertTrue(names)
        for name in names:
            self.check_all(name[:-4], os.path.join(REGRESSIONS_DIR, name), "any")


if __name__ == "__main__":
    unittest.main()
