#!/usr/bin/env python3
"""Fails when a file of src/ includes a folder of a higher layer (or cli/ includes ui/).

The layers, lowest first; a folder may include its own layer and those below:
  0 text/, platform/   1 prefs/   2 lists/, instructions/, readers/, formats/
  3 banking/, investment/, inputformats/, editors/  4 app/   5 cli/, ui/
A folder of src/ that the table does not name fails, so that a new folder gets its layer.
Within a layer folders may include each other as long as they form no cycle; a cycle between
two folders of one layer fails too.
"""
import pathlib
import re
import sys

LAYER = {'text': 0, 'platform': 0, 'prefs': 1, 'lists': 2, 'instructions': 2, 'readers': 2,
         'formats': 2, 'banking': 3, 'investment': 3, 'inputformats': 3, 'editors': 3, 'app': 4,
         'cli': 5, 'ui': 5}

src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else 'src')
faults, edges = [], {}
for folder in sorted(p for p in src.iterdir() if p.is_dir()):
    if folder.name not in LAYER and any(folder.rglob('*.[ch]*')):
        faults.append(f'{folder.relative_to(src.parent)}/ has no layer in {pathlib.Path(__file__).name}')
for path in sorted(src.rglob('*')):
    if path.suffix not in ('.h', '.cpp') or path.parent.name not in LAYER:
        continue
    folder = path.parent.name
    for number, line in enumerate(path.read_text(errors='replace').splitlines(), 1):
        match = re.match(r'\s*#\s*include\s+"([a-z]+)/', line)
        if not match or match.group(1) not in LAYER or match.group(1) == folder:
            continue
        other = match.group(1)
        where = f'{path.relative_to(src.parent)}:{number}'
        if LAYER[other] > LAYER[folder] or (folder, other) == ('cli', 'ui'):
            faults.append(f'{where}: {folder}/ (layer {LAYER[folder]}) includes {other}/ '
                          f'(layer {LAYER[other]})')
        elif LAYER[other] == LAYER[folder]:
            edges.setdefault(folder, {}).setdefault(other, where)


def cycle_from(start):
    stack, seen = [(start, [start])], set()
    while stack:
        node, trail = stack.pop()
        for nxt in edges.get(node, {}):
            if nxt == start:
                return trail + [start]
            if nxt not in seen:
                seen.add(nxt)
                stack.append((nxt, trail + [nxt]))
    return None


for folder in sorted(edges):
    trail = cycle_from(folder)
    if trail and trail[0] == min(trail[:-1]):
        steps = ', '.join(edges[a][b] for a, b in zip(trail, trail[1:]))
        faults.append('folders include each other in a cycle: ' + ' -> '.join(trail) +
                      f' ({steps})')

for fault in faults:
    print(fault)
print(f'{len(faults)} fault(s): the layers do not hold' if faults else 'the layers hold')
sys.exit(1 if faults else 0)
