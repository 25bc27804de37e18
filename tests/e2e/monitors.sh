# The full-screen saver on two monitors (Xephyr, two Xinerama heads), the
# primary left and then right of the other: the window covers both, the
# other stays black, the stage keeps to the primary's stage area, and input
# over the other monitor ends the saver.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../../scripts/xvfb.sh"
command -v Xephyr >/dev/null || { echo "no Xephyr: skipped"; exit 77; }
shot=$(mktemp --suffix=.png)
xephyr_pid=
trap 'cleanup; kill $xephyr_pid 2>/dev/null; rm -f "$shot"' EXIT
IM=convert-im6.q16
command -v $IM >/dev/null || IM=convert
host_display=$DISPLAY

lit() { $IM "$shot" -crop "$1" +repage -colorspace Gray -threshold 4% -format '%[fx:mean]' info:; }
geometry() { xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h "+" x "+" y }'; }
banner_shows() {  # screenshots until the primary's strip is lit, up to 15 s
    for _ in $(seq 75); do import -window root "$shot" && [ "$(lit "$strip")" != 0 ] && return 0; sleep 0.2; done
    return 1
}
inside() {  # inside WxH+X+Y WxH+X+Y
    local w h x y W H X Y
    IFS='x+' read -r w h x y <<<"$1"; IFS='x+' read -r W H X Y <<<"$2"
    [ "$x" -ge "$X" ] && [ "$y" -ge "$Y" ] && [ $((x + w)) -le $((X + W)) ] && [ $((y + h)) -le $((Y + H)) ]
}

for layout in left right; do
    echo "# the primary on the $layout"
    DISPLAY=$host_display
    start_two_monitors "$layout" || exit 1
    echo "# on $DISPLAY"
    IFS='x+' read -r _ _ px py <<<"$primary_geometry"
    IFS='x+' read -r _ _ ox oy <<<"$other_geometry"
    strip="800x20+$px+$((py + 580))"
    xdotool mousemove $((ox + 400)) $((oy + 300))  # the pointer rests on the other monitor
    start_saver /s
    saver=$(wait_for_saver_window)
    check "the saver window covers both monitors" test "$(geometry "$saver")" = 1600x600+0+0
    check "the banner shows in the primary's strip" banner_shows
    check "the other monitor stays black" test "$(lit "$other_geometry")" = 0
    stage=$(geometry "$(wait_for_child "$saver")")
    check "the stage ($stage) is inside the primary's stage area" inside "$stage" "800x580+$px+$py"
    if [ "$layout" = left ]; then xdotool click 1; else xdotool mousemove_relative 20 20; fi
    check "a click or a movement over the other monitor ends the saver with 0" expect_code 0 5
    end_saver
    kill "$xephyr_pid"; wait "$xephyr_pid" 2>/dev/null
done
finish
