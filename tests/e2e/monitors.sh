# The full-screen saver on two monitors (Xephyr, two Xinerama heads), the
# primary left and then right of the other: the window covers both, the
# other stays black, the stage keeps to the primary's stage area, and input
# over the other monitor ends the saver.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../../scripts/xvfb.sh"
source "$(dirname "$0")/monitors_lib.sh"

inside() {  # inside WxH+X+Y WxH+X+Y
    local w h x y W H X Y
    IFS='x+' read -r w h x y <<<"$1"; IFS='x+' read -r W H X Y <<<"$2"
    [ "$x" -ge "$X" ] && [ "$y" -ge "$Y" ] && [ $((x + w)) -le $((X + W)) ] && [ $((y + h)) -le $((Y + H)) ]
}

for layout in left right; do
    on_two_monitors "$layout" || exit 1
    start_saver /s
    saver=$(wait_for_saver_window)
    check "the saver window covers both monitors" test "$(geometry "$saver")" = 1600x600+0+0
    check "the banner shows in the primary's strip" wait_until 15 banner_shows
    check "the other monitor stays black" test "$(lit "$shot" "$other_geometry")" = 0
    stage=$(geometry "$(wait_for_child "$saver")")
    check "the stage ($stage) is inside the primary's stage area" inside "$stage" "800x580+$px+$py"
    if [ "$layout" = left ]; then xdotool click 1; else xdotool mousemove_relative 20 20; fi
    check "a click or a movement over the other monitor ends the saver with 0" expect_code 0 5
    end_saver
done
finish
