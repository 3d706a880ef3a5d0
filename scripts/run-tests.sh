#!/bin/sh
# Builds and runs every test twice: an optimised build, and a build with the
# address and undefined-behaviour sanitizers.
set -eu
cd "$(dirname "$0")/.."
for preset in default asan; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
