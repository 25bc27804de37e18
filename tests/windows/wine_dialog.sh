# The x86_64 Windows saver's configuration dialog under Wine: a start with
# no switch and /c show it; OK writes BRKW.ini into the prefix's Windows
# directory, Escape writes nothing.
source "$(dirname "$0")/wine_lib.sh"
ini=$WINEPREFIX/drive_c/windows/BRKW.ini

value() { sed -n "s/^$1=//p" "$ini" 2>/dev/null | tr -d '\r'; }

# dialog_case WHAT SWITCH KEYS...: shows the dialog, types the keys and
# checks that it closes with 1.
dialog_case() {
    local what=$1 switch=$2 window=; shift 2
    # shellcheck disable=SC2086
    start_wine $switch
    find_window --name '^Brackwold! Configuration$'
    check "$what: the dialog is shown" test -n "$window"
    if [ -n "$window" ]; then
        xdotool windowfocus --sync "$window" 2>/dev/null
        xdotool key --delay 150 "$@"
    fi
    check "$what: closes with 1" expect_code 1 10
    end_wine
}

# Ends a saver left running by a check that failed.
end_wine() {
    running && kill -9 "$saver_pid"
    wait "$saver_pid" 2>/dev/null
    saver_pid=
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

finish
