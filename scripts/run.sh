#!/usr/bin/env bash
# Sets up, builds and starts the saver full screen. Without a display it
# runs the saver on a private Xvfb for a few seconds and saves screenshots.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# Only what the program needs: the test command installs and builds the rest.
"$top/scripts/setup.sh" run
"$top/scripts/build.sh" --program
saver="$top/build/linux/brackwold"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec "$saver" /s
fi

source "$top/scripts/xvfb.sh"
start_xvfb 1024x768x24
mkdir -p "$top/out"
"$saver" /s &
pid=$!
for n in 1 2 3; do
    sleep 2
    import -window root "$top/out/screenshot-$n.png"
    echo "$top/out/screenshot-$n.png"
done
xdotool key Escape
wait "$pid" || true
