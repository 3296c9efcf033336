#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (AddressSanitizer and UndefinedBehaviorSanitizer
# included) and runs each for SECONDS (default 60), one after the other, starting from its seed
# corpus in fuzz/corpus/<target>/. New inputs go to build-fuzz/corpus/, crashing ones to
# build-fuzz/artifacts/, each run's output to build-fuzz/logs/. Usage:
#   scripts/fuzz.sh [SECONDS] [TARGET...]      (targets without the fuzz_ prefix; default all)
# One process per target (a single job and worker): the machine is shared.
# Exits non-zero when any target found an input that breaks it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build-fuzz}"
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(history_file prediction_runs results_pages result_entry settings_file import publisher_files)

# libFuzzer comes with clang's runtime libraries, which the ordinary build does not need.
"$root/scripts/install-deps.sh"
if ! command -v clang++ >/dev/null || ! dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q "ok installed"; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "clang と libclang-rt-14-dev が必要です (root で実行してください)" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVI_FUZZ=ON \
  -DTOLVI_BUILD_GUI=OFF -DTOLVI_BUILD_TESTS=OFF -DTOLVI_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target $(printf 'fuzz_%s ' "${targets[@]}")

# Longest input per target: enough for a few dozen records, a results page; settings files just
# past the size read (work that grows faster than the input shows only in large ones).
declare -A maxLength=([history_file]=4096 [prediction_runs]=4096 [results_pages]=16384 [result_entry]=256
                      [settings_file]=1048600 [import]=8192 [publisher_files]=2048)
# Inputs of any length from the start where the length is what matters (libFuzzer otherwise
# grows them slowly, and the settings check's few runs a second would never reach large ones).
declare -A lengthControl=([settings_file]=-len_control=0)

failed=()
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  artifacts="$build/artifacts/$target/"
  mkdir -p "$corpus" "$artifacts" "$build/logs"
  log="$build/logs/$target.log"
  echo "fuzz_$target: ${seconds} s (ログ: $log)"
  if ! (cd "$build" && "./fuzz/fuzz_$target" "$corpus" "$root/fuzz/corpus/$target" \
          -max_total_time="$seconds" -max_len="${maxLength[$target]:-4096}" ${lengthControl[$target]:-} \
          -timeout=20 -rss_limit_mb=2048 \
          -artifact_prefix="$artifacts" -print_final_stats=1 >"$log" 2>&1); then
    failed+=("$target")
  fi
  # Executions and coverage reached.
  grep -E "^#[0-9]+.*(DONE|cov:)" "$log" | tail -1 || true
  grep -E "stat::number_of_executed_units" "$log" || true
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "入力で壊れたターゲット: ${failed[*]} (入力: $build/artifacts/)" >&2
  exit 1
fi
