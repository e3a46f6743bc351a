#!/bin/sh
# Installs what is missing, builds Dovi in build/ and runs every test layer; then the unit and widget
# tests again in a second build with AddressSanitizer and UndefinedBehaviorSanitizer, and the
# configuration reader's fuzz target for a bounded time. Exits non-zero on any failure.
set -eu
cd "$(dirname "$0")"
./tools/setup.sh
ctest --test-dir build --output-on-failure --timeout 600

DOVI_BUILD_DIR=build-asan DOVI_BUILD_TYPE=Debug ./tools/setup.sh -DDOVI_SANITIZE=ON
ctest --test-dir build-asan --output-on-failure --timeout 900 -L "unit|widgets"

./tools/fuzz.sh "${DOVI_FUZZ_SECONDS:-60}"
