#!/usr/bin/env bash
# Builds Release and times the core, the tolvi tool and (with a Qt build) the window on
# generated histories of 1,281, 5,000 and 9,999 records, each beside the plain implementation;
# then `tolvi update` catching the shipped history up from draw 7000 on a local server.
#
#   scripts/bench.sh                 everything (the plain factor evaluations take a few minutes)
#   QUICK=1 scripts/bench.sh         without the plain factor evaluations
#   REPS=15 BUILD_DIR=... scripts/bench.sh
#
# Times are medians of REPS runs (default 9). On a machine shared with other work, compare the
# CPU column and the ratios rather than the wall times.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build-bench}"
reps="${REPS:-9}"
export LANG=C LC_ALL=C

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTOLVI_BUILD_BENCH=ON >/dev/null
targets=(tolvi tolvi_bench)
if grep -q '^TOLVI_BUILD_GUI:BOOL=ON' "$build/CMakeCache.txt"; then
  targets+=(tolvi_window_bench)
fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}" >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

echo "== core (tolvi_bench, Release, median of $reps; load average: $(cut -d' ' -f1-3 /proc/loadavg))"
filter='-BM_UpdateProcess'
[ -n "${QUICK:-}" ] && filter='-BM_MiniFactorLiteral|BM_UpdateProcess'
"$build/bench/tolvi_bench" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
  --benchmark_filter="$filter" --benchmark_format=json --benchmark_out="$work/core.json" \
  --benchmark_out_format=json >/dev/null 2>"$work/core.err" || { cat "$work/core.err" >&2; exit 1; }
python3 - "$work/core.json" <<'PY'
import json, sys
rows = {}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("aggregate_name") != "median":
        continue
    name, arg = b["run_name"].split("/")[0:2]
    rows[(name[3:], arg)] = (b["real_time"], b["cpu_time"], b["time_unit"])
# The plain implementation each fast path is held against.
literal_of = {"MiniFactorShown": "MiniFactorLiteral", "ReadHistoryStream": "ReadHistoryLiteral"}
def ms(value, unit):
    return value * {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[unit]
print(f"{'benchmark':<22}{'records':>8}{'median':>12}{'cpu':>12}{'plain':>12}{'plain cpu':>12}{'ratio':>9}")
for (name, arg), (real, cpu, unit) in sorted(rows.items(), key=lambda r: (r[0][0], int(r[0][1]))):
    if name.endswith("Literal"):
        continue
    literal = rows.get((literal_of.get(name, name + "Literal"), arg))
    records = "60 KB" if name == "ResultsPageParse" else arg
    line = f"{name:<22}{records:>8}{ms(real, unit):>10.3f}ms{ms(cpu, unit):>10.3f}ms"
    if literal:
        lreal, lcpu, lunit = literal
        line += f"{ms(lreal, lunit):>10.1f}ms{ms(lcpu, lunit):>10.1f}ms{ms(lreal, lunit) / ms(real, unit):>8.0f}x"
    else:
        line += f"{'-':>12}{'-':>12}{'-':>9}"
    print(line)
PY

echo
echo "== the tolvi tool on 9,999 records (wall and peak memory, median of $reps)"
"$build/bench/tolvi_bench" --write-history 9999 "$work/Numbers.dat"
python3 - "$build/cli/tolvi" "$work" "$reps" <<'PY'
import statistics, subprocess, sys, time
tool, work, reps = sys.argv[1], sys.argv[2], int(sys.argv[3])
commands = [
    ["run", "--edition", "numbers3"],
    ["run", "--edition", "numbers3", "--factor"],
    ["run", "--edition", "mini"],
    ["run", "--edition", "mini", "--factor"],
    ["run", "--edition", "mini", "--factor", "--json"],
]
for command in commands:
    walls, peaks = [], []
    for _ in range(reps):
        start = time.perf_counter()
        done = subprocess.run(["/usr/bin/time", "-f", "%M", tool, *command, "--dir", work],
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, check=True)
        walls.append((time.perf_counter() - start) * 1000)
        peaks.append(int(done.stderr.strip().splitlines()[-1]))
    print(f"tolvi {' '.join(command):<40} {statistics.median(walls):8.1f} ms wall   peak {max(peaks) / 1024:5.1f} MB")
PY

echo
echo "== tolvi import of both complete results files into an empty folder (median of $reps)"
python3 - "$build/cli/tolvi" "$work" "$reps" "$root/data" <<'PY'
import os, statistics, subprocess, sys, time
tool, work, reps, data = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
target = os.path.join(work, "import")
walls, peaks = [], []
for _ in range(reps):
    os.makedirs(target, exist_ok=True)
    if os.path.exists(os.path.join(target, "Numbers.dat")):
        os.remove(os.path.join(target, "Numbers.dat"))
    start = time.perf_counter()
    done = subprocess.run(["/usr/bin/time", "-f", "%M", tool, "import", "--dir", target,
                           os.path.join(data, "numbers3-results.csv"), os.path.join(data, "numbers4-results.csv")],
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, check=True)
    walls.append((time.perf_counter() - start) * 1000)
    peaks.append(int(done.stderr.strip().splitlines()[-1]))
print(f"tolvi import (7,054 draws, both games)          {statistics.median(walls):8.1f} ms wall   peak {max(peaks) / 1024:5.1f} MB")
PY

echo
echo "== tolvi update from draw 7000 to 7054 from a local server, no pause (median of $reps; load average: $(cut -d' ' -f1-3 /proc/loadavg))"
"$build/bench/tolvi_bench" --benchmark_filter=BM_UpdateProcess --benchmark_repetitions="$reps" \
  --benchmark_format=json --benchmark_out="$work/update.json" --benchmark_out_format=json \
  >/dev/null 2>"$work/update.err" || { cat "$work/update.err" >&2; exit 1; }
python3 - "$work/update.json" <<'PY'
import json, statistics, sys
runs = {}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("run_type") == "iteration":
        if "error_occurred" in b and b["error_occurred"]:
            sys.exit(f"{b['name']}: {b.get('error_message')}")
        runs.setdefault(b["run_name"].split("/")[1], []).append(b)
for source, reps in runs.items():
    print(f"tolvi update --from {source:<10} {statistics.median(r['real_time'] for r in reps):8.1f} ms wall"
          f"   {statistics.median(r['process_cpu_ms'] for r in reps):6.1f} ms cpu   {reps[0]['requests']:3.0f} requests"
          f"   peak {max(r['peak_MB'] for r in reps):5.1f} MB")
PY

if [ -x "$build/bench/tolvi_window_bench" ]; then
  echo
  echo "== the window, off screen"
  (cd "$work" && QT_QPA_PLATFORM=offscreen "$build/bench/tolvi_window_bench" --runs "$(( (reps + 1) / 2 ))" 2>/dev/null)
fi
