#!/usr/bin/env bash
# Installs what building, running and testing Brackwold! needs on Debian 12.
# Idempotent: installs only what is missing. Runs apt-get as root or via sudo.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config python3
    zlib1g-dev libx11-dev libxfixes-dev libxrandr-dev libxinerama-dev libgl-dev libglu1-mesa-dev libosmesa6-dev libsdl2-dev libgtk-3-dev
    libgtest-dev libgmock-dev clang-14 libfuzzer-14-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
    wine64
    xvfb xserver-xephyr xauth xdotool x11-utils imagemagick
    espeak-ng sox pulseaudio pulseaudio-utils fonts-comic-neue
    xscreensaver lintian wixl zip devscripts libasound2-plugins
)

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
