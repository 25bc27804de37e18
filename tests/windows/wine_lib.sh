# Sourced by the Wine tests: the end-to-end helpers (check, wait_until,
# expect_code ... in tests/e2e/lib.sh, with the saver's process in
# saver_pid) and a ready prefix for the x86_64 saver named as the script's
# first argument.
source "$(dirname "$0")/../e2e/lib.sh"
scr=$SAVER

test -f "$scr" || { echo "FAIL - $scr was not built"; exit 1; }
mkdir -p "$WINEPREFIX"
# A server still up after the test before, on that test's display, goes.
"$(dirname "$WINE64")/wineserver" -k >/dev/null 2>&1
"$(dirname "$WINE64")/wineserver" -w >/dev/null 2>&1
"$WINE64" wineboot -i >/dev/null 2>&1   # first use creates the prefix

# find_window XDOTOOL-SEARCH-ARGS...: sets window to the first visible match,
# waiting up to 20 s; empty when none came.
find_window() {
    window=
    visible_match() { window=$(xdotool search --onlyvisible "$@" 2>/dev/null | head -n 1); [ -n "$window" ]; }
    wait_until 20 visible_match "$@"
}

# start_wine ARGS...: runs the saver under Wine in the background.
start_wine() {
    "$WINE64" "$scr" "$@" >/dev/null 2>&1 &
    saver_pid=$!
}

# full_screen_run WHAT: /s of $scr maps a window over the whole screen and
# ends with 0 on a key press.
full_screen_run() {
    start_wine /s
    # Wine names the X window after the program's class, not the title.
    find_window --class 'brackwold'
    check "$1: /s maps the saver window" test -n "$window"
    local size
    size=$(window_size "$window")
    check "$1: the saver window covers the screen ($size)" test "$size" = "$(screen_size)"
    if [ -n "$window" ]; then
        xdotool windowfocus --sync "$window" 2>/dev/null
        xdotool key space
    fi
    check "$1: a key press ends /s with exit code 0" expect_code 0 15
}
