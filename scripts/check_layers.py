#!/usr/bin/env python3
"""Holds every project include to the layer table in the README.

The table under "## Layout of the code" names each folder and the folders it
may include; a folder may always include itself. A folder's files are those
under it that no deeper folder of the table claims (platform/win32/ is not
platform/). A name without a folder is a file beside the includer or one the
build generates. Exit 1, with one line per wrong-way include, when any is found.

    check_layers.py [ROOT]
"""

import re
import sys
from pathlib import Path

ROOT = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent)
SOURCES = (".cpp", ".h")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
FOLDER = re.compile(r"`([a-z0-9_/]+/)`")


def layer_table(readme):
    """{folder: set of folders it may include}; None stands for every folder."""
    text = readme.read_text(encoding="utf-8")
    section = text.split("## Layout of the code", 1)[1].split("\n## ", 1)[0]
    table = {}
    for line in section.splitlines():
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if len(cells) < 3 or not FOLDER.fullmatch(cells[0]):
            continue
        folder = cells[0].strip("`")
        allowed = cells[-1]
        table[folder] = None if allowed == "every folder" else set(FOLDER.findall(allowed))
    if not table:
        sys.exit("check_layers: no layer table under '## Layout of the code' in README.md")
    return table


def owner(path, folders):
    """The deepest folder of the table that holds `path`, or None."""
    matches = [f for f in folders if path.startswith(f)]
    return max(matches, key=len) if matches else None


def main():
    table = layer_table(ROOT / "README.md")
    faults = []
    for file in sorted(ROOT.rglob("*")):
        relative = file.relative_to(ROOT).as_posix()
        if file.suffix not in SOURCES or relative.startswith("build/"):
            continue
        source = owner(relative, table)
        if source is None:
            faults.append(f"{relative}: lies in no folder of the layer table")
            continue
        allowed = table[source]
        for include in INCLUDE.findall(file.read_text(encoding="utf-8", errors="replace")):
            target = owner(include, table)
            if target is None and "/" not in include:
                continue  # a file beside it, or one the build generates (the version)
            if target == source or allowed is None or target in allowed:
                continue
            faults.append(f"{relative}: includes {include}, but {source} may include only "
                          f"{', '.join(sorted(allowed)) or 'itself'}")
    for fault in faults:
        print(fault)
    if faults:
        print(f"check_layers: {len(faults)} include(s) against the layer table in README.md")
        return 1
    print(f"check_layers: every include of {len(table)} folders follows the layer table")
    return 0


if __name__ == "__main__":
    sys.exit(main())
