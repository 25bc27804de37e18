#!/usr/bin/env python3
"""Checks the one resource list, resources/brackwold.rc, and what it names.

- every file it names exists, each WAVE is playable PCM of a sane length and
  level, the banner bitmap (IDB_BANNER) is the 230 x 10, 24-bit banner and
  bitmap "TITLE" the 231 x 172 picture in 256 colours;
- the configuration dialog (IDD_CONFIG) is there;
- every id the resources and the code share is a #define of the included
  header, and the script's numbers come from there;
- the Linux build's embedded tables (dumped by dump_resource_table) hold the
  same entries with the same bytes, and the same strings, less the icon and
  the manifest, which only Windows reads, and among them each of the 43
  sound names the saver plays exactly once.

Usage: check_resources.py <brackwold.rc> [<dump_resource_table>]
Without the dump program only the list and its files are checked.
"""
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'resources'))
import rc_file  # noqa: E402

RC_PATH = None
DUMP_PROGRAM = None

SOUND_NAMES = (
    [f'WOBBLO{i}' for i in range(1, 17)] + [f'MUFFIX{i}' for i in range(1, 6)] +
    [f'TAVIK{i}' for i in range(1, 6)] + [f'BEXLO{i}' for i in range(1, 7)] + ['RETCHCUE'] +
    [f'NIBBO{i}' for i in range(1, 5)] +
    ['GASPWAIL', 'CURSEWAIL', 'JOLLYTUNE', 'KICKREADY', 'KICKPLEA', 'KICKCALL'])

# Seconds a sound may last: long enough to hear, short enough for its scene.
SHORTEST, LONGEST = 0.3, 12.0
TUNE_LENGTH = (8.0, 10.0)   # JOLLYTUNE plays from 3 s to 12 s of its scene


def read_rc(path):
    """(file resources as (TYPE, NAME, path), dialogs as (TYPE, NAME),
    strings as (id, text))."""
    script = rc_file.read(path)
    files = [(r.type, r.name, r.path) for r in script.resources if r.path]
    return files, [(r.type, r.name) for r in script.resources if r.type == 'DIALOG'], script.strings


def chunks(data):
    """The chunks of a RIFF file body as {id: bytes}; raises on a bad layout."""
    found, pos = {}, 12
    while pos + 8 <= len(data):
        cid, size = struct.unpack_from('<4sI', data, pos)
        if pos + 8 + size > len(data):
            raise ValueError(f'chunk {cid!r} runs past the end')
        found.setdefault(cid, data[pos + 8:pos + 8 + size])
        pos += 8 + size + (size & 1)
    return found


def parse_wave(data):
    """(channels, rate, bits, seconds, peak 0..1, share of samples at full scale)."""
    if data[:4] != b'RIFF' or data[8:12] != b'WAVE':
        raise ValueError('not a RIFF WAVE file')
    if struct.unpack_from('<I', data, 4)[0] + 8 != len(data):
        raise ValueError('RIFF size does not match the file')
    parts = chunks(data)
    if b'fmt ' not in parts or b'data' not in parts:
        raise ValueError('fmt or data chunk missing')
    tag, channels, rate, byte_rate, align, bits = struct.unpack_from('<HHIIHH', parts[b'fmt '])
    if tag != 1:
        raise ValueError(f'format tag {tag}, not PCM')
    if bits not in (8, 16) or align != channels * bits // 8 or byte_rate != rate * align:
        raise ValueError(f'inconsistent fmt: {channels} ch, {bits} bit, align {align}')
    samples = parts[b'data']
    if bits == 8:
        values = [b - 128 for b in samples]
        full = 127
    else:
        values = [v for (v,) in struct.iter_unpack('<h', samples[:len(samples) // 2 * 2])]
        full = 32767
    if not values:
        raise ValueError('no samples')
    peak = max(abs(v) for v in values) / full
    clipped = sum(1 for v in values if v >= full or v <= -full) / len(values)
    return channels, rate, bits, len(samples) / byte_rate, peak, clipped


def bitmap_info(data):
    """(width, height, bits, compression) of a .bmp file, checked for sense."""
    if data[:2] != b'BM':
        raise ValueError('not a BMP file')
    file_size, _, offset = struct.unpack_from('<I4sI', data, 2)
    header, width, height, planes, bits, compression = struct.unpack_from('<IiiHHI', data, 14)
    if file_size != len(data) or header < 40 or planes != 1:
        raise ValueError('bad BMP headers')
    stride = (abs(width) * bits // 8 + 3) & ~3
    if offset + stride * abs(height) > len(data):
        raise ValueError('pixel data shorter than the picture')
    return width, height, bits, compression


class ResourceList(unittest.TestCase):
    def setUp(self):
        self.files, self.blocks, self.strings = read_rc(RC_PATH)
        self.ids = rc_file.read_defines(os.path.join(os.path.dirname(RC_PATH), 'resource_ids.h'))

    def test_every_named_file_exists_and_names_are_unique(self):
        self.assertTrue(self.files, 'no file resources in the list')
        for rtype, name, path in self.files:
            with self.subTest(name=name):
                self.assertTrue(os.path.isfile(path), f'{path} missing')
        keys = [(rtype, name) for rtype, name, _ in self.files]
        duplicates = sorted({k for k in keys if keys.count(k) > 1})
        self.assertEqual(duplicates, [])

    def test_waves_are_playable_pcm_of_sane_length_and_level(self):
        for rtype, name, path in self.files:
            if rtype != 'WAVE':
                continue
            with self.subTest(name=name):
                with open(path, 'rb') as f:
                    channels, rate, bits, seconds, peak, clipped = parse_wave(f.read())
                self.assertIn(channels, (1, 2))
                self.assertIn(rate, (8000, 11025, 16000, 22050))
                low, high = TUNE_LENGTH if name == 'JOLLYTUNE' else (SHORTEST, LONGEST)
                self.assertGreaterEqual(seconds, low)
                self.assertLessEqual(seconds, high)
                self.assertGreater(peak, 0.25, 'nearly silent')
                self.assertLess(clipped, 0.001, 'clipped')

    def test_banner_is_230_by_10_at_24_bits(self):
        banner = [path for rtype, name, path in self.files if (rtype, name) == ('BITMAP', self.id('IDB_BANNER'))]
        self.assertEqual(len(banner), 1)
        with open(banner[0], 'rb') as f:
            data = f.read()
        self.assertEqual(bitmap_info(data), (230, 10, 24, 0))

    def test_title_is_231_by_172_in_256_colours(self):
        title = [path for rtype, name, path in self.files if (rtype, name) == ('BITMAP', 'TITLE')]
        self.assertEqual(len(title), 1)
        with open(title[0], 'rb') as f:
            data = f.read()
        self.assertEqual(bitmap_info(data), (231, 172, 8, 0))
        used = struct.unpack_from('<I', data, 46)[0]
        self.assertLessEqual(used, 256)

    def test_the_dialog_is_listed_once(self):
        self.assertEqual(self.blocks, [('DIALOG', self.id('IDD_CONFIG'))])

    def test_ids_are_names_of_the_header(self):
        with open(RC_PATH, encoding='utf-8') as f:
            numbered = [raw.strip() for raw in f if re.match(r'\s*\d+\s', raw)]
        self.assertEqual(numbered, [], 'ids written as numbers in the script')

    def id(self, name):
        return '#' + self.ids[name]

    def test_sounds_fit_in_the_executable(self):
        total = sum(os.path.getsize(path) for rtype, _, path in self.files if rtype == 'WAVE')
        self.assertLess(total, 2 * 1024 * 1024)


class CheckerSelfTest(unittest.TestCase):
    """The parsers above must reject what a player would choke on."""

    @staticmethod
    def wave(tag=1, channels=1, rate=11025, bits=8, samples=b'\x80\xff\x00\x80', extra=b''):
        align = channels * bits // 8
        fmt = struct.pack('<HHIIHH', tag, channels, rate, rate * align, align, bits)
        body = b'WAVE' + b'fmt ' + struct.pack('<I', len(fmt)) + fmt + extra
        body += b'data' + struct.pack('<I', len(samples)) + samples
        return b'RIFF' + struct.pack('<I', len(body)) + body

    def test_wave_parser(self):
        good = self.wave()
        self.assertEqual(parse_wave(good)[:3], (1, 11025, 8))
        self.assertAlmostEqual(parse_wave(good)[4], 128 / 127)
        # skips a chunk it does not know
        listed = self.wave(extra=b'LIST' + struct.pack('<I', 3) + b'abc\x00')
        self.assertEqual(parse_wave(listed)[:3], (1, 11025, 8))
        bad = {
            'not riff': b'RIFX' + good[4:],
            'float': self.wave(tag=3, bits=16, samples=b'\x00\x00'),
            'truncated': good[:-2],
            'no data': self.wave(samples=b''),
            '24-bit': self.wave(bits=24, samples=b'\x00' * 3),
        }
        for label, data in bad.items():
            with self.subTest(label):
                self.assertRaises((ValueError, struct.error), parse_wave, data)

    def test_bitmap_parser(self):
        def bmp(width, height, bits, cut=0):
            stride = (width * bits // 8 + 3) & ~3
            info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, 0, 0, 0, 0, 0)
            pixels = bytes(stride * height - cut)
            size = 54 + len(pixels)
            return struct.pack('<2sI4sI', b'BM', size, bytes(4), 54) + info + pixels
        self.assertEqual(bitmap_info(bmp(230, 10, 24)), (230, 10, 24, 0))
        self.assertRaises(ValueError, bitmap_info, bmp(230, 10, 24, cut=1))
        self.assertRaises(ValueError, bitmap_info, b'XX' + bmp(4, 4, 24)[2:])


class EmbeddedTable(unittest.TestCase):
    def setUp(self):
        if not DUMP_PROGRAM:
            self.skipTest('no dump program given')
        self.files, self.blocks, self.strings = read_rc(RC_PATH)
        self.files = [entry for entry in self.files if entry[0] not in rc_file.WINDOWS_ONLY_TYPES]
        self.folder = tempfile.TemporaryDirectory()
        result = subprocess.run([DUMP_PROGRAM, self.folder.name], check=True,
                                capture_output=True, text=True)
        self.entries, self.embedded_strings = [], []
        for line in result.stdout.splitlines():
            kind, rest = line.split(' ', 1)
            if kind == 'R':
                index, rtype, name, size = rest.split(' ')
                self.entries.append((rtype, name, int(index), int(size)))
            else:
                ident, text = rest.split(' ', 1)
                self.embedded_strings.append((int(ident), text))

    def tearDown(self):
        if hasattr(self, 'folder'):
            self.folder.cleanup()

    def test_same_entries_as_the_list(self):
        listed = sorted((rtype, name) for rtype, name, _ in self.files)
        listed += sorted(self.blocks)
        embedded = sorted((rtype, name) for rtype, name, _, _ in self.entries)
        self.assertEqual(sorted(listed), embedded)

    def test_same_bytes_as_the_files(self):
        by_key = {(rtype, name): (index, size) for rtype, name, index, size in self.entries}
        for rtype, name, path in self.files:
            with self.subTest(name=name):
                index, size = by_key[(rtype, name)]
                with open(path, 'rb') as f:
                    expected = f.read()
                with open(os.path.join(self.folder.name, f'{index}.bin'), 'rb') as f:
                    self.assertEqual(f.read(), expected)
                self.assertEqual(size, len(expected))

    def test_all_sounds_present_once(self):
        waves = [name for rtype, name, _, _ in self.entries if rtype == 'WAVE']
        for name in SOUND_NAMES:
            with self.subTest(name=name):
                self.assertEqual(waves.count(name), 1)
        self.assertEqual(sorted(set(waves) - set(SOUND_NAMES)), [], 'unexpected sounds')

    def test_same_strings(self):
        self.assertEqual(sorted(self.embedded_strings), sorted(self.strings))


if __name__ == '__main__':
    RC_PATH = sys.argv[1]
    DUMP_PROGRAM = sys.argv[2] if len(sys.argv) > 2 else None
    unittest.main(argv=sys.argv[:1], verbosity=1)
