# Shared helpers for the end-to-end scripts. Sourced with the saver's path as $1.
set -u
SAVER=${1:?usage: script path-to-brackwold}
: "${DISPLAY:?the end-to-end tests need an X display in DISPLAY}"
XPROBE=${XPROBE:-xprobe}
export XDG_CONFIG_HOME
XDG_CONFIG_HOME=$(mktemp -d)
saver_pid=
failures=0

cleanup() {
    if [ -n "$saver_pid" ] && kill -0 "$saver_pid" 2>/dev/null; then kill -9 "$saver_pid" 2>/dev/null; fi
    rm -rf "$XDG_CONFIG_HOME"
}
trap cleanup EXIT

check() {  # check "what" command...
    local what=$1; shift
    if "$@"; then echo "ok   - $what"; else echo "FAIL - $what"; failures=$((failures + 1)); fi
}

finish() {
    echo "$failures failure(s)"
    [ "$failures" -eq 0 ]
}

start_saver() {  # start_saver ARGS...: runs the saver in the background
    "$SAVER" "$@" &
    saver_pid=$!
}

running() { kill -0 "$saver_pid" 2>/dev/null; }

# Waits up to $1 seconds for the saver to end and sets saver_code to its
# exit code, or to "running" when it is still there. (No command
# substitution here: a subshell cannot wait for our child.)
wait_for_exit() {
    local deadline=$(( $(date +%s%N) + $1 * 1000000000 ))
    saver_code=running
    while running; do
        [ "$(date +%s%N)" -gt "$deadline" ] && return
        sleep 0.05
    done
    wait "$saver_pid"
    saver_code=$?
}

# True when the saver ends within $2 seconds with exit code $1.
expect_code() {
    wait_for_exit "$2"
    [ "$saver_code" = "$1" ]
}

# Prints the id of the full-screen saver window once it is mapped.
wait_for_saver_window() {
    local id
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name '^Screen Saver$' 2>/dev/null | head -n 1)
        if [ -n "$id" ]; then echo "$id"; return 0; fi
        sleep 0.1
    done
    return 1
}

# Prints the id of the first child of window $1 once there is one.
wait_for_child() {
    local child
    for _ in $(seq 100); do
        child=$(xwininfo -children -id "$1" 2>/dev/null | awk '/^ +0x/ { print $1; exit }')
        if [ -n "$child" ]; then echo "$child"; return 0; fi
        sleep 0.1
    done
    return 1
}

screen_size() { xdpyinfo | awk '/dimensions:/ { print $2; exit }'; }

window_size() { xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }

# Ends a saver left running by a check that failed, so the next case starts clean.
end_saver() {
    if running; then
        xdotool key Escape
        wait_for_exit 5
        [ "$saver_code" = running ] && kill -9 "$saver_pid"
    fi
    wait "$saver_pid" 2>/dev/null
    saver_pid=
    sleep 0.2
}
