# Sourced by the Wine tests: the check helper and a ready prefix for the
# x86_64 saver named as the script's first argument.
set -u
scr=${1:?usage: $(basename "$0") brackwold.scr}
: "${DISPLAY:?needs an X display}"
failures=0
check() { local what=$1; shift; if "$@"; then echo "ok   - $what"; else echo "FAIL - $what"; failures=$((failures + 1)); fi; }

test -f "$scr" || { echo "FAIL - $scr was not built"; exit 1; }
mkdir -p "$WINEPREFIX"
"$WINE64" wineboot -i >/dev/null 2>&1   # first use creates the prefix
