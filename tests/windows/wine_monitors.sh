# The x86_64 Windows saver under Wine on two monitors (Xephyr with two
# Xinerama heads; Wine's X11 driver is told to read them instead of RandR):
# the window covers the virtual screen, the banner sweeps the primary's
# strip, the other monitor stays black and a mouse movement over it ends
# the saver. Once with the primary on the left, once on the right.
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/../../scripts/xvfb.sh"
command -v Xephyr >/dev/null || { echo "no Xephyr: skipped"; exit 77; }

wineserver_bin=$(dirname "$WINE64")/wineserver
command -v "$wineserver_bin" >/dev/null || wineserver_bin=wineserver
x11_key='HKCU\Software\Wine\X11 Driver'
shots=$(mktemp -d)
xephyr_pid=
pid=
IM=convert-im6.q16
command -v $IM >/dev/null || IM=convert
host_display=$DISPLAY

stop_xephyr() { [ -n "$xephyr_pid" ] && kill "$xephyr_pid" 2>/dev/null && wait "$xephyr_pid" 2>/dev/null; xephyr_pid=; }
restart_wineserver() { "$wineserver_bin" -k >/dev/null 2>&1; "$wineserver_bin" -w >/dev/null 2>&1; }
restore() {
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
    "$WINE64" reg delete "$x11_key" /v UseXRandR /f >/dev/null 2>&1
    restart_wineserver
    stop_xephyr
    rm -rf "$shots"
}
trap restore EXIT
"$WINE64" reg add "$x11_key" /v UseXRandR /t REG_SZ /d N /f >/dev/null 2>&1

lit_fraction() {  # lit_fraction FILE GEOMETRY
    $IM "$1" -crop "$2" +repage -colorspace Gray -threshold 4% -format '%[fx:mean]' info:
}

# Screenshots into $shots/screen.png until the primary's strip shows the
# banner, for up to 20 seconds.
wait_for_banner() {
    local deadline=$(( $(date +%s) + 20 ))
    while [ "$(date +%s)" -le "$deadline" ]; do
        import -window root "$shots/screen.png" 2>/dev/null &&
            [ "$(lit_fraction "$shots/screen.png" "$strip")" != 0 ] && return 0
        sleep 0.2
    done
    return 1
}

for layout in left right; do
    echo "# the primary on the $layout"
    DISPLAY=$host_display
    start_two_monitors "$layout" || exit 1
    restart_wineserver  # the display's monitors are read when Wine starts on it
    IFS='x+' read -r pw ph px py <<<"$primary_geometry"
    IFS='x+' read -r ow oh ox oy <<<"$other_geometry"
    strip="${pw}x20+$px+$((py + ph - 20))"
    xdotool mousemove $((ox + ow / 2)) $((oy + oh / 2))

    "$WINE64" "$scr" /s >/dev/null 2>&1 &
    pid=$!
    find_window --class 'brackwold'
    check "/s maps the saver window" test -n "$window"
    geometry=$(xwininfo -id "${window:-0}" 2>/dev/null | awk '/Absolute upper-left X/ { x = $4 }
        /Absolute upper-left Y/ { y = $4 } /Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h "+" x "+" y }')
    check "it covers the virtual screen ($geometry)" test "$geometry" = 1600x600+0+0
    check "the banner shows in the primary's strip" wait_for_banner
    other_lit=$(lit_fraction "$shots/screen.png" "$other_geometry")
    check "the other monitor stays black (lit $other_lit)" test "$other_lit" = 0

    xdotool mousemove_relative 20 20
    wait_for_exit $pid 100
    check "a mouse movement over the other monitor ends /s with 0 (got $code)" test "$code" = 0
    pid=
    stop_xephyr
done

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
