#!/usr/bin/env bash
# Builds a release and leaves it in build/release/: the Debian package, the
# two Windows Installer packages, a zip of both Windows savers with a short
# text on installing them, and SHA256SUMS over all of it. Run the tests
# (scripts/test.sh) on the same tree first.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export CCACHE_BASEDIR="$top" CCACHE_NOHASHDIR=true
"$top/scripts/setup.sh"
"$top/scripts/build.sh" --windows
"$top/scripts/build.sh" --deb >/dev/null

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$top/build/linux/CMakeCache.txt")
out=$top/build/release
rm -rf "$out"
mkdir -p "$out/zip"
cp "$top"/build/linux/brackwold_"$version"_*.deb "$out/"
cp "$top/build/win64/brackwold-$version-x64.msi" "$top/build/win32/brackwold-$version-x86.msi" "$out/"

# The savers under names that say which Windows each is for; the text with
# Windows line ends (zip -l). Every file dated by the last commit (or
# SOURCE_DATE_EPOCH), so the same tree zips to the same bytes.
cp "$top/build/win64/brackwold.scr" "$out/zip/brackwold-64bit.scr"
cp "$top/build/win32/brackwold.scr" "$out/zip/brackwold-32bit.scr"
cp "$top/platform/windows/install/INSTALL.txt" "$out/zip/"
stamp=${SOURCE_DATE_EPOCH:-$(git -C "$top" log -1 --format=%ct 2>/dev/null || date +%s)}
touch -d "@$stamp" "$out"/zip/*
zip="brackwold-$version-windows.zip"
(cd "$out/zip" && zip -q -X "../$zip" brackwold-64bit.scr brackwold-32bit.scr && zip -q -X -l "../$zip" INSTALL.txt)
rm -r "$out/zip"

(cd "$out" && sha256sum -- *.deb *.msi *.zip >SHA256SUMS)
echo "$out:"
ls -l "$out"
