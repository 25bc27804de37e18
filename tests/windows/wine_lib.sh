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
shots=$XDG_CONFIG_HOME  # screenshots go with it at the end (cleanup)

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

# The stage's own X window, the only square window larger than an icon (the
# stage is square). Wine does not make it a child of the saver's X window
# but of a 1x1 window of its own off the screen. Set in stage.
stage_window() {
    stage=$(xwininfo -root -tree | awk '$1 ~ /^0x/ { for (i = 2; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+[+-]/) {
        split($i, size, /[x+-]/); if (size[1] == size[2] && size[1] >= 64) { print $1; exit } break } }')
    [ -n "$stage" ]
}

# A lit figure on the stage: more than 5 % of its pixels lit. Captured from
# the stage's own X window, not the screen: Wine keeps a GL child window's
# pixels off the screen here, so a screenshot of the screen shows the banner
# on black and never the figure.
stage_lit() {
    local size
    size=$(window_size "$stage")
    shot_lit "$shots/stage.png" "$stage" $(( ${size%x*} * ${size#*x} / 20 ))
}

# full_screen_run WHAT: /s of $scr maps a window over the whole screen, draws
# a lit figure on its stage and ends with 0 on a key press.
full_screen_run() {
    start_wine /s
    # Wine names the X window after the program's class, not the title.
    find_window --class 'brackwold'
    check "$1: /s maps the saver window" test -n "$window"
    local size
    size=$(window_size "$window")
    check "$1: the saver window covers the screen ($size)" test "$size" = "$(screen_size)"
    stage=
    check "$1: the stage has an X window of its own" wait_until 20 stage_window
    figure_shown() { [ -n "$stage" ] && wait_until 30 stage_lit; }
    check "$1: the stage shows a lit figure" figure_shown
    if [ -n "$window" ]; then
        xdotool windowfocus --sync "$window" 2>/dev/null
        xdotool key space
    fi
    check "$1: a key press ends /s with exit code 0" expect_code 0 15
}
