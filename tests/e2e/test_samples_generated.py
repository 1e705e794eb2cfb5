#!/usr/bin/python3
"""The drawings the project generates itself: the example exported drawing,
the two bundled templates and the benchmark drawing.

- The committed files are what their generators write today (a generator
  changed without regenerating, or a hand edit, fails here).
- Each is a valid drawing for an independent reader (no audit findings).
- The example carries everything a conversion is tested on; the templates
  carry the layer standard exactly as docs/layer-standards.md documents it.
"""

import collections
import os
import re
import subprocess
import unittest

import support

EXAMPLE = os.path.join(support.EXAMPLES_DIR, "exported-views.dxf")
MECH6 = os.path.join(support.TEMPLATES_DIR, "Mech6.dwt")
GENIUS14 = os.path.join(support.TEMPLATES_DIR, "Genius14.dwt")
LAYER_STANDARDS = os.path.join(support.ROOT, "docs", "layer-standards.md")
GENIUS_LINETYPES = ["Gen3", "Gen3a", "Gen4a", "Gen7", "Gen7a"]


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def clean_drawing(test_case, path):
    drawing = support.read_drawing(path)
    test_case.assertFalse(drawing.recovered, f"{path} needs ezdxf's recover mode")
    test_case.assertEqual(drawing.describe_problems(), "", f"audit findings in {path}")
    return drawing.doc


class GeneratorsTest(unittest.TestCase):
    def test_committed_example_is_up_to_date(self):
        out = os.path.join(support.scratch_dir(self), "example.dxf")
        subprocess.run(
            [support.PYTHON, os.path.join(support.EXAMPLES_DIR, "make_example.py"), out],
            check=True, capture_output=True, timeout=300,
        )  # fmt: skip
        self.assertTrue(
            read_bytes(out) == read_bytes(EXAMPLE),
            "examples/exported-views.dxf differs from what examples/make_example.py writes",
        )

    def test_committed_templates_are_up_to_date(self):
        out_dir = support.scratch_dir(self)
        subprocess.run(
            [support.PYTHON, os.path.join(support.TEMPLATES_DIR, "make_templates.py"), out_dir],
            check=True, capture_output=True, timeout=300,
        )  # fmt: skip
        for committed in (MECH6, GENIUS14):
            with self.subTest(template=os.path.basename(committed)):
                fresh = os.path.join(out_dir, os.path.basename(committed))
                self.assertTrue(
                    read_bytes(fresh) == read_bytes(committed),
                    f"{committed} differs from what templates/make_templates.py writes",
                )


class ExampleDrawingTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.doc = support.read_drawing(EXAMPLE).doc
        cls.layout = cls.doc.layouts.get("Layout1")

    def test_is_a_clean_r2000_drawing_with_the_layout_current(self):
        clean_drawing(self, EXAMPLE)
        self.assertEqual(self.doc.dxfversion, "AC1015")
        self.assertEqual(self.doc.header["$DWGCODEPAGE"], "ANSI_1252")
        self.assertEqual(self.doc.header["$TILEMODE"], 0)
        self.assertEqual(self.doc.layouts.active_layout().name, "Layout1")

    def test_has_the_modellers_layers_and_entity_kinds(self):
        for name in ["0", "Mittellinie", "Schnittansichtslinien", "Detailkreislinien",
                     "Mittelpunktmarkierung", "Skizzierlinie"]:  # fmt: skip
            self.assertTrue(support.has_layer(self.doc, name), name)
        kinds = collections.Counter(e.dxftype() for e in self.layout)
        for kind in ["LINE", "ARC", "CIRCLE", "LWPOLYLINE", "POLYLINE", "SPLINE", "HATCH",
                     "DIMENSION", "INSERT", "SOLID", "TEXT", "VIEWPORT"]:  # fmt: skip
            self.assertGreater(kinds[kind], 0, kind)
        self.assertEqual(kinds["VIEWPORT"], 2)  # the layout's main viewport and one view
        self.assertEqual(self.layout.main_viewport().dxf.id, 1)
        self.assertGreater(len(self.doc.modelspace()), 0, "model-space leftovers expected")
        for polyline in self.layout.query("POLYLINE"):
            self.assertGreater(len(polyline.vertices), 2)

    def test_entities_carry_explicit_line_weights_and_linetypes(self):
        weights = collections.Counter(e.dxf.get("lineweight") for e in self.layout)
        for weight in (50, 35, 25):
            self.assertGreater(weights[weight], 0, f"line weight {weight}")
        linetypes = {e.dxf.get("linetype") for e in self.layout} - {None}
        self.assertTrue({"HIDDEN", "DASHDOT"} <= linetypes, linetypes)

    def test_symbol_blocks_are_inserted_and_carry_explicit_properties(self):
        inserted = {e.dxf.name for e in self.layout.query("INSERT")}
        for name in ["2dCenter1", "2DMittellinie3", "2dTransSymbol2", "2DMittelPunkt4"]:
            self.assertIn(name, inserted)
            contents = list(self.doc.blocks.get(name))
            self.assertTrue(contents, name)
            for entity in contents:
                self.assertTrue(entity.dxf.hasattr("color"), f"{name}: {entity.dxftype()}")
                self.assertTrue(entity.dxf.hasattr("linetype"), f"{name}: {entity.dxftype()}")
                self.assertTrue(entity.dxf.hasattr("lineweight"), f"{name}: {entity.dxftype()}")

    def test_dimensions_show_true_sizes_through_their_view_factor(self):
        dimensions = list(self.layout.query("DIMENSION"))
        factors = collections.Counter(support.dimlfac_override(d) for d in dimensions)
        # Two views at 1:2 outnumber the detail at 2:1, so "auto" picks 2.0.
        self.assertEqual(set(factors), {2.0, 0.5})
        self.assertGreater(factors[2.0], factors[0.5])
        shown = sorted(round(support.displayed_dimension_value(self.doc, d), 6) for d in dimensions)
        self.assertEqual(shown, [1, 5, 5, 10, 20, 40, 50, 100, 120, 160])
        for dimension in dimensions:
            self.assertIsNotNone(self.doc.blocks.get(dimension.dxf.geometry), "rendered block")

    def test_dimension_texts_carry_na_placeholders(self):
        texts = {d.dxf.text for d in self.layout.query("DIMENSION")}
        self.assertIn("<>/N/A", texts)
        self.assertIn("N/A/<>", texts)

    def test_some_solids_close_on_their_first_corner(self):
        closing = 0
        for solid in list(self.layout.query("SOLID")) + list(self.doc.blocks.get("2dTransSymbol2").query("SOLID")):
            first, fourth = solid.dxf.vtx0, solid.dxf.vtx3
            closing += (first.x, first.y) == (fourth.x, fourth.y)
        self.assertGreaterEqual(closing, 2)


def documented_am_layers():
    """{name: (colour, linetype, line weight, plotted)} from the table in docs."""
    rows = {}
    with open(LAYER_STANDARDS, encoding="utf-8") as f:
        for line in f:
            cells = [c.strip() for c in line.strip().strip("|").split("|")]
            if len(cells) == 6 and re.fullmatch(r"AM_\d+", cells[0]):
                name, _, colour, linetype, weight, plotted = cells
                rows[name] = (int(colour), linetype, round(float(weight) * 100), plotted == "yes")
    return rows


class TemplatesTest(unittest.TestCase):
    def test_templates_are_clean_r2000_drawings(self):
        for path in (MECH6, GENIUS14):
            with self.subTest(template=os.path.basename(path)):
                doc = clean_drawing(self, path)
                self.assertEqual(doc.dxfversion, "AC1015")

    def test_am_layers_are_as_documented(self):
        documented = documented_am_layers()
        self.assertEqual(sorted(documented), sorted(f"AM_{i}" for i in range(13)))
        for path in (MECH6, GENIUS14):
            doc = support.read_drawing(path).doc
            for name, expected in documented.items():
                with self.subTest(template=os.path.basename(path), layer=name):
                    layer = doc.layers.get(name)
                    actual = (layer.dxf.color, layer.dxf.linetype, layer.dxf.lineweight,
                              bool(layer.dxf.plot))  # fmt: skip
                    self.assertEqual(actual, expected)
                    self.assertIn(layer.dxf.linetype.lower(), {lt.dxf.name.lower() for lt in doc.linetypes})

    def test_genius_linetypes_only_in_the_genius_template(self):
        mech6 = support.read_drawing(MECH6).doc
        genius = support.read_drawing(GENIUS14).doc
        for name in GENIUS_LINETYPES:
            self.assertIn(name, genius.linetypes)
            self.assertNotIn(name, mech6.linetypes)
            self.assertGreater(len(genius.linetypes.get(name).pattern_tags.tags), 0)

    def test_text_and_dimension_styles(self):
        for path, font in ((MECH6, "isocp.shx"), (GENIUS14, "isocpeur.ttf")):
            doc = support.read_drawing(path).doc
            style = doc.styles.get("STANDARD")
            self.assertEqual(style.dxf.name, "STANDARD")
            self.assertEqual(style.dxf.font, font)
            dimstyle = doc.dimstyles.get("AM_ISO")
            self.assertEqual(dimstyle.dxf.dimtxsty, "STANDARD")  # stored as 340 -> its handle
            self.assertEqual((dimstyle.dxf.dimclrd, dimstyle.dxf.dimclre, dimstyle.dxf.dimclrt), (256, 256, 256))


def written_handles(path):
    """Handles (group 5, and 105 of DIMSTYLE) of every record after the header."""
    with open(path, encoding="cp1252") as f:
        lines = f.read().split("\n")
    body = lines.index("ENDSEC") + 1  # the first ENDSEC closes the HEADER section
    return [
        int(lines[i + 1], 16)
        for i in range(body, len(lines) - 1, 2)
        if lines[i].strip() in ("5", "105")
    ]


class BenchmarkDrawingTest(unittest.TestCase):
    def test_generated_drawing_is_valid_and_complete(self):
        out = os.path.join(support.scratch_dir(self), "bench.dxf")
        subprocess.run(
            [support.PYTHON, os.path.join(support.ROOT, "bench", "make_drawing.py"), "100", out],
            check=True, capture_output=True, timeout=300,
        )  # fmt: skip
        doc = clean_drawing(self, out)
        layout = doc.layouts.get("Layout1")
        kinds = collections.Counter(e.dxftype() for e in layout)
        self.assertEqual(sum(kinds.values()), 100 + 1)  # plus the main viewport
        for kind in ["LINE", "CIRCLE", "ARC", "LWPOLYLINE", "POLYLINE", "HATCH", "DIMENSION",
                     "INSERT", "SOLID"]:  # fmt: skip
            self.assertGreater(kinds[kind], 0, kind)
        factors = {support.dimlfac_override(d) for d in layout.query("DIMENSION")}
        self.assertEqual(factors, {2.0, 0.5})
        for dimension in layout.query("DIMENSION"):
            self.assertIn(round(support.displayed_dimension_value(doc, dimension), 6), (50, 30))
            self.assertEqual(len(list(doc.blocks.get(dimension.dxf.geometry))), 6)
        # Handles as written (ezdxf adds objects of its own when loading).
        handles = written_handles(out)
        self.assertEqual(len(handles), len(set(handles)), "duplicate handles")
        self.assertGreater(int(doc.header["$HANDSEED"], 16), max(handles))

    def test_refuses_a_bad_count(self):
        result = subprocess.run(
            [support.PYTHON, os.path.join(support.ROOT, "bench", "make_drawing.py"), "many", "x.dxf"],
            capture_output=True, timeout=60,
        )  # fmt: skip
        self.assertEqual(result.returncode, 2)
        self.assertIn(b"usage", result.stderr)


if __name__ == "__main__":
    unittest.main()
