#!/usr/bin/env python3
"""Fails when portable code includes a Win32 header or asks for _WIN32.

Portable code is every source of a portable library (the list CMake writes) and every header of this
tree that those sources include, directly or through other headers. It is compiled by plain g++ in
every tree, so it must not depend on Win32.
    check_portable.py SOURCE-LIST TREE
"""
import os
import re
import sys

WIN32 = re.compile(r'#\s*include\s*[<"](windows|winbase|windef|winuser|wingdi|winnt|mmsystem|afx[a-z]*)\.h[>"]'
                   r'|\b_WIN32\b|\b_WIN64\b|\b__WINE__\b')
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def main():
    sources = [s for s in open(sys.argv[1]).read().split(';') if s]
    tree = sys.argv[2]
    seen, todo, faults = set(), list(sources), []
    while todo:
        path = os.path.normpath(todo.pop())
        if path in seen or not os.path.isfile(path):
            continue
        seen.add(path)
        text = open(path, encoding='utf-8', errors='replace').read()
        for number, line in enumerate(text.splitlines(), 1):
            if WIN32.search(line):
                faults.append(f'{os.path.relpath(path, tree)}:{number}: {line.strip()}')
        for name in INCLUDE.findall(text):
            for base in (os.path.dirname(path), tree):
                candidate = os.path.join(base, name)
                if os.path.isfile(candidate):
                    todo.append(candidate)
                    break
    if faults:
        print('Win32 in portable code:')
        print('\n'.join(faults))
        return 1
    print(f'{len(seen)} portable files checked')
    return 0


if __name__ == '__main__':
    sys.exit(main())
