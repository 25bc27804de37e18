# The configuration dialog of the real program on a real X display: how it
# opens, the keyboard and scroll-bar rules of a Win32 dialog, what OK
# writes, and a write that cannot succeed.
source "$(dirname "$0")/lib.sh"

ini=$XDG_CONFIG_HOME/brackwold/BRKW.ini
title='^Brackwold! Configuration$'

# Prints the dialog's window id once it is mapped and has the focus.
wait_for_dialog() {
    local id
    id=$(wait_for_window_named "$title") || return 1
    xdotool windowfocus --sync "$id" 2>/dev/null
    echo "$id"
}

value() { sed -n "s/^$1=//p" "$ini" 2>/dev/null | tr -d '\r'; }

# Opens the dialog with the given switch, runs the keys, and checks that it
# closes with 1 and leaves the file as expected ("none": no file).
keys_case() {  # keys_case WHAT SWITCH EXPECTED-SOUNDS KEYS...
    local what=$1 switch=$2 sounds=$3; shift 3
    rm -f "$ini"
    if [ -n "$switch" ]; then start_saver "$switch"; else start_saver; fi
    local window
    window=$(wait_for_dialog) || { check "$what: the dialog opens" false; end_dialog; return; }
    xdotool key --delay 150 "$@"
    check "$what: closes with 1" expect_code 1 5
    if [ "$sounds" = none ]; then
        check "$what: writes nothing" test ! -e "$ini"
    else
        check "$what: writes Sounds=$sounds" test "$(value Sounds)" = "$sounds"
    fi
    end_dialog
}

end_dialog() {
    if running; then kill -9 "$saver_pid"; fi
    wait "$saver_pid" 2>/dev/null
    saver_pid=
}

# Focus starts on OK; Tab walks OK, Cancel, Play Sounds; Space toggles the
# check box; Enter presses OK while the check box has the focus.
keys_case "no switch" "" 0 Tab Tab space Return
keys_case "/c" /c 1 Return
keys_case "Enter on a focused Cancel" /c none Tab Return
keys_case "Shift+Tab walks backwards" /c 0 shift+Tab space shift+Tab shift+Tab Return
keys_case "Tab wraps round to OK" /c 1 Tab Tab Tab Return
keys_case "Escape" /c:1234 none Escape
keys_case "two toggles" /c 1 shift+Tab space space Return
keys_case "Space presses the focused OK" /c 1 space

# Without a single font (a fontconfig that names no font folder) the
# dialog still opens within the screen, and works.
rm -f "$ini"
echo '<fontconfig></fontconfig>' >"$XDG_CONFIG_HOME/fonts.conf"
FONTCONFIG_FILE=$XDG_CONFIG_HOME/fonts.conf start_saver /c
window=$(wait_for_dialog)
read -r ww wh <<<"$(window_size "$window" | tr x ' ')"
read -r sw sh <<<"$(screen_size | tr x ' ')"
check "without fonts: the dialog fits the screen (${ww}x$wh)" \
    test "${ww:-0}" -gt 0 -a "$ww" -le "$sw" -a "$wh" -le "$sh"
xdotool key Return
check "without fonts: OK closes with 1" expect_code 1 5
end_dialog

# Centred on the screen; /c is owned by the window that has the focus.
coproc HOST { "$XPROBE" host 200 100; }
host_pid=$HOST_PID host_input=${HOST[1]}   # bash unsets these once the coprocess ends
read -r host <&"${HOST[0]}"
xdotool windowfocus --sync "$host"
start_saver /c
window=$(wait_for_dialog)
eval "$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^X=/wx=/p; s/^Y=/wy=/p; s/^WIDTH=/ww=/p; s/^HEIGHT=/wh=/p')"
read -r sw sh <<<"$(screen_size | tr x ' ')"
check "the dialog is centred" test $(( (2 * wx + ww - sw) / 2 )) -eq 0 -a $(( (2 * wy + wh - sh) / 2 )) -eq 0
check "/c is owned by the focused window" test "$(xprop -id "$window" WM_TRANSIENT_FOR | awk '{ print $NF }')" = \
    "$(printf '0x%x' "$host")"
xdotool key Escape
check "owned: closes with 1" expect_code 1 5
end_dialog
echo >&"$host_input"
wait "$host_pid" 2>/dev/null

# The close box cancels.
rm -f "$ini"
start_saver /c
window=$(wait_for_dialog)
"$XPROBE" close "$window"
check "the close box: closes with 1" expect_code 1 5
check "the close box: writes nothing" test ! -e "$ini"
end_dialog

# Scroll bars by the pointer, on the Size bar (30..90, 50 at first). The
# dialog's pixels per dialog unit come from its size (230 x 140 units).
point() {  # point X-UNITS Y-UNITS: the screen position of that dialog point
    echo $((wx + $1 * ww / 230)) $((wy + $2 * wh / 140))
}
start_saver
window=$(wait_for_dialog)
eval "$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^X=/wx=/p; s/^Y=/wy=/p; s/^WIDTH=/ww=/p; s/^HEIGHT=/wh=/p')"
# The dialog takes the moves and clicks in the order they come; only the
# held arrow needs time, as a user's finger does.
# shellcheck disable=SC2046
xdotool mousemove $(point 220 52) click 1                     # right arrow: 51
xdotool mousemove $(point 220 52) click 1                     # 52
xdotool mousemove $(point 140 52) click 1                     # left arrow: 51
xdotool mousemove $(point 205 52) click 1                     # trough right of the thumb: 61
xdotool mousemove $(point 205 77) click 1                     # delay trough: 70
xdotool mousemove $(point 220 77) mousedown 1 sleep 1.2 mouseup 1  # delay arrow held: repeats
xdotool mousemove $(point 162 95) click 1                     # Play Sounds: off
xdotool mousemove $(point 198 112) click 1                    # OK
check "arrows step and the trough pages: closes with 1" expect_code 1 5
check "arrows step and the trough pages: Size=61 (got $(value Size))" test "$(value Size)" = 61
check "the trough pages and a held arrow repeats: Char Delay above 71 (got $(value 'Char Delay'))" \
    test "$(value 'Char Delay')" -gt 71
check "a click on Play Sounds clears it: Sounds=0" test "$(value Sounds)" = 0
end_dialog

# A click on Cancel writes nothing.
rm -f "$ini"
start_saver
window=$(wait_for_dialog)
eval "$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^X=/wx=/p; s/^Y=/wy=/p; s/^WIDTH=/ww=/p; s/^HEIGHT=/wh=/p')"
xdotool mousemove $(point 162 95) click 1
xdotool mousemove $(point 198 126) click 1
check "a click on Cancel: closes with 1" expect_code 1 5
check "a click on Cancel: writes nothing" test ! -e "$ini"
end_dialog

# Dragging the thumb changes nothing until it is released.
start_saver
window=$(wait_for_dialog)
eval "$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^X=/wx=/p; s/^Y=/wy=/p; s/^WIDTH=/ww=/p; s/^HEIGHT=/wh=/p')"
# The resolution thumb stands at 15 of 10..30: a quarter along the trough
# between the arrows (146..214 units), less the thumb's own length.
read -r tx ty <<<"$(point 166 27)"
xdotool mousemove "$tx" "$ty" mousedown 1
xdotool mousemove $((tx + 30)) "$ty"
xdotool mousemove $((wx + ww)) "$ty"
xdotool mouseup 1
xdotool key Return
check "a dragged thumb: closes with 1" expect_code 1 5
check "a dragged thumb takes the released position: Poly Resolution=30 (got $(value 'Poly Resolution'))" \
    test "$(value 'Poly Resolution')" = 30
end_dialog

# A write that cannot succeed: the folder's place is taken by a file.
rm -rf "$XDG_CONFIG_HOME/brackwold"
echo "not a folder" >"$XDG_CONFIG_HOME/brackwold"
start_saver /c
window=$(wait_for_dialog)
xdotool key Return
error=$(wait_for_window_named '^Error$' 5)
check "a failed write shows a box captioned Error" test -n "$error"
check "the Error box is owned by the dialog" \
    test "$(xprop -id "${error:-0}" WM_TRANSIENT_FOR 2>/dev/null | awk '{ print $NF }')" = "$(printf '0x%x' "$window")"
check "a failed write keeps the dialog" running
error_gone() { [ -z "$(xdotool search --onlyvisible --name '^Error$' 2>/dev/null)" ]; }
[ -n "$error" ] && { xdotool windowfocus --sync "$error" 2>/dev/null; xdotool key Return; }
check "Return closes the Error box" wait_until 5 error_gone
check "the dialog stays after the box is closed" keeps_running 0.3
rm -f "$XDG_CONFIG_HOME/brackwold"
xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key Return
check "OK again once the file can be written: closes with 1" expect_code 1 5
check "OK again once the file can be written: writes the file" test "$(value Sounds)" = 1
end_dialog

finish
