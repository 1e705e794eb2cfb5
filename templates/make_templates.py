#!/usr/bin/python3
"""Writes the bundled drawing templates Mech6.dwt and Genius14.dwt.

Both are DXF R2000 (AC1015) text files with the template extension, since the
template dialog lists *.DWT files. They carry what the add-on set-up copies
into a converted drawing:

- Mech6.dwt: the layers AM_0 ... AM_12 with their standard colour, linetype
  and line weight, the linetypes those layers use, the text style "STANDARD"
  and the dimension style "AM_ISO".
- Genius14.dwt: everything Mech6.dwt has, plus the Genius linetypes "Gen3",
  "Gen3a", "Gen4a", "Gen7" and "Gen7a" (the Genius layers themselves are
  created by the conversion, which needs these linetypes in the drawing), the
  text font isocpeur.ttf and the dimension style "GEN-ISO".

docs/layer-standards.md documents every value chosen here; keep the two in
step. Run with Debian's python3 (it has python3-ezdxf):
    /usr/bin/python3 templates/make_templates.py [OUT_DIR]
The output is deterministic, so the committed files can be checked against a
fresh run.
"""

import os
import sys

import ezdxf

HERE = os.path.dirname(os.path.abspath(__file__))

# Linetypes in millimetres: (description, [total length, dash, gap, ...]);
# a dash of 0 is a dot.
MECH_LINETYPES = {
    "HIDDEN": ("Verdeckt __ __ __ __", [5.5, 4.0, -1.5]),
    "CENTER": ("Mitte ____ _ ____ _", [20.0, 12.0, -3.0, 2.0, -3.0]),
    "DASHDOT": ("Strichpunkt ____ . ____ .", [16.0, 12.0, -2.0, 0.0, -2.0]),
    "PHANTOM": ("Strich-Zweipunkt ____ . . ____", [18.0, 12.0, -2.0, 0.0, -2.0, 0.0, -2.0]),
}

GENIUS_LINETYPES = {
    "Gen3": ("Genius 3 verdeckt __ __ __", [5.0, 4.0, -1.0]),
    "Gen3a": ("Genius 3a verdeckt fein _ _ _ _", [2.5, 2.0, -0.5]),
    "Gen4a": ("Genius 4a Strich schmal ___ ___", [10.0, 8.0, -2.0]),
    "Gen7": ("Genius 7 Strichpunkt ____ . ____", [15.0, 12.0, -1.5, 0.0, -1.5]),
    "Gen7a": ("Genius 7a Strichpunkt fein __ . __", [8.0, 6.0, -1.0, 0.0, -1.0]),
}

# The AM_ layer standard: name -> (colour, linetype, line weight in 1/100 mm,
# plotted, purpose). The purpose is documentation only. The colours follow the Genius layers the AM_ layers map
# to, so that a drawing looks the same before and after the Genius step.
AM_LAYERS = [
    ("AM_0", 7, "Continuous", 50, True, "Sichtbare Kanten"),
    ("AM_1", 14, "Continuous", 70, True, "Breite Volllinien"),
    ("AM_2", 5, "Continuous", 25, True, "Schmale Volllinien"),
    ("AM_3", 6, "HIDDEN", 35, True, "Verdeckte Kanten"),
    ("AM_4", 3, "Continuous", 25, True, "Schmale Linien, Gewinde, Übergänge"),
    ("AM_5", 3, "Continuous", 25, True, "Bemaßung"),
    ("AM_6", 2, "Continuous", 35, True, "Texte und Symbole"),
    ("AM_7", 4, "CENTER", 25, True, "Mittellinien"),
    ("AM_8", 1, "Continuous", 25, True, "Schraffur"),
    ("AM_9", 7, "Continuous", 35, True, "Rahmen und Schriftfeld"),
    ("AM_10", 120, "DASHDOT", 35, True, "Schnittverlauf und Einzelheiten"),
    ("AM_11", 8, "PHANTOM", 18, False, "Hilfslinien"),
    ("AM_12", 9, "Continuous", 25, False, "Nicht plotten (Ansichtsfenster)"),
]

TEXT_STYLE = "STANDARD"


def main(argv):
    out_dir = argv[1] if len(argv) > 1 else HERE
    ezdxf.options.write_fixed_meta_data_for_testing = True
    for name, build in (("Mech6.dwt", build_mech6), ("Genius14.dwt", build_genius14)):
        path = os.path.join(out_dir, name)
        build().saveas(path)
        print(path)


def build_mech6():
    return new_template(font="isocp.shx")


def build_genius14():
    doc = new_template(font="isocpeur.ttf")
    add_linetypes(doc, GENIUS_LINETYPES)
    # The dimension style Genius drawings use; same values, its own name.
    add_dimstyle(doc, "GEN-ISO")
    return doc


def new_template(font):
    doc = ezdxf.new("R2000", units=4)
    header = doc.header
    header["$DWGCODEPAGE"] = "ANSI_1252"
    header["$MEASUREMENT"] = 1
    header["$LUNITS"] = 2
    header["$LUPREC"] = 2
    header["$LTSCALE"] = 1.0
    header["$PSLTSCALE"] = 1
    header["$LWDISPLAY"] = 1
    header["$TILEMODE"] = 1

    # ezdxf names the default text style "Standard"; names compare without
    # regard to case, so the record is the same one under its usual spelling.
    style = doc.styles.get("Standard")
    style.dxf.name = TEXT_STYLE
    style.dxf.font = font
    header["$TEXTSTYLE"] = TEXT_STYLE

    add_linetypes(doc, MECH_LINETYPES)
    for name, colour, linetype, lineweight, plot, purpose in AM_LAYERS:
        doc.layers.add(name, color=colour, linetype=linetype, lineweight=lineweight, plot=plot)
    header["$CLAYER"] = "AM_0"

    add_dimstyle(doc, "AM_ISO")
    header["$DIMSTYLE"] = "AM_ISO"
    return doc


def add_linetypes(doc, linetypes):
    for name, (description, pattern) in linetypes.items():
        doc.linetypes.add(name, pattern, description=description)


def add_dimstyle(doc, name):
    """ISO 129 dimensioning: 3.5 mm text above the line, comma as decimal sign,
    filled arrows, colours by layer so that the AM_5 layer governs them."""
    doc.dimstyles.add(
        name,
        dxfattribs={
            "dimtxt": 3.5,
            "dimasz": 3.5,
            "dimexe": 2.0,
            "dimexo": 0.0,
            "dimgap": 1.0,
            "dimdli": 7.0,
            "dimtad": 1,
            "dimtih": 0,
            "dimtoh": 0,
            "dimdec": 2,
            "dimzin": 8,
            "dimdsep": ord(","),
            "dimlfac": 1.0,
            "dimscale": 1.0,
            "dimclrd": 256,
            "dimclre": 256,
            "dimclrt": 256,
            "dimlwd": -1,
            "dimlwe": -1,
            "dimtxsty": TEXT_STYLE,
        },
    )


if __name__ == "__main__":
    main(sys.argv)
