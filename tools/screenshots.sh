#!/bin/sh
# Takes the README's pictures again (docs/images/bar.png and docs/images/preferences.png) from the
# real program under Xvfb, with the end-to-end test that opens them as a user would.
set -eu
cd "$(dirname "$0")/.."
./tools/setup.sh
mkdir -p docs/images
DOVI_SCREENSHOTS="$PWD/docs/images" python3 tests/e2e/e2e_screenshots.py --bin "${DOVI_BUILD_DIR:-build}/bin"
