#!/usr/bin/env bash
# Sets up, builds everything (Linux and both Windows savers) and runs every
# test once: the unit, end-to-end and fuzz tests in the sanitizer build
# (build/asan), and what only the ordinary build can show (label "plain")
# in build/linux. Each phase's wall and CPU seconds go to build/phases.txt.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# ccache keyed on paths relative to the tree and not on the build folder, so
# that the second build of the same sources (the Makefile one below) comes
# from the cache rather than from the compiler.
export CCACHE_BASEDIR="$top" CCACHE_NOHASHDIR=true
jobs=$(nproc)
mkdir -p "$top/build"
phases=$top/build/phases.txt
: >"$phases"
# timed NAME COMMAND...: runs COMMAND and adds its wall and CPU time to $phases.
timed() {
    local TIMEFORMAT
    TIMEFORMAT="$(printf '%-30s' "$1") %1R s wall, %1U s user, %1S s sys"
    shift
    { time "$@" 2>&4; } 4>&2 2>>"$phases"
}

timed "packages for the Linux builds" "$top/scripts/setup.sh" linux
# The rest (cross-compilers, Wine, X servers, tools of the tests) installs
# while the sanitizer build compiles.
timed "packages, the rest" "$top/scripts/setup.sh" rest >"$top/build/setup.log" 2>&1 &
rest=$!

# configure NAME: the tree build/NAME as CMakePresets.json describes it (the
# one place that says how each tree is configured).
configure() {
    cmake -S "$top" --preset "$1" >/dev/null
}
# The sanitizer build is clang's: its ASan and UBSan compile our tests three
# times faster than GCC's, and libFuzzer's harnesses come with it.
build_sanitized() {
    configure asan
    ninja -C "$top/build/asan" -j "$jobs"
}
# The ordinary build: the program and what the "plain" tests run (no test
# binaries: their tests ran in the sanitizer build).
build_plain() {
    configure linux
    ninja -C "$top/build/linux" -j "$jobs" brackwold package_docs render_figures long_run testing_objects
}
build_windows() {  # build_windows win64|win32
    configure "$1"
    ninja -C "$top/build/$1" -j "$jobs"
}
# The ordinary CMake build as packagers and IDEs run it, with CMake's
# Makefile generator (Ninja hides a missing output folder): the program,
# tools and benchmarks, without the tests; ccache serves what build/linux
# compiled.
build_make() {
    configure make
    cmake --build "$top/build/make" -j "$jobs" >/dev/null
}
# The other builds, at low priority beside the sanitizer build's tests
# (which mostly wait for X servers and timers); output in build/builds.log.
other_builds() {
    timed "build linux (plain)" build_plain
    timed "build win64" build_windows win64
    timed "build win32" build_windows win32
    timed "build make" build_make
}

timed "build asan (clang, fuzzers)" build_sanitized
wait "$rest" || { cat "$top/build/setup.log"; exit 1; }
(renice -n 19 -p "$BASHPID" >/dev/null; other_builds) >"$top/build/builds.log" 2>&1 &
builds=$!

source "$top/scripts/xvfb.sh"
start_xvfb 1024x768x24
status=0

# How often each leak suppression fired, summed over the last ctest run here
# (ctest keeps every test's output, passed or not, in LastTest.log).
suppressions_used() {
    echo "LeakSanitizer suppressions used in $(basename "$PWD") (count, bytes, template):"
    awk '/^Suppressions used:/ { on = 1; next } on && /^-+$/ { on = 0 }
         on && $1 ~ /^[0-9]+$/ { n[$3] += $1; b[$3] += $2 }
         END { for (t in n) printf "  %6d %10d %s\n", n[t], b[t], t }' Testing/Temporary/LastTest.log | sort -k3
}
# Any sanitizer report fails its test; leaks inside system libraries are
# suppressed in tests/sanitizers/lsan.supp, each with its reason. GTK's
# accessibility bridge stays off: it loses a string as GTK starts, in a
# frame the fast leak stacks cannot name for a suppression.
cd "$top/build/asan"
export LSAN_OPTIONS="suppressions=$top/tests/sanitizers/lsan.supp:print_suppressions=1" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 NO_AT_BRIDGE=1
timed "tests asan" ctest --output-on-failure --timeout 300 -j "$jobs" -LE 'plain|fuzz' || status=$?
suppressions_used
# The fuzzers after them: each keeps a core busy, which the end-to-end tests'
# deadlines cannot spare.
timed "fuzzers" ctest --output-on-failure --timeout 300 -j "$jobs" -L fuzz || status=$?
suppressions_used
unset LSAN_OPTIONS UBSAN_OPTIONS NO_AT_BRIDGE

# Nothing competes with the builds any more: back to normal priority, or a
# busy machine's other work would starve them (as root; otherwise they stay
# low).
descendants() { local child; for child in $(pgrep -P "$1" 2>/dev/null); do echo "$child"; descendants "$child"; done; }
renice -n 0 -p "$builds" $(descendants "$builds") >/dev/null 2>&1 || true
if ! wait "$builds"; then
    cat "$top/build/builds.log"
    exit 1
fi
cd "$top/build/linux"
timed "tests plain" ctest --output-on-failure --timeout 600 -j "$jobs" -L plain || status=$?
exit "$status"
