#!/usr/bin/env python3
"""Turns the resource script into the Linux build's embedded tables.

rc_file.py reads the script; here its DIALOG blocks are compiled into the
binary dialog template the Windows dialog manager reads, byte for byte as
windres writes it, and the strings, the dialogs and the files the program
loads are embedded. What only Windows itself reads (the icon, the manifest,
the version block) is left out.
"""
import hashlib
import os
import re
import struct
import sys

import rc_file

# The constants of <windows.h> that dialog scripts may name.
CONSTANTS = rc_file.WINDOWS_CONSTANTS
# Predefined control classes are stored as atoms.
CLASS_ATOMS = {'BUTTON': 0x80, 'EDIT': 0x81, 'STATIC': 0x82, 'LISTBOX': 0x83, 'SCROLLBAR': 0x84,
               'COMBOBOX': 0x85}
# Statement: (class, style always set, default style when none is given).
STATEMENTS = {
    'DEFPUSHBUTTON': ('BUTTON', 0x1, 0x00010000),
    'PUSHBUTTON': ('BUTTON', 0x0, 0x00010000),
    'LTEXT': ('STATIC', 0x0, 0x00020000),
    'SCROLLBAR': ('SCROLLBAR', 0x0, 0x0),
}
CHILD_VISIBLE = 0x50000000

def split_args(text):
    """Comma-separated arguments; quoted strings keep their commas."""
    args, current, quoted = [], '', False
    for ch in text:
        if ch == '"':
            quoted = not quoted
        if ch == ',' and not quoted:
            args.append(current.strip())
            current = ''
        else:
            current += ch
    args.append(current.strip())
    return args


def number(text, where):
    """A number or an expression of known names joined with |."""
    value = 0
    for part in text.split('|'):
        part = part.strip()
        if part.startswith('NOT '):
            sys.exit(f'{where}: NOT is not supported')
        if re.fullmatch(r'-?\d+', part):
            value |= int(part) & 0xFFFFFFFF
        elif re.fullmatch(r'0x[0-9a-fA-F]+', part):
            value |= int(part, 16)
        elif part in CONSTANTS:
            value |= CONSTANTS[part]
        else:
            sys.exit(f'{where}: unknown name {part}')
    return value


def quoted(text, where):
    if len(text) < 2 or text[0] != '"' or text[-1] != '"':
        sys.exit(f'{where}: quoted text expected: {text}')
    return text[1:-1].replace('""', '"')


def utf16z(text):
    return text.encode('utf-16-le') + b'\0\0'


def parse_control(line, where):
    keyword, _, rest = line.partition(' ')
    args = split_args(rest)
    if keyword == 'CONTROL':
        if len(args) != 8:
            sys.exit(f'{where}: CONTROL takes text, id, class, style, x, y, width, height')
        text = quoted(args[0], where)
        cls = quoted(args[2], where).upper()
        style = CHILD_VISIBLE | number(args[3], where)
        ident, rect = number(args[1], where), [number(a, where) for a in args[4:8]]
    elif keyword in STATEMENTS:
        cls, forced, default = STATEMENTS[keyword]
        if keyword == 'SCROLLBAR':
            text, args = '', [''] + args
        else:
            text = quoted(args[0], where)
        if len(args) not in (6, 7):
            sys.exit(f'{where}: {keyword} takes [text,] id, x, y, width, height [, style]')
        ident, rect = number(args[1], where), [number(a, where) for a in args[2:6]]
        style = CHILD_VISIBLE | forced | (number(args[6], where) if len(args) == 7 else default)
    else:
        sys.exit(f'{where}: unsupported control statement {keyword}')
    if cls not in CLASS_ATOMS:
        sys.exit(f'{where}: unknown control class {cls}')
    # windres stores a class named in CONTROL as its upper-case name, the
    # other statements' classes as atoms.
    return style, rect, ident, (cls if keyword == 'CONTROL' else CLASS_ATOMS[cls]), text


def encode_dialog(body, where):
    """The DLGTEMPLATE bytes: header, menu, class, caption, font, then each
    item on a 4-byte boundary."""
    rect = [number(a, where) for a in split_args(body['head'])]
    if len(rect) != 4:
        sys.exit(f'{where}: DIALOG takes x, y, width, height')
    style, caption, font = 0, None, None
    for key, value in body['options']:
        if key == 'STYLE':
            style = number(value, where)
        elif key == 'CAPTION':
            caption = quoted(value, where)
        elif key == 'FONT':
            size, face = split_args(value)
            font = (int(size), quoted(face, where))
        else:
            sys.exit(f'{where}: unsupported dialog option {key}')
    if caption is not None:
        style |= CONSTANTS['WS_CAPTION']
    if font is not None:
        style |= CONSTANTS['DS_SETFONT']
    controls = [parse_control(line, at) for line, at in body['controls']]
    out = struct.pack('<IIHhhhh', style, 0, len(controls), *rect)
    out += b'\0\0' + b'\0\0' + utf16z(caption or '')
    if font is not None:
        out += struct.pack('<H', font[0]) + utf16z(font[1])
    for cstyle, crect, ident, cls, text in controls:
        out += bytes(-len(out) % 4)
        out += struct.pack('<IIhhhhH', cstyle, 0, *crect, ident & 0xFFFF)
        out += utf16z(cls) if isinstance(cls, str) else struct.pack('<HH', 0xFFFF, cls)
        out += utf16z(text) + b'\0\0'
    return out


def parse(path):
    """(strings as (id, text), entries as (TYPE, NAME, file path or compiled
    bytes)) of what the Linux build embeds, in the script's order."""
    script = rc_file.read(path)
    entries = []
    for resource in script.resources:
        if resource.type in rc_file.WINDOWS_ONLY_TYPES:
            continue
        if resource.type == 'DIALOG':
            entries.append(('DIALOG', resource.name, encode_dialog(resource.block, resource.where)))
        else:
            entries.append((resource.type, resource.name, resource.path))
    return script.strings, entries


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
    try:
        strings, entries = parse(script)
    except rc_file.RcError as error:
        sys.exit(str(error))
    files = []
    os.makedirs(os.path.dirname(output) or '.', exist_ok=True)
    for rtype, name, source in entries:
        if isinstance(source, bytes):
            # A compiled block: written beside the table for .incbin to pick up.
            path = os.path.join(os.path.dirname(output) or '.', f'{rtype.lower()}_{name.strip("#").lower()}.bin')
            with open(path, 'wb') as f:
                f.write(source)
            files.append((rtype, name, path, source))
            continue
        with open(source, 'rb') as f:
            files.append((rtype, name, source, f.read()))
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
