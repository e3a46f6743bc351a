#!/bin/sh
# Builds the configuration reader's fuzz target with clang and runs it for a bounded time
# (seconds as the first argument, 60 by default). Any crash, hang or sanitizer report fails; the input
# that caused it is kept in build-fuzz/artifacts/.
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-60}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDOVI_FUZZ=ON \
    -DBUILD_TESTING=ON >/dev/null
cmake --build build-fuzz --target fuzz_configreader
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp tests/unit/fuzz_corpus/* "$work/"
mkdir -p build-fuzz/artifacts
./build-fuzz/bin/fuzz_configreader -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=4096 -artifact_prefix="$PWD/build-fuzz/artifacts/" "$work"
