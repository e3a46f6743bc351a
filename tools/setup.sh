#!/bin/sh
# Installs the Debian packages Dovi needs to build, run and be tested, then
# configures and builds it in build/.  Used by run.sh and test.sh.
set -eu
cd "$(dirname "$0")/.."

PACKAGES="build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev \
qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools \
libgl-dev libxcb1-dev libxcb-xfixes0-dev libx11-dev qt6-wayland \
xvfb openbox xdotool x11-utils x11-xserver-utils xcompmgr hsetroot wmctrl imagemagick \
adwaita-icon-theme xdg-utils qt6-translations-l10n python3 dpkg-dev \
sway swaybg grim xwayland weston mutter kwin-wayland dbus-daemon \
at-spi2-core python3-pyatspi python3-gi gir1.2-gtk-3.0 xterm \
lintian appstream desktop-file-utils"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing="$missing $p"
    fi
done
if [ -n "$missing" ]; then
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    echo "Installing:$missing"
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
fi

BUILD_DIR="${DOVI_BUILD_DIR:-build}"
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="${DOVI_BUILD_TYPE:-RelWithDebInfo}" "$@"
cmake --build "$BUILD_DIR" --parallel
