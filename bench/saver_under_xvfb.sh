#!/usr/bin/env bash
# Runs the real Linux saver full screen ("brackwold /s") on a private Xvfb
# and reports ticks per second (frames presented, counted by the swapcount
# preload library) and the process's CPU use as a percentage of one core.
# Each setting runs several times, because the figure shown is random.
#
#   bench/saver_under_xvfb.sh [path-to-brackwold]
#
# Environment: BENCH_SECONDS (30), BENCH_RUNS (3 per setting),
# BENCH_DISPLAY (:16), BENCH_SIZE (1920x1080x24), SWAPCOUNT (the .so,
# default bench/swapcount.so beside the program).
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
SAVER=$(realpath "${1:-$top/build-bench/brackwold}")
SWAPCOUNT=$(realpath "${SWAPCOUNT:-$(dirname "$SAVER")/bench/swapcount.so}")
SECONDS_PER_RUN=${BENCH_SECONDS:-30}
RUNS=${BENCH_RUNS:-3}
BENCH_DISPLAY=${BENCH_DISPLAY:-:16}
SIZE=${BENCH_SIZE:-1920x1080x24}
WARMUP=2

[ -x "$SAVER" ] || { echo "no program at $SAVER" >&2; exit 2; }
[ -f "$SWAPCOUNT" ] || { echo "no swapcount library at $SWAPCOUNT (ninja swapcount)" >&2; exit 2; }
for tool in Xvfb xdotool xdpyinfo; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 2; }
done

work=$(mktemp -d)
xvfb_pid=
saver_pid=
cleanup() {
    if [ -n "$saver_pid" ] && kill -0 "$saver_pid" 2>/dev/null; then kill -9 "$saver_pid"; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT

# -noreset: the server keeps its state between clients, as a real desktop does.
Xvfb "$BENCH_DISPLAY" -screen 0 "$SIZE" -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=$BENCH_DISPLAY
for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && break
    kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb on $BENCH_DISPLAY did not start:" >&2; cat "$work/xvfb.log" >&2; exit 2; }
    sleep 0.1
done
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb on $BENCH_DISPLAY does not answer" >&2; exit 2; }

clk_tck=$(getconf CLK_TCK)

# utime + stime of the whole process (all threads), in clock ticks. The
# command name may hold spaces, so fields are counted after its ')'.
cpu_ticks() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    set -- $stat
    echo $(( ${12} + ${13} ))
}

# "<swaps> <ns of last swap>" as written by swapcount, or nothing.
read_count() { cat "$1" 2>/dev/null; }

failures=0
results=()

# run_once LABEL POLY_RESOLUTION(empty = no settings file)
run_once() {
    local label=$1 poly=$2
    local config="$work/config-$label-$run" countfile="$work/swaps-$label-$run"
    mkdir -p "$config/brackwold"
    [ -n "$poly" ] && printf '[Brackwold]\nPoly Resolution=%s\n' "$poly" >"$config/brackwold/BRKW.ini"

    XDG_CONFIG_HOME=$config BRACKWOLD_SWAPCOUNT_FILE=$countfile LD_PRELOAD=$SWAPCOUNT \
        "$SAVER" /s >"$work/saver-$label-$run.log" 2>&1 &
    saver_pid=$!

    # Started when the first frame has been presented.
    local sample swaps=0 waited=0
    while [ "$waited" -lt 100 ]; do
        kill -0 "$saver_pid" 2>/dev/null || break
        sample=$(read_count "$countfile")
        swaps=${sample%% *}
        [ -n "$swaps" ] && [ "$swaps" -gt 0 ] && break
        sleep 0.1
        waited=$((waited + 1))
    done
    if ! [ "${swaps:-0}" -gt 0 ] 2>/dev/null; then
        echo "$label run $run: no frame presented within 10 s (log below)" >&2
        cat "$work/saver-$label-$run.log" >&2
        failures=$((failures + 1))
        kill -9 "$saver_pid" 2>/dev/null; wait "$saver_pid" 2>/dev/null; saver_pid=
        return
    fi
    sleep "$WARMUP"

    local c0 t0 cpu0 wall0 c1 t1 cpu1 wall1
    read -r c0 t0 < <(read_count "$countfile")
    cpu0=$(cpu_ticks "$saver_pid")
    wall0=$(date +%s%N)

    # One sample a second, for the slowest and fastest second of the run.
    local samples=("$c0 $t0") i
    for ((i = 0; i < SECONDS_PER_RUN; i++)); do
        sleep 1
        samples+=("$(read_count "$countfile")")
    done
    read -r c1 t1 < <(read_count "$countfile")
    cpu1=$(cpu_ticks "$saver_pid")
    wall1=$(date +%s%N)

    # End it as a user would, and expect a clean exit.
    xdotool key Escape
    local code=running
    for _ in $(seq 100); do
        kill -0 "$saver_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$saver_pid" 2>/dev/null; then
        kill -9 "$saver_pid"
        wait "$saver_pid" 2>/dev/null
        code="still running 10 s after Escape (killed)"
    else
        wait "$saver_pid"
        code=$?
    fi
    saver_pid=

    local line
    line=$(printf '%s\n' "${samples[@]}" | awk -v c0="$c0" -v t0="$t0" -v c1="$c1" -v t1="$t1" \
        -v cpu0="$cpu0" -v cpu1="$cpu1" -v w0="$wall0" -v w1="$wall1" -v hz="$clk_tck" '
        NF == 2 {
            if (have && $2 - pt > 5e8) {
                r = ($1 - pc) / (($2 - pt) / 1e9)
                if (n == 0 || r < lo) lo = r
                if (n == 0 || r > hi) hi = r
                n++
            }
            pc = $1; pt = $2; have = 1
        }
        END {
            tps = (t1 > t0) ? (c1 - c0) / ((t1 - t0) / 1e9) : 0
            cpu = (cpu1 - cpu0) / hz / ((w1 - w0) / 1e9) * 100
            printf "%6.2f ticks/s (per second: %5.1f to %5.1f)  CPU %5.1f%% of a core  frames %d over %.1f s",
                tps, lo, hi, cpu, c1 - c0, (t1 - t0) / 1e9
        }')
    local verdict="exit 0"
    if [ "$code" != 0 ]; then
        verdict="exit $code  FAIL"
        failures=$((failures + 1))
    fi
    results+=("$(printf '%-22s run %d: %s  %s' "$label" "$run" "$line" "$verdict")")
    echo "${results[-1]}"
}

echo "program  $SAVER"
echo "display  $BENCH_DISPLAY $SIZE, $SECONDS_PER_RUN s per run after $WARMUP s warm-up, $RUNS runs per setting"
for setting in "resolution-15-default:" "resolution-30:30"; do
    for ((run = 1; run <= RUNS; run++)); do
        run_once "${setting%%:*}" "${setting#*:}"
        sleep 0.5
    done
done
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
