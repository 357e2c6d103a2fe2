#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite headless under CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software QT_GSTREAMER_PLAYBIN_AUDIOSINK=fakesink
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
cd "${BUILD_DIR:-build}"
ctest --output-on-failure -j"$(nproc)" --timeout 600 "$@"
