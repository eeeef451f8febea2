#!/bin/sh
# Builds the library and runs the main job: the README's demo command.
set -eu
cd "$(dirname "$0")/.."
build=${TAVO_BUILD_DIR:-build}
scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" --target numbers_demo >/dev/null
"$build"/examples/numbers_demo
