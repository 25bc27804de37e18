#!/usr/bin/env bash
# Sets up, builds everything (Linux and both Windows savers) and runs every
# test, on a private Xvfb display.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# ccache keyed on paths relative to the tree and not on the build folder, so
# that the second build of the same sources (the Makefile one below) comes
# from the cache rather than from the compiler.
export CCACHE_BASEDIR="$top" CCACHE_NOHASHDIR=true
"$top/scripts/setup.sh"
"$top/scripts/build.sh" --windows

# The ordinary CMake build as packagers and IDEs run it, with CMake's
# Makefile generator (build.sh uses Ninja, which hides a missing output
# folder): the program, tools and benchmarks, without the tests.
cmake -S "$top" -B "$top/build/make" -G "Unix Makefiles" -DBRACKWOLD_TESTS=OFF >/dev/null
cmake --build "$top/build/make" -j "$(nproc)" >/dev/null

source "$top/scripts/xvfb.sh"
start_xvfb 1024x768x24
cd "$top/build/linux"
ctest --output-on-failure --timeout 300 -j 2

# The Linux tests again, built with AddressSanitizer and
# UndefinedBehaviorSanitizer; any report fails its test. Leaks inside system
# libraries are suppressed in tests/sanitizers/lsan.supp, each with its reason.
cmake -S "$top" -B "$top/build/asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRACKWOLD_SANITIZE=ON >/dev/null
ninja -C "$top/build/asan" -j "$(nproc)"
cd "$top/build/asan"
# How often each leak suppression fired, summed over the last ctest run here
# (ctest keeps every test's output, passed or not, in LastTest.log).
suppressions_used() {
    echo "LeakSanitizer suppressions used in $(basename "$PWD") (count, bytes, template):"
    awk '/^Suppressions used:/ { on = 1; next } on && /^-+$/ { on = 0 }
         on && $1 ~ /^[0-9]+$/ { n[$3] += $1; b[$3] += $2 }
         END { for (t in n) printf "  %6d %10d %s\n", n[t], b[t], t }' Testing/Temporary/LastTest.log | sort -k3
}
# GTK's accessibility bridge stays off: it loses a string as GTK starts, in
# a frame the fast leak stacks cannot name for a suppression.
status=0
LSAN_OPTIONS="suppressions=$top/tests/sanitizers/lsan.supp:print_suppressions=1" \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 NO_AT_BRIDGE=1 \
    ctest --output-on-failure --timeout 300 -j 2 -LE regen || status=$?
suppressions_used
[ "$status" -eq 0 ]

# The libFuzzer harnesses (clang), each for a bounded time from its seeds.
cmake -S "$top" -B "$top/build/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRACKWOLD_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
ninja -C "$top/build/fuzz" -j "$(nproc)" fuzzers
cd "$top/build/fuzz"
LSAN_OPTIONS="suppressions=$top/tests/sanitizers/lsan.supp:print_suppressions=1" \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --output-on-failure -j 2 -L fuzz || status=$?
suppressions_used
[ "$status" -eq 0 ]
