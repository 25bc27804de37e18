# The x86_64 Windows saver under Wine: a bad preview handle fails with -1 and
# the full-screen saver ends on a key press.
source "$(dirname "$0")/wine_lib.sh"

start_wine /p 0
check "/p 0 exits with -1" expect_code 255 30

start_wine /s
# Wine names the X window after the program's class, not the title.
find_window --class 'brackwold'
check "/s maps the saver window" test -n "$window"
check "the saver window covers the screen ($(window_size "$window"))" test "$(window_size "$window")" = "$(screen_size)"
xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key space
check "a key press ends /s with exit code 0" expect_code 0 15
"$WINE64" wineserver -k >/dev/null 2>&1 || true

finish
