#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite headless under CTest.
#
# With SANITIZE=1 (as CI runs it) a second build in build-asan/ (or $ASAN_BUILD_DIR), under
# AddressSanitizer and UndefinedBehaviorSanitizer, then runs every test again but those labelled
# "timing" (a pass that depends on speed). A sanitizer report ends its test with a failure.
# Arguments go to both ctest runs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/setup.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software QT_GSTREAMER_PLAYBIN_AUDIOSINK=fakesink
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"

status=0
(cd "${BUILD_DIR:-build}" && ctest --output-on-failure -j"$(nproc)" --timeout 600 "$@") || status=$?

if [ "${SANITIZE:-0}" = 1 ]; then
  asan=${ASAN_BUILD_DIR:-build-asan}
  BUILD_DIR=$asan CMAKE_ARGS="-DSANITIZE=address,undefined -DTAVORLIN_BENCH=OFF" scripts/build.sh
  # The QML engine's collector scans the native stack, which a fake stack for use-after-return
  # would hide from it. Leaks are checked, less the libraries' own (tests/sanitizer/lsan.supp).
  export ASAN_OPTIONS=detect_stack_use_after_return=0:check_initialization_order=1:strict_init_order=1:detect_leaks=1:abort_on_error=0
  export LSAN_OPTIONS=suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  (cd "$asan" && ctest --output-on-failure -j"$(nproc)" --timeout 1200 -LE timing "$@") || status=$?
fi
exit $status
