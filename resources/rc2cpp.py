#!/usr/bin/env python3
"""Turns the resource script into the Linux build's embedded tables.

Understands the subset of the .rc language that brackwold.rc uses:
comments, a STRINGTABLE block of `id "text"` lines, and one-line file
resources `NAME TYPE "file"` (NAME a number or an identifier, TYPE such as
BITMAP or WAVE). Anything else is an error, so the two builds cannot drift.
"""
import hashlib
import os
import re
import sys

FILE_RES = re.compile(r'^(\w+)\s+(\w+)\s+"([^"]+)"$')
STRING_ROW = re.compile(r'^(\d+)\s+"((?:[^"]|"")*)"$')


def parse(path):
    strings, files = [], []
    in_table = False
    with open(path, encoding='utf-8') as f:
        lines = f.read().splitlines()
    for number, raw in enumerate(lines, 1):
        line = raw.split('//', 1)[0].strip()
        if not line:
            continue
        if line == 'STRINGTABLE':
            in_table = 'header'
            continue
        if in_table == 'header':
            if line not in ('BEGIN', '{'):
                sys.exit(f'{path}:{number}: BEGIN expected')
            in_table = True
            continue
        if in_table:
            if line in ('END', '}'):
                in_table = False
                continue
            m = STRING_ROW.match(line)
            if not m:
                sys.exit(f'{path}:{number}: bad string table row: {raw}')
            strings.append((int(m.group(1)), m.group(2).replace('""', '"')))
            continue
        m = FILE_RES.match(line)
        if not m:
            sys.exit(f'{path}:{number}: unsupported resource line: {raw}')
        name, rtype, rel = m.groups()
        name = '#' + name if name.isdigit() else name.upper()
        files.append((rtype.upper(), name, os.path.join(os.path.dirname(path), rel)))
    return strings, files


def c_string(text):
    out = []
    for byte in text.encode('utf-8'):
        ch = chr(byte)
        if ch in '"\\':
            out.append('\\' + ch)
        elif ch == '\n':
            out.append('\\n')
        elif 32 <= byte < 127:
            out.append(ch)
        else:
            out.append('\\%03o' % byte)
    return '"' + ''.join(out) + '"'


def gas_string(text):
    """A quoted string for the GNU assembler."""
    return '"' + text.replace('\\', '\\\\').replace('"', '\\"') + '"'


def incbin_block(files):
    """Top-level asm that pulls each file into read-only data with .incbin.

    The assembler copies the bytes itself, which keeps a build with megabytes
    of audio fast; a table of decimal bytes takes the compiler far longer.
    Each file's SHA-256 rides along in an assembler comment: the compiler
    cache sees only this source, so a changed file must change the source.
    """
    out = ['__asm__(', '    ".section .rodata\\n"']
    for index, (_, _, path, data) in enumerate(files):
        symbol = f'brackwold_resource{index}'
        digest = hashlib.sha256(data).hexdigest()
        for line in (f'.globl {symbol}', f'.hidden {symbol}', f'.type {symbol}, @object',
                     '.balign 16', f'{symbol}:',
                     f'.incbin {gas_string(os.path.abspath(path))} /* sha256 {digest} */',
                     f'.size {symbol}, {len(data)}'):
            out.append('    ' + c_string(line + '\n'))
    out.append('    ".previous\\n");')
    return out


def main():
    script, output = sys.argv[1], sys.argv[2]
    strings, entries = parse(script)
    files = []
    for rtype, name, path in entries:
        with open(path, 'rb') as f:
            files.append((rtype, name, path, f.read()))
    out = ['// Generated from brackwold.rc by rc2cpp.py. Do not edit.',
           '#include "platform/posix/resources.h"', '']
    if files:
        out += incbin_block(files)
        out.append('')
        out.append('extern "C" {')
        for index in range(len(files)):
            out.append(f'extern const unsigned char brackwold_resource{index}[];')
        out.append('}')
        out.append('')
    out += ['namespace w32 {', '']
    out.append('const EmbeddedResource embeddedResources[] = {')
    for index, (rtype, name, _, data) in enumerate(files):
        out.append(f'    {{{c_string(rtype)}, {c_string(name)}, brackwold_resource{index}, {len(data)}}},')
    if not files:
        out.append('    {nullptr, nullptr, nullptr, 0},')
    out.append('};')
    out.append(f'const size_t embeddedResourceCount = {len(files)};')
    out.append('')
    out.append('const EmbeddedString embeddedStrings[] = {')
    for ident, text in strings:
        out.append(f'    {{{ident}, {c_string(text)}}},')
    if not strings:
        out.append('    {0, nullptr},')
    out.append('};')
    out.append(f'const size_t embeddedStringCount = {len(strings)};')
    out.append('')
    out.append('}  // namespace w32')
    os.makedirs(os.path.dirname(output) or '.', exist_ok=True)
    with open(output, 'w', encoding='utf-8') as f:
        f.write('\n'.join(out) + '\n')


if __name__ == '__main__':
    main()
