# A display that offers no GL visual at all: the full-screen saver shows
# exactly one "Error" message, and once it is dismissed ends with code 1.
# Runs on a private X server without the GLX extension.
source "$(dirname "$0")/lib.sh"

work=$(mktemp -d)
xvfb_pid=
stop_xvfb() {
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
}
trap 'cleanup; stop_xvfb; rm -rf "$work"' EXIT

# -displayfd lets the server pick a free display number and tell us.
Xvfb -displayfd 5 -extension GLX -screen 0 800x600x24 5>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
display=:$(head -n 1 "$work/display")
check "a private X server without GLX is up ($display)" test -s "$work/display"
export DISPLAY=$display
check "it really has no GLX" sh -c '! xdpyinfo | grep -q GLX'

"$SAVER" /s 2>"$work/stderr" &
saver_pid=$!

# Generous: GTK starts slowly on a loaded machine.
dialogs=
for _ in $(seq 300); do
    dialogs=$(xdotool search --name '^Error$' 2>/dev/null)
    [ -n "$dialogs" ] && break
    sleep 0.1
done
check "an \"Error\" message box appears" test -n "$dialogs"
sleep 0.5
check "exactly one message box" test "$(xdotool search --name '^Error$' 2>/dev/null | wc -l)" -eq 1
check "the saver waits for it" running

xdotool windowfocus --sync "$(echo "$dialogs" | head -n 1)" 2>/dev/null
xdotool key Return
check "dismissing it ends the saver with exit code 1" expect_code 1 5
saver_pid=
check "exactly one error was reported" test "$(grep -c '^Error: ' "$work/stderr")" -eq 1
check "it is the pixel-format failure" grep -q 'ChoosePixelFormat() failed:  Cannot find a suitable pixel format.' \
    "$work/stderr"

[ "$failures" -eq 0 ] || { echo "--- the saver's stderr:"; cat "$work/stderr"; }
finish
