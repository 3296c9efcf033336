#!/usr/bin/env bash
# Rebuilds the shipped history data/Numbers.dat from the results files beside it, with the
# project's own import: every Numbers3 draw of data/numbers3-results.csv, with the Numbers4
# results of data/numbers4-results.csv in the same records. Run it after changing either file;
# a test checks that data/Numbers.dat is exactly what this produces.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target tolvi >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/cli/tolvi" import --dir "$work" "$root/data/numbers3-results.csv" "$root/data/numbers4-results.csv"
cp "$work/Numbers.dat" "$root/data/Numbers.dat"
echo "$root/data/Numbers.dat: $(( $(stat -c %s "$root/data/Numbers.dat") / 87 )) 回分"
