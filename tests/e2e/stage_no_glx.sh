# A display that offers no GL visual at all: the full-screen saver shows
# exactly one "Error" message, and once it is dismissed ends with code 1.
# One whose GLX renders only indirectly, which the server refuses, gives no
# context: hack mode says so in one line and ends with 1. A server that dies
# while the saver starts ends it with 0, silently. Each on a private server.
source "$(dirname "$0")/lib.sh"

work=$(mktemp -d)
xvfb_pid=
stop_xvfb() {
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
}
trap 'cleanup; stop_xvfb; rm -rf "$work"' EXIT

# private_xvfb ARGS...: a server of its own in $display, the last one stopped.
# -displayfd lets the server pick a free display number and tell us.
private_xvfb() {
    stop_xvfb
    rm -f "$work/display"
    Xvfb -displayfd 5 "$@" -screen 0 800x600x24 5>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    wait_until 5 test -s "$work/display"
    display=:$(head -n 1 "$work/display")
}
private_xvfb -extension GLX
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

# What the saver said, without LeakSanitizer's table of the suppressions used.
said() { grep -v -e '^-*$' -e '^Suppressions used:' -e '^ *count *bytes' -e '^ *[0-9][0-9]* *[0-9][0-9]* [^ ]*$' "$work/stderr"; }
private_xvfb
export DISPLAY=$display
LIBGL_ALWAYS_INDIRECT=1 "$SAVER" --root 2>"$work/stderr" &
saver_pid=$!
check "indirect GLX only: hack mode ends with exit code 1" expect_code 1 30
check "...having said why in one line" test "$(said)" = "Error: wglCreateContext() failed:  Cannot create an OpenGL rendering context."

# The server killed at moments spread over the start, once the saver is
# connected: "exit code/lines said" of each run.
connected() { [ -n "$(find "/proc/$saver_pid/fd" -lname 'socket:*' 2>/dev/null)" ]; }
ends=
for delay in 0 0.1 0.2 0.3 0.5 0.7 1.0 1.5; do
    private_xvfb
    DISPLAY=$display "$SAVER" --root 2>"$work/stderr" &
    saver_pid=$!
    wait_until 30 connected && sleep "$delay"
    kill -9 "$xvfb_pid"
    wait_for_exit 20
    ends+="$saver_code/$(said | wc -l) "
done
check "a server killed during the start ends each run with 0, silently: $ends" test "$ends" = "$(printf '0/0 %.0s' {1..8})"

[ "$failures" -eq 0 ] || { echo "--- the saver's last stderr:"; cat "$work/stderr"; }
finish
