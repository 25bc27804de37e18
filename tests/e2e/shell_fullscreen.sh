# The full-screen saver on a real X display: covers the screen, hides the
# pointer and ends by the rules (movement over 4 pixels, a key, a click).
# The saver measures movement from where the pointer stood when it started
# (read again at each motion), so every move waits until the pointer is there.
source "$(dirname "$0")/lib.sh"

# Covers the screen, pointer hidden, tolerates 4 pixels, ends at 5.
pointer_to 500 400
start_saver /s
window=$(wait_for_saver_window)
check "/s maps a saver window" test -n "$window"
check "the saver window covers the screen" test "$(window_size "$window")" = "$(screen_size)"
check "the pointer is hidden over the saver" wait_until 5 "$XPROBE" cursor-hidden
pointer_to 503 400
check "a 3-pixel move keeps it running" keeps_running 0.4
pointer_to 503 401
check "4 pixels in all (3 across, 1 down) keep it running" keeps_running 0.4
xdotool click 4
check "turning the wheel keeps it running" keeps_running 0.4
xdotool mousemove 504 401
check "a 5th pixel ends it with exit code 0" expect_code 0 5
end_saver

# Small moves add up.
pointer_to 500 400
start_saver /s
wait_for_saver_window >/dev/null
pointer_to 502 400
check "one 2-pixel move keeps it running" keeps_running 0.3
pointer_to 504 400
check "two 2-pixel moves keep it running" keeps_running 0.3
xdotool mousemove 506 400
check "a third 2-pixel move ends it" expect_code 0 5
end_saver

# A key ends it; a second saver started meanwhile leaves the first alone.
start_saver /s
wait_for_saver_window >/dev/null
first=$saver_pid
"$SAVER" /s &
saver_pid=$!
check "a second /s exits 0 at once" expect_code 0 4
[ "$saver_code" = running ] && kill -9 "$saver_pid"
saver_pid=$first
check "the first saver keeps running" running
xdotool key space
check "a key press ends the saver with exit code 0" expect_code 0 5
end_saver

# A mouse click ends it.
start_saver /s
wait_for_saver_window >/dev/null
xdotool click 1
check "a click ends the saver" expect_code 0 5
end_saver

finish
