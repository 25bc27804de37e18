# SIGTERM, SIGINT and SIGHUP end every drawing mode through the usual way
# out (exit code 0), also after a voice line has played into a real sound
# server, through SDL's own PulseAudio driver and through ALSA's; losing the
# X server ends a playing saver the same way. The deadline judges a hang,
# not a speed (bench/exit_with_sound.sh times the way out): the sanitizer
# build, checking for leaks on its way out of a loaded machine, took 4.7 s.
source "$(dirname "$0")/lib.sh"
hang=10

export XDG_RUNTIME_DIR
XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
unset PULSE_SERVER SDL_AUDIODRIVER
pulseaudio -D -n --exit-idle-time=-1 --load="module-null-sink sink_name=nul" \
    --load=module-native-protocol-unix >/dev/null 2>&1
lost_pid=
pacat_pid=
stop_all() {
    [ -n "$lost_pid" ] && kill "$lost_pid" 2>/dev/null
    [ -n "$pacat_pid" ] && kill "$pacat_pid" 2>/dev/null
    pulseaudio -k 2>/dev/null
    wait_until 5 test ! -e "$XDG_RUNTIME_DIR/pulse/pid"
    rm -rf "$XDG_RUNTIME_DIR"
    cleanup
}
trap stop_all EXIT
server_up() { pactl info >/dev/null 2>&1; }
wait_until 10 server_up
# A fresh null sink first renders at its full default latency (2 s), and
# SDL's close waits for the server's next request: keep a low-latency stream
# on it from the start, as a real device would run, and wait until the sink
# has drained that first latency.
pacat --playback -d nul --latency-msec=20 --raw /dev/zero &
pacat_pid=$!
sink_settled() { pactl list sinks 2>/dev/null | awk '/^\tLatency:/ { low = $2 < 100000 } END { exit !low }'; }
wait_until 10 sink_settled

# A large stage bounces often, and each bounce may bring a voice line.
mkdir -p "$XDG_CONFIG_HOME/brackwold"
printf '[Brackwold]\nSize=90\nSounds=1\n' >"$XDG_CONFIG_HOME/brackwold/BRKW.ini"

# The saver's stream, whichever of SDL's drivers (its own, or ALSA's pulse
# plugin) made it.
sound_stream() { pactl list sink-inputs 2>/dev/null | grep -q "application.process.id = \"$saver_pid\""; }
wait_for_sound() { wait_until "$1" sound_stream; }  # up to $1 seconds
# A background job of a script starts with SIGINT ignored, and an ignored
# signal stays ignored; give the saver the defaults an interactive shell would.
start_with_default_signals() {
    env --default-signal=INT,HUP "$SAVER" "$@" &
    saver_pid=$!
}

start_with_default_signals /s
check "the full-screen saver plays a voice line" wait_for_sound 40
kill -TERM "$saver_pid"
check "SIGTERM after a voice line ends /s, exit code 0" expect_code 0 "$hang"
check "the audio stream is closed" bash -c '! pactl list sink-inputs | grep -q "application.name = \"Brackwold!\""'
end_saver

# SDL's ALSA driver keeps a thread that scans the devices; the way out
# does not wait for it.
SDL_AUDIODRIVER=alsa start_with_default_signals --root --sounds
check "hack mode plays a voice line through ALSA" wait_for_sound 40
kill -TERM "$saver_pid"
check "SIGTERM then ends it with exit code 0" expect_code 0 "$hang"
end_saver

start_with_default_signals /s
wait_for_saver_window >/dev/null
kill -INT "$saver_pid"
check "SIGINT ends /s with exit code 0" expect_code 0 "$hang"
end_saver

coproc HOST { "$XPROBE" host 320 240; }
read -r host <&"${HOST[0]}"
start_with_default_signals /p "$host"
wait_for_child "$host" >/dev/null
kill -HUP "$saver_pid"
check "SIGHUP ends /p with exit code 0" expect_code 0 "$hang"
no_child() { ! xwininfo -children -id "$host" | grep -q '^ \+0x'; }
wait_until 5 no_child  # the preview's child is gone
start_with_default_signals --window-id "$host"
wait_for_child "$host" >/dev/null
kill -TERM "$saver_pid"
check "SIGTERM ends hack mode with exit code 0" expect_code 0 "$hang"
echo destroy >&"${HOST[1]}"

# A server of our own, killed under a saver that plays sound: the saver
# leaves through its usual path (Xlib's default would exit(1) at once).
for lost in $(seq 130 160); do [ -e "/tmp/.X11-unix/X$lost" ] || [ -e "/tmp/.X$lost-lock" ] || break; done
Xvfb ":$lost" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
lost_pid=$!
lost_server_up() { DISPLAY=":$lost" xdpyinfo >/dev/null 2>&1; }
wait_until 5 lost_server_up
DISPLAY=":$lost" "$SAVER" /s 2>"$XDG_RUNTIME_DIR/lost.err" &
saver_pid=$!
check "the saver on the doomed server plays a voice line" wait_for_sound 40
kill "$lost_pid"
check "losing the X server ends the saver with exit code 0" expect_code 0 "$hang"
# (In sanitizer builds LeakSanitizer's tally of the suppressions it used,
# between two rules of dashes, is not a report.)
check "nothing was reported on the way out" test -z "$(sed -E '/^-+$/,/^-+$/d' "$XDG_RUNTIME_DIR/lost.err")"
lost_pid=

finish
