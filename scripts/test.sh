#!/usr/bin/env bash
# Sets up, builds everything (Linux and both Windows savers) and runs every
# test, on a private Xvfb display.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" --windows

source "$top/scripts/xvfb.sh"
start_xvfb 1024x768x24
cd "$top/build/linux"
ctest --output-on-failure --timeout 300 -j 2
