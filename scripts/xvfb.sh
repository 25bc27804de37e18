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
