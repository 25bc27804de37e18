# The x86_64 Windows saver's configuration dialog under Wine: a start with
# no switch and /c show it; OK writes BRKW.ini into the prefix's Windows
# directory, Escape writes nothing.
source "$(dirname "$0")/wine_lib.sh"
ini=$WINEPREFIX/drive_c/windows/BRKW.ini

value() { sed -n "s/^$1=//p" "$ini" 2>/dev/null | tr -d '\r'; }

# dialog_case WHAT SWITCH KEYS...: shows the dialog, types the keys and
# sets code to the exit code.
dialog_case() {
    local what=$1 switch=$2 window= pid; shift 2
    "$WINE64" "$scr" $switch >/dev/null 2>&1 &
    pid=$!
    find_window --name '^Brackwold! Configuration$'
    check "$what: the dialog is shown" test -n "$window"
    if [ -n "$window" ]; then
        xdotool windowfocus --sync "$window" 2>/dev/null
        sleep 0.5
        xdotool key --delay 150 "$@"
    fi
    wait_for_exit $pid 100
    check "$what: closes with 1 (got $code)" test "$code" = 1
}

rm -f "$ini"
dialog_case "no switch, Escape" "" Escape
check "Escape writes nothing" test ! -e "$ini"

dialog_case "/c, Tab Tab Space Enter" /c Tab Tab space Return
check "OK writes BRKW.ini into the Windows directory" test -f "$ini"
check "the sounds were switched off (Sounds=$(value Sounds))" test "$(value Sounds)" = 0
check "the other settings keep their defaults" \
    test "$(value 'Poly Resolution') $(value Size) $(value 'Char Delay')" = "15 50 60"
"$WINE64" wineserver -k >/dev/null 2>&1 || true

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
