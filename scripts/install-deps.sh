#!/usr/bin/env bash
# Installs every Debian package the build, the programs and the tests need.
# Idempotent and quiet when everything is already there.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-serialport-dev libgl-dev
    xvfb xauth x11-apps imagemagick fonts-dejavu-core
    libx11-dev libxtst-dev xdotool
    clang libclang-rt-14-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 wine64
    avrdude openssl python3
    qtkeychain-qt6-dev trustedqsl
    libhamlib-utils dpkg-dev
)

# Node.js and npm (for a test that runs an independent ADIF reader) come
# with the machine where it has them; otherwise from Debian.
command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
