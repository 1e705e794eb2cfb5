#!/usr/bin/python3
"""Writes the fuzz targets' seed corpora from the repository's drawings.

Usage: make_seeds.py OUT_DIR
Makes OUT_DIR/ascii (text drawings, for the reader, round-trip and
conversion targets) and OUT_DIR/binary (binary drawings without their
22-byte sentinel, which the binary target puts in front of every input).

Seeds are kept small, because libFuzzer mutates small inputs far faster: a
drawing over 24 kB is trimmed to its first records per section (whole
tables and header, the first blocks, entities and objects) with every
section, block and POLYLINE sequence still closed.
"""

import io
import os
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
SOURCES = [os.path.join(ROOT, "examples"), os.path.join(ROOT, "tests", "data", "samples"),
           os.path.join(ROOT, "tests", "data", "fuzz-regressions")]
# A binary drawing opens with a 22-byte sentinel ending in these bytes.
SENTINEL_LENGTH = 22
SENTINEL_END = b"Binary DXF\r\n\x1a\x00"
SMALL = 24 * 1024
KEEP = {"BLOCKS": 6, "ENTITIES": 40, "OBJECTS": 30, "CLASSES": 10}
# Records kept of each table (its TABLE and ENDTAB always stay).
KEEP_PER_TABLE = 12


def split_records(lines):
    """Groups (code, value) line pairs into records that start at a 0 tag."""
    records = []
    for i in range(0, len(lines) - 1, 2):
        if lines[i].strip() == b"0" or not records:
            records.append([])
        records[-1].append((lines[i], lines[i + 1]))
    return records


def record_type(record):
    return record[0][1].strip()


def trim(data):
    """The drawing with each big section cut to its first records."""
    ending = b"\r\n" if b"\r\n" in data[:200] else b"\n"
    lines = data.split(ending)
    out, section, kept, in_block = [], None, 0, False
    open_sequence = False
    for record in split_records(lines):
        kind = record_type(record)
        if kind == b"SECTION":
            section = record[1][1].strip().decode("ascii", "replace") if len(record) > 1 else ""
            kept = 0
        elif kind == b"ENDSEC" or kind == b"EOF":
            section = None
        elif section == "TABLES":
            if kind == b"TABLE":
                kept = 0
            elif kind != b"ENDTAB":
                kept += 1
                if kept > KEEP_PER_TABLE:
                    continue
        elif section in KEEP:
            if section == "BLOCKS":
                # Whole blocks: BLOCK ... ENDBLK, the first few of them.
                if kind == b"BLOCK":
                    kept += 1
                    in_block = kept <= KEEP[section]
                keep = in_block
                if kind == b"ENDBLK":
                    in_block = False
                if not keep:
                    continue
            else:
                # A started POLYLINE or INSERT sequence is kept to its SEQEND.
                if kind in (b"VERTEX", b"ATTRIB", b"SEQEND") and open_sequence:
                    if kind == b"SEQEND":
                        open_sequence = False
                    out.extend(record)
                    continue
                kept += 1
                if kept > KEEP[section]:
                    continue
                open_sequence = kind in (b"POLYLINE", b"INSERT")
        out.extend(record)
    return ending.join(line for pair in out for line in pair) + ending


def binary_seeds(out_dir):
    """Small binary drawings written by ezdxf, plus the start of the real one."""
    try:
        import ezdxf
    except ImportError:
        return
    for version in ("R12", "R2000", "R2018"):
        doc = ezdxf.new(version)
        msp = doc.modelspace()
        msp.add_line((0, 0), (10, 5), dxfattribs={"layer": "Kontur"})
        msp.add_text("Ändern", dxfattribs={"height": 2.5})
        msp.add_lwpolyline([(0, 0), (3, 0), (3, 2)]) if version != "R12" else None
        msp.add_polyline2d([(0, 0), (1, 1), (2, 0)])
        msp.add_circle((5, 5), 2)
        stream = io.BytesIO()
        doc.write(stream, fmt="bin")
        write(out_dir, f"ezdxf-{version}.bin", stream.getvalue()[SENTINEL_LENGTH:])


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main(out_dir):
    for source in SOURCES:
        for name in sorted(os.listdir(source)):
            if not name.lower().endswith(".dxf"):
                continue
            with open(os.path.join(source, name), "rb") as f:
                data = f.read()
            if data[:SENTINEL_LENGTH].endswith(SENTINEL_END):
                # The real binary drawing's start: header and tables.
                write(os.path.join(out_dir, "binary"), name, data[SENTINEL_LENGTH:SMALL])
                continue
            if len(data) > SMALL:
                data = trim(data)
            write(os.path.join(out_dir, "ascii"), name, data)
    binary_seeds(os.path.join(out_dir, "binary"))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
