#!/usr/bin/env python3
"""Renders every picture of docs/figures and docs/scenes again with the
offscreen renderer that made them and compares each, pixel by pixel, with
the committed file.

Usage: compare_pictures.py RENDER_FIGURES DOCS SCRATCH
  RENDER_FIGURES is the built tools/render_figures, DOCS the docs folder,
  SCRATCH a folder for the fresh pictures (kept, to look at after a failure).

Exit 0 when every picture matches: in each, at most STRAY_PIXELS pixels
differ by more than CHANNEL_SLACK in a channel. llvmpipe renders these bit for bit on this machine, also
with a narrower vector width (LP_NATIVE_VECTOR_WIDTH=128); with its vector
code turned off (GALLIUM_NOSSE=1), as on a processor without those units,
30 of the 36 pictures change, all by at most 2 in a channel but for two
single pixels. A missing part, a swapped colour or a wrong pose changes far
more. After an intended change, render the pictures again into docs
(`ninja -C build/linux figure_pictures`) and commit them.
"""
import os
import subprocess
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'resources'))
from make_title import read_png  # noqa: E402  (the one PNG reader of the tree)

CHANNEL_SLACK = 2
STRAY_PIXELS = 16
FOLDERS = ('figures', 'scenes')


def pictures(top):
    return {f'{folder}/{name}' for folder in FOLDERS if os.path.isdir(os.path.join(top, folder))
            for name in os.listdir(os.path.join(top, folder)) if name.endswith('.png')}


def difference(committed, fresh):
    """None when the two match, else a sentence saying how they differ."""
    cw, ch, crows = read_png(committed)
    fw, fh, frows = read_png(fresh)
    if (cw, ch) != (fw, fh):
        return f'size {fw} x {fh} instead of {cw} x {ch}'
    beyond, largest, box = 0, 0, None
    for y, (crow, frow) in enumerate(zip(crows, frows)):
        if crow == frow:
            continue
        for x, (a, b) in enumerate(zip(crow, frow)):
            gap = max(abs(a[i] - b[i]) for i in range(3))
            largest = max(largest, gap)
            if gap > CHANNEL_SLACK:
                beyond += 1
                box = (x, y, x, y) if box is None else (
                    min(box[0], x), min(box[1], y), max(box[2], x), max(box[3], y))
    if beyond <= STRAY_PIXELS:
        return None
    share = 100.0 * beyond / (cw * ch)
    return (f'{beyond} of {cw * ch} pixels ({share:.2f} %) differ by more than {CHANNEL_SLACK}, '
            f'up to {largest}, within x {box[0]}..{box[2]}, y {box[1]}..{box[3]} from the top left')


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__.strip())
    render_figures, docs, scratch = sys.argv[1:]
    if not render_figures:
        print('skipped: render_figures is not built here')
        return 77
    for folder in FOLDERS:
        os.makedirs(os.path.join(scratch, folder), exist_ok=True)
        for name in os.listdir(os.path.join(scratch, folder)):
            os.remove(os.path.join(scratch, folder, name))
    run = subprocess.run([render_figures, scratch, '256'], stdout=subprocess.DEVNULL, timeout=300)
    if run.returncode != 0:
        print(f'render_figures failed with {run.returncode}')
        return 1

    committed, fresh = pictures(docs), pictures(scratch)
    failures = []
    for name in sorted(committed - fresh):
        failures.append(f'docs/{name}: committed but no longer rendered')
    for name in sorted(fresh - committed):
        failures.append(f'docs/{name}: rendered but not committed')
    for name in sorted(committed & fresh):
        how = difference(os.path.join(docs, name), os.path.join(scratch, name))
        if how:
            failures.append(f'docs/{name}: {how}; fresh picture {os.path.join(scratch, name)}')
    for line in failures:
        print(line)
    if failures:
        print(f'{len(failures)} of {len(committed | fresh)} pictures differ from a fresh rendering; '
              'if the change was intended, run `ninja -C build/linux figure_pictures` and commit docs/')
        return 1
    print(f'all {len(committed)} pictures match a fresh rendering')
    return 0


if __name__ == '__main__':
    sys.exit(main())
