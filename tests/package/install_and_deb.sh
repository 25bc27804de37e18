# `cmake --install` puts the hack where Debian's XScreenSaver looks for it,
# with a settings description whose every option the program accepts; the
# .deb passes dpkg-deb and lintian, installs and removes cleanly (in a
# scratch root: the host is left as it was), and its program passes
# hardening-check. Argument: the build folder.
set -u
build=${1:?usage: install_and_deb.sh BUILD-FOLDER}
src=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {
    local what=$1; shift
    if "$@"; then echo "ok   - $what"; else echo "FAIL - $what"; failures=$((failures + 1)); fi
}
quietly() { "$@" >/dev/null 2>&1; }

hack=usr/libexec/xscreensaver/brackwold
xml=usr/share/xscreensaver/config/brackwold.xml
installed=("$hack" "$xml" usr/share/man/man6/brackwold.6.gz usr/share/doc/brackwold/copyright)

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
for f in "${installed[@]}"; do check "installs /$f" test -s "$work/root/$f"; done
check "the hack is executable" test -x "$work/root/$hack"

# Each argument the settings description can pass, with its lowest and its
# highest value, must be one the program takes (--help ends a good parse).
mapfile -t args < <(python3 - "$work/root/$xml" <<'PY'
import sys, xml.etree.ElementTree as tree
root = tree.parse(sys.argv[1]).getroot()
seen = []
for e in root.iter():
    for attr in ("arg", "arg-set", "arg-unset"):
        for bound in ("low", "high"):
            a = e.attrib.get(attr, "").replace("%", e.attrib.get(bound, ""))
            if a and a not in seen:
                seen.append(a)
print("\n".join(seen))
PY
)
check "the settings description names options" test "${#args[@]}" -ge 5
for a in "${args[@]}"; do
    # shellcheck disable=SC2086
    check "the program takes '$a'" quietly "$work/root/$hack" $a --help
done

cpack -G DEB -B "$work/deb" --config "$build/CPackConfig.cmake" >/dev/null
deb=$(ls "$work"/deb/brackwold_*.deb 2>/dev/null | head -n 1)
check "CPack builds a .deb" test -n "$deb"
info=$(dpkg-deb --info "$deb")
check "dpkg-deb reads it" test -n "$info"
# What is still written by hand beside the generated files: the README's
# settings table and the newest changelog entry.
check "the README gives each setting's default and range as --help does" \
    python3 "$src/platform/posix/install/facts.py" --check-readme "$work/root/$hack" "$src/README.md"
check "the newest changelog entry is the package's version" test "$(dpkg-deb -f "$deb" Version)" = \
    "$(zcat "$work/root/usr/share/doc/brackwold/changelog.gz" | sed -n '1s/^brackwold (\(.*\)).*/\1/p')"
check "it declares its run-time libraries" bash -c 'grep -q "^ Depends:.*libsdl2" <<<"$1" && grep -q "libgl" <<<"$1"' _ "$info"
lintian "$deb" >"$work/lintian.txt" 2>/dev/null
check "lintian finds no error" test "$(grep -c '^E:' "$work/lintian.txt")" -eq 0
cat "$work/lintian.txt"

# Installed and removed by dpkg inside a scratch root with its own package
# database, never on the machine that runs the test. The libraries it
# depends on are the host's, not the scratch root's: dependencies are not
# checked there.
root=$work/dpkg-root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
scratch_dpkg() { dpkg --root="$root" --force-not-root --force-depends --log=/dev/null "$@"; }
scratch_dpkg --install "$deb" >"$work/dpkg.txt" 2>&1
package_status() { dpkg --root="$root" --status brackwold 2>/dev/null | sed -n 's/^Status: //p'; }
check "dpkg installs it" test "$(package_status)" = "install ok installed"
for f in "${installed[@]}"; do check "the package puts /$f in place" test -s "$root/$f"; done
check "the installed hack runs" quietly "$root/$hack" --help
# Hardened as Debian's own programs. Control-flow protection is compiled
# in but cannot show: Debian 12's C start files carry no IBT/SHSTK note, so
# the linker drops it from every program (/usr/bin/ls too).
# shellcheck disable=SC2086
check "hardening-check passes the installed hack" hardening-check --quiet --nocfprotection \
    ${HARDENING_CHECK_SKIP:-} "$root/$hack"
scratch_dpkg --purge brackwold >>"$work/dpkg.txt" 2>&1
check "dpkg removes it, leaving no trace in its database" test -z "$(package_status)"
for f in "${installed[@]}"; do check "removal takes /$f" test ! -e "$root/$f"; done
[ "$failures" -eq 0 ] || { echo "--- dpkg said:"; cat "$work/dpkg.txt"; }

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
