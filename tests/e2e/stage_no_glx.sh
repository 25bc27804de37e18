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
wait_until 5 test -s "$work/display"
display=:$(head -n 1 "$work/display")
check "a private X server without GLX is up ($display)" test -s "$work/display"
export DISPLAY=$display
check "it really has no GLX" sh -c '! xdpyinfo | grep -q GLX'

"$SAVER" /s 2>"$work/stderr" &
saver_pid=$!

error_boxes() { xdotool search --name '^Error$' 2>/dev/null | wc -l; }
dialogs=
error_shown() { dialogs=$(xdotool search --name '^Error$' 2>/dev/null); [ -n "$dialogs" ]; }
check "an \"Error\" message box appears" wait_until 10 error_shown
check "exactly one message box" holds 0.5 eval '[ "$(error_boxes)" -eq 1 ]'
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
