#!/usr/bin/python3
"""dravolin shell at a real terminal: the test drives the interactive command
line in a tmux pane as a person would (keys in, screen out): the start-up
message, DRAVOLIN1 with the reference pick, the line-weight dialog and the
template file dialog answered in the terminal, _qsave, _saveas, a command
recalled from the history with the Up arrow, Ctrl-C at a prompt, _quit. The
drawing written is then read back with ezdxf and compared with the same
conversion run by `dravolin convert`.

Skips (and says why) only when tmux is missing or cannot start a session."""

import os
import shlex
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import uuid
from pathlib import Path

sys.path.insert(0, os.path.dirname(__file__))
import support  # noqa: E402

EXAMPLE = Path(support.EXAMPLES_DIR) / "exported-views.dxf"
MECH6_TEMPLATE = Path(support.TEMPLATES_DIR) / "Mech6.dwt"
STEP_TIMEOUT = 60  # seconds for one screen to appear; a conversion takes about one


class Terminal:
    """A tmux session on a private server, running one command."""

    def __init__(self, command, env):
        self.server = "dravolin-test-" + uuid.uuid4().hex[:8]
        self.env = dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8")
        exports = " ".join(f"{k}={shlex.quote(v)}" for k, v in env.items())
        # The exit status stays on the screen after the program ends; the shell
        # around it outlives a Ctrl-C sent to the program.
        script = (f"trap true INT; env {exports} {command}; status=$?; echo; "
                  "echo EXIT=$status; sleep 600")
        self.tmux("new-session", "-d", "-x", "160", "-y", "50", "sh", "-c", script)

    def tmux(self, *args, check=True):
        return subprocess.run(["tmux", "-u", "-L", self.server, "-f", "/dev/null", *args],
                              capture_output=True, env=self.env, timeout=30, check=check)

    def keys(self, *keys):
        self.tmux("send-keys", "-t", "0", *keys)

    def type_line(self, text):
        self.tmux("send-keys", "-t", "0", "-l", text)
        self.keys("Enter")

    def screen(self):
        """Everything shown so far, the scrollback included, wrapped lines joined."""
        out = self.tmux("capture-pane", "-p", "-J", "-S", "-5000", "-t", "0").stdout
        return out.decode("utf-8", "replace").rstrip("\n")

    def last_line(self):
        lines = [line for line in self.screen().splitlines() if line.strip()]
        return lines[-1] if lines else ""

    def wait_for_prompt(self, prompt, acknowledge_boxes=True):
        """Waits until the last line shown starts with prompt; message boxes met on
        the way ("[ OK ] (Enter)") are acknowledged. Returns the screen."""
        deadline = time.monotonic() + STEP_TIMEOUT
        last = None
        while time.monotonic() < deadline:
            last = self.last_line()
            if last.startswith(prompt):
                return self.screen()
            if acknowledge_boxes and last.startswith("[ OK ] (Enter)"):
                # One Enter per box: a second one would answer the next prompt.
                shown = self.screen()
                self.keys("Enter")
                while self.screen() == shown and time.monotonic() < deadline:
                    time.sleep(0.05)
                continue
            time.sleep(0.1)
        raise AssertionError(f"no {prompt!r} on the screen; last line {last!r}\n{self.screen()}")

    def wait_for_text(self, text):
        """Waits until text is on the screen; returns the screen."""
        deadline = time.monotonic() + STEP_TIMEOUT
        while time.monotonic() < deadline:
            screen = self.screen()
            if text in screen:
                return screen
            time.sleep(0.1)
        raise AssertionError(f"no {text!r} on the screen\n{self.screen()}")

    def close(self):
        self.tmux("kill-server", check=False)


def tmux_unavailable():
    if not shutil.which("tmux"):
        return "tmux is not installed"
    probe = subprocess.run(["tmux", "-L", "dravolin-probe-" + uuid.uuid4().hex[:8], "-f",
                            "/dev/null", "new-session", "-d", "true"], capture_output=True,
                           timeout=30)
    if probe.returncode != 0:
        return "tmux cannot start a session: " + probe.stderr.decode(errors="replace").strip()
    return None


class ShellAtATerminalTest(unittest.TestCase):
    def setUp(self):
        self.dir = Path(support.scratch_dir(self))
        self.input = self.dir / "views.dxf"
        shutil.copyfile(EXAMPLE, self.input)
        self.env = {
            "DRAVOLIN_REGISTRY": str(self.dir / "registry.txt"),
            "DRAVOLIN_HISTORY": str(self.dir / "history"),
        }
        os.environ["DRAVOLIN_REGISTRY"] = self.env["DRAVOLIN_REGISTRY"]  # for run_dravolin

    def start(self, *args):
        command = " ".join(shlex.quote(str(a)) for a in (support.dravolin_binary(), *args))
        terminal = Terminal(command, self.env)
        self.addCleanup(terminal.close)
        return terminal

    def test_conversion_typed_at_the_terminal(self):
        out = self.dir / "out.dxf"
        second = self.dir / "zweite Zeichnung.dxf"
        third = self.dir / "third.dxf"
        t = self.start("shell", self.input, "-o", out)

        t.wait_for_prompt("Befehl:")  # after the start-up message box
        t.type_line("DRAVOLIN1")
        screen = t.wait_for_prompt("Griff oder Nummer")
        self.assertIn("Bitte eine Bemaßung mit Grundmaßstab wählen!", screen)
        self.assertIn(") 84  Layout1  DIMENSION", screen)
        t.type_line("84")  # the handle of a dimension at the base scale (DIMLFAC 2)

        screen = t.wait_for_prompt("AM_0 <- (Nummer oder Text")
        self.assertIn("== Linienstärke auf Layer ==", screen)
        listed = screen[screen.rindex("== Linienstärke auf Layer =="):]
        number = listed.split(") 0.50")[0].split()[-1]  # the list entry "0.50"
        t.type_line(number)
        t.wait_for_prompt("AM_3 <- (Nummer oder Text")
        t.keys("Enter")  # keep 0.35
        t.wait_for_prompt("AM_4 <- (Nummer oder Text")
        t.type_line("=0.25")  # typed as text
        t.wait_for_prompt("Knopf:")
        t.keys("Enter")  # the default button, OK

        screen = t.wait_for_prompt("Nummer oder Pfad (Enter = Abbrechen)")
        self.assertIn("== Datei wählen", screen)
        self.assertIn(") Mech6.dwt", screen)
        t.type_line("Mech6.dwt")
        screen = t.wait_for_prompt("Befehl:")
        self.assertIn("Befehl: amsetupdwg", screen)

        t.type_line("_qsave")
        t.wait_for_prompt("Befehl:")
        t.type_line("_saveas")
        t.wait_for_prompt("Dateiname angeben:")
        t.type_line(str(second))
        t.wait_for_prompt("Befehl:")
        # Up recalls _saveas (the answers to its prompt are not kept).
        t.keys("Up")
        t.keys("Enter")
        t.wait_for_prompt("Dateiname angeben:")
        t.type_line(str(third))
        t.wait_for_prompt("Befehl:")
        # Ctrl-C at a prompt cancels the command; at the idle prompt it does nothing.
        t.type_line("_saveas")
        t.wait_for_prompt("Dateiname angeben:")
        t.keys("x", "C-c")
        screen = t.wait_for_prompt("Befehl:")
        self.assertIn("*Abbruch*", screen)
        t.keys("C-c")
        # F1, the host's help key, lists the commands.
        t.keys("F1")
        self.assertIn("die Sitzung beenden", t.wait_for_text("HILFE, ?, F1"))
        t.wait_for_prompt("Befehl:")
        t.type_line("_quit")
        screen = t.wait_for_prompt("EXIT=", acknowledge_boxes=False)
        self.assertIn("EXIT=0", screen)

        # What the terminal converted equals what the batch conversion writes.
        self.assertEqual(self.input.read_bytes(), EXAMPLE.read_bytes())
        self.assertEqual(second.read_bytes(), out.read_bytes())
        self.assertEqual(third.read_bytes(), out.read_bytes())
        drawing = support.read_drawing(out)
        self.assertEqual(drawing.auditor.errors, [])
        self.assertEqual(drawing.doc.header["$TILEMODE"], 1)
        self.assertTrue(support.has_layer(drawing.doc, "AM_0"))
        before = support.displayed_dimension_values(support.read_drawing(EXAMPLE).doc)
        after = support.displayed_dimension_values(drawing.doc)
        self.assertEqual(support.changed_dimension_values(before, after), [])
        batch = self.dir / "batch.dxf"
        support.run_dravolin("convert", self.input, "--target", "mech6", "--reference", "84",
                             "--lineweights", "0.50,0.35,0.25", "--template", MECH6_TEMPLATE,
                             "-o", batch, "-q")
        self.assertEqual(out.read_bytes(), batch.read_bytes())
        history = (self.dir / "history").read_text(encoding="utf-8").splitlines()
        self.assertEqual([line for line in history if not line.startswith("#")],
                         ["DRAVOLIN1", "_qsave", "_saveas", "?", "_quit"])


if __name__ == "__main__":
    reason = tmux_unavailable()
    if reason:
        print(f"skipped: {reason}")
        sys.exit(0)
    unittest.main()
