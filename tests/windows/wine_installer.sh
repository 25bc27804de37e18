# The Windows Installer packages under Wine: the x64 package puts the saver
# into system32, where it runs full screen; a package of a higher version
# replaces it (one product listed, the new file) and an older one does not;
# removal leaves nothing of it; the x86 package refuses 64-bit Windows.
# Arguments: the x64 saver, its package, the x86 package, their version and
# a higher one.
source "$(dirname "$0")/wine_lib.sh"
x64_msi=$2 x86_msi=$3 version=$4 next_version=$5
built=$scr
windows=$WINEPREFIX/drive_c/windows
work=$(mktemp -d)
trap 'remove_all; cleanup; rm -rf "$work"' EXIT

msiexec() { "$WINE64" msiexec "$@" /qn >/dev/null 2>&1; }

# Prints "PRODUCT-CODE VERSION" for each Brackwold! entry of Add or Remove
# Programs, 64-bit and 32-bit.
products() {
    local view
    for view in '' 'Wow6432Node\'; do
        "$WINE64" reg query "HKLM\\Software\\${view}Microsoft\\Windows\\CurrentVersion\\Uninstall" /s 2>/dev/null
    done | tr -d '\r' | awk 'function out() { if (name == "Brackwold!") print code, version }
        /^HKEY/ { out(); code = $0; sub(/.*\\/, "", code); name = version = "" }
        $1 == "DisplayName" { name = $3 } $1 == "DisplayVersion" { version = $3 }
        END { out() }'
}
versions() { products | cut -d' ' -f2 | xargs; }
remove_all() { local code; for code in $(products | cut -d' ' -f1); do msiexec /x "$code"; done; }
remove_all  # what an interrupted run left behind

echo "# the x64 package"
installed=$windows/system32/brackwold.scr
check "msiexec installs it" msiexec /i "$x64_msi"
check "it puts the saver into system32" cmp -s "$built" "$installed"
check "one product listed, version $version ($(versions))" test "$(versions)" = "$version"
code=$(products | cut -d' ' -f1)
check "with its icon" test -s "$windows/Installer/$code/brackwold.ico"
scr='C:\windows\system32\brackwold.scr'
full_screen_run "the installed saver"

echo "# a higher version, then removal"
# The same saver with a few bytes more, so that its file can be told apart.
cp "$built" "$work/brackwold.scr" && printf 'next' >>"$work/brackwold.scr"
"${CMAKE:-cmake}" -D ARCH=x64 -D VERSION="$next_version" -D SAVER="$work/brackwold.scr" \
    -D OUTPUT="$work/next.msi" -P "$(dirname "$0")/../../cmake/installer.cmake"
check "msiexec installs version $next_version" msiexec /i "$work/next.msi"
check "one product listed, version $next_version ($(versions))" test "$(versions)" = "$next_version"
check "the new file is in place" cmp -s "$work/brackwold.scr" "$installed"
older_refused() { ! msiexec /i "$x64_msi" && [ "$(versions)" = "$next_version" ]; }
check "version $version does not replace it" older_refused
code=$(products | cut -d' ' -f1)
check "msiexec removes it" msiexec /x "$work/next.msi"
check "the saver is gone" test ! -e "$installed"
check "so is its entry ($(versions))" test -z "$(products)"
check "and all the installer kept of it" test ! -e "$windows/Installer/$code"

echo "# the x86 package on 64-bit Windows"
# Refused with a box (the basic interface: /qn would fail without a word),
# whose text Wine's message box trace shows.
WINEDEBUG=+msgbox "$WINE64" msiexec /i "$x86_msi" /qb >/dev/null 2>"$work/boxes.txt" &
saver_pid=$!
find_window --class 'msiexec'
check "msiexec shows a box" test -n "$window"
[ -n "$window" ] && xdotool windowfocus --sync "$window" key Return 2>/dev/null
check "and fails (1603)" expect_code $((1603 % 256)) 30
check "the box names the x64 package" grep -q "install $(basename "$x64_msi") instead" "$work/boxes.txt"
check "nothing installed: no saver, no entry ($(versions))" \
    test ! -e "$windows/syswow64/brackwold.scr" -a ! -e "$installed" -a -z "$(products)"
"$WINE64" wineserver -k >/dev/null 2>&1 || true

finish
