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

# find_window XDOTOOL-SEARCH-ARGS...: sets window to the first visible match,
# waiting up to 20 s; empty when none came.
find_window() {
    window=
    for _ in $(seq 200); do
        window=$(xdotool search --onlyvisible "$@" 2>/dev/null | head -n 1)
        [ -n "$window" ] && return
        sleep 0.1
    done
}

# wait_for_exit PID TENTHS: sets code to PID's exit code, or kills it and
# sets code to "running" when it has not ended within TENTHS tenths of a second.
wait_for_exit() {
    code=running
    for _ in $(seq "$2"); do
        if ! kill -0 "$1" 2>/dev/null; then wait "$1"; code=$?; return; fi
        sleep 0.1
    done
    kill -9 "$1"
}
