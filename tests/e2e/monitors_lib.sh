# Sourced by the two-monitor scripts after lib.sh and scripts/xvfb.sh: one
# Xephyr display at a time with the pointer resting on the other monitor,
# and what a screenshot of it shows.
command -v Xephyr >/dev/null || { echo "no Xephyr: skipped"; exit 77; }
shot=$(mktemp --suffix=.png)
xephyr_pid=
host_display=$DISPLAY
stop_monitors() { [ -n "$xephyr_pid" ] && kill "$xephyr_pid" 2>/dev/null && wait "$xephyr_pid" 2>/dev/null; xephyr_pid=; }
trap 'cleanup; stop_monitors; rm -f "$shot"' EXIT

# on_two_monitors LAYOUT: a fresh Xephyr with the primary left, right or
# below; sets px, py (the primary's corner) and strip (its banner strip).
on_two_monitors() {
    echo "# the primary on the $1"
    stop_monitors
    DISPLAY=$host_display
    start_two_monitors "$1" || return 1
    local ox oy
    IFS='x+' read -r _ _ px py <<<"$primary_geometry"
    IFS='x+' read -r _ _ ox oy <<<"$other_geometry"
    strip="800x20+$px+$((py + 580))"
    pointer_to $((ox + 400)) $((oy + 300))
}

banner_shows() { shot_lit "$shot" root 0 "$strip"; }
geometry() { xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h "+" x "+" y }'; }
