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
    xscreensaver lintian wixl zip unzip openssl devscripts libasound2-plugins locales
    mate-screensaver xsecurelock desktop-file-utils dbus-daemon dconf-service libglib2.0-bin
)
# osslsigncode signs releases; Debian 12 has 2.9 only in bookworm-backports
# (its own 2.5 lacks what scripts/release.sh uses).
signer=osslsigncode signer_version=2.9
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
backport=
if [ "${1:-}" != linux ] && [ "${1:-}" != run ] && ! dpkg --compare-versions "$(dpkg-query -W -f='${Version}' $signer 2>/dev/null)" ge $signer_version; then
    backport=$signer
fi
sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
# The profile tests read settings under a Turkish locale (where toupper('i')
# is 'i'); Debian ships its sources in "locales", not the locale itself.
turkish_locale() {
    [ "${1:-}" = rest ] || [ -z "${1:-}" ] || return 0
    locale -a 2>/dev/null | grep -qix 'tr_TR\.utf8' && return 0
    $sudo localedef -i tr_TR -f UTF-8 tr_TR.UTF-8 || locale -a | grep -qix 'tr_TR\.utf8'
}
[ ${#missing[@]} -eq 0 ] && [ -z "$backport" ] && { turkish_locale "${1:-}"; exit 0; }

# backports_source: adds bookworm-backports from the mirror that apt
# already uses for bookworm, unless apt knows it.
backports_source() {
    grep -rqs bookworm-backports /etc/apt/sources.list /etc/apt/sources.list.d/ && return
    local mirror
    mirror=$(awk -v RS= '/Suites:.*bookworm/ && !/security/ { for (i = 1; i < NF; i++) if ($i == "URIs:") { print $(i + 1); exit } }' \
        /etc/apt/sources.list.d/*.sources 2>/dev/null)
    [ -n "$mirror" ] || mirror=$(awk '$1 == "deb" && $3 == "bookworm" { print $2; exit }' /etc/apt/sources.list 2>/dev/null)
    echo "deb ${mirror:?no bookworm mirror among the apt sources} bookworm-backports main" |
        $sudo tee /etc/apt/sources.list.d/bookworm-backports.list >/dev/null
}
[ -n "$backport" ] && backports_source
echo "Installing: ${missing[*]} $backport"
$sudo apt-get update -qq
[ ${#missing[@]} -eq 0 ] ||
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
[ -z "$backport" ] ||
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends -t bookworm-backports "$backport"
turkish_locale "${1:-}"
