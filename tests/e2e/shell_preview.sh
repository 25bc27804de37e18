# Preview mode inside another client's window: bad handles fail with -1; a
# good one gets a child that ignores input and ends with its parent.
source "$(dirname "$0")/lib.sh"

said=$(mktemp)
start_saver /p 0 2>"$said"
check "/p 0 exits with -1 (255)" expect_code 255 5
check "/p 0 says it needs a window id" grep -q "decimal id of a window" "$said"
start_saver /p 1 2>"$said"
check "/p of a handle that is no window exits with -1" expect_code 255 5
check "/p 1 says there is no such window" grep -q "no window 1 " "$said"
rm -f "$said"

coproc HOST { "$XPROBE" host 152 112; }
host_pid=$HOST_PID
read -r host <&"${HOST[0]}"
check "the test made a host window" test -n "$host"
start_saver /p "$host"
child=$(wait_for_child "$host")
check "the preview maps a child inside the host window" test -n "$child"
check "the preview child fills the host" test "$(window_size "$child")" = "152x112"
xdotool mousemove --window "$host" 20 20
xdotool mousemove --window "$host" 120 90
xdotool windowfocus --sync "$host" 2>/dev/null
xdotool key space
xdotool click 1
check "keys, clicks and motion leave the preview running" keeps_running 1
echo destroy >&"${HOST[1]}"
check "destroying the host ends the preview with exit code 0" expect_code 0 10
wait "$host_pid" 2>/dev/null

# A host that goes while the preview starts in it: the same ordinary end.
said=$(mktemp)
coproc HOST { "$XPROBE" host 152 112; }
read -r host <&"${HOST[0]}"
start_saver /p "$host" 2>"$said"
wait_for_child "$host" >/dev/null
echo destroy >&"${HOST[1]}"
check "a host destroyed as the preview starts ends it with 0" expect_code 0 20
check "...having said nothing" test ! -s "$said"
rm -f "$said"

finish
