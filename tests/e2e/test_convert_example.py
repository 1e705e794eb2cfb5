"""End to end: the example export converted for both targets, checked with ezdxf."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import conversion_checks as cc  # noqa: E402

EXAMPLE = os.path.join("examples", "exported-views.dxf")


class ConversionCommon:
    target = None
    options = ()

    @classmethod
    def setUpClass(cls):
        cls.code, cls.out, cls.transcript, cls.stderr = cc.convert(EXAMPLE, cls.target, *cls.options)
        cls.before, _ = cc.read(EXAMPLE)
        cls.after, _ = cc.read(cls.out) if cls.code == 0 else (None, None)

    def test_converts(self):
        self.assertEqual(self.code, 0, self.stderr + self.transcript[-2000:])

    def test_no_new_audit_errors(self):
        self.assertLessEqual(set(cc.audit_errors(self.after)), set(cc.audit_errors(self.before)))

    def test_every_layer_used_exists(self):
        layers = cc.layers_of(self.after)
        for e in cc.all_entities(self.after):
            if e.dxf.hasattr("layer"):
                self.assertIn(e.dxf.layer.lower(), layers, "%s %s" % (e.dxftype(), e.dxf.handle))

    def test_dimension_values_unchanged(self):
        before = cc.displayed_values(self.before)
        after = cc.displayed_values(self.after)
        self.assertTrue(before)
        for handle, (value, _, _) in before.items():
            self.assertIn(handle, after, handle)
            self.assertAlmostEqual(after[handle][0] / value, 1.0, delta=1e-9, msg=handle)

    def test_base_view_at_true_size(self):
        # The reference factor is the one most dimensions share; their views
        # end at true size: measurement x factor, override 1.
        before = cc.displayed_values(self.before)
        factors = [f for (_, _, f) in before.values()]
        base = max(set(factors), key=factors.count)
        after = cc.displayed_values(self.after)
        for handle, (_, measurement, factor) in before.items():
            if factor == base:
                self.assertAlmostEqual(after[handle][1], measurement * base, delta=1e-9 * measurement * base)
                self.assertAlmostEqual(after[handle][2], 1.0, delta=1e-12)

    def test_views_moved_into_model_space(self):
        layout = self.before.layouts.get("Layout1")
        moved = [e.dxf.handle for e in layout if e.dxftype() != "VIEWPORT"]
        model = {e.dxf.handle for e in self.after.modelspace()}
        self.assertTrue(moved)
        for handle in moved:
            if handle in self.erased_handles():
                continue
            self.assertIn(handle, model)
        left = [e.dxftype() for e in self.after.layouts.get("Layout1")]
        self.assertTrue(all(t == "VIEWPORT" for t in left), left)

    def test_model_space_leftovers_removed(self):
        leftovers = {e.dxf.handle for e in self.before.modelspace()}
        model = {e.dxf.handle for e in self.after.modelspace()}
        self.assertFalse(leftovers & model)

    def erased_handles(self):
        return set()


class Mech6Conversion(ConversionCommon, unittest.TestCase):
    target = "mech6"

    def test_entities_on_mechanical_layers(self):
        for e in self.after.modelspace():
            kind = e.dxftype()
            if kind == "DIMENSION":
                self.assertEqual(e.dxf.layer, "AM_5")
            elif kind == "HATCH":
                self.assertEqual(e.dxf.layer, "AM_8")

    def test_properties_by_layer(self):
        for e in self.after.modelspace():
            self.assertEqual(e.dxf.get("color", 256), 256, e.dxf.handle)
            self.assertEqual(e.dxf.get("linetype", "BYLAYER").upper(), "BYLAYER", e.dxf.handle)
            self.assertEqual(e.dxf.get("lineweight", -1), -1, e.dxf.handle)

    def test_mechanical_layers_exist(self):
        layers = cc.layers_of(self.after)
        for i in range(13):
            self.assertIn("am_%d" % i, layers)


class GeniusConversion(ConversionCommon, unittest.TestCase):
    target = "genius"
    options = ("--layers", "coarse")

    def erased_handles(self):
        # ERASELAYER removes what ended on "1" or "Skizzierlinie".
        handles = {e.dxf.handle for e in self.before.layouts.get("Layout1")
                   if e.dxf.get("layer", "").lower() in ("skizzierlinie", "1")}
        return handles

    def test_genius_layers(self):
        layers = cc.layers_of(self.after)
        for name, (linetype, colour) in cc.GENIUS_LAYERS.items():
            self.assertIn(name.lower(), layers, name)
            self.assertEqual(layers[name.lower()].dxf.linetype.lower(), linetype.lower(), name)
            self.assertEqual(abs(layers[name.lower()].dxf.color), colour, name)

    def test_no_entity_on_a_mapped_layer(self):
        for e in cc.all_entities(self.after):
            layer = e.dxf.get("layer", "0")
            for text in cc.MAP_SOURCE_TEXTS:
                self.assertNotIn(text, layer, "%s %s" % (e.dxftype(), e.dxf.handle))

    def test_nothing_on_frame_or_sketch_layer(self):
        for layout in self.after.layouts:
            for e in layout:
                self.assertNotIn(e.dxf.get("layer", "0").lower(), ("1", "skizzierlinie"))

    def test_solids_repeat_third_corner(self):
        before = {e.dxf.handle: e for e in self.before.entitydb.values() if e.dxftype() == "SOLID"}
        self.assertTrue(before)
        for e in self.after.entitydb.values():
            if e.dxftype() != "SOLID" or e.dxf.handle not in before:
                continue
            old = before[e.dxf.handle]
            if tuple(old.dxf.vtx0)[:2] == tuple(old.dxf.vtx3)[:2]:
                self.assertEqual(tuple(e.dxf.vtx3)[:2], tuple(e.dxf.vtx2)[:2])


class GeniusFineConversion(GeniusConversion):
    options = ("--layers", "fine")


if __name__ == "__main__":
    unittest.main()
