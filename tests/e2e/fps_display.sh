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

# Pixels of the region of a fresh screenshot that pass the test, as 0..1 per channel.
count_pixels() {  # count_pixels NAME GEOMETRY FX
    import -window root "$shots/$1.png" 2>/dev/null || return 1
    convert-im6.q16 "$shots/$1.png" -crop "$2" +repage -fx "$3" -format '%[fx:mean*w*h]' info:
}
yellow='r > 0.8 && g > 0.8 && b < 0.3'
lit='r + g + b > 0.1'
text_shown() { [ "$(count_pixels corner "$corner" "$yellow")" -gt 100 ]; }
corner_changed() {
    import -window root "$shots/later.png" 2>/dev/null &&
        convert-im6.q16 "$shots/later.png" -crop "$corner" +repage "$shots/later-corner.png" &&
        ! cmp -s "$shots/first-corner.png" "$shots/later-corner.png"
}
figure_drawn() { [ "$(count_pixels frame "$above_strip" "$lit")" -gt 200 ]; }

start_saver --fps --size 30
window=$(wait_for_saver_window)
check "the saver starts with --fps" test -n "$window"
check "yellow text appears in the corner above the strip" wait_until 10 text_shown
convert-im6.q16 "$shots/corner.png" -crop "$corner" +repage "$shots/first-corner.png"
[ -n "${KEEP_SHOTS:-}" ] && cp "$shots/corner.png" "$KEEP_SHOTS/fps.png"
check "and its figures are renewed" wait_until 5 corner_changed
xdotool key Escape
check "a key still ends the saver" expect_code 0 5
end_saver

start_saver --size 30
window=$(wait_for_saver_window)
check "the saver starts without --fps" test -n "$window"
check "it draws its figure" wait_until 10 figure_drawn
check "and nothing in the corner" test "$(count_pixels corner "$corner" "$lit")" -eq 0
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
