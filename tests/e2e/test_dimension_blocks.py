"""End to end: after both conversions of the example, every dimension's block
shows what the conversion made of the dimension (read and drawn with ezdxf)."""

import os
import sys
import unittest

from ezdxf.addons.drawing.backend import Backend
from ezdxf.addons.drawing.frontend import Frontend
from ezdxf.addons.drawing.properties import RenderContext

sys.path.insert(0, os.path.dirname(__file__))
import conversion_checks as cc  # noqa: E402

EXAMPLE = os.path.join("examples", "exported-views.dxf")


def block_text(doc, dimension):
    """The text of the dimension's block (its first TEXT or MTEXT), or None."""
    block = doc.blocks.get(dimension.dxf.get("geometry", ""))
    if block is None:
        return None, None
    for e in block:
        if e.dxftype() == "MTEXT":
            return e, e.text
        if e.dxftype() == "TEXT":
            return e, e.dxf.text
    return None, None


def drawn_value(override, text):
    """The part of a block text that the override's "<>" stands for."""
    if override in ("", "<>"):
        return text
    prefix, _, suffix = override.partition("<>")
    start = text.find(prefix)
    end = text.rfind(suffix) if suffix else len(text)
    if start < 0 or end < start + len(prefix):
        return None
    return text[start + len(prefix):end]


def effective(doc, dimension, code, attribute, default):
    pairs = dict(cc.dstyle_pairs(dimension))
    if code in pairs:
        return pairs[code]
    style = doc.dimstyles.get(dimension.dxf.get("dimstyle", "Standard"))
    return style.dxf.get(attribute, default) if style is not None else default


def dimensions(doc):
    return [e for layout in doc.layouts for e in layout if e.dxftype() == "DIMENSION"]


class TextRecorder(Backend):
    """Keeps the texts the drawing frontend draws."""

    def __init__(self):
        super().__init__()
        self.texts = []

    def draw_text(self, text, transform, properties, cap_height):
        self.texts.append(text)

    def draw_point(self, pos, properties):
        pass

    def draw_line(self, start, end, properties):
        pass

    def draw_filled_polygon(self, points, properties):
        pass

    def get_font_measurements(self, cap_height, font=None):
        from ezdxf.tools.fonts import FontMeasurements
        return FontMeasurements(baseline=0, cap_height=cap_height, x_height=cap_height * 0.5,
                                descender_height=cap_height * 0.2)

    def get_text_line_width(self, text, cap_height, font=None):
        return len(text) * cap_height

    def set_background(self, color):
        pass

    def clear(self):
        pass


class BlocksShowTheConversion:
    target = None

    @classmethod
    def setUpClass(cls):
        cls.code, cls.out, cls.transcript, cls.stderr = cc.convert(EXAMPLE, cls.target)
        cls.before, _ = cc.read(EXAMPLE)
        cls.after, _ = cc.read(cls.out) if cls.code == 0 else (None, None)

    def test_block_texts_are_the_overrides_with_the_drawn_values(self):
        self.assertEqual(self.code, 0, self.stderr)
        before = {d.dxf.handle: d for d in dimensions(self.before)}
        after = dimensions(self.after)
        self.assertEqual(len(after), len(before))
        for dimension in after:
            handle = dimension.dxf.handle
            _, text = block_text(self.after, dimension)
            self.assertNotIn("N/A", text, handle)
            old = before[handle]
            shown = drawn_value(old.dxf.get("text", ""), block_text(self.before, old)[1])
            self.assertIsNotNone(shown, handle)
            override = dimension.dxf.get("text", "")
            expected = shown if override in ("", "<>") else override.replace("<>", shown, 1)
            self.assertEqual(text, expected, handle)

    def test_text_colour_and_style_are_the_effective_ones(self):
        for dimension in dimensions(self.after):
            entity, _ = block_text(self.after, dimension)
            colour = effective(self.after, dimension, 178, "dimclrt", 0)
            self.assertEqual(entity.dxf.get("color", 256), colour, dimension.dxf.handle)
            pairs = dict(cc.dstyle_pairs(dimension))
            if 340 in pairs:  # an override names the style by its handle
                style = self.after.entitydb.get(pairs[340]).dxf.name
            else:
                style = effective(self.after, dimension, 340, "dimtxsty", "Standard")
            self.assertEqual(entity.dxf.get("style", "Standard").lower(), style.lower())

    def test_no_drawn_text_holds_a_placeholder(self):
        recorder = TextRecorder()
        Frontend(RenderContext(self.after), recorder).draw_layout(self.after.modelspace(),
                                                                  finalize=True)
        dimension_texts = [t for t in recorder.texts if any(c.isdigit() for c in t)]
        self.assertTrue(dimension_texts)
        for text in recorder.texts:
            self.assertNotIn("N/A", text)


class Mech6Blocks(BlocksShowTheConversion, unittest.TestCase):
    target = "mech6"


class GeniusBlocks(BlocksShowTheConversion, unittest.TestCase):
    target = "genius"


if __name__ == "__main__":
    unittest.main()
