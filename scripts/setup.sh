#!/usr/bin/env bash
# Installs what building, running and testing Brackwold! needs on Debian 12.
# Idempotent: installs only what is missing. Runs apt-get as root or via sudo.
#   setup.sh [run | linux | rest]: only what building and running the program
#   needs (scripts/run.sh: the ordinary tree, configured with its tests, and a
#   private X server for screenshots without a display), only what the Linux
#   builds need, or only the rest (the test command installs the rest while
#   it compiles); linux and rest by default.
set -euo pipefail

# The ordinary tree's configuration looks for GoogleTest and OSMesa too.
program_packages=(
    build-essential cmake ninja-build ccache pkg-config python3
    libx11-dev libxfixes-dev libxrandr-dev libxinerama-dev libgl-dev libglu1-mesa-dev libosmesa6-dev libsdl2-dev libgtk-3-dev
    libgtest-dev libgmock-dev
)
run_packages=("${program_packages[@]}" xvfb x11-utils xdotool imagemagick)
linux_packages=("${program_packages[@]}" zlib1g-dev clang-14 libfuzzer-14-dev)
rest_packages=(
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
    wine64
    xvfb xserver-xephyr xauth xdotool x11-utils imagemagick
    espeak-ng sox pulseaudio pulseaudio-utils fonts-comic-neue
    xscreensaver lintian wixl zip devscripts libasound2-plugins
)
case ${1:-} in
    run) packages=("${run_packages[@]}") ;;
    linux) packages=("${linux_packages[@]}") ;;
    rest) packages=("${rest_packages[@]}") ;;
    "") packages=("${linux_packages[@]}" "${rest_packages[@]}") ;;
    *) echo "usage: setup.sh [run | linux | rest]" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
