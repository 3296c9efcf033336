#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (the window tests offscreen). Then builds
# the whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/ (or
# $ASAN_BUILD_DIR) and runs every test there too: any invalid memory access, leak or undefined
# behaviour fails the test that caused it. TOLVI_SANITIZE=0 leaves the second pass out.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" --tests
"$root/scripts/build.sh"
export LANG=C LC_ALL=C QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-$root/build}" --output-on-failure -j"$(nproc)" --timeout 300

if [ "${TOLVI_SANITIZE:-1}" != 0 ]; then
  asan="${ASAN_BUILD_DIR:-$root/build-asan}"
  echo "サニタイザー付きのビルドとテスト ($asan)"
  BUILD_DIR="$asan" "$root/scripts/build.sh" -DTOLVI_SANITIZE=ON -DTOLVI_BUILD_BENCH=OFF
  # Leaks are reported too (Qt, fontconfig and libcurl free what they hold here: no suppressions).
  export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  # Instrumented code runs a few times slower than the normal build.
  ctest --test-dir "$asan" --output-on-failure -j"$(nproc)" --timeout 900
fi
