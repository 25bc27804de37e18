# A signal ends the process in every state: before the first window
# (killed by it), in the configuration dialog (closed as cancelled: 1),
# under the "Error" box of a failed GL set-up (as if dismissed: 1). Hack mode
# shows no box for that failure: one line on stderr and 1 at once.
# The deadlines judge a hang, not a speed.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../../scripts/xvfb.sh"

work=$(mktemp -d)
servers=()
stop_servers() {
    local pid
    for pid in "${servers[@]}"; do kill -CONT "$pid"; kill "$pid"; done 2>/dev/null
}
trap 'cleanup; stop_servers; rm -rf "$work"' EXIT

# start_server ARGS...: a private Xvfb (x_display, x_pid), stopped on the way out.
start_server() { x_server Xvfb -screen 0 800x600x24 "$@" && servers+=("$x_pid"); }
# A script's background job starts with SIGINT ignored: give the defaults back.
start_on() {  # start_on DISPLAY ARGS...
    DISPLAY=$1 env --default-signal=INT,HUP "$SAVER" "${@:2}" 2>"$work/stderr" &
    saver_pid=$!
}
shows() { DISPLAY=$1 xdotool search --onlyvisible --name "$2" >/dev/null 2>&1; }
# The saver itself (env has exec'd it) holds a socket to the server.
in_connection() {
    [ "$(readlink "/proc/$saver_pid/exe")" = "$(readlink -f "$SAVER")" ] &&
        [ -n "$(find "/proc/$saver_pid/fd" -lname 'socket:*' 2>/dev/null)" ]
}

check "a private X server, stopped" start_server
stopped=$x_display
kill -STOP "$x_pid"
start_on "$stopped" /s
check "the saver waits for the stopped server" wait_until 10 in_connection
kill -TERM "$saver_pid"
check "SIGTERM before the first window: killed by it" expect_code 143 5

start_on "$DISPLAY" /c
check "the configuration dialog appears" wait_until 10 shows "$DISPLAY" '^Brackwold! Configuration$'
kill -INT "$saver_pid"
check "SIGINT in the dialog closes it as cancelled: 1" expect_code 1 5

check "a private X server without GLX" start_server -extension GLX
noglx=$x_display
start_on "$noglx" /s
check "the saver shows its \"Error\" box" wait_until 10 shows "$noglx" '^Error$'
kill -HUP "$saver_pid"
check "SIGHUP under the box ends the saver: 1" expect_code 1 5

start_on "$noglx" --root
check "hack mode without GLX exits with 1 at once" expect_code 1 10
check "...having said why in one line" test "$(grep -c 'ChoosePixelFormat() failed' "$work/stderr")/$(wc -l <"$work/stderr")" = 1/1
check "...and shown no box" test -z "$(DISPLAY=$noglx xdotool search --name '^Error$' 2>/dev/null)"

[ "$failures" -eq 0 ] || { echo "--- the last stderr:"; cat "$work/stderr"; }
finish
