"""Shared helpers of the end-to-end tests.

The tests run the real `dravolin` program and read what it writes with an
independent DXF reader, Debian's python3-ezdxf; run them with /usr/bin/python3.

- Finding and running the program: `dravolin_binary`, `run_dravolin`.
- Reading a drawing and judging it: `read_drawing` (ezdxf plus its audit),
  `new_audit_problems` (problems the output has and the input had not).
- What a conversion test compares before and after: `layer_names`,
  `has_layer`, `entity_counts_by_layer`, `entity_counts_by_type`,
  `displayed_dimension_values`, `changed_dimension_values`.
"""

import collections
import os
import subprocess
import tempfile

import ezdxf
from ezdxf import recover
from ezdxf.lldxf.const import DXFError

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SAMPLES_DIR = os.path.join(ROOT, "tests", "data", "samples")
EXAMPLES_DIR = os.path.join(ROOT, "examples")
TEMPLATES_DIR = os.path.join(ROOT, "templates")
PYTHON = "/usr/bin/python3"  # Debian's python3, which has python3-ezdxf

# A binary DXF file opens with a 22-byte sentinel ending in these bytes.
BINARY_DXF_SENTINEL_LENGTH = 22
BINARY_DXF_SENTINEL_END = b"Binary DXF\r\n\x1a\x00"


# -- the program ---------------------------------------------------------------


def dravolin_binary():
    """Path of the program under test: $DRAVOLIN (set by ctest), else build/dravolin."""
    path = os.environ.get("DRAVOLIN") or os.path.join(ROOT, "build", "dravolin")
    if not os.access(path, os.X_OK):
        raise AssertionError(f"dravolin is not built: {path} (set DRAVOLIN or run scripts/test)")
    return path


def run_dravolin(*args, timeout=600, expect_status=0):
    """Runs dravolin with `args`; returns the CompletedProcess (bytes output).

    Fails the calling test with the program's output when the exit status is
    not `expect_status` (None accepts any status).
    """
    command = [dravolin_binary(), *map(str, args)]
    result = subprocess.run(command, capture_output=True, timeout=timeout, stdin=subprocess.DEVNULL)
    if expect_status is not None and result.returncode != expect_status:
        raise AssertionError(
            "%s exited with %d, expected %d\n--- stdout (end)\n%s\n--- stderr\n%s"
            % (
                " ".join(command),
                result.returncode,
                expect_status,
                result.stdout[-3000:].decode("utf-8", "replace"),
                result.stderr[-3000:].decode("utf-8", "replace"),
            )
        )
    return result


def scratch_dir(test_case):
    """A temporary folder removed when `test_case` ends."""
    folder = tempfile.TemporaryDirectory(prefix="dravolin-e2e-")
    test_case.addCleanup(folder.cleanup)
    return folder.name


def is_binary_dxf(path):
    with open(path, "rb") as f:
        return f.read(BINARY_DXF_SENTINEL_LENGTH).endswith(BINARY_DXF_SENTINEL_END)


def sample_files():
    """The real sample drawings copied into tests/data/samples, sorted."""
    if not os.path.isdir(SAMPLES_DIR):
        return []
    return sorted(
        os.path.join(SAMPLES_DIR, name)
        for name in os.listdir(SAMPLES_DIR)
        if name.lower().endswith(".dxf")
    )


# -- reading and judging drawings ------------------------------------------------


class Drawing:
    """An ezdxf document with its audit. `recovered` tells that the strict
    reader refused the file and ezdxf's recover mode read it instead."""

    def __init__(self, path, doc, auditor, recovered):
        self.path = path
        self.doc = doc
        self.auditor = auditor
        self.recovered = recovered

    def problems(self):
        """Audit findings by kind: Counter of ("error"|"fix", code)."""
        found = collections.Counter(("error", int(e.code)) for e in self.auditor.errors)
        found.update(("fix", int(e.code)) for e in self.auditor.fixes)
        return found

    def describe_problems(self):
        lines = [f"error {int(e.code)}: {e.message}" for e in self.auditor.errors]
        lines += [f"fix {int(e.code)}: {e.message}" for e in self.auditor.fixes]
        return "\n".join(lines)


def read_drawing(path):
    """Reads `path` with ezdxf and audits it.

    Files the strict reader refuses (some real files carry values it does not
    accept) are read in recover mode, as a CAD program would open them.
    """
    try:
        doc = ezdxf.readfile(path)
        return Drawing(path, doc, doc.audit(), recovered=False)
    except (DXFError, UnicodeDecodeError):
        doc, auditor = recover.readfile(path)
        return Drawing(path, doc, auditor, recovered=True)


def new_audit_problems(before, after):
    """Audit findings of `after` beyond those of `before`, as text ("" if none)."""
    extra = after.problems() - before.problems()
    if not extra:
        return ""
    kinds = ", ".join(f"{kind} {code} x{n}" for (kind, code), n in sorted(extra.items()))
    return f"{after.path}: new audit findings: {kinds}\n{after.describe_problems()}"


# -- what conversions are checked by -----------------------------------------------


def all_layout_entities(doc):
    """Entities of model space and of every paper-space layout (not block contents)."""
    for layout in doc.layouts:
        yield from layout


def layer_names(doc):
    return [layer.dxf.name for layer in doc.layers]


def has_layer(doc, name):
    """Layer names compare without regard to case, as in the host."""
    return name.lower() in (n.lower() for n in layer_names(doc))


def layer_of(entity):
    """The entity's layer; entity types ezdxf only stores (ACAD_TABLE, ...) count as "0"."""
    if not entity.dxf.is_supported("layer"):
        return "0"
    return entity.dxf.get("layer", "0")


def entity_counts_by_layer(doc):
    """Counter: layer name (as the layer table spells it) -> number of entities."""
    spelling = {n.lower(): n for n in layer_names(doc)}
    counts = collections.Counter()
    for entity in all_layout_entities(doc):
        layer = layer_of(entity)
        counts[spelling.get(layer.lower(), layer)] += 1
    return counts


def entity_counts_by_type(doc):
    return collections.Counter(entity.dxftype() for entity in all_layout_entities(doc))


def dimlfac_override(dimension):
    """DIMLFAC from the dimension's "ACAD" DSTYLE xdata (1070 144, 1040 value), or None."""
    if not dimension.has_xdata("ACAD"):
        return None
    tags = list(dimension.get_xdata("ACAD"))
    inside = False
    factor = None
    for i, tag in enumerate(tags):
        if tag.code == 1000 and tag.value == "DSTYLE":
            inside = False
        elif tag.code == 1002 and tag.value == "{":
            inside = True
        elif tag.code == 1002 and tag.value == "}":
            inside = False
        elif inside and tag.code == 1070 and tag.value == 144 and i + 1 < len(tags):
            if tags[i + 1].code == 1040:
                factor = float(tags[i + 1].value)
    return factor


ANGULAR_TYPES = (2, 5)  # dimension types whose value DIMLFAC does not scale


def displayed_dimension_value(doc, dimension):
    """The value a dimension shows: its measurement (42, else computed from its
    definition points) times DIMLFAC (the DSTYLE override, else the dimension
    style's, else 1). Angular dimensions are not scaled.

    Some writers store -1 in 42 for "not measured"; a negative measurement is
    taken from the definition points too."""
    measurement = dimension.dxf.get("actual_measurement")
    if measurement is None or measurement < 0:
        measured = dimension.get_measurement()
        measurement = measured if isinstance(measured, float) else measured.magnitude
    if dimension.dimtype in ANGULAR_TYPES:
        return measurement
    factor = dimlfac_override(dimension)
    if factor is None:
        style = doc.dimstyles.get(dimension.dxf.get("dimstyle", "Standard"))
        factor = style.dxf.get("dimlfac", 1.0) if style is not None else 1.0
    return measurement * factor


def displayed_dimension_values(doc):
    """dict: handle -> displayed value of every DIMENSION in model space and layouts."""
    return {
        entity.dxf.handle: displayed_dimension_value(doc, entity)
        for entity in all_layout_entities(doc)
        if entity.dxftype() == "DIMENSION"
    }


def changed_dimension_values(before, after, relative=1e-9):
    """[(handle, before, after)] for dimensions whose displayed value changed;
    a dimension missing afterwards shows as after=None."""
    changed = []
    for handle, old in sorted(before.items()):
        new = after.get(handle)
        if new is None or abs(new - old) > relative * max(abs(old), abs(new), 1e-12):
            changed.append((handle, old, new))
    return changed
