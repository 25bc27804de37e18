#!/usr/bin/env bash
# Builds the Linux program and tests (build/linux) and, with --windows, the
# two Windows savers (build/win32, build/win64), or with --deb the Debian
# package build/linux/brackwold_VERSION_ARCH.deb. Incremental.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

cmake -S "$top" -B "$top/build/linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBRACKWOLD_WINDOWS_SCR="$top/build/win64/brackwold.scr" >/dev/null
ninja -C "$top/build/linux" -j "$jobs"

if [ "${1:-}" = --windows ]; then
    for arch in i686:win32 x86_64:win64; do
        cmake -S "$top" -B "$top/build/${arch#*:}" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-${arch%%:*}.cmake" >/dev/null
        ninja -C "$top/build/${arch#*:}" -j "$jobs"
    done
fi

if [ "${1:-}" = --deb ]; then
    (cd "$top/build/linux" && cpack -G DEB >/dev/null)
    ls "$top"/build/linux/brackwold_*.deb
fi
