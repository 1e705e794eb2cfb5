#!/usr/bin/python3
"""dravolin shell with its input piped in (no terminal): the same questions
as at a terminal are answered line by line, each answer is shown after its
prompt, and the drawing saved equals the one `dravolin convert` writes."""

import os
import shutil
import subprocess
import sys
import unittest
from pathlib import Path

sys.path.insert(0, os.path.dirname(__file__))
import support  # noqa: E402

EXAMPLE = Path(support.EXAMPLES_DIR) / "exported-views.dxf"


class PipedShellTest(unittest.TestCase):
    def test_conversion_from_piped_lines(self):
        folder = Path(support.scratch_dir(self))
        source = folder / "views.dxf"
        shutil.copyfile(EXAMPLE, source)
        saved = folder / "saved.dxf"
        lines = [
            "?",         # the list of commands
            "DRAVOLIN1",
            "FFFF",      # a pick that misses asks again
            "84",        # the reference pick, by handle
            "=0.50",     # the line-weight dialog: AM_0 typed as text,
            "",          # AM_3 kept,
            "=0.25",     # AM_4,
            "",          # the default button (OK)
            "Mech6.dwt",  # the template file dialog
            "_quit", "a",  # unsaved changes: cancelled
            "_saveas", str(saved),
            "_quit",     # saved: no question
        ]
        # The host's registry file of this test only (also for run_dravolin below).
        os.environ["DRAVOLIN_REGISTRY"] = str(folder / "registry.txt")
        env = dict(os.environ)
        result = subprocess.run([support.dravolin_binary(), "shell", source],
                                input="\n".join(lines).encode() + b"\n", capture_output=True,
                                timeout=600, env=env)
        self.assertEqual(result.returncode, 0, result.stderr)
        out = result.stdout.decode("utf-8")
        self.assertIn("Befehl: DRAVOLIN1\n", out)
        self.assertRegex(out, r"\n  DRAVOLIN1 +die Zeichnung f\u00fcr Mech6 umsetzen\n")
        self.assertRegex(out, r"\n  _QUIT, BEENDEN +die Sitzung beenden\n")
        self.assertRegex(out, "Griff oder Nummer \\(Enter = Abbruch\\): FFFF\n+"
                              "Kein Objekt mit dem Griff \"FFFF\" gefunden.")
        self.assertIn("Griff oder Nummer (Enter = Abbruch): 84\n", out)
        self.assertEqual(out.count("\u00c4nderungen speichern? [Ja/Nein/Abbrechen] <Ja>: "), 1)
        self.assertIn(f"Zeichnung gespeichert: \"{saved}\"", out)
        self.assertIn("AM_4 <- (Nummer oder Text, Enter = lassen) <0.25>: =0.25\n", out)
        self.assertIn("Nummer oder Pfad (Enter = Abbrechen): Mech6.dwt\n", out)
        self.assertIn(f"Dateiname angeben: {saved}\n", out)
        self.assertTrue(out.rstrip().endswith("Befehl: _quit"), out[-300:])
        self.assertEqual(source.read_bytes(), EXAMPLE.read_bytes())

        batch = folder / "batch.dxf"
        support.run_dravolin("convert", source, "--target", "mech6", "--reference", "84",
                             "--lineweights", "0.50,0.35,0.25", "-o", batch, "-q")
        self.assertEqual(saved.read_bytes(), batch.read_bytes())


if __name__ == "__main__":
    unittest.main()
