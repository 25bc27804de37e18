# A signal ends the process in every state, within a second: before the
# first window (killed by the signal), in the configuration dialog (closed
# as cancelled: 1), under the "Error" box of a failed GL set-up (as when it
# is dismissed: 1). In hack mode that failure shows no box at all: one line
# on stderr and 1 at once. A lost server ends the dialog and its message box
# through the same close, and GTK has no word in it.
source "$(dirname "$0")/lib.sh"

work=$(mktemp -d)
servers=()
stop_servers() {
    local pid
    for pid in "${servers[@]}"; do
        kill -CONT "$pid" 2>/dev/null
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
}
trap 'cleanup; stop_servers; rm -rf "$work"' EXIT

# start_server NAME ARGS...: a private Xvfb; sets $NAME to its display and
# ${NAME}_pid to its process.
start_server() {
    local name=$1 file="$work/$1.display"
    shift
    Xvfb -displayfd 5 -screen 0 800x600x24 -nolisten tcp "$@" 5>"$file" >/dev/null 2>&1 &
    local pid=$!
    servers+=("$pid")
    for _ in $(seq 100); do [ -s "$file" ] && break; sleep 0.1; done
    printf -v "$name" ':%s' "$(head -n 1 "$file")"
    printf -v "${name}_pid" '%s' "$pid"
    test -s "$file"
}

# wait_for_title DISPLAY REGEX: up to 30 s for a visible window of that name.
wait_for_title() {
    for _ in $(seq 300); do
        DISPLAY=$1 xdotool search --onlyvisible --name "$2" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# A background job of a script starts with SIGINT ignored; give the saver
# the defaults an interactive shell would.
start_on() {  # start_on DISPLAY ARGS...
    local display=$1
    shift
    DISPLAY=$display env --default-signal=INT,HUP "$SAVER" "$@" 2>"$work/stderr" &
    saver_pid=$!
}

# The saver itself (not env before its exec) holds a socket to the server.
waits_in_connection() {
    for _ in $(seq 100); do
        [ "$(readlink "/proc/$saver_pid/exe")" = "$(readlink -f "$SAVER")" ] &&
            ls -l "/proc/$saver_pid/fd" 2>/dev/null | grep -q 'socket:' && return 0
        sleep 0.1
    done
    return 1
}

signal_before_the_first_window() {
    # A stopped server never answers: the saver waits in its connection.
    check "a private X server to stop" start_server stopped
    kill -STOP "$stopped_pid"
    start_on "$stopped" /s
    check "the saver waits for the server" waits_in_connection
    kill -TERM "$saver_pid"
    check "SIGTERM before the first window: killed by it within a second" expect_code 143 1
    saver_pid=
}

signal_in_the_dialog() {
    start_on "$DISPLAY" /c
    check "the configuration dialog appears" wait_for_title "$DISPLAY" '^Brackwold! Configuration$'
    kill -INT "$saver_pid"
    check "SIGINT in the dialog closes it as cancelled within a second: 1" expect_code 1 1
    saver_pid=
}

glx_less_states() {
    check "a private X server without GLX" start_server noglx -extension GLX

    start_on "$noglx" /s
    check "the saver shows its \"Error\" box" wait_for_title "$noglx" '^Error$'
    kill -TERM "$saver_pid"
    check "SIGTERM under the box ends the saver within a second: 1" expect_code 1 1
    saver_pid=

    start_on "$noglx" --root
    check "hack mode without GLX exits with 1 at once" expect_code 1 10
    saver_pid=
    check "...having said so in one line" test "$(wc -l <"$work/stderr")" -eq 1
    check "...which names the failure" grep -q 'ChoosePixelFormat() failed' "$work/stderr"
    check "...and shown no box" test -z "$(DISPLAY=$noglx xdotool search --name '^Error$' 2>/dev/null)"
}

# The server dies under the dialog while its failed-save box is up: the box
# ends, then the dialog, each as its own close would end it.
lost_server_under_a_box_in_the_dialog() {
    check "a private X server to lose" start_server doomed
    echo "not a folder" >"$XDG_CONFIG_HOME/brackwold"
    start_on "$doomed" /c
    check "the dialog appears on it" wait_for_title "$doomed" '^Brackwold! Configuration$'
    DISPLAY=$doomed xdotool key Return
    check "a failed save shows its box" wait_for_title "$doomed" '^Error$'
    kill "$doomed_pid"
    check "the server lost under the box: the dialog closes as cancelled, 1" expect_code 1 5
    saver_pid=
    check "...without a word from GTK or Xlib" bash -c '! grep -qi "gdk\|fatal\|connection" "$1"' _ "$work/stderr"
    rm -f "$XDG_CONFIG_HOME/brackwold"
}

signal_before_the_first_window
signal_in_the_dialog
glx_less_states
lost_server_under_a_box_in_the_dialog

[ "$failures" -eq 0 ] || { echo "--- the last stderr:"; cat "$work/stderr"; }
finish
