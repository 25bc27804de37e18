#!/usr/bin/env bash
# Builds a release and leaves it in build/release/: the Debian package, the
# two Windows Installer packages, a zip of both Windows savers with a short
# text on installing them, and SHA256SUMS over all of it. Run the tests
# (scripts/test.sh) on the same tree first.
#
#   release.sh                      builds everything, then the release
#   release.sh --windows-only DIR   only the Windows part (both packages and
#                                   the zip) into DIR, from the savers that
#                                   build/win32 and build/win64 hold; builds
#                                   nothing (the release test runs this)
#
# Signing: given a PKCS#12 certificate, both savers (inside the zip and the
# packages) and both packages are signed with osslsigncode.
#   BRACKWOLD_SIGN_PKCS12          the certificate and its key (.p12, .pfx)
#   BRACKWOLD_SIGN_PASSWORD_FILE   a file holding its password, or
#   BRACKWOLD_SIGN_PASSWORD        the password itself
#   BRACKWOLD_SIGN_TIMESTAMP       a time-stamp server's URL (optional)
# The password never goes on a command line, where other users could read it.
# Without a certificate everything is built unsigned, and the script says so.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^project(brackwold VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
# Every file dated by the last commit (or SOURCE_DATE_EPOCH), so the same
# tree gives the same bytes.
stamp=${SOURCE_DATE_EPOCH:-$(git -C "$top" log -1 --format=%ct 2>/dev/null || date +%s)}

# sign FILE: signs FILE in place when a certificate is given.
sign() {
    [ -n "${BRACKWOLD_SIGN_PKCS12:-}" ] || return 0
    local options=(-pkcs12 "$BRACKWOLD_SIGN_PKCS12" -n "Brackwold!" -h sha256)
    if [ -n "${BRACKWOLD_SIGN_TIMESTAMP:-}" ]; then
        options+=(-ts "$BRACKWOLD_SIGN_TIMESTAMP")
    else
        options+=(-time "$stamp")  # no server: the signing time is the tree's
    fi
    if [ -n "${BRACKWOLD_SIGN_PASSWORD_FILE:-}" ]; then
        osslsigncode sign "${options[@]}" -readpass "$BRACKWOLD_SIGN_PASSWORD_FILE" -in "$1" -out "$1.signed"
    else
        printf '%s' "${BRACKWOLD_SIGN_PASSWORD:-}" |
            osslsigncode sign "${options[@]}" -readpass - -in "$1" -out "$1.signed"
    fi >/dev/null
    mv "$1.signed" "$1"
}

# windows_release DIR: both packages and the zip, signed or not, into DIR.
windows_release() {
    local out=$1 work
    if [ -n "${BRACKWOLD_SIGN_PKCS12:-}" ]; then
        echo "Signing the savers and packages with $BRACKWOLD_SIGN_PKCS12"
    else
        echo "No certificate given (BRACKWOLD_SIGN_PKCS12): the savers and packages are not signed"
    fi
    work=$(mktemp -d)
    mkdir -p "$out"
    # The savers under names that say which Windows each is for; each package
    # made again around its signed saver, as the build makes it.
    cp "$top/build/win64/brackwold.scr" "$work/brackwold-64bit.scr"
    cp "$top/build/win32/brackwold.scr" "$work/brackwold-32bit.scr"
    local arch bits msi
    for arch in x64:64 x86:32; do
        bits=${arch#*:} arch=${arch%%:*} msi=$out/brackwold-$version-$arch.msi
        sign "$work/brackwold-${bits}bit.scr"
        mkdir -p "$work/$arch" && cp "$work/brackwold-${bits}bit.scr" "$work/$arch/brackwold.scr"
        cmake -D ARCH="$arch" -D VERSION="$version" -D SAVER="$work/$arch/brackwold.scr" -D OUTPUT="$msi" \
            -P "$top/cmake/installer.cmake"
        sign "$msi"
    done
    # The text with Windows line ends (zip -l); the times in the zip are
    # local times, so the same in every time zone only in UTC.
    cp "$top/platform/windows/install/INSTALL.txt" "$work/"
    chmod 644 "$work"/*.scr "$work/INSTALL.txt"
    touch -d "@$stamp" "$work"/*.scr "$work/INSTALL.txt"
    local zip=$out/brackwold-$version-windows.zip
    rm -f "$zip"
    (cd "$work" && TZ=UTC zip -q -X "$zip" brackwold-64bit.scr brackwold-32bit.scr &&
        TZ=UTC zip -q -X -l "$zip" INSTALL.txt)
    rm -r "$work"
}

if [ "${1:-}" = --windows-only ]; then
    windows_release "$(realpath -m "${2:?usage: release.sh --windows-only DIR}")"
    exit 0
fi

export CCACHE_BASEDIR="$top" CCACHE_NOHASHDIR=true
"$top/scripts/setup.sh"
"$top/scripts/build.sh" --windows
"$top/scripts/build.sh" --deb >/dev/null

out=$top/build/release
rm -rf "$out"
mkdir -p "$out"
cp "$top"/build/linux/brackwold_"$version"_*.deb "$out/"
windows_release "$out"

(cd "$out" && sha256sum -- *.deb *.msi *.zip >SHA256SUMS)
echo "$out:"
ls -l "$out"
