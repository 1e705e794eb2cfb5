#!/usr/bin/python3
"""Round trip of real drawings through the program: `dravolin run IN -o OUT`
with no script must give back the drawing unchanged.

- ASCII DXF: the output is byte for byte the input.
- Binary DXF: the output is ASCII DXF with the same content (same entities
  per layer and type, same dimension values, no new audit findings), and
  saving that output again reproduces it byte for byte.
- Every output is readable by an independent reader (ezdxf).

The drawings are the real samples in tests/data/samples, the example drawing
and the two bundled templates.
"""

import os
import shutil
import unittest

import support


def round_trip_inputs():
    return support.sample_files() + [
        os.path.join(support.EXAMPLES_DIR, "exported-views.dxf"),
        os.path.join(support.TEMPLATES_DIR, "Mech6.dwt"),
        os.path.join(support.TEMPLATES_DIR, "Genius14.dwt"),
    ]


class RoundTripTest(unittest.TestCase):
    def test_samples_are_present(self):
        # An empty samples folder would let every other check here pass vacuously.
        self.assertTrue(
            support.sample_files(), f"no sample drawings in {support.SAMPLES_DIR}"
        )

    def test_ascii_drawings_come_back_byte_for_byte(self):
        out_dir = support.scratch_dir(self)
        for path in round_trip_inputs():
            if support.is_binary_dxf(path):
                continue
            with self.subTest(drawing=os.path.basename(path)):
                # The program must not care about the template extension.
                source = os.path.join(out_dir, os.path.basename(path) + ".in.dxf")
                shutil.copyfile(path, source)
                output = os.path.join(out_dir, os.path.basename(path) + ".out.dxf")
                support.run_dravolin("run", source, "-o", output)
                with open(path, "rb") as f:
                    expected = f.read()
                with open(output, "rb") as f:
                    written = f.read()
                self.assertTrue(
                    written == expected,
                    f"{os.path.basename(path)}: output differs from the input "
                    f"at byte {first_difference(expected, written)}",
                )
                support.read_drawing(output)  # an independent reader accepts it

    def test_binary_drawings_come_back_as_equivalent_ascii(self):
        out_dir = support.scratch_dir(self)
        binaries = [p for p in round_trip_inputs() if support.is_binary_dxf(p)]
        for path in binaries:
            with self.subTest(drawing=os.path.basename(path)):
                first = os.path.join(out_dir, "first.dxf")
                second = os.path.join(out_dir, "second.dxf")
                support.run_dravolin("run", path, "-o", first)
                self.assertFalse(support.is_binary_dxf(first), "expected ASCII DXF output")

                before = support.read_drawing(path)
                after = support.read_drawing(first)
                self.assertEqual(support.new_audit_problems(before, after), "")
                self.assertEqual(after.doc.dxfversion, before.doc.dxfversion)
                self.assertEqual(
                    support.entity_counts_by_layer(after.doc),
                    support.entity_counts_by_layer(before.doc),
                )
                self.assertEqual(
                    support.entity_counts_by_type(after.doc),
                    support.entity_counts_by_type(before.doc),
                )
                self.assertEqual(
                    support.changed_dimension_values(
                        support.displayed_dimension_values(before.doc),
                        support.displayed_dimension_values(after.doc),
                    ),
                    [],
                )

                support.run_dravolin("run", first, "-o", second)
                with open(first, "rb") as f1, open(second, "rb") as f2:
                    self.assertTrue(f1.read() == f2.read(), "re-saving the ASCII output changed it")


def first_difference(a, b):
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return i
    return min(len(a), len(b))


if __name__ == "__main__":
    unittest.main()
