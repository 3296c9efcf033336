#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (the window tests offscreen).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
export LANG=C LC_ALL=C QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-$root/build}" --output-on-failure -j"$(nproc)" --timeout 300
