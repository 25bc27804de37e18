#!/usr/bin/env bash
# Installs what building, running and testing Brackwold! needs on Debian 12.
# Idempotent: installs only what is missing. Runs apt-get as root or via sudo.
#   setup.sh [linux | rest]: only what the Linux builds need, or only the
#   rest (the test command installs the rest while it compiles); both by default.
set -euo pipefail

linux_packages=(
    build-essential cmake ninja-build ccache pkg-config python3
    zlib1g-dev libx11-dev libxfixes-dev libxrandr-dev libxinerama-dev libgl-dev libglu1-mesa-dev libosmesa6-dev libsdl2-dev libgtk-3-dev
    libgtest-dev libgmock-dev clang-14 libfuzzer-14-dev
)
rest_packages=(
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
    wine64
    xvfb xserver-xephyr xauth xdotool x11-utils imagemagick
    espeak-ng sox pulseaudio pulseaudio-utils fonts-comic-neue
    xscreensaver lintian wixl zip devscripts libasound2-plugins
    mate-screensaver xsecurelock desktop-file-utils dbus-daemon dconf-service libglib2.0-bin
)
case ${1:-} in
    linux) packages=("${linux_packages[@]}") ;;
    rest) packages=("${rest_packages[@]}") ;;
    "") packages=("${linux_packages[@]}" "${rest_packages[@]}") ;;
    *) echo "usage: setup.sh [linux | rest]" >&2; exit 2 ;;
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
