# XScreenSaver's conventions: --window-id and --root ($XSCREENSAVER_WINDOW)
# draw inside another client's window, several at once, ignoring input and
# ending with the window; bad options and unknown switches say so and fail
# (every way an option can be wrong is in the unit test of the parser).
source "$(dirname "$0")/lib.sh"
out=$(mktemp -d)
trap 'rm -rf "$out"; cleanup' EXIT

# Runs the saver to its end; $out/stdout and $out/stderr keep what it said.
run_to_end() { timeout $((10 * slack)) "$SAVER" "$@" >"$out/stdout" 2>"$out/stderr"; }
said() { grep -q -- "$2" "$out/$1"; }

run_to_end --help
check "--help exits with 0" test $? -eq 0
check "--help names every option" bash -c 'for o in --root --window-id --poly-resolution --size --char-delay --sounds --no-sounds; do grep -q -- "$o" "$1" || exit 1; done' _ "$out/stdout"
# An InputOnly window of the test's own, to be refused by its id.
coproc GLASS { "$XPROBE" host 200 100 input-only; }
read -r glass <&"${GLASS[0]}"
while IFS='|' read -r expected usage args; do
    # shellcheck disable=SC2086
    run_to_end $args
    code=$?
    check "'$args' exits with 255" test "$code" -eq 255
    check "'$args' says: $expected" said stderr "$expected"
    [ "$usage" = usage ] && check "'$args' prints the usage line" said stderr "^usage: brackwold"
done <<TABLE
needs a whole number|usage|--root --size abc
usage|usage|/x
no window|-|--window-id 0x7ffffff0
takes input only|-|--window-id $glass
takes input only|-|/p $glass
TABLE
echo destroy >&"${GLASS[1]}"

# A host window of the test's own: start_host NAME W H sets $NAME to its id;
# end_host NAME destroys it.
start_host() {
    local fd
    mkfifo "$out/$1.in"
    "$XPROBE" host "$2" "$3" <"$out/$1.in" >"$out/$1.id" &
    exec {fd}>"$out/$1.in"
    eval "$1_fd=$fd"
    wait_until 5 test -s "$out/$1.id"
    eval "$1=$(cat "$out/$1.id")"
}
end_host() { eval "echo destroy >&\$$1_fd"; }

# True when more than 100 pixels of the window are lit (the banner at least:
# the stage may be between two figures).
drawn() {
    shot_lit "$out/shot.png" "$1" 100 || return 1
    [ -z "${KEEP_SHOTS:-}" ] || cp "$out/shot.png" "$KEEP_SHOTS/hack-$1.png"
}

start_host one 400 300
start_host two 320 200
start_saver --window-id "$one" --size 80 --no-sounds
first_pid=$saver_pid
XSCREENSAVER_WINDOW=$(printf '0x%x' "$two") "$SAVER" --root --no-sounds &
second_pid=$!
child1=$(wait_for_child "$one")
child2=$(wait_for_child "$two")
check "--window-id draws in a child of that window" test -n "$child1"
check "--root draws in a child of \$XSCREENSAVER_WINDOW" test -n "$child2"
check "the child covers the window" test "$(window_size "$child1")" = "400x300"
check "the other child covers its window" test "$(window_size "$child2")" = "320x200"
check "the saver draws on the window" wait_until 20 drawn "$one"
check "the other one draws on its window" wait_until 20 drawn "$two"

xdotool mousemove --window "$one" 30 30
xdotool mousemove --window "$one" 300 200
xdotool click 1 key space
check "input over the window leaves both running" keeps_running 0.9 "$first_pid" "$second_pid"

end_host one
check "destroying the window ends the saver with exit code 0" expect_code 0 10
saver_pid=$second_pid
kill -TERM "$second_pid"
check "the other one ends on SIGTERM with exit code 0" expect_code 0 5
end_host two

# A window that goes while the saver starts in it: the same ordinary end.
start_host three 200 150
"$SAVER" --window-id "$three" --no-sounds 2>"$out/stderr" &
saver_pid=$!
wait_for_child "$three" >/dev/null
end_host three
check "a window destroyed as the saver starts in it ends it with 0" expect_code 0 20
check "...having said nothing" test ! -s "$out/stderr"

finish
