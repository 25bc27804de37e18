# xsecurelock with the hack as its saver: it draws; a refused password
# closes the prompt and asks the saver for a reset (SIGUSR1), which ends it
# cleanly, and the locker starts a fresh one; unlocking ends both.
source "$(dirname "$0")/lib.sh"
command -v xsecurelock >/dev/null && [ "$(id -u)" -eq 0 ] || { echo "skip: needs xsecurelock, and root"; exit 77; }
start_host_user
trap 'stop_host_session; cleanup' EXIT

cp "$SAVER" "$host_home/brackwold"
# The locker's authentication: refused the first time, granted after.
printf '#!/bin/sh\n[ -e "$HOME/tried" ] && exit 0\ntouch "$HOME/tried"\nexit 1\n' >"$host_home/auth_once"
chmod 755 "$host_home/auth_once"
start_host_session env XSECURELOCK_SAVER="$host_home/brackwold" XSECURELOCK_AUTH="$host_home/auth_once" \
    XSECURELOCK_SAVER_RESET_ON_AUTH_CLOSE=1 xsecurelock

hack_running() { saver_pid=$(pgrep -xf "$host_home/brackwold -root"); [ -n "$saver_pid" ]; }
check "xsecurelock starts brackwold -root" wait_until 10 hack_running
check "a figure is drawn" wait_until 30 shot_lit "$host_home/screen.png" root 100

first=$saver_pid
xdotool key a
check "the reset request after a refused password ends it" wait_until 5 eval '! kill -0 "$first" 2>/dev/null'
check "and a fresh one takes its place" wait_until 10 eval 'hack_running && [ "$saver_pid" != "$first" ]'
check "no saver died of a signal" eval '! grep "killed by signal" "$host_home/log"'

xdotool key a
unlocked() { ! kill -0 "$host_session" 2>/dev/null; }
check "unlocking ends the locker" wait_until 5 unlocked
check "and the saver with it" wait_until 2 eval '! kill -0 "$saver_pid" 2>/dev/null'
finish
