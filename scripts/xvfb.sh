# Private X displays for the tests and scripts.
#   source scripts/xvfb.sh   defines the functions below;
#   bash scripts/xvfb.sh COMMAND [ARGS...]
#                            runs COMMAND on a 1024x768x24 Xvfb of its own and
#                            exits with COMMAND's status (what each end-to-end
#                            test runs under, so that they can run side by side).

# x_server SERVER ARGS...: starts an X server (Xvfb, Xephyr) on a display it
# picks itself (-displayfd: no race with servers starting beside it) and
# waits until it answers (ten seconds, times the tests' BRACKWOLD_SLACK);
# sets x_display (":N") and x_pid.
x_server() {
    local file deadline=$((SECONDS + 10 * ${BRACKWOLD_SLACK:-1}))
    file=$(mktemp)
    "$@" -displayfd 3 -nolisten tcp 3>"$file" >/dev/null 2>&1 &
    x_pid=$!
    until grep -qx '[0-9]\+' "$file"; do
        kill -0 "$x_pid" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ] || break
        sleep 0.1
    done
    x_display=:$(head -n 1 "$file")
    rm -f "$file"
    if [ "$x_display" = : ] || ! DISPLAY=$x_display xdpyinfo >/dev/null 2>&1; then
        echo "could not start $1" >&2
        kill "$x_pid" 2>/dev/null
        return 1
    fi
}

# start_xvfb [SIZE]: a private Xvfb, DISPLAY exported; it stops when the
# sourcing shell exits (waited for, so that its CPU time counts as ours).
start_xvfb() {
    x_server Xvfb -screen 0 "${1:-1024x768x24}" -noreset || return 1
    xvfb_pid=$x_pid
    export DISPLAY=$x_display
    trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null' EXIT
}

# Starts Xephyr with two 800x600 monitors (two Xinerama heads, the first
# being the primary), nested in the current display, and exports DISPLAY for
# it. $1 places the primary: left, right or below the other monitor. Sets
# xephyr_pid and primary_geometry (WxH+X+Y) and other_geometry; the caller
# stops it (kill "$xephyr_pid").
start_two_monitors() {
    local layout
    case $1 in
        left) layout=(-screen 800x600 -origin 800,0 -screen 800x600)
            primary_geometry=800x600+0+0 other_geometry=800x600+800+0 ;;
        right) layout=(-origin 800,0 -screen 800x600 -origin 0,0 -screen 800x600)
            primary_geometry=800x600+800+0 other_geometry=800x600+0+0 ;;
        below) layout=(-origin 0,600 -screen 800x600 -origin 0,0 -screen 800x600)
            primary_geometry=800x600+0+600 other_geometry=800x600+0+0 ;;
        *) echo "start_two_monitors: left, right or below" >&2; return 1 ;;
    esac
    x_server Xephyr +xinerama "${layout[@]}" -noreset || return 1
    xephyr_pid=$x_pid
    export DISPLAY=$x_display
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    [ $# -gt 0 ] || { echo "usage: bash scripts/xvfb.sh COMMAND [ARGS...]" >&2; exit 2; }
    start_xvfb 1024x768x24 || exit 1
    status=0
    "$@" || status=$?
    exit "$status"
fi
