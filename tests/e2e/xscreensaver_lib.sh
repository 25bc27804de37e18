# The real XScreenSaver daemon, run with brackwold as its one program. It
# launches no hacks as root, so it runs as an unprivileged user here.
# Sourced after lib.sh.
if ! command -v xscreensaver >/dev/null; then
    echo "skip: xscreensaver is not installed"
    exit 77
fi

start_host_user
home=$host_home
daemon_pid=

command_daemon() { as_host_user xscreensaver-command "$1" >/dev/null 2>&1; }

# start_daemon OPTIONS...: the daemon on $DISPLAY with "brackwold --root
# OPTIONS" as its program, copied where the user can surely run it; not
# niced (the daemon's default, 10), which starved it beside busy neighbours.
start_daemon() {
    cp "$SAVER" "$home/brackwold"
    cat >"$home/.xscreensaver" <<END
mode: one
selected: 0
lock: False
splash: False
fade: False
unfade: False
nice: 0
programs: $home/brackwold --root${*:+ $*} \\n
END
    chown -R "$host_user" "$home"
    # Not through the function: $! must be the daemon's own command, which a
    # signal then reaches.
    host_command
    "${host_cmd[@]}" xscreensaver --no-splash --log "$home/log" &
    daemon_pid=$!
    wait_until 10 command_daemon -version
}

stop_daemon() {
    [ -n "$daemon_pid" ] && kill "$daemon_pid" 2>/dev/null && wait "$daemon_pid" 2>/dev/null
    rm -rf "$home"
}
