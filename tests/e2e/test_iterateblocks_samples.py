"""ITERATEBLOCKS on every sample: no crash, a clean read by ezdxf, and block
entities that carried a linetype of their own now follow their layer."""

import glob
import os
import subprocess
import sys
import tempfile
import unittest


sys.path.insert(0, os.path.dirname(__file__))
import conversion_checks as cc  # noqa: E402

SAMPLES = sorted(glob.glob(os.path.join("tests", "data", "samples", "*.dxf")))
LAYOUT_BLOCK_PREFIXES = ("*model_space", "*paper_space", "$model_space", "$paper_space")


def block_entities(doc):
    for block in doc.blocks:
        if block.name.lower().startswith(LAYOUT_BLOCK_PREFIXES):
            continue
        for e in block:
            yield e


def file_version(path):
    with open(path, "rb") as f:
        head = f.read(4096)
    at = head.find(b"AC10")
    return head[at:at + 6].decode("ascii") if at >= 0 else "AC1009"


class IterateBlocksOnSamples(unittest.TestCase):
    def test_every_sample(self):
        self.assertTrue(SAMPLES)
        work = tempfile.mkdtemp(prefix="dravolin-iterate-")
        script = os.path.join(work, "iterate.scr")
        with open(script, "w") as f:
            f.write("ITERATEBLOCKS\n")
        for sample in SAMPLES:
            with self.subTest(sample=os.path.basename(sample)):
                out = os.path.join(work, os.path.basename(sample))
                proc = subprocess.run([cc.DRAVOLIN, "run", sample, "--script", script, "-o", out],
                                      capture_output=True, text=True, timeout=300)
                self.assertEqual(proc.returncode, 0, proc.stderr)
                before, after = cc.read(sample)[0], cc.read(out)[0]
                self.assertLessEqual(set(cc.audit_errors(after)), set(cc.audit_errors(before)))
                if file_version(sample) < "AC1015":
                    continue  # the reader renumbers older files' handles on load
                old = {e.dxf.handle: e for e in block_entities(before) if e.dxf.hasattr("handle")}
                for e in block_entities(after):
                    if not e.dxf.hasattr("handle") or e.dxf.handle not in old:
                        continue
                    if e.dxftype() in ("SEQEND", "ENDBLK"):
                        continue
                    was = old[e.dxf.handle]
                    if was.dxf.hasattr("linetype"):
                        self.assertEqual(e.dxf.get("linetype", "BYLAYER").upper(), "BYLAYER",
                                         e.dxf.handle)
                        self.assertEqual(e.dxf.get("color", 256), 256, e.dxf.handle)
                        self.assertEqual(e.dxf.get("lineweight", -1), -1, e.dxf.handle)
                    if "AM_2" in was.dxf.get("layer", ""):
                        self.assertEqual(e.dxf.layer, "AM_7")


if __name__ == "__main__":
    unittest.main()
