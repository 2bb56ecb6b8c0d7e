#!/usr/bin/env python3
"""Checks that includes point one way, down: a folder of src/ includes only itself and the
folders listed before it in KORVO_SUBSYSTEMS (CMakeLists.txt). Prints every include that points
up and exits 1 when there is one."""
import pathlib
import re
import sys

root = pathlib.Path(__file__).resolve().parent.parent
cmake = (root / "CMakeLists.txt").read_text()
match = re.search(r"set\(KORVO_SUBSYSTEMS([^)]*)\)", cmake)
layers = match.group(1).split()
rank = {name: i for i, name in enumerate(layers)}
include = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/')

faults = []
for path in sorted((root / "src").rglob("*")):
    if path.suffix not in (".h", ".cpp", ".c", ".rc") or not path.is_file():
        continue
    folder = path.relative_to(root / "src").parts[0]
    if folder not in rank:
        continue
    for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
        m = include.match(line)
        if not m or m.group(1) not in (rank.keys() | {"plugins"}):
            continue
        target = m.group(1)
        if target not in rank or rank[target] > rank[folder]:
            faults.append(f"{path.relative_to(root)}:{number}: {folder} includes {target}")

for fault in faults:
    print(fault)
if faults:
    print(f"check_layers: {len(faults)} include(s) point up (order: {' '.join(layers)})")
    sys.exit(1)
print(f"check_layers: includes point down ({' '.join(layers)})")
