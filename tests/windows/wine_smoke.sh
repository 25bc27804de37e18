# The x86_64 Windows saver under Wine: a bad preview handle fails with -1 and
# the full-screen saver ends on a key press.
source "$(dirname "$0")/wine_lib.sh"

"$WINE64" "$scr" /p 0 >/dev/null 2>&1
code=$?
check "/p 0 exits with -1 (got $code)" test "$code" = 255

"$WINE64" "$scr" /s >/dev/null 2>&1 &
pid=$!
# Wine names the X window after the program's class, not the title.
find_window --class 'brackwold'
check "/s maps the saver window" test -n "$window"
size=$(xwininfo -id "$window" 2>/dev/null | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
screen=$(xdpyinfo | awk '/dimensions:/ { print $2; exit }')
check "the saver window covers the screen ($size)" test "$size" = "$screen"
sleep 2
xdotool key space
wait_for_exit $pid 150
check "a key press ends /s with exit code 0 (got $code)" test "$code" = 0
"$WINE64" wineserver -k >/dev/null 2>&1 || true

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
