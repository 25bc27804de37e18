# SIGTERM, SIGINT and SIGHUP end every drawing mode through the usual way
# out (exit code 0), also after a voice line has played into a real sound
# server, through SDL's own PulseAudio driver and through ALSA's; losing the
# X server ends a playing saver the same way. The deadline judges a hang,
# not a speed (bench/exit_with_sound.sh times the way out).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../../scripts/xvfb.sh"
source "$(dirname "$0")/../../scripts/pulse.sh"
lost_pid=
stop_all() {
    [ -n "$lost_pid" ] && kill "$lost_pid" 2>/dev/null
    stop_pulse
    cleanup
}
trap stop_all EXIT
start_pulse || exit 1

# A large stage bounces often, and each bounce may bring a voice line.
mkdir -p "$XDG_CONFIG_HOME/brackwold"
printf '[Brackwold]\nSize=90\nSounds=1\n' >"$XDG_CONFIG_HOME/brackwold/BRKW.ini"

# The saver's stream, whichever of SDL's drivers (its own, or ALSA's pulse
# plugin) made it.
sound_stream() { pactl list sink-inputs 2>/dev/null | grep -q "application.process.id = \"$saver_pid\""; }
wait_for_sound() { wait_until "$1" sound_stream; }  # up to $1 seconds
# Asked of a server that answers: a pactl that cannot connect lists nothing.
no_saver_stream() { local inputs; inputs=$(pactl list sink-inputs) && ! grep -q 'application.name = "Brackwold!"' <<<"$inputs"; }
# A background job of a script starts with SIGINT ignored, and an ignored
# signal stays ignored; give the saver the defaults an interactive shell would.
start_with_default_signals() {
    env --default-signal=INT,HUP "$SAVER" "$@" &
    saver_pid=$!
}

start_with_default_signals /s
check "the full-screen saver plays a voice line" wait_for_sound 40
kill -TERM "$saver_pid"
check "SIGTERM after a voice line ends /s, exit code 0" expect_code 0 5
check "the audio stream is closed" no_saver_stream
end_saver

# SDL's ALSA driver keeps a thread that scans the devices; the way out
# does not wait for it.
SDL_AUDIODRIVER=alsa start_with_default_signals --root --sounds
check "hack mode plays a voice line through ALSA" wait_for_sound 40
kill -TERM "$saver_pid"
check "SIGTERM then ends it with exit code 0" expect_code 0 5
end_saver

start_with_default_signals /s
wait_for_saver_window >/dev/null
kill -INT "$saver_pid"
check "SIGINT ends /s with exit code 0" expect_code 0 5
end_saver

coproc HOST { "$XPROBE" host 320 240; }
read -r host <&"${HOST[0]}"
start_with_default_signals /p "$host"
wait_for_child "$host" >/dev/null
kill -HUP "$saver_pid"
check "SIGHUP ends /p with exit code 0" expect_code 0 5
no_child() { ! xwininfo -children -id "$host" | grep -q '^ \+0x'; }
wait_until 5 no_child  # the preview's child is gone
start_with_default_signals --window-id "$host"
wait_for_child "$host" >/dev/null
kill -TERM "$saver_pid"
check "SIGTERM ends hack mode with exit code 0" expect_code 0 5
echo destroy >&"${HOST[1]}"

# A server of our own, killed under a saver that plays sound: the saver
# leaves through its usual path (Xlib's default would exit(1) at once).
x_server Xvfb -screen 0 800x600x24
lost_pid=$x_pid
DISPLAY=$x_display "$SAVER" /s 2>"$XDG_RUNTIME_DIR/lost.err" &
saver_pid=$!
check "the saver on the doomed server plays a voice line" wait_for_sound 40
kill "$lost_pid"
check "losing the X server ends the saver with exit code 0" expect_code 0 5
# (In sanitizer builds LeakSanitizer's tally of the suppressions it used,
# between two rules of dashes, is not a report.)
check "nothing was reported on the way out" test -z "$(sed -E '/^-+$/,/^-+$/d' "$XDG_RUNTIME_DIR/lost.err")"
lost_pid=

finish
