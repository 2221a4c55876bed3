#!/usr/bin/env bash
# Installs every Debian package the build, the programs and the tests need
# (with --programs: only what the programs need to build and run).
# Idempotent and quiet when everything is already there.
set -euo pipefail

# What the programs need to build and run (xvfb for a machine without a
# desktop: xvfb-run -a scripts/demo.sh).
packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-serialport-dev libgl-dev libqt6svg6
    libx11-dev libxtst-dev qtkeychain-qt6-dev
    xvfb xauth fonts-dejavu-core
)

# With --programs, only those; otherwise the test toolchain and the real
# peers the tests talk to as well.
if [ "${1:-}" != "--programs" ]; then
    packages+=(
        x11-apps imagemagick xdotool
        clang libclang-rt-14-dev
        g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 wine64
        avrdude openssl python3 trustedqsl
        libhamlib-utils dpkg-dev lintian appstream desktop-file-utils
    )
    # Node.js and npm (for a test that runs an independent ADIF reader) come
    # with the machine where it has them; otherwise from Debian.
    command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)
fi

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
