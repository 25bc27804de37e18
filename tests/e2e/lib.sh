# Shared helpers for the end-to-end and Wine scripts. Sourced with the saver's path as $1.
set -u
SAVER=${1:?usage: script path-to-brackwold}
: "${DISPLAY:?the end-to-end tests need an X display in DISPLAY}"
XPROBE=${XPROBE:-xprobe}
export XDG_CONFIG_HOME
XDG_CONFIG_HOME=$(mktemp -d)
saver_pid=
failures=0
# Deadlines are an idle machine's; the build tree sets how many times
# longer every wait may take (larger under the sanitizers).
slack=${BRACKWOLD_SLACK:-1}

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

# Given no window (an empty id or 0) xwininfo and import wait for a click on
# one: refuse, naming what was given, so that a missing window fails at once.
xwininfo() { given_window -id "$@" && command xwininfo "$@"; }
import() { given_window -window "$@" && command import "$@"; }
given_window() {  # given_window OPTION ARGS...
    local option=$1
    shift
    while [ $# -gt 1 ] && [ "$1" != "$option" ]; do shift; done
    [ $# -lt 2 ] || [ "${2:-0}" != 0 ] || { echo "no window given ($option '$2')" >&2; return 1; }
}

# wait_until SECONDS COMMAND...: true as soon as COMMAND succeeds, false
# when it has not within SECONDS (a whole number) times the slack. The one
# polling loop of the end-to-end tests: they wait for what they need, never
# a fixed time or a number of polls.
wait_until() {
    local deadline=$(( ${EPOCHREALTIME/./} + $1 * slack * 1000000 ))
    shift
    until "$@"; do
        [ "${EPOCHREALTIME/./}" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

# holds SECONDS COMMAND...: true when COMMAND stays true for SECONDS (a
# decimal), false as soon as it fails. Only for what must NOT happen (a
# saver that must not end, a second box that must not appear), where there
# is nothing to wait for: the window is how long a fault has to show.
holds() {
    local until=$(( ${EPOCHREALTIME/./} + $(awk -v s="$1" 'BEGIN { printf "%d", s * 1000000 }') ))
    shift
    while [ "${EPOCHREALTIME/./}" -lt "$until" ]; do
        "$@" || return 1
        sleep 0.05
    done
    "$@"
}

# keeps_running SECONDS [PID...]: the saver (or every PID) is still there
# SECONDS after the input a test just sent.
keeps_running() {
    local seconds=$1
    shift
    holds "$seconds" kill -0 "${@:-$saver_pid}" 2>/dev/null
}

# Waits up to $1 seconds for the saver to end and sets saver_code to its
# exit code, or to "running" when it is still there. (No command
# substitution here: a subshell cannot wait for our child.)
wait_for_exit() {
    saver_code=running
    wait_until "$1" eval '! running' || return 0
    wait "$saver_pid"
    saver_code=$?
}

# True when the saver ends within $2 seconds with exit code $1.
expect_code() {
    wait_for_exit "$2"
    [ "$saver_code" = "$1" ]
}

# Prints the id of the first visible window whose name matches $1, once
# there is one (waiting up to $2 seconds, 10 by default).
wait_for_window_named() {
    local id=
    found_window() { id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1); [ -n "$id" ]; }
    wait_until "${2:-10}" found_window "$1" || return 1
    echo "$id"
}

# Prints the id of the full-screen saver window once it is mapped.
wait_for_saver_window() { wait_for_window_named '^Screen Saver$'; }

no_saver_window() { [ -z "$(xdotool search --onlyvisible --name '^Screen Saver$' 2>/dev/null)" ]; }

# Prints the id of the first child of window $1 once there is one.
wait_for_child() {
    local child=
    first_child() { child=$(xwininfo -children -id "$1" 2>/dev/null | awk '/^ +0x/ { print $1; exit }'); [ -n "$child" ]; }
    wait_until 10 first_child "$1" || return 1
    echo "$child"
}

# pointer_to X Y: moves the pointer there and returns once the server has it
# there (xdotool's --sync would wait for ever for a move to where it is).
pointer_to() {
    local X Y SCREEN WINDOW
    eval "$(xdotool getmouselocation --shell)"
    [ "$X $Y" = "$1 $2" ] || xdotool mousemove --sync "$1" "$2"
}

# The real ImageMagick (the `convert` on PATH may be a stand-in).
IM=convert-im6.q16
command -v $IM >/dev/null || IM=convert

# lit FILE [GEOMETRY [FX]]: how many pixels of the picture, or of that region
# of it, are lit: brighter than a few percent, or passing the -fx test FX.
lit() {
    local region=() test=(-colorspace Gray -threshold 4%)
    [ -n "${2:-}" ] && region=(-crop "$2" +repage)
    [ -n "${3:-}" ] && test=(-fx "$3")
    $IM "$1" "${region[@]}" "${test[@]}" -precision 12 -format '%[fx:round(mean*w*h)]\n' info:
}

# shot_lit FILE WINDOW MORE-THAN [GEOMETRY [FX]]: a fresh screenshot of WINDOW
# ("root": the screen) in FILE, and true when more than MORE-THAN of its
# pixels are lit (see lit).
shot_lit() {
    import -window "$2" "$1" 2>/dev/null || return 1
    local count
    count=$(lit "$1" "${@:4}") && awk -v n="$count" -v more="$3" 'BEGIN { exit !(n > more) }'
}

screen_size() { xdpyinfo | awk '/dimensions:/ { print $2; exit }'; }

window_size() { xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }

# Ends a saver left running by a check that failed, so the next case starts
# clean: with the saver and its window gone.
end_saver() {
    if running; then
        xdotool key Escape
        wait_for_exit 5
        [ "$saver_code" = running ] && kill -9 "$saver_pid"
    fi
    wait "$saver_pid" 2>/dev/null
    saver_pid=
    wait_until 5 no_saver_window
}

# --- Screen-saver hosts ------------------------------------------------------
# The real hosts launch no hacks, or will not lock, as root: they run as an
# unprivileged user with a scratch home (host_home) and a runtime folder of
# its own (host_runtime, 0700), which only the host's processes see as
# /run/user/<uid>, where the saver looks when a host passes no
# XDG_RUNTIME_DIR. as_host_user runs a command as that user with nothing of
# our environment but DISPLAY and PATH (host_command: that prefix in host_cmd).
start_host_user() {
    host_home=$(mktemp -d)
    chmod 755 "$host_home"
    host_user=$(id -un) host_as=()
    [ "$(id -u)" -eq 0 ] && host_user=nobody host_as=(runuser -u nobody --)
    host_runtime=$host_home/run/$(id -u "$host_user")
    install -d -m 700 -o "$host_user" "$host_runtime"
    host_session=
}
host_command() { host_cmd=("${host_as[@]}" env -i "HOME=$host_home" "DISPLAY=$DISPLAY" "PATH=$PATH"); }
as_host_user() { host_command; "${host_cmd[@]}" "$@"; }

# start_host_session COMMAND...: COMMAND as the host user in a private D-Bus
# session (its address in $host_home/bus, the command's pid in host_pid,
# its output in $host_home/log), in a mount namespace (root only) where
# /run/user holds host_runtime and the hack folder /usr/libexec/xscreensaver
# is that of a scratch install in $host_home/root, if there is one: the
# installed layout, with nothing installed on the machine.
start_host_session() {
    chown -R "$host_user" "$host_home"
    rm -f "$host_home/host.pid"
    host_command
    unshare -m --propagation private sh -c 'mount --bind "$1" /run/user &&
        { [ ! -d "$2" ] || mount --bind "$2" /usr/libexec/xscreensaver; } && shift 2 && exec "$@"' \
        _ "$host_home/run" "$host_home/root/usr/libexec/xscreensaver" "${host_cmd[@]}" \
        dbus-run-session -- sh -c 'echo "$DBUS_SESSION_BUS_ADDRESS" >"$HOME/bus"; echo $$ >"$HOME/host.pid"; exec "$@"' \
        _ "$@" >"$host_home/log" 2>&1 &
    host_session=$!
    wait_until 10 test -s "$host_home/host.pid" && host_pid=$(cat "$host_home/host.pid")
}

# Ends the host (its session goes with it) and removes the home.
stop_host_session() {
    [ -n "$host_session" ] && kill "$host_pid" 2>/dev/null && wait "$host_session" 2>/dev/null
    rm -rf "$host_home"
}
