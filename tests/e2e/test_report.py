#!/usr/bin/python3
"""dravolin convert --report: the JSON report parses and says what changed,
the HTML report is one self-contained page whose before and after pictures
show up in a real browser (headless Chromium, screenshot read back)."""

import html.parser
import json
import os
import shutil
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ET
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
DRAVOLIN = os.path.abspath(os.environ.get("DRAVOLIN", REPO / "build" / "dravolin"))
EXAMPLE = REPO / "examples" / "exported-views.dxf"
SVG = "{http://www.w3.org/2000/svg}"
# The border colour of the pictures in the report's style (#999).
FRAME = (0x99, 0x99, 0x99)


def dravolin(*args):
    registry = os.path.join(tempfile.gettempdir(), "dravolin-e2e-registry.txt")
    env = dict(os.environ, DRAVOLIN_REGISTRY=registry)
    return subprocess.run([DRAVOLIN, *map(str, args)], capture_output=True, timeout=600,
                          env=env, stdin=subprocess.DEVNULL)


def report_supported():
    result = dravolin("convert", "--help")
    return b"--report" in result.stdout + result.stderr


class Tags(html.parser.HTMLParser):
    """Counts start tags and collects the attributes that could fetch something."""

    def __init__(self):
        super().__init__()
        self.counts = {}
        self.references = []

    def handle_starttag(self, tag, attrs):
        self.counts[tag] = self.counts.get(tag, 0) + 1
        for name, value in attrs:
            if name in ("src", "href") and value and not value.startswith("#"):
                self.references.append(value)


class SummaryRows(html.parser.HTMLParser):
    """The rows of the summary table as lists of cell texts."""

    def __init__(self):
        super().__init__()
        self.rows = []
        self.depth = 0  # inside <table class="summary">
        self.cell = None

    def handle_starttag(self, tag, attrs):
        if tag == "table" and ("class", "summary") in attrs:
            self.depth = 1
        elif self.depth and tag == "tr":
            self.rows.append([])
        elif self.depth and tag == "td":
            self.cell = ""

    def handle_endtag(self, tag):
        if tag == "table":
            self.depth = 0
        elif tag == "td" and self.cell is not None:
            self.rows[-1].append(self.cell.strip())
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data


def chromium_command(test, profile_dir):
    chromium = shutil.which("chromium")
    if not chromium:
        test.skipTest("chromium is not installed (scripts/lib/setup.sh installs it)")
    return [chromium, "--headless", "--disable-gpu", "--no-sandbox",
            "--user-data-dir=" + os.path.join(profile_dir, "profile")]


def picture_boxes(image):
    """The frames of the pictures in a screenshot: (left, top, right, bottom)
    of each rectangle drawn in the frame colour, found by its long top edge."""
    width, height = image.size
    pixels = image.load()
    boxes = []
    taken = set()
    for y in range(height):
        x = 0
        while x < width:
            if pixels[x, y][:3] != FRAME or (x, y) in taken:
                x += 1
                continue
            start = x
            while x < width and pixels[x, y][:3] == FRAME:
                x += 1
            if x - start < 200:
                continue
            # A top edge: follow the left side down to the bottom edge.
            bottom = y
            while bottom + 1 < height and pixels[start, bottom + 1][:3] == FRAME:
                bottom += 1
            if bottom - y > 100:
                boxes.append((start, y, x - 1, bottom))
                for yy in range(y, bottom + 1):
                    taken.add((start, yy))
                taken.update((xx, bottom) for xx in range(start, x))
    return boxes


def ink(image, box):
    """Pixels inside a box that are not white, and those that are coloured."""
    left, top, right, bottom = box
    pixels = image.load()
    dark = coloured = 0
    for y in range(top + 3, bottom - 2):
        for x in range(left + 3, right - 2):
            r, g, b = pixels[x, y][:3]
            if min(r, g, b) < 200:
                dark += 1
                if max(r, g, b) - min(r, g, b) > 60:
                    coloured += 1
    return dark, coloured


class ReportTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not report_supported():
            raise unittest.SkipTest("dravolin convert has no --report option yet")

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="dravolin-report-")
        self.addCleanup(shutil.rmtree, self.dir, ignore_errors=True)

    def convert(self, report):
        out = os.path.join(self.dir, "out.dxf")
        result = dravolin("convert", EXAMPLE, "--target", "mech6", "-o", out, "--report", report)
        self.assertEqual(result.returncode, 0, result.stderr.decode("utf-8", "replace"))
        self.assertTrue(os.path.exists(report))
        return out

    def test_json_report_says_what_the_conversion_changed(self):
        path = os.path.join(self.dir, "report.json")
        out = self.convert(path)
        with open(path, encoding="utf-8") as f:
            report = json.load(f)
        self.assertEqual(len(report["drawings"]), 1)
        drawing = report["drawings"][0]
        self.assertEqual(drawing["input"], str(EXAMPLE))
        self.assertEqual(drawing["output"], out)
        self.assertEqual(drawing["target"], "mech6")
        self.assertEqual(drawing["exit_code"], 0)
        self.assertTrue(drawing["by_handle"])
        self.assertTrue(drawing["check"]["ok"])
        self.assertGreater(drawing["check"]["dimensions_compared"], 0)

        # The views moved from the layout into model space.
        spaces = {row["name"]: row for row in drawing["spaces"]}
        self.assertGreater(spaces["Model"]["after"], spaces["Model"]["before"])
        self.assertIn("AM_0", drawing["layers_created"])
        layer_moves = [row for row in drawing["rewritten"] if row["property"] == "layer"]
        self.assertTrue(layer_moves)
        self.assertTrue(all(row["to"].startswith("AM_") for row in layer_moves), layer_moves)
        cleaned = drawing["dimension_texts_cleaned"]
        self.assertGreater(cleaned["count"], 0)
        for item in cleaned["items"]:
            self.assertIn("N/A", item["before"])
            self.assertNotIn("N/A", item["after"])
        rescaled = drawing["dimensions_rescaled"]["items"]
        self.assertTrue(rescaled)
        self.assertTrue(all(item["dimlfac_before"] != item["dimlfac_after"] for item in rescaled))
        self.assertGreater(drawing["deleted"]["count"], 0)
        self.assertEqual(sum(drawing["deleted"]["by_type"].values()), drawing["deleted"]["count"])

        # Before: the current layout with the views; after: model space.
        before, after = drawing["pictures"]["before"], drawing["pictures"]["after"]
        self.assertTrue(before[0]["current"])
        self.assertNotEqual(before[0]["space"], "Model")
        self.assertEqual(after[0]["space"], "Model")
        self.assertTrue(after[0]["current"])
        for picture in before + after:
            svg = ET.fromstring(picture["svg"])
            self.assertEqual(svg.tag, SVG + "svg")
            self.assertTrue(svg.findall(".//" + SVG + "path"))
            self.assertFalse(picture["truncated"])
        texts = [t.text for t in ET.fromstring(after[0]["svg"]).iter(SVG + "text")]
        self.assertIn("Flanschplatte", texts)

    def test_html_report_is_self_contained_and_shows_both_pictures(self):
        path = os.path.join(self.dir, "report.html")
        self.convert(path)
        with open(path, encoding="utf-8") as f:
            page = f.read()
        tags = Tags()
        tags.feed(page)
        self.assertNotIn("script", tags.counts)
        self.assertEqual(tags.references, [], "nothing may be fetched")
        self.assertGreaterEqual(tags.counts.get("svg", 0), 2)

        browser = chromium_command(self, self.dir)
        dom = subprocess.run(browser + ["--dump-dom", "file://" + path], capture_output=True,
                             timeout=180, stdin=subprocess.DEVNULL)
        self.assertEqual(dom.returncode, 0, dom.stderr[-2000:])
        self.assertGreaterEqual(dom.stdout.count(b"<svg"), 2)
        self.assertGreater(dom.stdout.count(b"<path"), 2)

        png = os.path.join(self.dir, "report.png")
        shot = subprocess.run(browser + ["--screenshot=" + png, "--window-size=1400,2000",
                                         "--hide-scrollbars", "file://" + path],
                              capture_output=True, timeout=180, stdin=subprocess.DEVNULL)
        self.assertEqual(shot.returncode, 0, shot.stderr[-2000:])
        from PIL import Image  # python3-pil

        image = Image.open(png).convert("RGB")
        boxes = picture_boxes(image)
        self.assertGreaterEqual(len(boxes), 2, "two framed pictures")
        # The first row holds the current space before (left) and after (right).
        first, second = sorted(boxes[:2])
        self.assertLess(first[2], second[0], "side by side")
        before_ink, _ = ink(image, first)
        after_ink, after_colour = ink(image, second)
        self.assertGreater(before_ink, 2000, "the layout before shows its views")
        self.assertGreater(after_ink, 2000, "model space after shows the views")
        self.assertGreater(after_colour, 200, "the converted layers have colours")

    def test_html_summary_of_several_drawings_shows_each_result(self):
        # Worker processes hand each drawing's report to the parent: the
        # summary rows must survive that trip, converted and failed alike.
        inputs = os.path.join(self.dir, "in")
        os.makedirs(os.path.join(inputs, "sub"))
        shutil.copy(EXAMPLE, os.path.join(inputs, "a.dxf"))
        shutil.copy(EXAMPLE, os.path.join(inputs, "sub", "b.dxf"))
        with open(os.path.join(inputs, "c.dxf"), "w") as f:
            f.write("0\nSECTION\n2\nENTITIES\n0\nLINE\n10\nnot a number\n")
        path = os.path.join(self.dir, "report.html")
        result = dravolin("convert", inputs, "-r", "--target", "mech6", "--out-dir",
                          os.path.join(self.dir, "out"), "--jobs", "2", "--report", path)
        self.assertEqual(result.returncode, 1, result.stderr.decode("utf-8", "replace"))
        dom = subprocess.run(chromium_command(self, self.dir) + ["--dump-dom", "file://" + path],
                             capture_output=True, timeout=180, stdin=subprocess.DEVNULL)
        self.assertEqual(dom.returncode, 0, dom.stderr[-2000:])
        rows = SummaryRows()
        rows.feed(dom.stdout.decode("utf-8"))
        by_name = {os.path.basename(row[0]): row for row in rows.rows if row}
        self.assertEqual(sorted(by_name), ["a.dxf", "b.dxf", "c.dxf"], rows.rows)
        for name in ("a.dxf", "b.dxf"):
            row = by_name[name]
            self.assertEqual(row[3], "converted", row)
            self.assertEqual(len(row), 8, row)
            self.assertRegex(row[4], r"^\d+ \u2192 \d+$")
            self.assertGreater(int(row[5]), 0)
        failed = by_name["c.dxf"]
        self.assertTrue(failed[3].startswith("failed (exit code 1): "), failed)
        self.assertIn("c.dxf:", failed[3])


if __name__ == "__main__":
    unittest.main()
