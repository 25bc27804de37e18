# Sourced: a private PulseAudio server with one null sink ("nul"), for the
# tests and benchmarks that play sound into it (pactl and parec read it).
#   start_pulse [USER FOLDER]
#                 starts it in a fresh XDG_RUNTIME_DIR (exported) and waits
#                 until its sink renders at a device's latency; given them,
#                 as USER in FOLDER (USER's own, 0700); pulse_as runs a
#                 client as its user
#   stop_pulse    stops it and removes that folder
start_pulse() {
    pulse_as=()
    if [ $# -eq 2 ]; then
        pulse_dir=$2
        pulse_as=(runuser -u "$1" -- env -i "HOME=$2" "XDG_RUNTIME_DIR=$2" "PATH=$PATH")
    else
        pulse_dir=$(mktemp -d)  # 0700, as the server demands
    fi
    export XDG_RUNTIME_DIR=$pulse_dir
    unset PULSE_SERVER SDL_AUDIODRIVER
    # Without a session bus: a server claims its names there (X11 starts
    # one per display), and a second one on the same bus refuses to start
    # while the first has not quite gone.
    env -u DISPLAY -u DBUS_SESSION_BUS_ADDRESS "${pulse_as[@]}" pulseaudio -D -n --exit-idle-time=-1 \
        --load="module-null-sink sink_name=nul" --load=module-native-protocol-unix >/dev/null 2>&1
    pulse_poll "${pulse_as[*]} pactl info" || { echo "PulseAudio did not start" >&2; return 1; }
    # A fresh null sink first renders at its full default latency (2 s), and
    # SDL's close waits for the server's next request: keep a low-latency
    # stream on it from the start, as a real device would run, and wait until
    # the sink has drained that first latency.
    "${pulse_as[@]}" pacat --playback -d nul --latency-msec=20 --raw /dev/zero &
    pacat_pid=$!
    pulse_poll "${pulse_as[*]} pactl list sinks | awk '/^\tLatency:/ { low = \$2 < 100000 } END { exit !low }'" ||
        { echo "the null sink did not settle" >&2; return 1; }
}

stop_pulse() {
    [ -n "${pacat_pid:-}" ] && kill "$pacat_pid" 2>/dev/null
    pacat_pid=
    # Only the server start_pulse started: never the session's own.
    [ -n "${pulse_dir:-}" ] || return 0
    XDG_RUNTIME_DIR=$pulse_dir "${pulse_as[@]}" pulseaudio -k 2>/dev/null
    pulse_poll "test ! -e '$pulse_dir/pulse/pid'"
    rm -rf "$pulse_dir"
    pulse_dir=
}

# pulse_poll COMMAND: true once the shell command is, within ten seconds
# (times the tests' BRACKWOLD_SLACK).
pulse_poll() {
    local deadline=$((SECONDS + 10 * ${BRACKWOLD_SLACK:-1}))
    until eval "$1" >/dev/null 2>&1; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}
