#!/usr/bin/python3
"""Writes examples/exported-views.dxf, a drawing as a 3D modeller exports it.

The drawing is what the conversion expects to meet: a DXF R2000 file whose
active layout "Layout1" holds the drawing views, each at its own scale.

- Front view and section A-A of a flange plate at 1:2, detail Z at 2:1. The
  geometry is drawn at paper size; every dimension carries its view's scale
  as a DIMLFAC override (2.0 or 0.5) in its "ACAD" DSTYLE xdata, so that it
  shows the true size.
- Explicit line weights 0.50 (visible edges), 0.35 (hidden edges) and 0.25
  (thin lines) and explicit linetypes on the entities.
- The modeller's layers ("Mittellinie", "Schnittansichtslinien",
  "Detailkreislinien", "Mittelpunktmarkierung", "Skizzierlinie", "0") and its
  symbol blocks ("2dCenter1", "2DMittellinie3", "2dTransSymbol2",
  "2DMittelPunkt4", ...) whose contents carry explicit colours, linetypes and
  line weights.
- "N/A" placeholders in dimension texts, SOLID arrows whose fourth corner
  repeats the first, hatches, LWPOLYLINE, POLYLINE with VERTEX/SEQEND, SPLINE.
- The layout's main VIEWPORT, one view VIEWPORT, and a few entities left
  over in model space.

Run with Debian's python3 (it has python3-ezdxf):
    /usr/bin/python3 examples/make_example.py [OUT.dxf]
The output is deterministic, so the committed file can be checked against a
fresh run.
"""

import math
import os
import sys

import ezdxf
from ezdxf.math import Vec2

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.join(HERE, "exported-views.dxf")

# Line weights in hundredths of a millimetre (DXF group 370).
VISIBLE = 50
HIDDEN = 35
THIN = 25

# Metric linetypes as the modeller writes them (lengths in mm on paper).
LINETYPES = {
    "CENTER": ("Mittellinie ____ _ ____ _", [20.0, 12.0, -3.0, 2.0, -3.0]),
    "HIDDEN": ("Verdeckte Kante __ __ __", [5.5, 4.0, -1.5]),
    "DASHDOT": ("Strichpunktlinie ____ . ____ .", [16.0, 12.0, -2.0, 0.0, -2.0]),
    "PHANTOM": ("Strich-Zweipunktlinie ____ . . ____", [18.0, 12.0, -2.0, 0.0, -2.0, 0.0, -2.0]),
}

# Layers of the export: name -> (colour, linetype).
LAYERS = {
    "Mittellinie": (7, "CENTER"),
    "Schnittansichtslinien": (7, "DASHDOT"),
    "Detailkreislinien": (7, "Continuous"),
    "Mittelpunktmarkierung": (7, "CENTER"),
    "Skizzierlinie": (8, "Continuous"),
}

# Placement of the views on the A3 sheet (paper millimetres).
FRONT = Vec2(110, 195)  # front view, 1:2
SECTION = Vec2(110, 112)  # section A-A, 1:2
DETAIL = Vec2(305, 165)  # detail Z, 2:1
HALF, DOUBLE = 0.5, 2.0
BULGE_90 = math.tan(math.radians(90) / 4)  # bulge of a quarter circle

DIMSTYLE = "Standard"


def main(argv):
    out = argv[1] if len(argv) > 1 else DEFAULT_OUT
    doc = build()
    doc.saveas(out)
    print(out)


def build():
    # Fixed creation dates and GUIDs make the output reproducible.
    ezdxf.options.write_fixed_meta_data_for_testing = True
    doc = ezdxf.new("R2000", units=4)
    set_header(doc)
    add_resources(doc)
    add_symbol_blocks(doc)

    psp = doc.layouts.get("Layout1")
    psp.page_setup(size=(420, 297), margins=(0, 0, 0, 0), units="mm", scale=(1, 1), name="ISO_A3")
    # page_setup makes the main viewport (id 1); the view viewport follows.
    main_viewport = psp.main_viewport()
    main_viewport.dxf.layer = "0"
    main_viewport.dxf.width, main_viewport.dxf.height = 462.0, 326.7  # paper + 10 %
    main_viewport.dxf.view_height = 326.7
    add_model_space_leftovers(doc.modelspace())
    draw_sheet(psp)
    draw_front_view(psp)
    draw_section_view(psp)
    draw_detail_view(psp)
    psp.add_viewport(
        center=(360, 235),
        size=(60, 45),
        view_center_point=(20, 15),
        view_height=60,
        dxfattribs={"layer": "0"},
    )
    doc.layouts.set_active_layout("Layout1")
    return doc


def set_header(doc):
    header = doc.header
    header["$TILEMODE"] = 0  # the layout is current, as the modeller leaves it
    header["$DWGCODEPAGE"] = "ANSI_1252"
    header["$MEASUREMENT"] = 1
    header["$LUNITS"] = 2
    header["$LUPREC"] = 2
    header["$PSLTSCALE"] = 1
    header["$LWDISPLAY"] = 1
    header["$DIMSTYLE"] = DIMSTYLE


def add_resources(doc):
    for name, (description, pattern) in LINETYPES.items():
        doc.linetypes.add(name, pattern, description=description)
    for name, (colour, linetype) in LAYERS.items():
        doc.layers.add(name, color=colour, linetype=linetype)
    style = doc.dimstyles.get(DIMSTYLE)
    # ISO-like dimensioning on paper: 3.5 mm text above the line, filled
    # arrows, two decimals with trailing zeros suppressed.
    style.dxf.dimtxt = 3.5
    style.dxf.dimasz = 3.0
    style.dxf.dimexe = 1.5
    style.dxf.dimexo = 1.0
    style.dxf.dimgap = 1.0
    style.dxf.dimtad = 1
    style.dxf.dimtih = 0
    style.dxf.dimtoh = 0
    style.dxf.dimdec = 2
    style.dxf.dimzin = 8
    style.dxf.dimlfac = 1.0
    style.dxf.dimscale = 1.0
    style.dxf.dimlwd = THIN
    style.dxf.dimlwe = THIN


def lwattr(layer="0", lineweight=VISIBLE, linetype=None, colour=None):
    """DXF attributes with the explicit properties the modeller writes."""
    attribs = {"layer": layer, "lineweight": lineweight}
    if linetype:
        attribs["linetype"] = linetype
    if colour is not None:
        attribs["color"] = colour
    return attribs


def add_symbol_blocks(doc):
    """The modeller's symbol blocks; each instance number gets its own block."""
    centre_mark(doc, "2dCenter1", 4.5)
    centre_mark(doc, "2dCenter5", 4.5)
    centre_line(doc, "2DMittellinie3", (-46, 0), (46, 0))
    centre_line(doc, "2DMittellinie6", (0, -29), (0, 29))
    centre_line(doc, "2DMittellinie7", (0, -8), (0, 8))
    centre_point(doc, "2DMittelPunkt4")
    surface_symbol(doc, "2dTransSymbol2")


def centre_mark(doc, name, half):
    block = doc.blocks.new(name)
    attribs = lwattr(lineweight=THIN, linetype="CENTER", colour=4)
    block.add_line((-half, 0), (half, 0), dxfattribs=attribs)
    block.add_line((0, -half), (0, half), dxfattribs=attribs)


def centre_line(doc, name, start, end):
    block = doc.blocks.new(name)
    block.add_line(start, end, dxfattribs=lwattr(lineweight=THIN, linetype="CENTER", colour=4))


def centre_point(doc, name):
    block = doc.blocks.new(name)
    attribs = lwattr(lineweight=THIN, linetype="CENTER", colour=3)
    block.add_line((-13, 0), (13, 0), dxfattribs=attribs)
    block.add_line((0, -13), (0, 13), dxfattribs=attribs)
    block.add_circle((0, 0), 0.5, dxfattribs=lwattr(lineweight=THIN, linetype="Continuous", colour=3))


def surface_symbol(doc, name):
    """Surface texture tick with a filled marker and its roughness text."""
    block = doc.blocks.new(name)
    attribs = lwattr(lineweight=THIN, linetype="Continuous", colour=2)
    block.add_line((0, 0), (-2.5, 4.33), dxfattribs=attribs)
    block.add_line((0, 0), (5, 8.66), dxfattribs=attribs)
    block.add_line((5, 8.66), (14, 8.66), dxfattribs=attribs)
    # A three-cornered SOLID as the exporter writes it: corner 4 = corner 1.
    block.add_solid([(14, 8.66), (12.5, 9.5), (12.5, 7.8), (14, 8.66)], dxfattribs=attribs)
    text = dict(attribs, height=2.5)
    block.add_text("Ra 3,2", dxfattribs=text).set_placement((5.5, 9.5))


def add_model_space_leftovers(msp):
    """Construction sketch the modeller leaves in model space."""
    attribs = lwattr(layer="Skizzierlinie", lineweight=THIN)
    msp.add_line((0, 0), (40, 0), dxfattribs=attribs)
    msp.add_line((40, 0), (40, 30), dxfattribs=attribs)
    msp.add_circle((20, 15), 8, dxfattribs=attribs)
    msp.add_lwpolyline([(0, 0), (0, 30), (40, 30)], dxfattribs=attribs)
    msp.add_point((20, 15), dxfattribs={"layer": "Skizzierlinie"})
    msp.add_text("Skizze 1", dxfattribs={"layer": "Skizzierlinie", "height": 3.5}).set_placement(
        (0, -8)
    )


def draw_sheet(psp):
    """Drawing frame and title block on layer 0."""
    psp.add_lwpolyline(
        [(10, 10), (410, 10), (410, 287), (10, 287)], close=True, dxfattribs=lwattr()
    )
    thin = lwattr(lineweight=THIN)
    psp.add_lwpolyline([(230, 10), (230, 45), (410, 45)], dxfattribs=thin)
    psp.add_line((230, 27), (410, 27), dxfattribs=thin)
    psp.add_line((320, 10), (320, 27), dxfattribs=thin)
    texts = [
        ("Flanschplatte", (234, 33), 5.0, VISIBLE),
        ("Maßstab 1:2", (234, 16), 3.5, THIN),
        ("Zeichnungsnr. DV-1001", (324, 16), 3.5, THIN),
    ]
    for content, position, height, lineweight in texts:
        attribs = dict(lwattr(lineweight=lineweight), height=height)
        psp.add_text(content, dxfattribs=attribs).set_placement(position)
    note = psp.add_mtext(
        "Allgemeintoleranzen ISO 2768-m\\PKanten gebrochen 0,5×45°",
        dxfattribs={"layer": "0", "char_height": 3.0},
    )
    note.set_location((20, 40))


def at(origin, scale, x, y):
    """Paper point of model point (x, y) in a view at `scale` placed at `origin`."""
    return (origin.x + scale * x, origin.y + scale * y)


def dimension(psp, kind, factor, text="<>", **kwargs):
    """Adds a rendered dimension whose DSTYLE override carries the view's factor."""
    attribs = lwattr(lineweight=THIN)
    override = {"dimlfac": factor}
    add = {
        "linear": psp.add_linear_dim,
        "diameter": psp.add_diameter_dim,
        "radius": psp.add_radius_dim,
    }[kind]
    # ezdxf substitutes the measurement only for a text of exactly "<>", so
    # render the plain measurement and put the override around it afterwards,
    # as a CAD program shows "<>/N/A": the measured value followed by "/N/A".
    dim = add(text="<>", dimstyle=DIMSTYLE, override=override, dxfattribs=attribs, **kwargs)
    dim.render()
    entity = dim.dimension
    if text != "<>":
        entity.dxf.text = text
        for shown in psp.doc.blocks.get(entity.dxf.geometry).query("MTEXT"):
            shown.text = text.replace("<>", shown.text)
    # The measurement (42) as an exporter stores it: paper length, before DIMLFAC.
    measurement = entity.get_measurement()
    if not isinstance(measurement, float):
        measurement = measurement.magnitude
    entity.dxf.actual_measurement = round(measurement, 9)
    return entity


def draw_front_view(psp):
    """Plate 160 x 100 with R10 corners, bore 40, counterbore 50 behind, two M12 holes."""

    def p(x, y):
        return at(FRONT, HALF, x, y)

    # Outline with rounded corners as one LWPOLYLINE: (x, y, start width, end width, bulge).
    r, w, h = 10, 80, 50
    corners = [
        (p(-w + r, -h), 0), (p(w - r, -h), BULGE_90), (p(w, -h + r), 0), (p(w, h - r), BULGE_90),
        (p(w - r, h), 0), (p(-w + r, h), BULGE_90), (p(-w, h - r), 0), (p(-w, -h + r), BULGE_90),
    ]  # fmt: skip
    psp.add_lwpolyline(
        [(x, y, 0, 0, b) for (x, y), b in corners], format="xyseb", close=True, dxfattribs=lwattr()
    )
    psp.add_circle(p(0, 0), 20 * HALF, dxfattribs=lwattr())
    # The counterbore lies behind the front face.
    psp.add_circle(p(0, 0), 25 * HALF, dxfattribs=lwattr(lineweight=HIDDEN, linetype="HIDDEN"))
    for x in (-60, 60):
        psp.add_circle(p(x, 0), 5.1 * HALF, dxfattribs=lwattr())  # M12 core hole
        psp.add_arc(  # thread: three quarters of the major diameter, thin
            p(x, 0), 6 * HALF, 100, 350, dxfattribs=lwattr(lineweight=THIN)
        )
    psp.add_blockref("2dCenter1", p(-60, 0), dxfattribs={"layer": "Mittelpunktmarkierung"})
    psp.add_blockref("2dCenter5", p(60, 0), dxfattribs={"layer": "Mittelpunktmarkierung"})
    psp.add_blockref("2DMittelPunkt4", p(0, 0), dxfattribs={"layer": "Mittelpunktmarkierung"})
    psp.add_blockref("2DMittellinie3", p(0, 0), dxfattribs={"layer": "Mittellinie"})
    psp.add_blockref("2DMittellinie6", p(0, 0), dxfattribs={"layer": "Mittellinie"})
    draw_cutting_plane(psp, p)

    dimension(psp, "linear", 2.0, base=p(0, -64), p1=p(-80, -50), p2=p(80, -50))
    dimension(psp, "linear", 2.0, base=p(-94, 0), p1=p(-80, -50), p2=p(-80, 50), angle=90)
    dimension(psp, "linear", 2.0, "<>/N/A", base=p(0, 64), p1=p(-60, 0), p2=p(60, 0))
    dimension(psp, "diameter", 2.0, "<>/N/A", center=p(0, 0), radius=20 * HALF, angle=45)
    dimension(psp, "radius", 2.0, "N/A/<>", center=p(70, 40), radius=10 * HALF, angle=45)


def draw_cutting_plane(psp, p):
    """Cutting plane A-A through the hole axes, with SOLID arrows."""
    attribs = lwattr(layer="Schnittansichtslinien", lineweight=VISIBLE, linetype="DASHDOT")
    for x0, x1 in ((-94, -82), (82, 94)):
        psp.add_line(p(x0, 0), p(x1, 0), dxfattribs=attribs)
    solid = lwattr(layer="Schnittansichtslinien", lineweight=THIN)
    for x in (-90, 90):
        tip, left, right = p(x, -12), p(x - 2.5, -2), p(x + 2.5, -2)
        psp.add_line(p(x, 0), p(x, -2), dxfattribs=solid)
        # The exporter closes the triangle on its first corner.
        psp.add_solid([left, right, tip, left], dxfattribs=solid)
        text = dict(solid, height=5.0)
        psp.add_text("A", dxfattribs=text).set_placement(p(x + 4, -14))


def draw_section_view(psp):
    """Section A-A (cut through y = 0), 160 wide and 20 thick."""

    def p(x, z):
        return at(SECTION, HALF, x, z)

    # Material between the holes and the bore, with the counterbore step
    # (50 x 5 from the back face) and a 1 x 45 degree chamfer at the front.
    inner = [(-54.9, -10), (-25, -10), (-25, -5), (-20, -5), (-20, 9), (-21, 10), (-54.9, 10)]
    left_end = [(-80, -10), (-65.1, -10), (-65.1, 10), (-80, 10)]
    mirror = [(-x, z) for x, z in reversed(inner)]
    right_end = [(-x, z) for x, z in reversed(left_end)]

    psp.add_lwpolyline([p(*v) for v in left_end], close=True, dxfattribs=lwattr())
    psp.add_lwpolyline([p(*v) for v in right_end], close=True, dxfattribs=lwattr())
    # The regions with the step come out of the exporter as 2D POLYLINEs.
    psp.add_polyline2d([p(*v) for v in inner], close=True, dxfattribs=lwattr())
    psp.add_polyline2d([p(*v) for v in mirror], close=True, dxfattribs=lwattr())
    for x in (-66, -54, 54, 66):  # thread major diameter, thin
        psp.add_line(p(x, -10), p(x, 10), dxfattribs=lwattr(lineweight=THIN))

    for region in (left_end, inner, mirror, right_end):
        hatch = psp.add_hatch(dxfattribs=lwattr(lineweight=THIN))
        hatch.set_pattern_fill("ANSI31", scale=0.5)
        hatch.paths.add_polyline_path([p(*v) for v in region], is_closed=True)

    for x in (-60, 0, 60):
        psp.add_blockref("2DMittellinie7", p(x, 0), dxfattribs={"layer": "Mittellinie"})
    # Detail circle Z around the counterbore step.
    centre = p(-22.5, -5)
    psp.add_circle(centre, 7 * HALF, dxfattribs=lwattr(layer="Detailkreislinien", lineweight=THIN))
    label = lwattr(layer="Detailkreislinien", lineweight=THIN)
    psp.add_text("Z", dxfattribs=dict(label, height=5.0)).set_placement(p(-40, -24))
    title = dict(lwattr(layer="Schnittansichtslinien", lineweight=THIN), height=5.0)
    psp.add_text("A-A", dxfattribs=title).set_placement(p(-6, 24))
    psp.add_blockref("2dTransSymbol2", p(35, 10), dxfattribs={"layer": "0"})

    dimension(psp, "linear", 2.0, base=p(96, 0), p1=p(80, -10), p2=p(80, 10), angle=90)
    dimension(psp, "linear", 2.0, "%%c<>", base=p(0, -30), p1=p(-25, -10), p2=p(25, -10))


def draw_detail_view(psp):
    """Detail Z at 2:1: the counterbore step with its R1 fillet."""

    def p(x, z):  # x, z relative to the detail centre (-22.5, -5) of the part
        return at(DETAIL, DOUBLE, x, z)

    # Material edges around the step (the fillet R1 sits in the inner corner).
    psp.add_line(p(2.5, 0), p(2.5, 6.5), dxfattribs=lwattr())  # bore wall
    psp.add_line(p(-1.5, 0), p(2.5, 0), dxfattribs=lwattr())  # counterbore bottom
    psp.add_line(p(-2.5, -5), p(-2.5, -1), dxfattribs=lwattr())  # counterbore wall
    psp.add_line(p(-6.5, -5), p(-2.5, -5), dxfattribs=lwattr())  # back face
    psp.add_arc(p(-1.5, -1), 1 * DOUBLE, 90, 180, dxfattribs=lwattr())
    # Break boundary of the detail, drawn freehand by the exporter.
    fit = [(-6.5, -5), (-7.2, -2), (-6.0, 1.5), (-6.8, 4.5), (-6.5, 6.5), (-4, 7.2), (-1, 6), (2.5, 6.5)]
    psp.add_cad_spline_control_frame([p(*v) for v in fit], dxfattribs=lwattr(lineweight=THIN))

    boundary = [
        (*p(-6.5, -5), 0), (*p(-2.5, -5), 0), (*p(-2.5, -1), -BULGE_90), (*p(-1.5, 0), 0),
        (*p(2.5, 0), 0), (*p(2.5, 6.5), 0), (*p(-6.5, 6.5), 0),
    ]  # fmt: skip
    hatch = psp.add_hatch(dxfattribs=lwattr(lineweight=THIN))
    hatch.set_pattern_fill("ANSI31", scale=1.0)
    hatch.paths.add_polyline_path(boundary, is_closed=True)

    title = dict(lwattr(layer="Detailkreislinien", lineweight=THIN), height=5.0)
    psp.add_text("Z (2:1)", dxfattribs=title).set_placement(p(-6, 11))

    dimension(psp, "linear", 0.5, "N/A/<>", base=p(-11, 0), p1=p(-2.5, -5), p2=p(-1.5, 0), angle=90)
    dimension(psp, "linear", 0.5, base=p(0, -9), p1=p(-2.5, -5), p2=p(2.5, 0))
    dimension(psp, "radius", 0.5, center=p(-1.5, -1), radius=1 * DOUBLE, angle=135)


if __name__ == "__main__":
    main(sys.argv)
