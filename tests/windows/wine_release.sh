# The Windows part of a release (scripts/release.sh --windows-only) from
# the savers built in build/win32 and build/win64: the same tree gives the
# same bytes (each saver linked again, the zip made twice), and given a
# certificate (a throw-away one made here) every saver and package is
# signed, osslsigncode verifies each, and the signed saver still runs.
# Arguments: the x86_64 saver, the project's version.
source "$(dirname "$0")/wine_lib.sh"
version=$2
release=$(dirname "$0")/../../scripts/release.sh
work=$(mktemp -d)
trap 'cleanup; rm -rf "$work"' EXIT

echo "# the same tree, the same bytes"
# relinked BUILD: links the saver of BUILD again, beside it, and compares.
relinked() {
    local command
    command=$(ninja -C "$1" -t commands brackwold | tail -n 1)
    (cd "$1" && eval "${command/ -o brackwold.scr / -o $work/again.scr }") && cmp "$1/brackwold.scr" "$work/again.scr"
}
for build in "$(dirname "$scr")" "$(dirname "$scr")/../win32"; do
    check "a second link of $(basename "$build")'s saver gives the same bytes" relinked "$build"
done
zip=brackwold-$version-windows.zip
bash "$release" --windows-only "$work/a" >"$work/a.txt" && bash "$release" --windows-only "$work/b" >/dev/null
check "without a certificate the release says it is not signed" grep -q "not signed" "$work/a.txt"
check "two zips of the same tree are the same bytes" cmp "$work/a/$zip" "$work/b/$zip"
zipped_as_built() { unzip -p "$work/a/$zip" brackwold-64bit.scr | cmp - "$scr"; }
check "the zip holds the saver as built" zipped_as_built

echo "# signed with a throw-away certificate"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
    -subj "/CN=Brackwold! test signer" 2>/dev/null
printf 'not on the command line\n' >"$work/password"
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.p12" -passout "file:$work/password"
export BRACKWOLD_SIGN_PKCS12=$work/cert.p12
BRACKWOLD_SIGN_PASSWORD_FILE=$work/password bash "$release" --windows-only "$work/signed" >/dev/null
BRACKWOLD_SIGN_PASSWORD='not on the command line' bash "$release" --windows-only "$work/signed-again" >/dev/null
check "the password from a file or the environment signs alike" cmp "$work/signed/$zip" "$work/signed-again/$zip"
unzip -q "$work/signed/$zip" -d "$work/unzipped"
verified() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >/dev/null 2>&1; }
for file in "$work"/unzipped/*.scr "$work"/signed/*.msi; do
    check "osslsigncode verifies $(basename "$file")" verified "$file"
done
scr=$work/unzipped/brackwold-64bit.scr
full_screen_run "the signed saver"
"$WINE64" wineserver -k >/dev/null 2>&1 || true

finish
