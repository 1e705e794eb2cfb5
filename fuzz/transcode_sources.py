#!/usr/bin/python3
"""Mirrors src/ into a folder with every source in code page 1252.

The program's texts are code page 1252 bytes, which GCC makes from the UTF-8
sources with -fexec-charset=CP1252. Clang has no such option, but it copies
the bytes of a string literal as they stand, so the fuzz build compiles
copies of the sources that are already in code page 1252. Characters outside
1252 occur only in comments; they become "?".

Usage: transcode_sources.py SRC_DIR OUT_DIR
A file is rewritten only when its text changed, so that a rebuild compiles
only what changed; copies of sources that are gone are removed.
"""

import os
import sys


def transcode(src_dir, out_dir):
    # Copies of sources that are gone are removed, so that they are not built.
    for folder, _, names in os.walk(out_dir):
        for name in names:
            copy = os.path.join(folder, name)
            if not os.path.exists(os.path.join(src_dir, os.path.relpath(copy, out_dir))):
                os.remove(copy)
    for folder, _, names in os.walk(src_dir):
        for name in names:
            if not name.endswith((".cpp", ".h", ".map")):
                continue
            source = os.path.join(folder, name)
            target = os.path.join(out_dir, os.path.relpath(source, src_dir))
            with open(source, encoding="utf-8") as f:
                data = f.read().encode("cp1252", errors="replace")
            try:
                with open(target, "rb") as f:
                    if f.read() == data:
                        continue
            except FileNotFoundError:
                os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "wb") as f:
                f.write(data)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    transcode(sys.argv[1], sys.argv[2])
