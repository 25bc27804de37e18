# The x86_64 Windows saver under Wine on two monitors (Xephyr, two Xinerama
# heads, which Wine reads once told not to use RandR), the primary left and
# then right of the other: the window covers the virtual screen, the banner
# sweeps the primary's strip, the other monitor stays black and a movement
# over it ends the saver.
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/../../scripts/xvfb.sh"
source "$(dirname "$0")/../e2e/monitors_lib.sh"
wineserver=$(dirname "$WINE64")/wineserver
x11_key='HKCU\Software\Wine\X11 Driver'
restart_wineserver() { "$wineserver" -k >/dev/null 2>&1; "$wineserver" -w >/dev/null 2>&1; }
trap 'cleanup; "$WINE64" reg delete "$x11_key" /v UseXRandR /f >/dev/null 2>&1; restart_wineserver;
    stop_monitors; rm -f "$shot"' EXIT
"$WINE64" reg add "$x11_key" /v UseXRandR /t REG_SZ /d N /f >/dev/null 2>&1

for layout in left right; do
    on_two_monitors "$layout" || exit 1
    restart_wineserver  # Wine reads the monitors when it starts on a display
    start_wine /s
    find_window --class 'brackwold'
    check "the saver window covers the virtual screen" test "$(geometry "$window")" = 1600x600+0+0
    check "the banner shows in the primary's strip" wait_until 20 banner_shows
    check "the other monitor stays black" test "$(lit "$shot" "$other_geometry")" = 0
    xdotool mousemove_relative 20 20
    check "a movement over the other monitor ends /s with 0" expect_code 0 20
    [ "$saver_code" = running ] && kill -9 "$saver_pid"
done
finish
