#!/usr/bin/env bash
# Builds the whole project under AddressSanitizer and UndefinedBehaviorSanitizer
# and runs the test suite. Does its own set-up on a fresh Debian machine.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
build="$here/build/test-asan"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_SANITIZE=ON \
  -DQM_BUILD_BENCH=OFF
cmake --build "$build" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions="$here/tests/lsan.supp":print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
