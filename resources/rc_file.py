#!/usr/bin/env python3
"""Reads brackwold.rc: the one reader of the resource script, for rc2cpp.py
(the Linux build's embedded tables), the checks of the list and of the
Windows saver's resources, and CMake (the files the script names).

Understands the subset of the .rc language that brackwold.rc uses:
comments; #include <windows.h> (windres needs it; the names the script uses
from it are known here); #include "header" of a header that holds only
`#define NAME number` and `#define NAME "text"` lines, whose names are then
replaced wherever they stand outside quotes, as the preprocessor does; a
STRINGTABLE block of `id "text"` lines; one-line file resources
`NAME TYPE "file"` (NAME and TYPE a number or an identifier: BITMAP, ICON,
WAVE, RT_MANIFEST or 24); DIALOG blocks, handed on as their option and
control lines; and VERSIONINFO blocks, which only Windows reads and whose
nested body is skipped. Anything else is an error, so the two builds cannot
drift.

Run as a program, it prints the files the script names, one per line:
    rc_file.py --files brackwold.rc
"""
import collections
import os
import re
import sys

# The constants of <windows.h> that the script may name.
WINDOWS_CONSTANTS = {
    'IDOK': 1, 'IDCANCEL': 2,
    'WS_POPUP': 0x80000000, 'WS_CHILD': 0x40000000, 'WS_VISIBLE': 0x10000000,
    'WS_CAPTION': 0x00C00000, 'WS_BORDER': 0x00800000, 'WS_SYSMENU': 0x00080000,
    'WS_GROUP': 0x00020000, 'WS_TABSTOP': 0x00010000,
    'DS_MODALFRAME': 0x80, 'DS_SETFONT': 0x40, 'DS_CENTER': 0x800,
    'BS_PUSHBUTTON': 0, 'BS_DEFPUSHBUTTON': 1, 'BS_AUTOCHECKBOX': 3,
    'SS_LEFT': 0, 'SS_BITMAP': 0xE, 'SS_LEFTNOWORDWRAP': 0xC,
    'SBS_HORZ': 0,
    'RT_MANIFEST': 24, 'CREATEPROCESS_MANIFEST_RESOURCE_ID': 1, 'VS_VERSION_INFO': 1,
}
# What Windows itself reads of the script (Explorer, the loader, the file's
# properties) and the program never loads: the Linux build leaves it out.
WINDOWS_ONLY_TYPES = ('ICON', '#24', 'VERSIONINFO')
# Resources written as a block: the head line, option lines, then a body
# between BEGIN and END.
BLOCK_TYPES = ('DIALOG', 'VERSIONINFO')

FILE_RES = re.compile(r'^(\w+)\s+(\w+)\s+"([^"]+)"$')
STRING_ROW = re.compile(r'^(\d+)\s+"((?:[^"]|"")*)"$')
BLOCK_HEAD = re.compile(r'^(\w+)\s+(%s)\b\s*(.*)$' % '|'.join(BLOCK_TYPES))
INCLUDE = re.compile(r'^#\s*include\s+(<[^>]+>|"[^"]+")$')
DEFINE = re.compile(r'^#\s*define\s+([A-Za-z_]\w*)\s+(-?\d+|0x[0-9a-fA-F]+|"(?:[^"\\]|\\.)*")$')
# A name outside quotes, or a quoted string, which the preprocessor leaves alone.
TOKEN = re.compile(r'"(?:[^"]|"")*"|(?<!\w)[A-Za-z_]\w*')

# type: upper-case name, or "#n" for a numeric type; name likewise.
# path: the file a one-line resource names (None for a block).
# block: a DIALOG's {'head', 'options': [(key, value)], 'controls': [(line, where)]},
#        None otherwise (a VERSIONINFO's body is Windows' own).
# where: "file:line" of the line that ends the resource.
Resource = collections.namedtuple('Resource', 'type name path block where')
# defines: {NAME: text} of the included header; strings: [(id, text)];
# resources: in the order the script lists them.
Script = collections.namedtuple('Script', 'defines strings resources')


class RcError(Exception):
    """A line outside the subset understood here, with its place."""


def read_defines(path):
    """The #define lines of a header included by the script, as {name: text}."""
    defines = {}
    with open(path, encoding='utf-8') as f:
        for number_, raw in enumerate(f, 1):
            line = raw.split('//', 1)[0].strip()
            where = f'{path}:{number_}'
            if not line or line == '#pragma once':
                continue
            m = DEFINE.match(line)
            if not m:
                raise RcError(f'{where}: only #define NAME number or "text" may stand here: {raw.strip()}')
            if m.group(1) in defines:
                raise RcError(f'{where}: {m.group(1)} is defined twice')
            defines[m.group(1)] = m.group(2)
    return defines


def expand(line, defines):
    """The line with every defined name replaced by its value."""
    return TOKEN.sub(lambda m: defines.get(m.group(0), m.group(0)), line)


def unquote(text):
    """The text of an .rc string: "" stands for one quote."""
    return text.replace('""', '"')


def resource_id(token):
    """A name or type as the resource directory keys it: "#n" for a number
    (or a <windows.h> name of one), the upper-case name otherwise."""
    if token in WINDOWS_CONSTANTS:
        token = str(WINDOWS_CONSTANTS[token])
    return '#' + token if token.isdigit() else token.upper()


def read(path):
    """The script at path as a Script; raises RcError on what it does not understand."""
    strings, resources = [], []
    defines = {}
    in_table = False
    block = None  # the block resource being read
    with open(path, encoding='utf-8') as f:
        lines = f.read().splitlines()
    for number_, raw in enumerate(lines, 1):
        line = raw.split('//', 1)[0].strip()
        where = f'{path}:{number_}'
        if not line:
            continue
        if line.startswith('#'):
            m = INCLUDE.match(line)
            if not m:
                raise RcError(f'{where}: unsupported preprocessor line: {raw}')
            if m.group(1).startswith('"'):
                defines.update(read_defines(os.path.join(os.path.dirname(path), m.group(1)[1:-1])))
            continue
        line = expand(line, defines)
        if block is not None:
            if line in ('BEGIN', '{'):
                block['depth'] += 1
                if block['depth'] > 1 and block['type'] == 'DIALOG':
                    raise RcError(f'{where}: a DIALOG holds no nested block')
            elif line in ('END', '}') and block['depth'] > 0:
                block['depth'] -= 1
                if block['depth'] == 0:
                    body = block['body'] if block['type'] == 'DIALOG' else None
                    resources.append(Resource(block['type'], block['name'], None, body, where))
                    block = None
            elif block['depth'] > 0:
                block['body']['controls'].append((re.sub(r'\s+', ' ', line), where))
            else:
                key, _, value = line.partition(' ')
                block['body']['options'].append((key, value.strip()))
            continue
        m = BLOCK_HEAD.match(line)
        if m and not in_table:
            block = {'type': m.group(2), 'name': resource_id(m.group(1)), 'depth': 0,
                     'body': {'head': m.group(3), 'options': [], 'controls': []}}
            continue
        if line == 'STRINGTABLE':
            in_table = 'header'
            continue
        if in_table == 'header':
            if line not in ('BEGIN', '{'):
                raise RcError(f'{where}: BEGIN expected')
            in_table = True
            continue
        if in_table:
            if line in ('END', '}'):
                in_table = False
                continue
            m = STRING_ROW.match(line)
            if not m:
                raise RcError(f'{where}: bad string table row: {raw}')
            strings.append((int(m.group(1)), unquote(m.group(2))))
            continue
        m = FILE_RES.match(line)
        if not m:
            raise RcError(f'{where}: unsupported resource line: {raw}')
        name, rtype, rel = m.groups()
        resources.append(Resource(resource_id(rtype), resource_id(name),
                                  os.path.join(os.path.dirname(path), rel), None, where))
    if block is not None:
        raise RcError(f'{path}: {block["type"]} {block["name"]} is not closed')
    return Script(defines, strings, resources)


def main(argv):
    if len(argv) != 3 or argv[1] != '--files':
        print(__doc__.strip(), file=sys.stderr)
        return 2
    try:
        script = read(argv[2])
    except RcError as error:
        print(error, file=sys.stderr)
        return 1
    for resource in script.resources:
        if resource.path:
            print(os.path.abspath(resource.path))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
