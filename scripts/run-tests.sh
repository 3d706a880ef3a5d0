#!/bin/sh
# Builds and runs every test three times: the optimised developer build, a
# build with the address and undefined-behaviour sanitizers (both with warnings
# as errors), and a plain Release configuration made without the presets, as
# anyone building from source would make it, which must build and pass too.
set -eu
cd "$(dirname "$0")/.."
for preset in default asan; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j2
QT_QPA_PLATFORM=offscreen ctest --test-dir build/release --output-on-failure -j2
