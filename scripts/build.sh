#!/usr/bin/env bash
# Configures and builds the whole project into build/ (or $BUILD_DIR); CMAKE_ARGS adds options.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
# shellcheck disable=SC2086 # CMAKE_ARGS is a list of options
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} ${CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)"
