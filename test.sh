#!/bin/sh
# Installs what is missing, builds Dovi in build/ and runs every test layer.
set -eu
cd "$(dirname "$0")"
./tools/setup.sh
ctest --test-dir build --output-on-failure --timeout 600 -j2
