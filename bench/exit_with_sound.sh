#!/usr/bin/env bash
# Times the way out of the real Linux saver with sound: the hack
# ("brackwold --root --sounds") on a private Xvfb plays its voice lines into
# a private PulseAudio server (a null sink), and once its stream is there it
# gets SIGTERM. Printed are the times from the signal to the end of the
# program's own work (its main thread has exited: _exit was called) and to
# the process's end (the kernel has also freed its memory, which on a
# loaded machine takes longer than the program's own way out), and the exit
# code. Each of SDL's two ways to the server is timed: its own PulseAudio
# driver and its ALSA driver (through ALSA's pulse plugin).
#
#   bench/exit_with_sound.sh [path-to-brackwold]
#
# Environment: BENCH_RUNS (3 per driver), BENCH_DISPLAY (:17). Run it as
# root or as a user who may start PulseAudio.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
SAVER=$(realpath "${1:-$top/build/linux/brackwold}")
RUNS=${BENCH_RUNS:-3}
BENCH_DISPLAY=${BENCH_DISPLAY:-:17}

[ -x "$SAVER" ] || { echo "no program at $SAVER" >&2; exit 2; }
for tool in Xvfb xdpyinfo pulseaudio pactl pacat; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 2; }
done

work=$(mktemp -d)
xvfb_pid=
pacat_pid=
saver_pid=
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
mkdir -m 700 "$XDG_RUNTIME_DIR"
cleanup() {
    if [ -n "$saver_pid" ] && kill -0 "$saver_pid" 2>/dev/null; then kill -9 "$saver_pid"; fi
    [ -n "$pacat_pid" ] && kill "$pacat_pid" 2>/dev/null
    pulseaudio -k 2>/dev/null
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT

# until_true TENTHS COMMAND...: true once COMMAND is, false after TENTHS tenths of a second.
until_true() {
    local tenths=$1
    shift
    for ((; tenths > 0; tenths--)); do
        "$@" && return 0
        sleep 0.1
    done
    "$@"
}

Xvfb "$BENCH_DISPLAY" -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=$BENCH_DISPLAY
until_true 50 eval 'xdpyinfo >/dev/null 2>&1' || { echo "Xvfb on $DISPLAY did not start" >&2; exit 2; }

unset PULSE_SERVER SDL_AUDIODRIVER
pulseaudio -D -n --exit-idle-time=-1 --load="module-null-sink sink_name=nul" \
    --load=module-native-protocol-unix >/dev/null 2>&1
until_true 100 eval 'pactl info >/dev/null 2>&1' || { echo "PulseAudio did not start" >&2; exit 2; }
# A fresh null sink renders at 2 s latency until a low-latency stream runs
# on it, as one would on a real device (see tests/e2e/signals.sh).
pacat --playback -d nul --latency-msec=20 --raw /dev/zero &
pacat_pid=$!
sink_settled() { pactl list sinks 2>/dev/null | awk '/^\tLatency:/ { low = $2 < 100000 } END { exit !low }'; }
until_true 100 sink_settled

# A large stage bounces often, and each bounce may bring a voice line.
mkdir -p "$XDG_CONFIG_HOME/brackwold"
printf '[Brackwold]\nSize=90\nSounds=1\n' >"$XDG_CONFIG_HOME/brackwold/BRKW.ini"

# The client name of the saver's stream on the server, once it has one.
stream_client() {
    pactl list sink-inputs 2>/dev/null | awk -v pid="$saver_pid" '
        /application.name = / { name = $0; sub(/.*= /, "", name) }
        /application.process.id = / && $3 == "\"" pid "\"" { print name; found = 1; exit }
        END { exit !found }'
}

failures=0
run_once() {  # run_once DRIVER RUN
    SDL_AUDIODRIVER=$1 env --default-signal=INT,HUP "$SAVER" --root --sounds >"$work/saver.log" 2>&1 &
    saver_pid=$!
    if ! until_true 600 stream_client >/dev/null; then
        echo "$1 run $2: no sound within 60 s" >&2
        failures=$((failures + 1))
        return
    fi
    local client start left end code stat
    client=$(stream_client)
    start=${EPOCHREALTIME/./}
    kill -TERM "$saver_pid"
    (sleep 30; kill -9 "$saver_pid" 2>/dev/null) &  # a hang ends as 137
    local watchdog=$!
    # The main thread has left once it is a zombie (field 3 of its stat).
    while read -r -a stat <"/proc/$saver_pid/task/$saver_pid/stat" 2>/dev/null && [ "${stat[2]}" != Z ]; do
        read -r -t 0.002 -u "$pause" || :
    done
    left=${EPOCHREALTIME/./}
    wait "$saver_pid"
    code=$?
    end=${EPOCHREALTIME/./}
    kill "$watchdog" 2>/dev/null
    saver_pid=
    [ "$code" -eq 0 ] || failures=$((failures + 1))
    printf '%-11s run %d: SIGTERM to _exit %5d ms, to the end %5d ms, exit code %d (stream %s)\n' "$1" "$2" \
        $(((left - start) / 1000)) $(((end - start) / 1000)) "$code" "$client"
}
# A pipe nothing writes to: read -t on it sleeps without starting a process.
exec {pause}<> <(:)

echo "program  $SAVER"
for driver in pulseaudio alsa; do
    for ((run = 1; run <= RUNS; run++)); do run_once "$driver" "$run"; done
done
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
