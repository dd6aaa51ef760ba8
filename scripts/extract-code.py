#!/usr/bin/env python3
"""Writes the fenced code blocks of a Markdown page that carry a file name after their language
(```c signal.c) into a folder, so tests build examples exactly as a page shows them.

Usage: extract-code.py PAGE.md OUTPUT_FOLDER NAME...   (fails when a named block is missing)
"""
import os
import re
import sys


def main():
    page, out, names = sys.argv[1], sys.argv[2], sys.argv[3:]
    text = open(page, encoding="utf-8").read()
    blocks = {m.group(1): m.group(2)
              for m in re.finditer(r"^```\w+ +(\S+)\n(.*?)^```$", text, re.S | re.M)}
    os.makedirs(out, exist_ok=True)
    for name in names:
        if name not in blocks:
            sys.exit(f"{page}: no code block named {name}")
        path = os.path.join(out, name)
        # Unchanged files keep their time, so the build does not redo what is up to date.
        if not os.path.exists(path) or open(path, encoding="utf-8").read() != blocks[name]:
            with open(path, "w", encoding="utf-8") as f:
                f.write(blocks[name])


if __name__ == "__main__":
    main()
