#!/usr/bin/python3
"""The catalogue of bad drawings: each case is the example drawing (or a small
drawing of its own) damaged in one way a real file can be damaged.

    make_bad_inputs.py OUT_DIR     writes every case as OUT_DIR/NAME.dxf

tests/e2e/test_bad_inputs.py imports this module, writes the cases into a
scratch folder and runs the program on each. A case says what must come of
it:
  "refuse"  the file cannot be read: exit 1 and one line FILE:LINE: ...
  "any"     converting or refusing are both fine; neither may crash, hang
            or leave a half-written file
and, optionally, texts that must still be in the output when the program
wrote one (data it does not understand is kept).
"""

import os
import re
import sys
from dataclasses import dataclass, field

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", ".."))
EXAMPLE = os.path.join(ROOT, "examples", "exported-views.dxf")
HERE = os.path.dirname(os.path.abspath(__file__))


@dataclass
class Case:
    name: str
    data: bytes
    expect: str = "any"  # "refuse" or "any"
    keep: list = field(default_factory=list)  # byte strings the output must still hold


class Tags:
    """A drawing as a list of [code text, value] pairs (code page 1252, LF)."""

    def __init__(self, data):
        lines = data.decode("cp1252").split("\n")
        self.pairs = [[lines[i], lines[i + 1]] for i in range(0, len(lines) - 1, 2)]

    def copy(self):
        other = Tags.__new__(Tags)
        other.pairs = [list(pair) for pair in self.pairs]
        return other

    def bytes(self):
        return "".join(f"{c}\n{v}\n" for c, v in self.pairs).encode("cp1252")

    def code(self, i):
        return int(self.pairs[i][0])

    def records(self, kind, section=None):
        """Indexes of the 0 tags of records of a type (in a section)."""
        found, current = [], None
        for i, (c, v) in enumerate(self.pairs):
            if c.strip() != "0":
                continue
            if v == "SECTION":
                current = self.pairs[i + 1][1]
            elif v == kind and (section is None or section == current):
                found.append(i)
        return found

    def section_start(self, name):
        for i, (c, v) in enumerate(self.pairs):
            if c.strip() == "0" and v == "SECTION" and self.pairs[i + 1][1] == name:
                return i
        raise KeyError(name)

    def record_end(self, start):
        i = start + 1
        while i < len(self.pairs) and self.pairs[i][0].strip() != "0":
            i += 1
        return i

    def find(self, start, code):
        """Index of the first tag with that code in the record at start."""
        for i in range(start + 1, self.record_end(start)):
            if self.code(i) == code:
                return i
        raise KeyError(code)

    def set(self, start, code, value):
        self.pairs[self.find(start, code)][1] = value
        return self

    def insert(self, at, pairs):
        self.pairs[at:at] = [list(p) for p in pairs]
        return self

    def remove_record(self, start):
        del self.pairs[start:self.record_end(start)]
        return self


def example():
    with open(EXAMPLE, "rb") as f:
        return Tags(f.read())


def lines_of(text):
    """A small drawing written as "CODE VALUE" lines."""
    pairs = []
    for line in text.strip().split("\n"):
        code, _, value = line.strip().partition(" ")
        pairs.append(f"{int(code):>3}\n{value}\n")
    return "".join(pairs).encode("cp1252")


def truncations():
    """The example cut at every section boundary, and inside a value line."""
    data = example().bytes()
    cases = []
    starts = [i for i in range(len(data)) if data.startswith(b"  0\nSECTION\n", i)]
    for n, at in enumerate(starts):
        if at > 0:  # (an empty file is a case of its own elsewhere)
            cases.append(Case(f"truncated-before-section-{n}", data[:at], "refuse"))
        cases.append(Case(f"truncated-in-section-head-{n}", data[:at + 16], "refuse"))
    ends = [i + len(b"  0\nENDSEC\n") for i in range(len(data))
            if data.startswith(b"  0\nENDSEC\n", i)]
    for n, at in enumerate(ends):
        cases.append(Case(f"truncated-after-endsec-{n}", data[:at], "refuse"))
    eof = data.rindex(b"  0\nEOF")
    cases.append(Case("truncated-before-eof", data[:eof], "refuse"))
    cases.append(Case("truncated-in-eof", data[:eof + 6], "any"))
    cases.append(Case("truncated-mid-entity", data[:len(data) // 2 + 3], "refuse"))
    return cases


def handle_cases():
    cases = []
    t = example()
    lines = t.records("LINE", "ENTITIES")
    first = t.pairs[t.find(lines[0], 5)][1]
    t.set(lines[1], 5, first)
    cases.append(Case("duplicate-entity-handles", t.bytes()))

    t = example()
    layer = t.records("LAYER", "TABLES")[1]
    t.set(t.records("CIRCLE", "ENTITIES")[0], 5, t.pairs[t.find(layer, 5)][1])
    cases.append(Case("entity-handle-of-a-layer", t.bytes()))

    t = example()
    for start in sorted(t.records("LINE", "ENTITIES") + t.records("TEXT", "ENTITIES"), reverse=True):
        del t.pairs[t.find(start, 5)]
    cases.append(Case("missing-entity-handles", t.bytes()))

    t = example()
    for n, start in enumerate(t.records("CIRCLE", "ENTITIES")):
        t.set(start, 5, ["ZZZ", "", "-1", "123456789ABCDEF01", " 7F ", "0"][n % 6])
    cases.append(Case("malformed-handles", t.bytes()))

    t = example()
    i = next(i for i, (c, v) in enumerate(t.pairs) if v == "$HANDSEED")
    t.pairs[i + 1][1] = "FFFFFFFFFFFFFFFF"
    cases.append(Case("handseed-at-the-top", t.bytes()))

    t = example()
    for start in t.records("TEXT", "ENTITIES")[:3]:
        t.set(start, 330, "FFFFF")
    insert = t.records("INSERT", "ENTITIES")[0]
    t.set(insert, 2, "NO_SUCH_BLOCK")
    cases.append(Case("handles-that-point-nowhere", t.bytes()))

    t = example()
    for start in t.records("LINE", "ENTITIES") + t.records("ARC", "ENTITIES"):
        t.set(start, 330, "ABCDE")
    cases.append(Case("entities-owned-by-unknown-records", t.bytes()))
    return cases


def structure_cases():
    cases = []
    t = example()
    t.remove_record(t.records("ENDBLK", "BLOCKS")[3])
    cases.append(Case("block-without-endblk", t.bytes(), "refuse"))

    t = example()
    t.remove_record(t.records("ENDBLK", "BLOCKS")[-1])
    cases.append(Case("last-block-without-endblk", t.bytes(), "refuse"))

    t = example()
    endblk = t.records("ENDBLK", "BLOCKS")[2]
    t.insert(t.record_end(endblk), [["  0", "ENDBLK"], ["  5", "FFF0"], ["  8", "0"]])
    cases.append(Case("endblk-outside-a-block", t.bytes(), "refuse"))

    t = example()
    line = t.records("LINE", "ENTITIES")[0]
    t.insert(line, [["  0", "ENDBLK"], ["  5", "FFF0"], ["  8", "0"]])
    cases.append(Case("endblk-among-the-entities", t.bytes()))

    t = example()
    t.remove_record(t.records("SEQEND", "ENTITIES")[0])
    cases.append(Case("polyline-without-seqend", t.bytes()))

    t = example()
    end = t.records("ENDSEC", "ENTITIES")[0]
    t.insert(end, [["  0", "POLYLINE"], ["  5", "FFF1"], ["  8", "0"], [" 66", "1"],
                   [" 70", "0"], ["  0", "VERTEX"], ["  5", "FFF2"], ["  8", "0"],
                   [" 10", "1.0"], [" 20", "2.0"]])
    cases.append(Case("polyline-without-seqend-at-section-end", t.bytes()))

    t = example()
    t.insert(t.records("LINE", "ENTITIES")[0], [["  0", "SEQEND"], ["  5", "FFF3"], ["  8", "0"],
                                                ["  0", "VERTEX"], ["  5", "FFF4"], ["  8", "0"],
                                                [" 10", "1.0"], [" 20", "2.0"]])
    cases.append(Case("seqend-and-vertex-without-polyline", t.bytes()))

    t = example()
    entities = t.section_start("ENTITIES")
    section = t.pairs[entities:t.records("ENDSEC", "ENTITIES")[0] + 1]
    t.insert(t.records("ENDSEC", "ENTITIES")[0] + 1, section)
    cases.append(Case("two-entities-sections", t.bytes(), "refuse"))

    cases.append(Case("only-eof", lines_of("0 EOF"), "any"))
    cases.append(Case("empty-sections", lines_of("""
        0 SECTION
        2 HEADER
        0 ENDSEC
        0 SECTION
        2 ENTITIES
        0 ENDSEC
        0 EOF"""), "any"))
    cases.append(Case("unknown-section", lines_of("""
        0 SECTION
        2 NOT_A_SECTION
        1 UNKNOWN-SECTION-MARKER
        0 ENDSEC
        0 EOF"""), "any", [b"UNKNOWN-SECTION-MARKER"]))
    return cases


def count_cases():
    cases = []
    for name, value in [("2-31", "2147483648"), ("max", "2147483647"), ("negative", "-1"),
                        ("huge", "99999999999999999999")]:
        t = example()
        t.set(t.records("LWPOLYLINE", "ENTITIES")[0], 90, value)
        # 20 digits are no 64-bit number: refused on load.
        expect = "refuse" if name == "huge" else "any"
        cases.append(Case(f"lwpolyline-vertex-count-{name}", t.bytes(), expect))

        t = example()
        hatch = t.records("HATCH", "ENTITIES")[0]
        t.set(hatch, 91, value)
        cases.append(Case(f"hatch-path-count-{name}", t.bytes(), expect))

        t = example()
        hatch = t.records("HATCH", "ENTITIES")[1]
        for code in (93, 92, 98):
            try:
                t.set(hatch, code, value)
            except KeyError:
                pass
        cases.append(Case(f"hatch-edge-count-{name}", t.bytes(), expect))

    t = example()
    for start in t.records("LAYER", "TABLES"):
        t.set(start, 70, "-1")
    t.set(t.records("TABLE", "TABLES")[0], 70, "2147483648")
    cases.append(Case("table-counts-and-flags-out-of-range", t.bytes()))
    return cases


def big_line_cases():
    cases = []
    ten_mb = "x" * (10 << 20)
    t = example()
    t.set(t.records("TEXT", "ENTITIES")[0], 1, ten_mb)
    cases.append(Case("ten-mb-text-value", t.bytes(), "any"))

    t = example()
    t.insert(t.records("LINE", "ENTITIES")[0], [["999", ten_mb]])
    cases.append(Case("ten-mb-comment", t.bytes(), "any"))

    data = example().bytes()
    cases.append(Case("ten-mb-code-line", data[:data.index(b"  0\nLINE")] + b"1" * (10 << 20)
                      + b"\n", "refuse"))
    cases.append(Case("ten-mb-without-line-end", b"  0\nSECTION\n  2\nENTITIES\n  0\nTEXT\n  1\n"
                      + b"y" * (10 << 20), "refuse"))
    return cases


def nesting_cases():
    """Deep and cyclic block nesting: extents and scaling walk into blocks."""
    cases = []

    def with_blocks(blocks, inserted):
        t = example()
        endsec = t.records("ENDSEC", "BLOCKS")[0]
        pairs = []
        for n, (name, inner) in enumerate(blocks):
            pairs += [["  0", "BLOCK"], ["  5", "%X" % (0xA000 + 2 * n)], ["  8", "0"],
                      ["  2", name], [" 70", "0"], [" 10", "0.0"], [" 20", "0.0"],
                      [" 30", "0.0"], ["  3", name]]
            for k, child in enumerate(inner):
                pairs += [["  0", "INSERT"], ["  5", "%X" % (0xC0000 + 16 * n + k)],
                          ["  8", "0"], ["  2", child], [" 10", "1.0"], [" 20", "1.0"],
                          [" 30", "0.0"]]
            pairs += [["  0", "LINE"], ["  5", "%X" % (0x80000 + n)], ["  8", "0"],
                      [" 10", "0.0"], [" 20", "0.0"], [" 30", "0.0"], [" 11", "1.0"],
                      [" 21", "1.0"], [" 31", "0.0"]]
            pairs += [["  0", "ENDBLK"], ["  5", "%X" % (0xA001 + 2 * n)], ["  8", "0"]]
        t.insert(endsec, pairs)
        # Beside a line of the layout, whose views the conversion keeps.
        line = next(start for start in t.records("LINE", "ENTITIES")
                    if [" 67", "1"] in t.pairs[start:t.record_end(start)])
        layer_tags = t.pairs[line:t.record_end(line)]
        space = [p for p in layer_tags if p[0].strip() in ("330", "67", "8")]
        t.insert(line, [["  0", "INSERT"], ["  5", "FFFF0"], *space, ["100", "AcDbBlockReference"],
                        ["  2", inserted], [" 10", "5.0"], [" 20", "5.0"], [" 30", "0.0"]])
        return t.bytes()

    depth = 3000
    deep = [(f"DEEP{n}", [f"DEEP{n + 1}"] if n + 1 < depth else []) for n in range(depth)]
    cases.append(Case("deep-block-nesting", with_blocks(deep, "DEEP0")))
    cases.append(Case("cyclic-block-nesting",
                      with_blocks([("CYCLE_A", ["CYCLE_B"]), ("CYCLE_B", ["CYCLE_A"])],
                                  "CYCLE_A")))
    cases.append(Case("self-inserting-block", with_blocks([("SELF", ["SELF"])], "SELF")))
    # Each level inserts the next twice: 2^40 paths through 40 blocks.
    fan = [(f"FAN{n}", [f"FAN{n + 1}", f"FAN{n + 1}"] if n < 39 else []) for n in range(40)]
    cases.append(Case("exponential-block-fan-out", with_blocks(fan, "FAN0")))
    return cases


def value_cases():
    cases = []
    # A number that does not read is refused on load: it would be left out
    # of every move and scale.
    for name, value in [("nan", "nan"), ("inf", "inf"), ("minus-inf", "-inf"),
                        ("overflow", "1e999"), ("windows-nan", "1.#QNAN"), ("huge", "1e308")]:
        t = example()
        line = t.records("LINE", "ENTITIES")[0]
        t.set(line, 10, value).set(line, 21, value)
        circle = t.records("CIRCLE", "ENTITIES")[0]
        t.set(circle, 40, value)
        insert = t.records("INSERT", "ENTITIES")[0]
        try:
            t.set(insert, 41, value)
        except KeyError:
            t.insert(t.find(insert, 10), [[" 41", value]])
        text = t.records("TEXT", "ENTITIES")[0]
        t.set(text, 40, value)
        cases.append(Case(f"coordinates-{name}", t.bytes(), "any" if name == "huge" else "refuse"))

    # The reference factor itself not a number.
    t = example()
    data = t.bytes().replace(b"1040\n", b"1040\nnan\n1040\n", 1)
    cases.append(Case("dimlfac-nan", data, "refuse"))

    # Texts that are no number where DXF fixes one, in each section.
    for n, (kind, section, code, value) in enumerate([
            ("LINE", "ENTITIES", 10, "abc"), ("CIRCLE", "ENTITIES", 40, "12.0abc"),
            ("LAYER", "TABLES", 70, "1,5"), ("BLOCK", "BLOCKS", 10, "0x1p3"),
            ("LAYOUT", "OBJECTS", 40, ""), ("DIMSTYLE", "TABLES", 40, "1e309"),
            ("LWPOLYLINE", "ENTITIES", 90, "3.0")]):
        t = example()
        t.set(t.records(kind, section)[0], code, value)
        cases.append(Case(f"not-a-number-{n}-{kind.lower()}-{code}", t.bytes(), "refuse"))

    t = example()
    for start in t.records("LINE", "ENTITIES")[:4]:
        t.set(start, 8, "")
    layer = t.records("LAYER", "TABLES")[-1]
    t.set(layer, 2, "")
    cases.append(Case("empty-layer-names", t.bytes()))

    t = example()
    t.set(t.records("LINE", "ENTITIES")[0], 8, "Ä\x7f|<>")
    cases.append(Case("odd-layer-name", t.bytes()))

    t = example()
    t.insert(t.records("LINE", "ENTITIES")[0], [
        ["  0", "SOMETHING_UNKNOWN"], ["  5", "FFFA0"], ["330", "1B"], ["100", "AcDbEntity"],
        [" 67", "1"], ["  8", "0"], ["100", "AcDbSomethingUnknown"], ["  1", "UNKNOWN-DATA-MARKER"],
        ["102", "{ODD_GROUP"], ["1071", "-2147483648"], ["310", "ABC"], [" -5", "{x"],
        ["999", "a comment inside"], [" 90", "2147483648"], [" 10", "1e-300"], [" 20", "1e300"],
        ["1001", "SOME_APP"], ["1000", "UNKNOWN-XDATA-MARKER"], ["1004", "0F"],
        ["1071", "99999999999"]])
    cases.append(Case("unknown-entity-type", t.bytes(), "any",
                      [b"UNKNOWN-DATA-MARKER", b"UNKNOWN-XDATA-MARKER"]))

    t = example()
    i = next(i for i, (c, v) in enumerate(t.pairs) if v == "$ACADVER")
    t.pairs[i + 1][1] = "AC1032"
    data = t.bytes().replace(b"Bema\xdfung", b"Bema\xdf\xff\xfeung")
    cases.append(Case("invalid-utf8-in-a-utf8-drawing", data))
    return cases


def with_dimlfac(value):
    """The example with every DIMLFAC override set to value."""
    return re.sub(rb"(1070\n *144\n1040\n)[^\n]+", lambda m: m.group(1) + value,
                  example().bytes())


def layout_records(t, kind="LINE"):
    """Starts of the records of a type on the layout (paper space, 67 1)."""
    return [start for start in t.records(kind, "ENTITIES")
            if [" 67", "1"] in t.pairs[start:t.record_end(start)]]


def conversion_cases():
    """Drawings that read, but cannot convert soundly as they are."""
    cases = []
    for name, value in [("negative", b"-2.0"), ("zero", b"0.0"), ("subnormal", b"1e-310"),
                        ("tiny", b"1e-300"), ("huge", b"1e300"), ("inf", b"inf")]:
        cases.append(Case(f"dimlfac-{name}", with_dimlfac(value)))

    # One coordinate of a layout line far away: the cut's base point with it.
    t = example()
    t.set(layout_records(t)[0], 10, "-1e20")
    cases.append(Case("outlying-coordinate", t.bytes()))

    # Three layout texts on a frozen layer (texts keep their layer through
    # the conversion): the selection of all skips them.
    t = example()
    layer = t.records("LAYER", "TABLES")[-1]
    record = [list(p) for p in t.pairs[layer:t.record_end(layer)]]
    for pair in record:
        code = pair[0].strip()
        if code == "2":
            pair[1] = "Hidden"
        elif code == "5":
            pair[1] = "FFE01"
        elif code == "70":
            pair[1] = "1"
    t.insert(t.record_end(layer), record)
    for start in [r for r in layout_records(t, "TEXT") if t.pairs[t.find(r, 8)][1] == "0"][:3]:
        t.set(start, 8, "Hidden")
    # The new layer's handle stays below the handle seed.
    i = next(i for i, (c, v) in enumerate(t.pairs) if v == "$HANDSEED")
    t.pairs[i + 1][1] = "FFE02"
    cases.append(Case("frozen-layer-on-the-layout", t.bytes()))

    # A dimension without its measurement and one of its points.
    t = example()
    dimension = t.records("DIMENSION", "ENTITIES")[0]
    end = t.record_end(dimension)
    t.pairs[dimension:end] = [p for p in t.pairs[dimension:end]
                              if p[0].strip() not in ("42", "13", "23", "33")]
    cases.append(Case("dimension-without-a-point", t.bytes()))
    return cases


def form_cases():
    """Forms real files take: a byte-order mark, CR-only line ends, groups
    left open."""
    cases = []
    data = example().bytes()
    cases.append(Case("utf8-byte-order-mark", b"\xef\xbb\xbf" + data, "any"))
    cases.append(Case("cr-only-line-ends", data.replace(b"\n", b"\r"), "any"))
    cases.append(Case("cr-only-line-ends-with-a-byte-order-mark",
                      b"\xef\xbb\xbf" + data.replace(b"\n", b"\r"), "any"))
    t = example()
    for start in t.records("LINE", "ENTITIES")[:20]:
        t.insert(t.find(start, 8), [["102", "{X"]] * 500)
    cases.append(Case("unclosed-102-groups", t.bytes(), "any"))
    return cases


def all_cases():
    return (truncations() + handle_cases() + structure_cases() + count_cases()
            + big_line_cases() + nesting_cases() + value_cases() + conversion_cases()
            + form_cases())


def write_all(folder):
    """Writes every case; returns [(Case, path)]."""
    os.makedirs(folder, exist_ok=True)
    written = []
    for case in all_cases():
        path = os.path.join(folder, case.name + ".dxf")
        with open(path, "wb") as f:
            f.write(case.data)
        written.append((case, path))
    return written


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    for case, path in write_all(sys.argv[1]):
        print(f"{case.expect:6} {path}")
