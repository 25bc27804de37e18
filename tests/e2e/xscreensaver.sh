# The real XScreenSaver daemon, configured with "brackwold --root": on
# activation it runs the saver, which draws on the daemon's window, and on
# deactivation the saver is gone, quietly.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/xscreensaver_lib.sh"
trap 'stop_daemon; cleanup' EXIT
start_daemon

hack_pid() { pgrep -f "^$home/brackwold --root" | head -n 1; }
command_daemon -activate
hack_started() { saver_pid=$(hack_pid); [ -n "$saver_pid" ]; }
wait_until 10 hack_started
check "activating the daemon starts brackwold --root" test -n "$saver_pid"

daemon_window=$(tr '\0' '\n' <"/proc/$saver_pid/environ" 2>/dev/null | sed -n 's/^XSCREENSAVER_WINDOW=//p')
saver_window=
saver_child() {
    saver_window=$(xwininfo -children -id "$daemon_window" 2>/dev/null | awk '/"Screen Saver"/ { print $1; exit }')
    [ -n "$saver_window" ]
}
wait_until 10 saver_child
check "its window is a child of the daemon's window" test -n "$saver_window"
check "and covers it" test "$(window_size "$saver_window")" = "$(window_size "$daemon_window")"
# True once more than 100 pixels of the screen are lit.
screen_lit() { shot_lit "$home/screen.png" root 100; }
check "the screen shows what it draws" wait_until 20 screen_lit
[ -n "${KEEP_SHOTS:-}" ] && cp "$home/screen.png" "$KEEP_SHOTS/xscreensaver.png"

command_daemon -deactivate
check "deactivating the daemon ends it" wait_until 5 eval '! running'
# Its window went with the daemon's: no X error about it reaches the log.
no_x_error() { ! grep -q "X error" "$home/log"; }
check "it leaves without an X error" holds 1 no_x_error
saver_pid=

finish
