# Displays where GL cannot be set up: one without GLX (no pixel format),
# one whose GLX renders only indirectly, which the server refuses (no
# context). The full-screen saver shows exactly one "Error" message, and
# once it is dismissed ends with code 1; hack mode shows none, says why in
# one line and ends with 1. A server that dies while the saver starts ends
# it with 0, silently. Each case runs on a private X server.
source "$(dirname "$0")/lib.sh"

work=$(mktemp -d)
xvfb_pid=
stop_xvfb() {
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
}
trap 'cleanup; stop_xvfb; rm -rf "$work"' EXIT

# -displayfd lets the server pick a free display number and tell us.
private_xvfb() {  # private_xvfb ARGS...: a fresh server in DISPLAY, the last one stopped
    stop_xvfb
    : >"$work/display"
    Xvfb -displayfd 5 "$@" -screen 0 800x600x24 5>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    wait_until 5 test -s "$work/display" && export DISPLAY=:$(head -n 1 "$work/display")
}

# What the saver said, without LeakSanitizer's table of the suppressions used.
said() { grep -v -e '^-*$' -e '^Suppressions used:' -e '^ *count *bytes' -e '^ *[0-9][0-9]* *[0-9][0-9]* [^ ]*$' "$work/stderr"; }
# Generous: GTK starts slowly on a loaded machine.
error_boxes() { xdotool search --name '^Error$' 2>/dev/null | wc -l; }
dialogs=
error_shown() { dialogs=$(xdotool search --name '^Error$' 2>/dev/null); [ -n "$dialogs" ]; }
while IFS='|' read -r what server env args text; do
    check "$what: a private X server is up ($server)" private_xvfb $server
    env "$env" "$SAVER" "$args" 2>"$work/stderr" &
    saver_pid=$!
    if [ "$args" = /s ]; then
        check "$what: an \"Error\" message box appears" wait_until 30 error_shown
        check "$what: exactly one message box" holds 0.5 eval '[ "$(error_boxes)" -eq 1 ]'
        check "$what: the saver waits for it" running
        xdotool windowfocus --sync "$(echo "$dialogs" | head -n 1)" 2>/dev/null
        xdotool key Return
    fi
    check "$what: $args ends with exit code 1" expect_code 1 30
    check "$what: it said why, once and nothing else: $text" test "$(said)" = "Error: $text"
    [ "$args" = /s ] || check "$what: $args showed no box" test "$(error_boxes)" -eq 0
done <<'TABLE'
no GLX|-extension GLX|LIBGL_ALWAYS_INDIRECT=0|/s|ChoosePixelFormat() failed:  Cannot find a suitable pixel format.
indirect GLX only|+extension GLX|LIBGL_ALWAYS_INDIRECT=1|/s|wglCreateContext() failed:  Cannot create an OpenGL rendering context.
indirect GLX only|+extension GLX|LIBGL_ALWAYS_INDIRECT=1|--root|wglCreateContext() failed:  Cannot create an OpenGL rendering context.
TABLE

# The server killed at moments spread over the start, once the saver is
# connected: "code/lines said" of each run.
connected() { [ -n "$(find "/proc/$saver_pid/fd" -lname 'socket:*' 2>/dev/null)" ]; }
ends=
for delay in 0 0.1 0.2 0.3 0.5 0.7 1.0 1.5; do
    private_xvfb
    "$SAVER" --root 2>"$work/stderr" &
    saver_pid=$!
    wait_until 30 connected && sleep "$delay"
    kill -9 "$xvfb_pid"
    wait "$xvfb_pid" 2>/dev/null
    wait_for_exit 20
    ends+="$saver_code/$(said | wc -l) "
done
check "a server killed during the start ends each run with 0, silently: $ends" test "$ends" = "$(printf '0/0 %.0s' {1..8})"

[ "$failures" -eq 0 ] || { echo "--- the saver's last stderr:"; cat "$work/stderr"; }
finish
