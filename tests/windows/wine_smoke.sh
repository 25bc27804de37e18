# The x86_64 Windows saver under Wine: a bad preview handle fails with -1 and
# the full-screen saver ends on a key press.
source "$(dirname "$0")/wine_lib.sh"

"$WINE64" "$scr" /p 0 >/dev/null 2>&1
code=$?
check "/p 0 exits with -1 (got $code)" test "$code" = 255

"$WINE64" "$scr" /s >/dev/null 2>&1 &
pid=$!
window=
for _ in $(seq 200); do
    # Wine names the X window after the program's class, not the title.
    window=$(xdotool search --onlyvisible --class 'brackwold' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.1
done
check "/s maps the saver window" test -n "$window"
size=$(xwininfo -id "$window" 2>/dev/null | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
screen=$(xdpyinfo | awk '/dimensions:/ { print $2; exit }')
check "the saver window covers the screen ($size)" test "$size" = "$screen"
sleep 2
xdotool key space
code=running
for _ in $(seq 150); do
    if ! kill -0 $pid 2>/dev/null; then wait $pid; code=$?; break; fi
    sleep 0.1
done
[ "$code" = running ] && kill -9 $pid
check "a key press ends /s with exit code 0 (got $code)" test "$code" = 0
"$WINE64" wineserver -k >/dev/null 2>&1 || true

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
