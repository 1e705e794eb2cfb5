"""Checks on a converted drawing, read with an independent DXF reader."""

import os
import subprocess
import sys
import tempfile

import ezdxf
from ezdxf import recover

DRAVOLIN = os.environ.get("DRAVOLIN", os.path.join("build", "dravolin"))

GENIUS_LAYERS = {  # name: (linetype, colour)
    "1": ("CONTINUOUS", 14), "2": ("CONTINUOUS", 5), "2a": ("Gen7", 120),
    "3": ("Gen3", 6), "3a": ("Gen3a", 6), "4": ("CONTINUOUS", 3), "4a": ("Gen4a", 3),
    "5": ("CONTINUOUS", 3), "6": ("CONTINUOUS", 2), "7": ("Gen7", 4), "7a": ("Gen7a", 4),
    "8": ("CONTINUOUS", 1),
}
MAP_SOURCE_TEXTS = ["AM_%d" % i for i in range(13)] + [
    "Mittellinie", "Detailkreislinien", "Mittelpunktmarkierung", "Schnittansichtslinien"]


def convert(source, target, *options):
    """Runs dravolin convert; returns (exit code, output path, transcript, stderr)."""
    out_dir = tempfile.mkdtemp(prefix="dravolin-e2e-")
    out = os.path.join(out_dir, "out.dxf")
    transcript = os.path.join(out_dir, "transcript.txt")
    proc = subprocess.run(
        [DRAVOLIN, "convert", source, "--target", target, "-o", out, "--transcript", transcript,
         *options], capture_output=True, text=True, timeout=600)
    text = ""
    if os.path.exists(transcript):
        with open(transcript, encoding="utf-8", errors="replace") as f:
            text = f.read()
    return proc.returncode, out, text, proc.stderr


def read(path):
    with open(path, "rb") as f:
        binary = f.read(22).startswith(b"AutoCAD Binary DXF")
    if binary:  # the recovering reader takes ASCII only
        doc = ezdxf.readfile(path)
        return doc, doc.audit()
    doc, auditor = recover.readfile(path)
    return doc, auditor


def audit_errors(doc):
    auditor = doc.audit()
    return sorted({(e.code, e.message.split(" ")[0]) for e in auditor.errors})


def all_entities(doc):
    """Main entities of model space and every layout, and block contents."""
    for layout in doc.layouts:
        yield from layout
    for block in doc.blocks:
        if block.name.lower() in ("*model_space",) or block.name.lower().startswith("*paper_space"):
            continue
        yield from block


def dstyle_pairs(entity):
    """The (dimvar code, value) pairs of the entity's ACAD DSTYLE list."""
    if not entity.has_xdata("ACAD"):
        return []
    tags = list(entity.get_xdata("ACAD"))
    pairs = []
    inside = False
    i = 0
    while i < len(tags):
        t = tags[i]
        if t.code == 1000 and t.value == "DSTYLE":
            inside = False
        elif t.code == 1002 and t.value == "{":
            inside = True
        elif t.code == 1002 and t.value == "}":
            inside = False
        elif inside and t.code == 1070 and i + 1 < len(tags):
            pairs.append((t.value, tags[i + 1].value))
            i += 1
        i += 1
    return pairs


def dimlfac_override(entity):
    value = None
    for code, v in dstyle_pairs(entity):
        if code == 144:
            value = float(v)
    return value


def displayed_values(doc):
    """handle -> measurement x DIMLFAC for every dimension with a DIMLFAC override."""
    values = {}
    for e in doc.entitydb.values():
        if e.dxftype() != "DIMENSION" or e.is_virtual:
            continue
        factor = dimlfac_override(e)
        if factor is None or not e.dxf.hasattr("actual_measurement"):
            continue
        values[e.dxf.handle] = (e.dxf.actual_measurement * factor, e.dxf.actual_measurement, factor)
    return values


def layers_of(doc):
    return {layer.dxf.name.lower(): layer for layer in doc.layers}
