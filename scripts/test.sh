#!/bin/sh
# Builds the library and its tests and runs them: the README's test command.
# TAVO_BUILD_DIR picks the build directory (default build), TAVO_CMAKE_ARGS
# adds CMake options (for example -DTAVO_SANITIZE=ON).
set -eu
cd "$(dirname "$0")/.."
build=${TAVO_BUILD_DIR:-build}
jobs=$(nproc 2>/dev/null || echo 2)
scripts/install-deps.sh
# shellcheck disable=SC2086
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${TAVO_CMAKE_ARGS:-}
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" --output-on-failure -j"$jobs"
