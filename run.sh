#!/bin/sh
# Installs what is missing, builds Dovi in build/ and starts the bar.
set -eu
cd "$(dirname "$0")"
./tools/setup.sh
exec ./build/bin/Dovi "$@"
