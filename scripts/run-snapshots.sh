#!/usr/bin/env bash
# Writes what `tolvi run --json` shows for every edition, mode and one-digit-off setting on a set
# of histories into OUTPUT_DIR, one file per combination, so that two builds can be compared with
# `diff -r` (a refactor must leave every file byte-identical).
#
#   scripts/run-snapshots.sh TOLVI OUTPUT_DIR
#
# Histories: the shipped one, the excerpt and the synthetic history of the tests, a generated
# 9,999-record one (tolvi_bench --write-history, when built beside TOLVI), and the seed corpus of
# the prediction-run fuzz target (comments, "---", cut-off records, a last draw of 9999).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
tool="$(realpath "$1")"
out="$2"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

histories=("$root/data/Numbers.dat" "$root/tests/data/excerpt-5577-6857.dat" "$root/tests/data/synthetic-1500.dat"
           "$root"/fuzz/corpus/prediction_runs/*)
bench="$(dirname "$tool")/../bench/tolvi_bench"
if [ -x "$bench" ]; then
  "$bench" --write-history 9999 "$work/generated-9999.dat"
  histories+=("$work/generated-9999.dat")
fi

for history in "${histories[@]}"; do
  name="$(basename "$history")"
  cp "$history" "$work/Numbers.dat"
  for edition in numbers3 mini; do
    for mode in "" --factor; do
      for mismatch in "" --no-mismatch; do
        file="$out/$name.$edition${mode:+.factor}${mismatch:+.no-mismatch}.json"
        (cd "$work" && "$tool" run --json --edition "$edition" $mode $mismatch >"$file" || true)
      done
    done
  done
done
echo "$(ls "$out" | wc -l) snapshots in $out"
