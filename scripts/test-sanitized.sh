#!/usr/bin/env bash
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ (incremental when it exists) and runs every test with CTest on
# Qt's offscreen platform. Only the tests and what they run are built.
# KX_WERROR=ON in the environment makes every compiler warning an error (CI).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKX_SANITIZE=ON \
    -DKX_WERROR="${KX_WERROR:-OFF}"
cmake --build "$root/build-asan" --target kx_tests -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_stack_use_after_return=1:strict_string_checks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
ctest --test-dir "$root/build-asan" --output-on-failure -j"$(nproc)"
