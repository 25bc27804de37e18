# The x86_64 Windows saver under Wine: a bad preview handle fails with -1 and
# the full-screen saver ends on a key press.
source "$(dirname "$0")/wine_lib.sh"

start_wine /p 0
check "/p 0 exits with -1" expect_code 255 30

full_screen_run "the built saver"
"$WINE64" wineserver -k >/dev/null 2>&1 || true

finish
