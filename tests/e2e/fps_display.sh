# --fps: three lines of yellow text in the bottom-left corner above the
# banner strip, new figures in them about once a second; without --fps
# nothing is drawn there. The stage starts centred and small, so it cannot
# reach the corner before these checks are done.
source "$(dirname "$0")/lib.sh"
shots=$(mktemp -d)
trap 'rm -rf "$shots"; cleanup' EXIT

size=$(screen_size)
width=${size%x*} height=${size#*x}
corner="240x80+0+$((height - 20 - 80))"
above_strip="${width}x$((height - 20))+0+0"

yellow='r > 0.8 && g > 0.8 && b < 0.3'
text_shown() { shot_lit "$shots/corner.png" root 100 "$corner" "$yellow"; }
corner_changed() {
    import -window root "$shots/later.png" 2>/dev/null &&
        $IM "$shots/later.png" -crop "$corner" +repage "$shots/later-corner.png" &&
        ! cmp -s "$shots/first-corner.png" "$shots/later-corner.png"
}
figure_drawn() { shot_lit "$shots/frame.png" root 200 "$above_strip"; }

start_saver --fps --size 30
window=$(wait_for_saver_window)
check "the saver starts with --fps" test -n "$window"
check "yellow text appears in the corner above the strip" wait_until 10 text_shown
$IM "$shots/corner.png" -crop "$corner" +repage "$shots/first-corner.png"
[ -n "${KEEP_SHOTS:-}" ] && cp "$shots/corner.png" "$KEEP_SHOTS/fps.png"
check "and its figures are renewed" wait_until 5 corner_changed
xdotool key Escape
check "a key still ends the saver" expect_code 0 5
end_saver

start_saver --size 30
window=$(wait_for_saver_window)
check "the saver starts without --fps" test -n "$window"
check "it draws its figure" wait_until 10 figure_drawn
check "and nothing in the corner" test "$(import -window root "$shots/dark.png" && lit "$shots/dark.png" "$corner")" = 0
end_saver

# Without a single font (a fontconfig that names no font folder) there is
# no text to draw, but the saver runs and draws on.
echo '<fontconfig></fontconfig>' >"$shots/fonts.conf"
FONTCONFIG_FILE=$shots/fonts.conf start_saver --fps --size 30
wait_for_saver_window >/dev/null
check "without fonts: it keeps running" keeps_running 2
check "without fonts: it draws its figure" wait_until 10 figure_drawn
end_saver

finish
