# The x86_64 Windows saver under Wine on two monitors (Xephyr, two Xinerama
# heads, which Wine reads once told not to use RandR), the primary left and
# then right of the other: the window covers the virtual screen, the banner
# sweeps the primary's strip, the other monitor stays black and a movement
# over it ends the saver.
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/../../scripts/xvfb.sh"
command -v Xephyr >/dev/null || { echo "no Xephyr: skipped"; exit 77; }
wineserver=$(dirname "$WINE64")/wineserver
x11_key='HKCU\Software\Wine\X11 Driver'
shot=$(mktemp --suffix=.png)
xephyr_pid= pid=
IM=convert-im6.q16
command -v $IM >/dev/null || IM=convert
host_display=$DISPLAY

restart_wineserver() { "$wineserver" -k >/dev/null 2>&1; "$wineserver" -w >/dev/null 2>&1; }
restore() {
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
    "$WINE64" reg delete "$x11_key" /v UseXRandR /f >/dev/null 2>&1
    restart_wineserver
    kill $xephyr_pid 2>/dev/null
    rm -f "$shot"
}
trap restore EXIT
"$WINE64" reg add "$x11_key" /v UseXRandR /t REG_SZ /d N /f >/dev/null 2>&1

lit() { $IM "$shot" -crop "$1" +repage -colorspace Gray -threshold 4% -format '%[fx:mean]' info:; }
banner_shows() {  # screenshots until the primary's strip is lit, up to 20 s
    for _ in $(seq 100); do import -window root "$shot" && [ "$(lit "$strip")" != 0 ] && return 0; sleep 0.2; done
    return 1
}

for layout in left right; do
    echo "# the primary on the $layout"
    DISPLAY=$host_display
    start_two_monitors "$layout" || exit 1
    restart_wineserver  # Wine reads the monitors when it starts on a display
    IFS='x+' read -r _ _ px py <<<"$primary_geometry"
    IFS='x+' read -r _ _ ox oy <<<"$other_geometry"
    strip="800x20+$px+$((py + 580))"
    xdotool mousemove $((ox + 400)) $((oy + 300))
    "$WINE64" "$scr" /s >/dev/null 2>&1 &
    pid=$!
    find_window --class 'brackwold'
    geometry=$(xwininfo -id "${window:-0}" 2>/dev/null | awk '/Absolute upper-left X/ { x = $4 }
        /Absolute upper-left Y/ { y = $4 } /Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h "+" x "+" y }')
    check "the saver window covers the virtual screen ($geometry)" test "$geometry" = 1600x600+0+0
    check "the banner shows in the primary's strip" banner_shows
    check "the other monitor stays black" test "$(lit "$other_geometry")" = 0
    xdotool mousemove_relative 20 20
    wait_for_exit $pid 100
    check "a movement over the other monitor ends /s with 0 (got $code)" test "$code" = 0
    pid=
    kill "$xephyr_pid"; wait "$xephyr_pid" 2>/dev/null
done
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
