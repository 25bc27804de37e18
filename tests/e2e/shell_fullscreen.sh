# The full-screen saver on a real X display: covers the screen, hides the
# pointer and ends by the rules (movement over 4 pixels, a key, a click).
source "$(dirname "$0")/lib.sh"

# Covers the screen, pointer hidden, tolerates 4 pixels, ends at 5.
xdotool mousemove 500 400; sleep 0.2
start_saver /s
window=$(wait_for_saver_window)
check "/s maps a saver window" test -n "$window"
check "the saver window covers the screen" test "$(window_size "$window")" = "$(screen_size)"
sleep 0.5
check "the pointer is hidden over the saver" "$XPROBE" cursor-hidden
xdotool mousemove 503 400; sleep 0.4
check "a 3-pixel move keeps it running" running
xdotool mousemove 503 401; sleep 0.4
check "4 pixels in all (3 across, 1 down) keep it running" running
xdotool click 4; sleep 0.4
check "turning the wheel keeps it running" running
xdotool mousemove 504 401
check "a 5th pixel ends it with exit code 0" expect_code 0 5
end_saver

# Small moves add up.
xdotool mousemove 500 400; sleep 0.2
start_saver /s
wait_for_saver_window >/dev/null
sleep 0.3
xdotool mousemove 502 400; sleep 0.3
xdotool mousemove 504 400; sleep 0.3
check "two 2-pixel moves keep it running" running
xdotool mousemove 506 400
check "a third 2-pixel move ends it" expect_code 0 5
end_saver

# A key ends it; a second saver started meanwhile leaves the first alone.
start_saver /s
wait_for_saver_window >/dev/null
first=$saver_pid
"$SAVER" /s &
second=$!
second_code=running
for _ in $(seq 40); do
    if ! kill -0 $second 2>/dev/null; then wait $second; second_code=$?; break; fi
    sleep 0.1
done
[ "$second_code" = running ] && kill -9 $second
check "a second /s exits 0 at once" test "$second_code" = 0
check "the first saver keeps running" running
xdotool key space
check "a key press ends the saver with exit code 0" expect_code 0 5
end_saver

# A mouse click ends it.
start_saver /s
wait_for_saver_window >/dev/null
sleep 0.3
xdotool click 1
check "a click ends the saver" expect_code 0 5
end_saver

finish
