#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the program need.
set -euo pipefail
packages=(cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev clang-format
    libx11-dev libxtst-dev libfltk1.3-dev libfontconfig-dev fonts-noto-cjk xvfb x11-utils
    imagemagick x11-xkb-utils lintian desktop-file-utils xdotool dpkg-dev file clang
    libclang-rt-14-dev libevdev-dev libudev-dev libwayland-dev libwayland-bin wayland-protocols
    plasma-wayland-protocols libxkbcommon-dev libsystemd-dev umockdev libumockdev-dev sway
    dbus-daemon kwin-wayland mutter pipewire)
# Without what they recommend: GNOME Shell's would bring a whole desktop and a display manager.
lean=(gnome-shell)
missing=()
for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
missingLean=()
for package in "${lean[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missingLean+=("$package")
done
if [ ${#missing[@]} -gt 0 ] || [ ${#missingLean[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    [ ${#missing[@]} -eq 0 ] ||
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
    [ ${#missingLean[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq \
        --no-install-recommends "${missingLean[@]}"
fi

# The Windows cross-builds and Wine, only when asked for (tools/test-windows.sh asks).
if [ "${TAPEWRIGHT_WINDOWS:-0}" = 1 ]; then
    bash "$(dirname "$0")/setup-windows.sh"
fi
