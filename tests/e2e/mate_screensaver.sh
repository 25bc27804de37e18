# MATE's screen saver with the desktop entry as the package installs it: it
# lists the hack and runs it on its window, where it draws and speaks,
# though MATE passes no XDG_RUNTIME_DIR (the saver finds the user's runtime
# folder, where the test's PulseAudio listens); deactivation ends it.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../../scripts/pulse.sh"
command -v mate-screensaver >/dev/null && [ "$(id -u)" -eq 0 ] || { echo "skip: needs mate-screensaver, and root"; exit 77; }
start_host_user
trap 'stop_pulse; stop_host_session; cleanup' EXIT

DESTDIR=$host_home/root cmake --install "$(dirname "$SAVER")" --prefix /usr >/dev/null
mkdir -p "$host_home/.config/brackwold"
# A large stage bounces often, and a bounce may speak; coarse figures keep
# it light on a loaded machine.
printf '[Brackwold]\nSize=70\nPoly Resolution=10\n' >"$host_home/.config/brackwold/BRKW.ini"
start_pulse "$host_user" "$host_runtime" || exit 1
start_host_session sh -c 'gsettings set org.mate.screensaver mode single &&
    gsettings set org.mate.screensaver themes "[\"screensavers-brackwold\"]" &&
    gsettings set org.mate.screensaver lock-enabled false &&
    XDG_DATA_HOME=$HOME/root/usr/share exec mate-screensaver --no-daemon'
mate() { as_host_user DBUS_SESSION_BUS_ADDRESS="$(cat "$host_home/bus")" mate-screensaver-command "$1" >/dev/null 2>&1; }
wait_until 20 mate --query

mate --activate
hack_started() { saver_pid=$(pgrep -P "$host_pid" -xf '/usr/libexec/xscreensaver/brackwold --root'); [ -n "$saver_pid" ]; }
check "activating MATE's screen saver starts the installed hack" wait_until 10 hack_started
saver_env=$(tr '\0' '\n' <"/proc/$saver_pid/environ" 2>/dev/null)
mate_window=$(sed -n 's/^XSCREENSAVER_WINDOW=//p' <<<"$saver_env")
check "on MATE's window, without XDG_RUNTIME_DIR" eval '[ -n "$mate_window" ] && ! grep -q ^XDG_RUNTIME_DIR= <<<"$saver_env"'
check "a figure is drawn there" wait_until 30 shot_lit "$host_home/window.png" "$mate_window" 100
speaking() { "${pulse_as[@]}" pactl list sink-inputs | grep -q 'application.name = "Brackwold!"'; }
check "it opens a stream on the user's sound server" wait_until 30 speaking

mate --deactivate
check "deactivating ends it within 2 s" wait_until 2 eval '! kill -0 "$saver_pid" 2>/dev/null'
finish
