#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above its own.

The layers of src/, from the bottom up: core, platform, audio, images, model, scene, session,
editor; the programs cli (velk) and app (zeltrix) sit on top. Each folder may include its own
headers and those of the folders it is allowed to use.
"""
import re
import sys
from pathlib import Path

BELOW = {
    'core': set(),
    'platform': {'core'},
    'audio': {'core'},
    'images': {'core', 'platform'},
    'model': {'core', 'platform', 'images'},
    'scene': {'core', 'platform', 'images', 'model'},
    'session': {'core', 'platform', 'audio', 'images', 'model', 'scene'},
    'editor': {'core', 'platform', 'audio', 'images', 'model', 'scene', 'session'},
    'cli': {'core', 'platform', 'images', 'model', 'scene'},
    'app': {'core', 'platform', 'audio', 'images', 'model', 'scene', 'session', 'editor'},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]+"', re.M)


def main(source_root):
    root = Path(source_root)
    problems = []
    for path in sorted(root.glob('*/*')):
        if path.suffix not in ('.cpp', '.h'):
            continue
        layer = path.parent.name
        if layer not in BELOW:
            problems.append(f'{path}: folder {layer} is not a known layer')
            continue
        for match in INCLUDE.finditer(path.read_text(errors='replace')):
            target = match.group(1)
            if target != layer and target not in BELOW[layer]:
                line = path.read_text(errors='replace')[:match.start()].count('\n') + 1
                problems.append(f'{path}:{line}: {layer} includes {match.group(0).strip()}')
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else 'src'))
