# The real XScreenSaver daemon, run with brackwold as its one program. It
# launches no hacks as root, so it runs as an unprivileged user here.
# Sourced after lib.sh.
if ! command -v xscreensaver >/dev/null; then
    echo "skip: xscreensaver is not installed"
    exit 77
fi

home=$(mktemp -d)
chmod 755 "$home"
daemon_pid=
as_user=()
[ "$(id -u)" -eq 0 ] && as_user=(runuser -u nobody --)

as_daemon_user() { "${as_user[@]}" env -i "HOME=$home" "DISPLAY=$DISPLAY" "PATH=$PATH" "$@"; }
command_daemon() { as_daemon_user xscreensaver-command "$1" >/dev/null 2>&1; }

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
    [ "${#as_user[@]}" -gt 0 ] && chown -R nobody "$home"
    # Not through the function: $! must be the daemon's own command, which a
    # signal then reaches.
    "${as_user[@]}" env -i "HOME=$home" "DISPLAY=$DISPLAY" "PATH=$PATH" xscreensaver --no-splash --log "$home/log" &
    daemon_pid=$!
    wait_until 10 command_daemon -version
}

stop_daemon() {
    [ -n "$daemon_pid" ] && kill "$daemon_pid" 2>/dev/null && wait "$daemon_pid" 2>/dev/null
    rm -rf "$home"
}
