# The x86_64 Windows saver's configuration dialog under Wine: a start with
# no switch and /c show it; Escape writes nothing. The 64-bit saver keeps its
# settings per user: OK writes %APPDATA%\Brackwold\BRKW.ini, never the
# Windows directory's file, whose values count until the user's file exists.
source "$(dirname "$0")/wine_lib.sh"
windows_ini=$WINEPREFIX/drive_c/windows/BRKW.ini
ini=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Brackwold/BRKW.ini

values() { for key in 'Poly Resolution' Size 'Char Delay' Sounds; do sed -n "s/^$key=//p" "$1" | tr -d '\r'; done | xargs; }

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

rm -rf "$(dirname "$ini")" "$windows_ini"
dialog_case "no switch, Escape" "" Escape
check "Escape writes nothing" test ! -e "$ini" -a ! -e "$windows_ini"

printf '[Brackwold]\r\nPoly Resolution=22\r\nSize=70\r\nChar Delay=100\r\nSounds=0\r\n' > "$windows_ini"
cp "$windows_ini" "$windows_ini.before"
dialog_case "/c, Tab Tab Space Enter" /c Tab Tab space Return
check "OK writes the user's BRKW.ini: the Windows directory's values, sounds switched on ($(values "$ini"))" \
    test "$(values "$ini")" = "22 70 100 1"
check "the Windows directory's file is left alone" cmp -s "$windows_ini" "$windows_ini.before"

sed -i 's/^Size=70/Size=40/' "$windows_ini"
dialog_case "/c, Enter" /c Return
check "once there, the user's file is the one read ($(values "$ini"))" test "$(values "$ini")" = "22 70 100 1"
rm -f "$windows_ini" "$windows_ini.before"
"$WINE64" wineserver -k >/dev/null 2>&1 || true

finish
