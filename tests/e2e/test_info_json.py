#!/usr/bin/python3
"""dravolin info --json: one JSON object whose facts agree with what an
independent DXF reader finds in the same drawing."""

import collections
import json
import os
import sys
import tempfile
import unittest
from pathlib import Path

import ezdxf

sys.path.insert(0, os.path.dirname(__file__))
import support  # noqa: E402

EXAMPLE = Path(support.EXAMPLES_DIR) / "exported-views.dxf"


class InfoJsonTest(unittest.TestCase):
    def info(self, path):
        result = support.run_dravolin("info", path, "--json")
        return json.loads(result.stdout.decode("utf-8"))

    def test_exported_drawing(self):
        facts = self.info(EXAMPLE)
        doc = ezdxf.readfile(EXAMPLE)
        self.assertEqual((facts["version"], facts["release"], facts["codepage"]),
                         ("AC1015", "R2000", "ANSI_1252"))
        self.assertEqual((facts["tilemode"], facts["current_space"]), (0, "Layout1"))
        spaces = {s["name"]: s["entities"] for s in facts["spaces"]}
        self.assertEqual(spaces, {layout.name: len(layout) for layout in doc.layouts})
        layers = {l["name"]: l["entities"] for l in facts["layers"]}
        self.assertEqual({k: v for k, v in layers.items() if v},
                         dict(support.entity_counts_by_layer(doc)))
        weights = collections.Counter(
            e.dxf.get("lineweight", -1) for e in support.all_layout_entities(doc))
        self.assertEqual({w["lineweight"]: w["entities"] for w in facts["entity_lineweights"]},
                         dict(weights))
        self.assertEqual(facts["dimensions"], len(doc.query("DIMENSION")))
        self.assertEqual({o["dimlfac"]: o["dimensions"] for o in facts["dimlfac_overrides"]},
                         {2.0: 7, 0.5: 3})
        self.assertEqual(facts["auto_reference"],
                         {"type": "DIMENSION", "handle": "84", "layout": "Layout1",
                          "dimlfac": 2})
        candidates = facts["reference_candidates"]
        self.assertEqual(len(candidates), 10)
        self.assertEqual([c["handle"] for c in candidates if c["auto"]], ["84"])
        by_handle = {d.dxf.handle: d for d in doc.query("DIMENSION LEADER TOLERANCE")}
        for candidate in candidates:
            dimension = by_handle[candidate["handle"]]
            self.assertEqual(candidate["dimlfac"], support.dimlfac_override(dimension))
            if candidate["type"] == "DIMENSION":
                self.assertEqual(candidate["text"], dimension.dxf.get("text", ""))
        text = support.run_dravolin("info", EXAMPLE).stdout.decode("utf-8")
        for candidate in candidates:
            mark = r"\* " if candidate["auto"] else "  "
            self.assertRegex(text, "\n  " + mark + candidate["handle"] + " +DIMENSION on ")
        self.assertTrue(facts["modeller_export"])
        self.assertIn("DIMLFAC overrides on dimensions", facts["modeller_export_signs"])

    def test_names_outside_ascii_and_a_plain_drawing(self):
        with tempfile.TemporaryDirectory(prefix="dravolin-info-json-") as tmp:
            doc = ezdxf.new("R2000")
            doc.layers.add("Stra\u00dfe 1", lineweight=50)
            doc.modelspace().add_line((0, 0), (1, 0), dxfattribs={"layer": "Stra\u00dfe 1"})
            path = Path(tmp) / "plain.dxf"
            doc.saveas(path)
            facts = self.info(path)
        layer = next(l for l in facts["layers"] if l["name"] == "Stra\u00dfe 1")
        self.assertEqual((layer["entities"], layer["lineweight"]), (1, 50))
        self.assertEqual(facts["current_space"], "Model")
        self.assertIsNone(facts["auto_reference"])
        self.assertFalse(facts["modeller_export"])

    def test_characters_beyond_code_page_1252_are_shown_as_themselves(self):
        names = ["\u6807\u51c6", "a\U0001F600b"]
        with tempfile.TemporaryDirectory(prefix="dravolin-info-json-") as tmp:
            doc = ezdxf.new("R2018")  # UTF-8
            for name in names:
                doc.layers.add(name)
                doc.modelspace().add_line((0, 0), (1, 0), dxfattribs={"layer": name})
            path = Path(tmp) / "utf8.dxf"
            doc.saveas(path)
            facts = self.info(path)
            text = support.run_dravolin("info", path).stdout.decode("utf-8")
        layers = {l["name"]: l["entities"] for l in facts["layers"]}
        for name in names:
            self.assertEqual(layers.get(name), 1, layers)
            self.assertIn(name, text)
        self.assertNotIn("\\U+", text)


if __name__ == "__main__":
    unittest.main()
