# The full-screen saver on two monitors (Xephyr with two Xinerama heads):
# the window covers both, the second stays black, the stage bounces inside
# the primary above its banner strip, and input over the second monitor
# ends the saver. Once with the primary on the left, once on the right.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../../scripts/xvfb.sh"
command -v Xephyr >/dev/null || { echo "no Xephyr: skipped"; exit 77; }

shots=$(mktemp -d)
xephyr_pid=
stop_xephyr() { [ -n "$xephyr_pid" ] && kill "$xephyr_pid" 2>/dev/null && wait "$xephyr_pid" 2>/dev/null; xephyr_pid=; }
trap 'cleanup; stop_xephyr; rm -rf "$shots"' EXIT
IM=convert-im6.q16
command -v $IM >/dev/null || IM=convert
host_display=$DISPLAY

# Fraction (0..1) of pixels brighter than a few percent in a region of a shot.
lit_fraction() {  # lit_fraction FILE GEOMETRY
    $IM "$1" -crop "$2" +repage -colorspace Gray -threshold 4% -format '%[fx:mean]' info:
}

# Takes screenshots into $shots/screen.png until the primary's banner strip
# shows something, for up to 15 seconds.
wait_for_banner() {
    local deadline=$(( $(date +%s) + 15 ))
    while [ "$(date +%s)" -le "$deadline" ]; do
        import -window root "$shots/screen.png" 2>/dev/null &&
            [ "$(lit_fraction "$shots/screen.png" "$strip")" != 0 ] && return 0
        sleep 0.2
    done
    return 1
}

# Prints "WxH+X+Y" of the saver's square child of side $2 (absolute position).
stage_geometry() {
    local child
    child=$(wait_for_child "$1") || return 1
    xwininfo -id "$child" | awk -v side="$2" '
        /Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
        /Width:/ { w = $2 } /Height:/ { h = $2 }
        END { if (w == side && h == side) print w "x" h "+" x "+" y }'
}

inside() {  # inside WxH+X+Y WxH+X+Y: the first lies within the second
    local w h x y W H X Y
    IFS='x+' read -r w h x y <<<"$1"
    IFS='x+' read -r W H X Y <<<"$2"
    [ "$x" -ge "$X" ] && [ "$y" -ge "$Y" ] && [ $((x + w)) -le $((X + W)) ] && [ $((y + h)) -le $((Y + H)) ]
}

for layout in left right; do
    echo "# the primary on the $layout"
    DISPLAY=$host_display
    start_two_monitors "$layout" || exit 1
    IFS='x+' read -r pw ph px py <<<"$primary_geometry"
    IFS='x+' read -r ow oh ox oy <<<"$other_geometry"
    area="${pw}x$((ph - 20))+$px+$py"
    strip="${pw}x20+$px+$((py + ph - 20))"
    xdotool mousemove $((ox + ow / 2)) $((oy + oh / 2))  # the pointer rests on the other monitor

    start_saver /s
    saver=$(wait_for_saver_window)
    check "/s maps a saver window" test -n "$saver"
    geometry=$(xwininfo -id "$saver" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
        /Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h "+" x "+" y }')
    check "it covers both monitors ($geometry)" test "$geometry" = "$(screen_size)+0+0"

    check "the banner shows in the primary's strip" wait_for_banner
    other_lit=$(lit_fraction "$shots/screen.png" "$other_geometry")
    check "the other monitor stays black (lit $other_lit)" test "$other_lit" = 0
    cp "$shots/screen.png" "$shots/primary-$layout.png"
    stage=$(stage_geometry "$saver" $(((ph - 20) / 2)))
    check "the stage ($stage) is inside the primary's stage area ($area)" inside "${stage:-0x0+-1+-1}" "$area"

    if [ "$layout" = left ]; then
        xdotool click 1
        check "a click over the other monitor ends the saver with 0" expect_code 0 5
    else
        xdotool mousemove_relative 20 20
        check "a mouse movement over the other monitor ends the saver with 0" expect_code 0 5
    fi
    end_saver
    stop_xephyr
done

finish
