#!/usr/bin/env python3
"""Writes the ranges of characters that would change or hide a number,
from Python's own Unicode database, as platform/process/character_classes.cpp
holds them:

    tools/character_classes.py > platform/process/character_classes_table.inc

A decimal digit of any script (Nd) would change the number; a format
character (Cf: the bidi marks, zero-width ones) or a line or paragraph
separator (Zl, Zp) would hide or break it.
"""

import sys
import unicodedata

CATEGORIES = {'Nd', 'Cf', 'Zl', 'Zp'}


def ranges():
    start = None
    for code in range(sys.maxunicode + 2):
        inside = code <= sys.maxunicode and unicodedata.category(chr(code)) in CATEGORIES
        if inside and start is None:
            start = code
        elif not inside and start is not None:
            yield start, code - 1
            start = None


def main():
    print('// Made by tools/character_classes.py from Unicode %s: the characters of\n'
          '// categories Nd, Cf, Zl and Zp, as ranges of code points, first to last.' % unicodedata.unidata_version)
    for first, last in ranges():
        print('{0x%04X, 0x%04X},' % (first, last))


if __name__ == '__main__':
    main()
