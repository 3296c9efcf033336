#!/usr/bin/python3
"""Computes the figures of `tolvi analyze` and `tolvi stats` independently with SciPy, straight from
Numbers.dat, and prints them beside the tool's. Not a test: a check by a second hand, run by a
person after a change to the analyses (needs python3-scipy).

    scripts/crosscheck-analysis.py TOLVI HISTORY_FOLDER
"""
import itertools
import json
import math
import subprocess
import sys
from collections import Counter

import numpy as np
from scipy import stats

RECORD = 87
GAMES = {"n3": (6, 3, 10), "n4": (50, 4, 55)}  # number column, digits, straight prize column


def draws(path, key):
    column, digits, prize_column = GAMES[key]
    data = open(path, "rb").read()
    out = []
    for i in range(len(data) // RECORD):
        rec = data[i * RECORD:(i + 1) * RECORD].split(b"\0")[0].decode("ascii", "replace")
        if rec.startswith(";"):
            continue
        text = rec[column - 1:column - 1 + digits]
        if len(text) != digits or not text.isdigit():
            continue
        prize = rec[prize_column - 1:prize_column + 6]
        out.append((int(rec[0:4]), text, int(prize) if prize.strip().isdigit() else 0))
    return out


def pooled_chisquare(counts, probs):
    """Pearson's test with neighbouring cells grouped in order until each group expects 5."""
    n = sum(counts)
    groups, observed, expected = [], 0, 0.0
    for c, p in zip(counts, probs):
        if p <= 0:
            continue
        observed += c
        expected += n * p
        if expected >= 5:
            groups.append([observed, expected])
            observed, expected = 0, 0.0
    if expected > 0:
        if groups:
            groups[-1][0] += observed
            groups[-1][1] += expected
        else:
            groups.append([observed, expected])
    obs = np.array([g[0] for g in groups], float)
    exp = np.array([g[1] for g in groups], float)
    return stats.chisquare(obs, exp).pvalue


def exact_model(digits):
    numbers = ["".join(t) for t in itertools.product("0123456789", repeat=digits)]
    sums = Counter(sum(map(int, t)) for t in numbers)
    shapes = Counter(tuple(sorted(Counter(t).values(), reverse=True)) for t in numbers)
    return numbers, sums, shapes


def analyze(path, key, tool):
    rows = draws(path, key)
    digits = GAMES[key][1]
    texts = [t for _, t, _ in rows]
    n = len(texts)
    numbers, sums, shapes = exact_model(digits)
    space = 10 ** digits
    figures = {}
    for p in range(digits):
        counts = [sum(t[p] == str(d) for t in texts) for d in range(10)]
        figures[f"position{p}"] = stats.chisquare(counts).pvalue
    figures["numbers"] = pooled_chisquare([Counter(texts)[t] for t in numbers], [1 / space] * space)
    figures["mini"] = stats.chisquare([Counter(t[-2:] for t in texts)[f"{m:02d}"] for m in range(100)]).pvalue
    observed_sums = Counter(sum(map(int, t)) for t in texts)
    figures["sum"] = pooled_chisquare([observed_sums[s] for s in range(9 * digits + 1)],
                                      [sums[s] / space for s in range(9 * digits + 1)])
    keys = sorted(shapes, key=lambda k: -shapes[k])
    observed_shapes = Counter(tuple(sorted(Counter(t).values(), reverse=True)) for t in texts)
    figures["patterns"] = pooled_chisquare([observed_shapes[k] for k in keys], [shapes[k] / space for k in keys])
    for p in range(digits):
        odd = sum(int(t[p]) % 2 for t in texts)
        high = sum(int(t[p]) >= 5 for t in texts)
        figures[f"odd{p}"] = stats.chisquare([odd, n - odd]).pvalue
        figures[f"high{p}"] = stats.chisquare([high, n - high]).pvalue
    # Repeats: exactly, over every pair of numbers for three digits; by the distinct digits for four.
    if digits == 3:
        hits = sum(1 for a in numbers for b in numbers if set(a) & set(b))
        repeat_p = hits / space ** 2
    else:
        repeat_p = sum(1 - (1 - len(set(a)) / 10) ** digits for a in numbers) / space
    repeats = sum(bool(set(texts[i]) & set(texts[i - 1])) for i in range(1, n))
    figures["repeat"] = stats.chisquare([repeats, n - 1 - repeats], [(n - 1) * repeat_p, (n - 1) * (1 - repeat_p)]).pvalue
    for p in range(digits):
        same = sum(texts[i][p] == texts[i - 1][p] for i in range(1, n))
        figures[f"repeat{p}"] = stats.chisquare([same, n - 1 - same], [(n - 1) * 0.1, (n - 1) * 0.9]).pvalue
        cells = math.ceil(math.log(1e-4) / math.log(0.9))
        gaps = Counter()
        for d in "0123456789":
            at = [i for i, t in enumerate(texts) if t[p] == d]
            for a, b in zip(at, at[1:]):
                gaps[min(b - a, cells + 1)] += 1
        probs = [stats.geom.pmf(g, 0.1) for g in range(1, cells + 1)]
        probs.append(1 - sum(probs))
        figures[f"skips{p}"] = pooled_chisquare([gaps[g] for g in range(1, cells + 2)], probs)
    for a, b in itertools.combinations(range(digits), 2):
        if (a, b) == (digits - 2, digits - 1):
            continue
        figures[f"pair{a}{b}"] = stats.chisquare([Counter(t[a] + t[b] for t in texts)[f"{m:02d}"] for m in range(100)]).pvalue
    tests = {t["key"]: t for t in tool["tests"]}
    print(f"{key}: {n} draws; repeat share {repeats / (n - 1):.6f}, exact {repeat_p:.6f} (tool {tool['repeat']['share']:.6f}, {tool['repeat']['expected']:.6f})")
    worst = 0.0
    for name, p in figures.items():
        mine = tests[name]["p"]
        worst = max(worst, abs(mine - p))
        print(f"  {name:10s} scipy p {p:.6g}  tool p {mine:.6g}  holm {tests[name]['p_holm']:.4g}")
    ps = [tests[k]["p"] for k in tests]
    order = np.argsort(ps)
    m = len(ps)
    adjusted = np.maximum.accumulate([min(1, (m - i) * ps[j]) for i, j in enumerate(order)])
    holm_worst = max(abs(adjusted[i] - tests[list(tests)[j]]["p_holm"]) for i, j in enumerate(order))
    print(f"  largest difference of a p-value: {worst:.2e}; of a Holm-adjusted one: {holm_worst:.2e}; tests: {m}")
    # Popularity: each straight prize against the median of the paid draws 50 before to 50 after.
    paid = [(t, pr) for _, t, pr in rows if pr > 0]
    prizes = np.array([pr for _, pr in paid], float)
    ratios = np.array([prizes[i] / np.median(prizes[max(0, i - 50):i + 51]) for i in range(len(paid))])
    for kind, value in tool["popularity"]["kinds"].items():
        print(f"  popularity {kind:6s} tool {value['draws']:5d} draws mean {value['mean_ratio']:.4f} "
              f"[{value['low']:.4f}, {value['high']:.4f}]", end="")
        if kind == "triple":
            sel = np.array([max(Counter(t).values()) >= 3 for t, _ in paid])
            mean = ratios[sel].mean()
            half = stats.t.ppf(0.975, sel.sum() - 1) * ratios[sel].std(ddof=1) / math.sqrt(sel.sum())
            print(f"  scipy {sel.sum():5d} draws mean {mean:.4f} [{mean - half:.4f}, {mean + half:.4f}]", end="")
        print()


def verdict(tool_stats):
    hits, expected = tool_stats["straight_hits"], tool_stats["straight_expected"]
    tickets = round(expected * 1000)
    p = stats.binom.sf(hits - 1, tickets, 0.001)
    c = stats.binom.isf(0.05, tickets, 0.001) + 1
    while stats.binom.sf(c - 2, tickets, 0.001) <= 0.05:
        c -= 1
    lo, hi = 0.001, 1.0
    for _ in range(100):
        mid = (lo + hi) / 2
        if stats.binom.sf(c - 1, tickets, mid) >= 0.8:
            hi = mid
        else:
            lo = mid
    print(f"stats: {hits} straight hits, {expected:.2f} expected ({tickets} tickets); p tool {tool_stats['straight_p']:.6g} "
          f"scipy {p:.6g}; detectable edge tool {tool_stats['detectable_edge']:.4f} scipy {hi / 0.001 - 1:.4f}; "
          f"buyers at least as well {tool_stats['buyers_at_least']} of 1000")


def main():
    tool, folder = sys.argv[1], sys.argv[2]
    path = folder + "/Numbers.dat"
    for key in GAMES:
        out = subprocess.run([tool, "analyze", "--game", key, "--dir", folder, "--json"], check=True,
                             capture_output=True, text=True).stdout
        analyze(path, key, json.loads(out))
    out = subprocess.run([tool, "stats", "--dir", folder, "--json"], capture_output=True, text=True).stdout
    data = json.loads(out)
    if "straight_hits" in data:
        verdict(data)


if __name__ == "__main__":
    main()
