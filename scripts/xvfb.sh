# Sourced: starts a private Xvfb on a free display and exports DISPLAY.
# Stops it when the sourcing shell exits.
start_xvfb() {
    local size=${1:-1024x768x24} display
    for display in $(seq 90 120); do
        [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] && continue
        Xvfb ":$display" -screen 0 "$size" -nolisten tcp -noreset >/dev/null 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 50); do
            if DISPLAY=":$display" xdpyinfo >/dev/null 2>&1; then
                export DISPLAY=":$display"
                trap 'kill $xvfb_pid 2>/dev/null' EXIT
                return 0
            fi
            sleep 0.1
        done
        kill "$xvfb_pid" 2>/dev/null
    done
    echo "could not start Xvfb" >&2
    return 1
}

# Starts Xephyr with two 800x600 monitors (two Xinerama heads, the first
# being the primary), nested in the current display, and exports DISPLAY for
# it. $1 places the primary: left, right or below the other monitor. Sets
# xephyr_pid and primary_geometry (WxH+X+Y) and other_geometry; the caller
# stops it (kill "$xephyr_pid").
start_two_monitors() {
    local layout display
    case $1 in
        left) layout=(-screen 800x600 -origin 800,0 -screen 800x600)
            primary_geometry=800x600+0+0 other_geometry=800x600+800+0 ;;
        right) layout=(-origin 800,0 -screen 800x600 -origin 0,0 -screen 800x600)
            primary_geometry=800x600+800+0 other_geometry=800x600+0+0 ;;
        below) layout=(-origin 0,600 -screen 800x600 -origin 0,0 -screen 800x600)
            primary_geometry=800x600+0+600 other_geometry=800x600+0+0 ;;
        *) echo "start_two_monitors: left, right or below" >&2; return 1 ;;
    esac
    for display in $(seq 121 150); do
        [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] && continue
        Xephyr ":$display" +xinerama "${layout[@]}" -nolisten tcp -noreset >/dev/null 2>&1 &
        xephyr_pid=$!
        for _ in $(seq 50); do
            if DISPLAY=":$display" xdpyinfo >/dev/null 2>&1; then
                export DISPLAY=":$display"
                return 0
            fi
            sleep 0.1
        done
        kill "$xephyr_pid" 2>/dev/null
    done
    echo "could not start Xephyr" >&2
    return 1
}
