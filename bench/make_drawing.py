#!/usr/bin/python3
"""Writes a large exported drawing for the benchmarks: make_drawing.py N OUT.dxf

The drawing looks like examples/exported-views.dxf, repeated: N entities on
the active layout "Layout1" (plus the few model-space leftovers and the
layout's main viewport of the small skeleton), laid out in cells of sixteen:

    4 LINE outline (0.50)      1 LINE hidden (HIDDEN, 0.35)   1 CIRCLE (0.50)
    1 ARC (0.25)               1 LWPOLYLINE (0.50)            1 POLYLINE + 4 VERTEX + SEQEND
    1 HATCH (ANSI31)           2 DIMENSION with DSTYLE DIMLFAC and a *D block, one "<>/N/A"
    INSERT of 2dCenter1, 2DMittellinie3, 2dTransSymbol2       1 SOLID (4th corner = 1st)

Three cells in four are views at 1:2 (DIMLFAC 2.0), every fourth a detail at
2:1 (DIMLFAC 0.5). A million entities make about 350 MB.

Speed matters more than elegance here. A small skeleton (header, tables,
symbol blocks, layout objects) is made once with ezdxf; the bulk is DXF text
from templates. The text of a cell is the same for every cell of its scale
but for its position, its handles and its dimension numbers, so each cell
kind is turned once into a %-format string plus a list saying what each
placeholder takes; a cell then costs one list comprehension and one
formatting. (Formatting entity by entity took about 60 s per million
entities; this takes 25 s, most of it the formatting itself.) Handles are allotted in strides of 16
per entity (a DIMENSION needs 10: itself, its block record, block, six
contents and the block end), so every section can be written in one pass
without knowing the others.
"""

import io
import os
import sys

import ezdxf

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples"))
import make_example  # noqa: E402  (the example's resources and symbol blocks)

CELL = 16  # entities per cell
HANDLE_STRIDE = 16  # handles per entity
GRID_COLUMNS = 200
CELL_PITCH = 130.0  # paper mm between cells; a 2:1 cell is 100 x 60 plus dimensions
DETAIL_EVERY = 4  # every fourth cell is a 2:1 detail
DIMENSION_KINDS = (10, 11)  # positions of the two dimensions in a cell
DIM_OFFSET = 8.0  # paper distance of a dimension line from its feature
ARROW = 3.0

# What a placeholder takes: the cell's x or y origin, the cell's first
# handle, or the number of the cell's first dimension, plus an offset.
X, Y, HANDLE, DIMNO = range(4)


def main(argv):
    if len(argv) != 3 or not argv[1].isdigit() or int(argv[1]) < 1:
        sys.stderr.write("usage: make_drawing.py N OUT.dxf  (N = number of layout entities)\n")
        return 2
    count, out = int(argv[1]), argv[2]
    skeleton, ids = make_skeleton()
    write_drawing(out, count, skeleton, ids)
    return 0


def make_skeleton():
    """The ezdxf-made frame: everything but the generated entities."""
    ezdxf.options.write_fixed_meta_data_for_testing = True
    doc = ezdxf.new("R2000", units=4)
    make_example.set_header(doc)
    make_example.add_resources(doc)
    make_example.add_symbol_blocks(doc)
    make_example.add_model_space_leftovers(doc.modelspace())
    psp = doc.layouts.get("Layout1")
    psp.page_setup(size=(420, 297), margins=(0, 0, 0, 0), units="mm", scale=(1, 1))
    psp.main_viewport().dxf.layer = "0"
    doc.layouts.set_active_layout("Layout1")
    stream = io.StringIO()
    doc.write(stream)
    ids = {
        "paper": psp.layout_key,  # *Paper_Space block record: owner of layout entities
        "records": doc.block_records.head.dxf.handle,  # BLOCK_RECORD table
    }
    return stream.getvalue(), ids


def write_drawing(out, count, skeleton, ids):
    first = int(header_value(skeleton, "$HANDSEED"), 16)  # the skeleton's next free handle
    text = set_header_value(skeleton, "$HANDSEED", "%X" % (first + HANDLE_STRIDE * count))
    records_at = find_after(text, "  2\nBLOCK_RECORD\n", "  0\nENDTAB\n")
    blocks_at = find_after(text, "  2\nBLOCKS\n", "  0\nENDSEC\n")
    entities_at = find_after(text, "  2\nENTITIES\n", "  0\nENDSEC\n")
    cells = {scale: CellTemplates(scale, ids) for scale in (0.5, 2.0)}
    # The text is ASCII, declared as code page 1252. Latin-1 writes ASCII the
    # same and its codec is several times faster than the cp1252 one.
    assert text.isascii(), "the skeleton must stay ASCII"
    with open(out, "w", encoding="latin-1", newline="\n") as f:
        f.write(text[:records_at])
        write_cells(f, count, first, cells, "records")
        f.write(text[records_at:blocks_at])
        write_cells(f, count, first, cells, "blocks")
        f.write(text[blocks_at:entities_at])
        write_cells(f, count, first, cells, "entities")
        f.write(text[entities_at:])


def write_cells(f, count, first, cells, section):
    """Writes one section's share of every cell; the last cell may be partial."""
    chunk = []
    for cell in range((count + CELL - 1) // CELL):
        entities = min(CELL, count - cell * CELL)
        scale = 2.0 if cell % DETAIL_EVERY == DETAIL_EVERY - 1 else 0.5
        column, row = cell % GRID_COLUMNS, cell // GRID_COLUMNS
        origin = (column * CELL_PITCH, row * CELL_PITCH)
        bases = (origin[0], origin[1], first + cell * CELL * HANDLE_STRIDE, cell * 2 + 1)
        fmt, slots = cells[scale].section(section, entities)
        chunk.append(fmt % tuple([bases[what] + offset for what, offset in slots]))
        if len(chunk) >= 256:
            f.write("".join(chunk))
            chunk.clear()
    f.write("".join(chunk))


def header_span(text, name):
    """Offsets of the value line of header variable `name`."""
    start = text.index("  9\n%s\n" % name)
    start = text.index("\n", text.index("\n", start + 4) + 1) + 1  # past the name and code lines
    return start, text.index("\n", start)


def header_value(text, name):
    start, end = header_span(text, name)
    return text[start:end]


def set_header_value(text, name, value):
    start, end = header_span(text, name)
    return text[:start] + value + text[end:]


def find_after(text, marker, target):
    """Offset of the first `target` after `marker`."""
    return text.index(target, text.index(marker))


def num(value):
    return "%.10g" % value


class Template:
    """DXF text with placeholders for what differs from cell to cell."""

    def __init__(self):
        self.parts = []
        self.slots = []

    def tags(self, *pairs):
        """Fixed tags: (group code, value) pairs."""
        for code, value in pairs:
            self.parts.append(("%3d\n%s\n" % (code, value)).replace("%", "%%"))

    def varying(self, code, what, offset, fmt="%.10g"):
        self.parts.append("%3d\n%s\n" % (code, fmt))
        self.slots.append((what, offset))

    def handle(self, code, offset):
        self.varying(code, HANDLE, offset, "%X")

    def point(self, code, x, y):
        """A point relative to the cell origin (paper mm), with z = 0."""
        self.varying(code, X, x)
        self.varying(code + 10, Y, y)
        self.tags((code + 20, "0.0"))

    def head(self, kind, handle_offset, owner, layer, paper=True):
        self.tags((0, kind))
        self.handle(5, handle_offset)
        if isinstance(owner, str):
            self.tags((330, owner))
        else:
            self.handle(330, owner)
        self.tags((100, "AcDbEntity"))
        if paper:
            self.tags((67, 1))
        self.tags((8, layer))

    def result(self):
        return "".join(self.parts), self.slots


class CellTemplates:
    """The text of one cell at `scale`, per section and per entity."""

    def __init__(self, scale, ids):
        self.scale = scale
        self.paper = ids["paper"]
        self.records_table = ids["records"]
        self.entities = [self.entity(kind) for kind in range(CELL)]
        self.blocks = {k: self.dimension_block(k) for k in DIMENSION_KINDS}
        self.records = {k: self.dimension_record(k) for k in DIMENSION_KINDS}
        self.cache = {}

    def section(self, section, entities):
        """(format, slots) of a section's text for a cell of `entities` entities."""
        key = (section, entities)
        if key not in self.cache:
            if section == "entities":
                parts = self.entities[:entities]
            else:
                table = self.blocks if section == "blocks" else self.records
                parts = [table[k] for k in DIMENSION_KINDS if k < entities]
            self.cache[key] = ("".join(p[0] for p in parts), [s for p in parts for s in p[1]])
        return self.cache[key]

    def p(self, x, y):
        """Paper offset of a part point (x, y) in millimetres."""
        return self.scale * x, self.scale * y

    def dimension_geometry(self, kind):
        """(p1, p2, base point, angle, text, shown value) of a cell's dimension."""
        if kind == DIMENSION_KINDS[0]:  # width, below the plate
            p1, p2 = self.p(0, 0), self.p(50, 0)
            return p1, p2, (p1[0], p1[1] - DIM_OFFSET), 0.0, "<>", 50
        p1, p2 = self.p(50, 0), self.p(50, 30)  # height, right of the plate
        return p1, p2, (p1[0] + DIM_OFFSET, p1[1]), 90.0, "<>/N/A", 30

    def entity(self, kind):
        t = Template()
        h = kind * HANDLE_STRIDE  # the entity's handle offset within the cell
        p = self.p
        if kind < 4:  # outline
            outline = [(0, 0), (50, 0), (50, 30), (0, 30), (0, 0)]
            t.head("LINE", h, self.paper, "0")
            t.tags((370, 50), (100, "AcDbLine"))
            t.point(10, *p(*outline[kind]))
            t.point(11, *p(*outline[kind + 1]))
        elif kind == 4:  # the hole's hidden axis edge
            t.head("LINE", h, self.paper, "0")
            t.tags((6, "HIDDEN"), (370, 35), (100, "AcDbLine"))
            t.point(10, *p(10, 15))
            t.point(11, *p(40, 15))
        elif kind in (5, 6):  # hole and thread
            t.head("CIRCLE" if kind == 5 else "ARC", h, self.paper, "0")
            t.tags((370, 50 if kind == 5 else 25), (100, "AcDbCircle"))
            t.point(10, *p(25, 15))
            t.tags((40, num((5 if kind == 5 else 7) * self.scale)))
            if kind == 6:
                t.tags((100, "AcDbArc"), (50, "0.0"), (51, "270.0"))
        elif kind == 7:  # pocket
            t.head("LWPOLYLINE", h, self.paper, "0")
            t.tags((370, 50), (100, "AcDbPolyline"), (90, 4), (70, 1))
            for x, y in [(5, 5), (15, 5), (15, 10), (5, 10)]:
                t.varying(10, X, p(x, y)[0])
                t.varying(20, Y, p(x, y)[1])
        elif kind == 8:  # slot as a 2D POLYLINE with its VERTEX and SEQEND
            t.head("POLYLINE", h, self.paper, "0")
            t.tags((370, 50), (100, "AcDb2dPolyline"), (66, 1))
            t.tags((10, "0.0"), (20, "0.0"), (30, "0.0"), (70, 1))
            for i, (x, y) in enumerate([(35, 5), (45, 5), (45, 10), (35, 10)]):
                t.head("VERTEX", h + 1 + i, h, "0")
                t.tags((100, "AcDbVertex"), (100, "AcDb2dVertex"))
                t.point(10, *p(x, y))
                t.tags((70, 0))
            t.head("SEQEND", h + 5, h, "0")
        elif kind == 9:  # the pocket hatched
            spacing = 2.2450640303 * self.scale
            t.head("HATCH", h, self.paper, "0")
            t.tags((370, 25), (100, "AcDbHatch"), (10, "0.0"), (20, "0.0"), (30, "0.0"))
            t.tags((210, "0.0"), (220, "0.0"), (230, "1.0"), (2, "ANSI31"), (70, 0), (71, 0))
            t.tags((91, 1), (92, 3), (72, 0), (73, 1), (93, 4))
            for x, y in [(5, 5), (15, 5), (15, 10), (5, 10)]:
                t.varying(10, X, p(x, y)[0])
                t.varying(20, Y, p(x, y)[1])
            t.tags((97, 0), (75, 1), (76, 1), (52, "0.0"), (41, num(self.scale)), (77, 0))
            t.tags((78, 1), (53, "45.0"), (43, "0.0"), (44, "0.0"))
            t.tags((45, num(-spacing)), (46, num(spacing)), (79, 0), (98, 0))
        elif kind in DIMENSION_KINDS:
            (x1, y1), (x2, y2), (bx, by), angle, text, _ = self.dimension_geometry(kind)
            measurement = (x2 - x1) if angle == 0.0 else (y2 - y1)
            mid = ((x1 + x2) / 2, by + 2.75) if angle == 0.0 else (bx - 2.75, (y1 + y2) / 2)
            t.head("DIMENSION", h, self.paper, "0")
            t.tags((370, 25), (100, "AcDbDimension"))
            t.parts.append("  2\n*D%d\n")
            t.slots.append((DIMNO, kind - DIMENSION_KINDS[0]))
            t.tags((3, "Standard"))
            t.point(10, bx, by)
            t.point(11, *mid)
            t.tags((70, 32), (71, 5), (42, num(measurement)), (1, text))
            t.tags((100, "AcDbAlignedDimension"))
            t.point(13, x1, y1)
            t.point(14, x2, y2)
            t.tags((50, num(angle)), (100, "AcDbRotatedDimension"))
            t.tags((1001, "ACAD"), (1000, "DSTYLE"), (1002, "{"), (1070, 144))
            t.tags((1040, num(1.0 / self.scale)), (1002, "}"))  # shows the true size
        elif kind in (12, 13, 14):
            block, layer, at = {
                12: ("2dCenter1", "Mittelpunktmarkierung", (25, 15)),
                13: ("2DMittellinie3", "Mittellinie", (25, 15)),
                14: ("2dTransSymbol2", "0", (50, 30)),
            }[kind]
            t.head("INSERT", h, self.paper, layer)
            t.tags((100, "AcDbBlockReference"), (2, block))
            t.point(10, *p(*at))
        else:  # a section arrow, closed on its first corner as the exporter does
            x, y = p(0, 30)
            t.head("SOLID", h, self.paper, "Schnittansichtslinien")
            t.tags((370, 25), (100, "AcDbTrace"))
            for i, corner in enumerate([(x, y + 2), (x + 3, y + 2), (x + 1.5, y + 6), (x, y + 2)]):
                t.point(10 + i, *corner)
        return t.result()

    def dimension_record(self, kind):
        t = Template()
        t.tags((0, "BLOCK_RECORD"))
        t.handle(5, kind * HANDLE_STRIDE + 1)
        t.tags((330, self.records_table), (100, "AcDbSymbolTableRecord"))
        t.tags((100, "AcDbBlockTableRecord"))
        t.parts.append("  2\n*D%d\n")
        t.slots.append((DIMNO, kind - DIMENSION_KINDS[0]))
        t.tags((340, "0"))
        return t.result()

    def dimension_block(self, kind):
        """The rendered geometry: extension lines, dimension line, arrows, text."""
        t = Template()
        h = kind * HANDLE_STRIDE
        record = h + 1
        (x1, y1), (x2, y2), (bx, by), angle, text, value = self.dimension_geometry(kind)
        t.tags((0, "BLOCK"))
        t.handle(5, h + 2)
        t.handle(330, record)
        t.tags((100, "AcDbEntity"), (8, "0"), (100, "AcDbBlockBegin"))
        for code in (2, 3):  # block name, then its repetition
            t.parts.append("%3d\n*D%%d\n" % code)
            t.slots.append((DIMNO, kind - DIMENSION_KINDS[0]))
            if code == 2:
                t.tags((70, 1), (10, "0.0"), (20, "0.0"), (30, "0.0"))
        t.tags((1, ""))
        if angle == 0.0:
            a, b = (x1, by), (x2, by)
            lines = [((x1, y1 - 1), (x1, by - 1.5)), ((x2, y2 - 1), (x2, by - 1.5)), (a, b)]
            arrows = [[a, (a[0] + ARROW, a[1] + 0.5), (a[0] + ARROW, a[1] - 0.5)],
                      [b, (b[0] - ARROW, b[1] + 0.5), (b[0] - ARROW, b[1] - 0.5)]]  # fmt: skip
            text_at = ((x1 + x2) / 2, by + 2.75)
        else:
            a, b = (bx, y1), (bx, y2)
            lines = [((x1 + 1, y1), (bx + 1.5, y1)), ((x2 + 1, y2), (bx + 1.5, y2)), (a, b)]
            arrows = [[a, (a[0] - 0.5, a[1] + ARROW), (a[0] + 0.5, a[1] + ARROW)],
                      [b, (b[0] - 0.5, b[1] - ARROW), (b[0] + 0.5, b[1] - ARROW)]]  # fmt: skip
            text_at = (bx - 2.75, (y1 + y2) / 2)
        for i, (start, end) in enumerate(lines):
            t.head("LINE", h + 3 + i, record, "0", paper=False)
            t.tags((370, 25), (100, "AcDbLine"))
            t.point(10, *start)
            t.point(11, *end)
        for i, arrow in enumerate(arrows):
            t.head("SOLID", h + 6 + i, record, "0", paper=False)
            t.tags((100, "AcDbTrace"))
            for j, corner in enumerate(arrow + [arrow[-1]]):
                t.point(10 + j, *corner)
        t.head("MTEXT", h + 8, record, "0", paper=False)
        t.tags((100, "AcDbMText"))
        t.point(10, *text_at)
        t.tags((40, "3.5"), (71, 8), (1, text.replace("<>", num(value))))
        t.tags((0, "ENDBLK"))
        t.handle(5, h + 9)
        t.handle(330, record)
        t.tags((100, "AcDbEntity"), (8, "0"), (100, "AcDbBlockEnd"))
        return t.result()


if __name__ == "__main__":
    sys.exit(main(sys.argv))
