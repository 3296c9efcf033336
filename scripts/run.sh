#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tolvi Numbers3 in a working folder that holds the
# shipped sample history. Without a display it runs one prediction with the tolvi tool instead.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

work="${TOLVI_WORK_DIR:-$root/work}"
mkdir -p "$work"
# Never overwrite a history the user has already added draws to.
[ -f "$work/Numbers.dat" ] || cp "$root/data/Numbers.dat" "$work/Numbers.dat"
cd "$work"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "画面 (DISPLAY) がないため、ウィンドウは開けません。"
  echo "代わりに tolvi run で $work/Numbers.dat の予想を 1 回実行します。"
  echo
  exec "${BUILD_DIR:-$root/build}/cli/tolvi" run
fi
exec "${BUILD_DIR:-$root/build}/bin/TolviNumbers3"
