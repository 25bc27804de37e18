#!/usr/bin/env bash
# Builds the Linux program and tests (build/linux) and, with --windows, the
# two Windows savers (build/win32, build/win64), or with --deb the Debian
# package build/linux/brackwold_VERSION_ARCH.deb; with --program only the
# program itself (what scripts/run.sh starts). Incremental; each tree is
# configured as CMakePresets.json says.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

cmake -S "$top" --preset linux >/dev/null
if [ "${1:-}" = --program ]; then
    ninja -C "$top/build/linux" -j "$jobs" brackwold
    exit 0
fi
ninja -C "$top/build/linux" -j "$jobs"

if [ "${1:-}" = --windows ]; then
    for tree in win32 win64; do
        cmake -S "$top" --preset "$tree" >/dev/null
        ninja -C "$top/build/$tree" -j "$jobs"
    done
fi

if [ "${1:-}" = --deb ]; then
    (cd "$top/build/linux" && cpack -G DEB >/dev/null)
    ls "$top"/build/linux/brackwold_*.deb
fi
