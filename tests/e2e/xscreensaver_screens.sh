# The real XScreenSaver daemon on an X display with two screens runs one
# "brackwold --root" per screen, started in the same second. Each must run
# a show of its own (the stages part ways, rather than moving in lockstep),
# and both must end on deactivation.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/xscreensaver_lib.sh"
xvfb_pid=
trap 'stop_daemon; [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; wait; cleanup' EXIT

# A display of our own with two screens.
for number in $(seq 140 170); do
    [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
    Xvfb ":$number" -screen 0 640x480x24 -screen 1 640x480x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$number"
    wait_until 5 xdpyinfo >/dev/null 2>&1 && break
    kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; xvfb_pid=
done
check "an X display with two screens" test "$(xdpyinfo 2>/dev/null | awk '/number of screens:/ { print $4 }')" = 2

start_daemon --size 40

hacks() { pgrep -f "^$home/brackwold --root" || true; }
two_hacks() { [ "$(hacks | wc -l)" -eq 2 ]; }

# Screen $1's picture above the banner strip: the centre of what is lit and
# its chromaticity (the share of red and of green in all that is lit).
look() {
    $IM "$home/screen$1.png" -crop 640x460+0+0 +repage \
        -format '%@ %[fx:mean.r] %[fx:mean.g] %[fx:mean.b]\n' info: 2>/dev/null |
        awk -F'[x+ ]' '$1 > 1 && $1 < 600 && $5 + $6 + $7 > 0 {
            print $3 + $1 / 2, $4 + $2 / 2, $5 / ($5 + $6 + $7), $6 / ($5 + $6 + $7) }'
}
shoot() {  # both screens at once into $screen0 and $screen1
    import -display "$DISPLAY.0" -window root "$home/screen0.png" 2>/dev/null &
    local first=$!
    import -display "$DISPLAY.1" -window root "$home/screen1.png" 2>/dev/null &
    wait "$first" $!
    screen0=$(look 0) screen1=$(look 1)
    [ -n "$screen0" ] && [ -n "$screen1" ]
}
both_moved() {  # both figures 20 pixels or more from where $start0 and $start1 saw them
    shoot && echo "$start0 $screen0 $start1 $screen1" | awk '{
        exit !(($5 - $1) ^ 2 + ($6 - $2) ^ 2 >= 400 && ($13 - $9) ^ 2 + ($14 - $10) ^ 2 >= 400) }'
}

# Started from one seed the two shows open alike: the same figure (the same
# colours) leaving the centre in the same direction, whatever ticks either
# loses on a busy machine. Two seeds give another figure or another course
# nearly always; two activations make a miss by chance rarer still.
differing=0
for activation in 1 2; do
    command_daemon -activate
    check "activation $activation starts two instances" wait_until 10 two_hacks
    pids=$(hacks)
    check "both screens show a figure" wait_until 20 shoot
    start0=$screen0 start1=$screen1
    check "both figures move" wait_until 10 both_moved
    if echo "$start0 $screen0 $start1 $screen1" | awk '
        function angle(x0, y0, x1, y1) { return atan2(y1 - y0, x1 - x0) * 180 / 3.14159265 }
        { turn = angle($1, $2, $5, $6) - angle($9, $10, $13, $14)
          if (turn < 0) turn = -turn; if (turn > 180) turn = 360 - turn
          colour = ($7 - $15) ^ 2 + ($8 - $16) ^ 2
          exit !(turn > 15 || colour > 0.05 ^ 2) }'; then
        differing=$((differing + 1))
    fi
    if [ -n "${KEEP_SHOTS:-}" ]; then
        cp "$home/screen0.png" "$KEEP_SHOTS/screen0-$activation.png"
        cp "$home/screen1.png" "$KEEP_SHOTS/screen1-$activation.png"
    fi
    command_daemon -deactivate
    none_left() { for pid in $pids; do kill -0 "$pid" 2>/dev/null && return 1; done; return 0; }
    check "deactivating the daemon ends both" wait_until 10 none_left
done
check "the two screens show different shows" test "$differing" -gt 0

finish
