#!/usr/bin/env python3
"""Checks the resources linked into a built Windows saver.

    check_pe_resources.py SAVER.scr resources/brackwold.rc VERSION

Reads the resource directory of the PE file itself (no third-party
modules) and compares it with the resource list:
  - every WAVE named in the list is there under type "WAVE" with exactly
    the bytes of its file, and there is no WAVE the list does not name;
  - the banner bitmap and "TITLE" are there (RT_BITMAP) holding their .bmp
    files without the 14-byte file header;
  - the configuration dialog (RT_DIALOG) holds exactly the template that
    rc2cpp.py compiles for the Linux build;
  - the string table (RT_STRING) holds every string of the list's
    STRINGTABLE, and in particular "Brackwold!", "BRKW.ini" and
    "Brackwold", which the saver looks up by number.
  - the first icon group is the icon's, with every image of its file;
  - the manifest declares per-monitor DPI awareness and asks for no
    execution level; the version block carries the project's VERSION;
  - the saver imports exactly the functions imports.txt (beside this
    script) lists for its architecture, the 32-bit one none of that list's
    deny-list, and it keeps the loader's address randomisation and
    no-execute flags.
The list and the ids of resources/resource_ids.h are read by rc_file.py,
as the Linux build reads them: windres's preprocessor and ours must agree.
Prints one line per check; exits 0 when all pass, 1 otherwise.
"""

import os
import struct
import sys
import xml.etree.ElementTree as ElementTree

RT_BITMAP = 2
RT_DIALOG = 5
RT_STRING = 6
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
IMPORT_LIST = os.path.join(os.path.dirname(os.path.abspath(__file__)), "imports.txt")
DYNAMIC_BASE, NX_COMPAT, HIGH_ENTROPY_VA = 0x40, 0x100, 0x20
TITLE_NAME = "TITLE"
BMP_FILE_HEADER = 14
REQUIRED_STRINGS = {"IDS_DESCRIPTION": "Brackwold!", "IDS_SETTINGS_FILE": "BRKW.ini",
                    "IDS_SETTINGS_SECTION": "Brackwold"}


class PEError(Exception):
    pass


def unpack(fmt, data, offset):
    size = struct.calcsize(fmt)
    if offset < 0 or offset + size > len(data):
        raise PEError("read of %d bytes at 0x%x runs past the end of the file" % (size, offset))
    return struct.unpack_from(fmt, data, offset)


def pe_layout(data):
    """(optional header offset, its magic, data directories offset,
    RVA-to-file-offset function)."""
    if data[:2] != b"MZ":
        raise PEError("no MZ header")
    (pe_offset,) = unpack("<I", data, 0x3C)
    if data[pe_offset:pe_offset + 4] != b"PE\0\0":
        raise PEError("no PE signature at 0x%x" % pe_offset)
    coff = pe_offset + 4
    _machine, section_count, _, _, _, optional_size, _ = unpack("<HHIIIHH", data, coff)
    optional = coff + 20
    (magic,) = unpack("<H", data, optional)
    if magic == 0x10B:
        count_at, directories_at = 92, 96
    elif magic == 0x20B:
        count_at, directories_at = 108, 112
    else:
        raise PEError("unknown optional header magic 0x%x" % magic)
    (directory_count,) = unpack("<I", data, optional + count_at)
    if directory_count <= 2:
        raise PEError("no resource directory entry")
    sections = []
    table = optional + optional_size
    for i in range(section_count):
        _name, virtual_size, virtual_address, raw_size, raw_pointer = unpack("<8sIIII", data, table + 40 * i)
        sections.append((virtual_address, max(virtual_size, raw_size), raw_pointer, raw_size))

    def file_offset(rva, size):
        for virtual_address, span, raw_pointer, raw_size in sections:
            if virtual_address <= rva and rva + size <= virtual_address + span:
                if rva - virtual_address + size > raw_size:
                    raise PEError("RVA 0x%x+%d lies outside the section's file data" % (rva, size))
                at = raw_pointer + rva - virtual_address
                if at + size > len(data):
                    raise PEError("RVA 0x%x+%d lies past the end of the file (cut off?)" % (rva, size))
                return at
        raise PEError("RVA 0x%x+%d is in no section" % (rva, size))

    return optional, magic, optional + directories_at, file_offset


def read_resources(data):
    """Returns {(type, name): {language: bytes}} in the directory's order;
    type and name are ints for numeric ids and upper-case strings for named
    ones."""
    _, _, directories, file_offset = pe_layout(data)
    resource_rva, resource_size = unpack("<II", data, directories + 2 * 8)
    if resource_rva == 0 or resource_size == 0:
        raise PEError("the file has no resources")
    base = file_offset(resource_rva, 16)

    def entry_name(value):
        if value & 0x80000000:
            at = base + (value & 0x7FFFFFFF)
            (length,) = unpack("<H", data, at)
            raw = data[at + 2:at + 2 + 2 * length]
            if len(raw) != 2 * length:
                raise PEError("resource name at 0x%x is cut off" % at)
            return raw.decode("utf-16-le").upper()
        return value & 0xFFFF

    def entries(offset):
        _, _, _, _, named, numbered = unpack("<IIHHHH", data, base + offset)
        for i in range(named + numbered):
            yield unpack("<II", data, base + offset + 16 + 8 * i)

    resources = {}
    # Type, name and language: exactly three levels, so a corrupt file
    # whose offsets loop back cannot recurse.
    for type_value, type_target in entries(0):
        if not type_target & 0x80000000:
            raise PEError("type level entry points at data")
        for name_value, name_target in entries(type_target & 0x7FFFFFFF):
            if not name_target & 0x80000000:
                raise PEError("name level entry points at data")
            languages = resources.setdefault((entry_name(type_value), entry_name(name_value)), {})
            for language, data_entry in entries(name_target & 0x7FFFFFFF):
                if data_entry & 0x80000000:
                    raise PEError("language level entry points at a directory")
                rva, size, _, _ = unpack("<IIII", data, base + data_entry)
                at = file_offset(rva, size)
                languages[language] = data[at:at + size]
    return resources


def read_imports(data):
    """({DLL: {function}} of the import table, upper-case DLL names; a
    function imported by ordinal as "#N"), DllCharacteristics, PE32+?)."""
    optional, magic, directories, file_offset = pe_layout(data)
    (characteristics,) = unpack("<H", data, optional + 70)
    wide = magic == 0x20B
    thunk_format, ordinal_flag = ("<Q", 1 << 63) if wide else ("<I", 1 << 31)
    thunk_size = struct.calcsize(thunk_format)

    def text(rva):
        start = file_offset(rva, 1)
        end = data.find(b"\0", start)
        if end < 0:
            raise PEError("name at RVA 0x%x has no end" % rva)
        return data[start:end].decode("ascii")

    rva, _ = unpack("<II", data, directories + 8)
    imports, at = {}, file_offset(rva, 20)
    while True:
        lookup, _, _, name_rva, first_thunk = unpack("<IIIII", data, at)
        if name_rva == 0:
            return imports, characteristics, wide
        functions = imports.setdefault(text(name_rva).upper(), set())
        entry = file_offset(lookup or first_thunk, thunk_size)
        while True:
            (value,) = unpack(thunk_format, data, entry)
            if value == 0:
                break
            functions.add("#%d" % (value & 0xFFFF) if value & ordinal_flag else text((value & 0x7FFFFFFF) + 2))
            entry += thunk_size
        at += 20


def read_import_list(path, arch):
    """({(DLL, function)} reviewed for arch, {function: why} denied)."""
    allowed, denied = set(), {}
    with open(path) as listing:
        for line in listing:
            words = line.split()
            if not words or words[0].startswith("#"):
                continue
            if words[0] == "deny":
                denied[words[1]] = " ".join(words[2:])
            elif words[0] == arch:
                allowed.update((words[1], function) for function in words[2:])
    return allowed, denied


def version_text(raw, key):
    """The text stored under key in a version block, or None."""
    at = raw.find((key + "\0").encode("utf-16-le"))
    if at < 0:
        return None
    at += 2 * len(key) + 2
    at += -at % 4  # values start on a 4-byte boundary
    return raw[at:at + 256].decode("utf-16-le", "replace").split("\0")[0]


def read_rc(script):
    """Returns (waves {NAME: file}, bitmaps {id: file}, strings {id: text})
    of the script as rc_file.py reads it."""
    resources = script.resources
    waves = {r.name: r.path for r in resources if r.type == "WAVE"}
    bitmaps = {int(r.name[1:]) if r.name.startswith("#") else r.name: r.path for r in resources if r.type == "BITMAP"}
    return waves, bitmaps, dict(script.strings)


def string_block(resources, block):
    """The 16 strings of one RT_STRING block (id / 16 + 1), or None."""
    languages = resources.get((RT_STRING, block))
    if not languages:
        return None
    raw = next(iter(languages.values()))
    strings, at = [], 0
    for _ in range(16):
        if at + 2 > len(raw):
            return None
        (length,) = struct.unpack_from("<H", raw, at)
        text = raw[at + 2:at + 2 + 2 * length]
        if len(text) != 2 * length:
            return None
        strings.append(text.decode("utf-16-le"))
        at += 2 + 2 * length
    return strings


def main(argv):
    if len(argv) != 4:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    scr_path, rc_path, version = argv[1:]
    failures = []

    def check(ok, what):
        print("%s - %s" % ("ok  " if ok else "FAIL", what))
        if not ok:
            failures.append(what)

    with open(scr_path, "rb") as scr:
        image = scr.read()
    try:
        resources = read_resources(image)
    except PEError as error:
        check(False, "%s: resource directory: %s" % (scr_path, error))
        return 1
    # The script's reader and the Linux build's compiler, which the checks
    # below hold windres to.
    rc_folder = os.path.dirname(os.path.abspath(rc_path))
    sys.path.insert(0, rc_folder)
    import rc2cpp
    import rc_file
    script = rc_file.read(rc_path)
    ids = script.defines
    banner_id, dialog_id = int(ids["IDB_BANNER"]), int(ids["IDD_CONFIG"])
    waves, bitmaps, strings = read_rc(script)
    carried = sorted(name for kind, name in resources if kind == "WAVE")
    check(len(carried) > 0, "the saver carries WAVE resources (%d)" % len(carried))

    def single(key):
        languages = resources.get(key, {})
        return next(iter(languages.values())) if len(languages) == 1 else None

    for name, file_name in sorted(waves.items()):
        with open(file_name, "rb") as wav:
            expected = wav.read()
        got = single(("WAVE", name))
        if got is None:
            check(False, "WAVE %s is missing (or not exactly one language)" % name)
        else:
            check(got == expected, "WAVE %s holds the %d bytes of %s" % (name, len(expected), os.path.basename(file_name)))
    extra = [name for name in carried if name not in waves]
    check(not extra, "no WAVE beyond the list%s" % (": " + ", ".join(map(str, extra)) if extra else ""))

    for bitmap_name in (banner_id, TITLE_NAME):
        bitmap_file = bitmaps.get(bitmap_name, os.devnull)
        with open(bitmap_file, "rb") as bmp:
            expected = bmp.read()
        got = single((RT_BITMAP, bitmap_name))
        check(expected[:2] == b"BM" and got is not None and got == expected[BMP_FILE_HEADER:],
              "bitmap %s holds %s without its file header (%d bytes)"
              % (bitmap_name, os.path.basename(bitmap_file), len(expected) - BMP_FILE_HEADER))

    # The Linux build embeds what rc2cpp.py compiles; the two must agree.
    compiled = {name: data for kind, name, data in rc2cpp.parse(rc_path)[1] if kind == "DIALOG"}
    got = single((RT_DIALOG, dialog_id))
    check(got is not None and got == compiled.get("#%d" % dialog_id),
          "dialog %d is the template the Linux build embeds (%d bytes)" % (dialog_id, len(got or b"")))

    wanted = dict(strings)
    wanted.update((int(ids[name]), text) for name, text in REQUIRED_STRINGS.items())
    for number, text in sorted(wanted.items()):
        block = string_block(resources, number // 16 + 1)
        got = block[number % 16] if block else None
        check(got == text, "string %d is %r (found %r)" % (number, text, got))

    groups = [name for kind, name in resources if kind == RT_GROUP_ICON]
    check(groups[:1] == [int(ids["IDI_BRACKWOLD"])], "the first icon group is IDI_BRACKWOLD (%s)" % groups)
    with open(os.path.join(rc_folder, "brackwold.ico"), "rb") as ico:
        icon = ico.read()
    images = (struct.unpack_from("<II", icon, 14 + 16 * i) for i in range(struct.unpack_from("<H", icon, 4)[0]))
    wanted_images = sorted(icon[offset:offset + size] for size, offset in images)
    group = single((RT_GROUP_ICON, groups[0])) if groups else b""
    count = struct.unpack_from("<H", group, 4)[0] if len(group) >= 6 else 0
    members = [struct.unpack_from("<BBHHHIH", group, 6 + 14 * i) for i in range(count)]
    check(sorted(single((RT_ICON, member[-1])) or b"" for member in members) == wanted_images,
          "the icon group holds the %d images of brackwold.ico" % len(wanted_images))
    check({member[0] or 256 for member in members} == {16, 32, 48, 256}, "the icon comes in 16, 32, 48 and 256 px")

    manifest = ElementTree.fromstring(single((RT_MANIFEST, 1)) or b"<none/>")
    texts = {element.tag.rsplit("}", 1)[-1]: (element.text or "").strip() for element in manifest.iter()}
    check(texts.get("dpiAwareness", "").startswith("PerMonitorV2") and texts.get("dpiAware") == "true/pm",
          "the manifest declares per-monitor DPI awareness")
    check("requestedExecutionLevel" not in texts, "the manifest asks for no execution level")

    block = single((RT_VERSION, 1)) or b""
    fixed = block.find(struct.pack("<I", 0xFEEF04BD))
    ms, ls = struct.unpack_from("<II", block, fixed + 8) if fixed >= 0 else (0, 0)
    found = "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    check(found == version + ".0", "the file version is %s (found %s)" % (version, found))
    for key, text in (("ProductName", "Brackwold!"), ("FileVersion", version), ("ProductVersion", version),
                      ("CompanyName", "The Brackwold! developers")):
        got = version_text(block, key)
        check(got == text, "version string %s is %r (found %r)" % (key, text, got))

    imports, flags, wide = read_imports(image)
    arch = "x86_64" if wide else "i686"
    allowed, denied = read_import_list(IMPORT_LIST, arch)
    found = {(dll, function) for dll, functions in imports.items() for function in functions}
    for dll, function in sorted(pair for pair in found if pair[1] in denied and not wide):
        check(False, "%s!%s is imported, which Windows 95/98 lack (%s): the 32-bit saver would not load there"
              % (dll, function, denied[function]))
    for dll, function in sorted(found - allowed):
        check(False, "%s!%s is imported but not in %s's %s list: review it" % (dll, function, IMPORT_LIST, arch))
    for dll, function in sorted(allowed - found):
        check(False, "%s!%s is in the %s list but no longer imported: take it out" % (dll, function, arch))
    check(found == allowed, "the %d imports are the reviewed %s list" % (len(found), arch))
    wanted_flags = DYNAMIC_BASE | NX_COMPAT | (HIGH_ENTROPY_VA if wide else 0)
    check(flags & wanted_flags == wanted_flags, "DllCharacteristics 0x%x keep 0x%x" % (flags, wanted_flags))

    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
