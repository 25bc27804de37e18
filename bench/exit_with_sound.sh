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
# Environment: BENCH_RUNS (3 per driver). Run it as
# root or as a user who may start PulseAudio.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
SAVER=$(realpath "${1:-$top/build/linux/brackwold}")
RUNS=${BENCH_RUNS:-3}

[ -x "$SAVER" ] || { echo "no program at $SAVER" >&2; exit 2; }
for tool in Xvfb xdpyinfo pulseaudio pactl pacat; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 2; }
done

source "$top/scripts/xvfb.sh"
source "$top/scripts/pulse.sh"
work=$(mktemp -d)
xvfb_pid=
saver_pid=
export XDG_CONFIG_HOME=$work/config
cleanup() {
    if [ -n "$saver_pid" ] && kill -0 "$saver_pid" 2>/dev/null; then kill -9 "$saver_pid"; fi
    stop_pulse
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

x_server Xvfb -screen 0 1024x768x24 -noreset || exit 2
xvfb_pid=$x_pid
export DISPLAY=$x_display
start_pulse || exit 2

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
