#!/bin/sh
# Builds the Debian package of Dovi in build-package/ (program folder /opt/Dovi, start command
# /usr/bin/dovi, menu entry in /usr/share/applications).
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_INSTALL_PREFIX=/opt/Dovi -DDOVI_PACKAGE=ON >/dev/null
cmake --build build-package --parallel
(cd build-package && cpack -G DEB)
ls build-package/dovi_*.deb
