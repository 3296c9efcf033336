#!/usr/bin/env python3
"""Writes history/EarlyDrawDates.inc: the dates of draws 1-1339, which kept no weekly rule, as days
after draw 1 (1994-10-07), from data/numbers3-results.csv. Later draws follow the calendar's rule."""
import csv
import datetime
import pathlib

root = pathlib.Path(__file__).resolve().parent.parent
first = datetime.date(1994, 10, 7)
days = []
with open(root / "data/numbers3-results.csv", encoding="utf-8-sig") as source:
    for row in csv.DictReader(source):
        draw = int(row["draw_no"])
        if draw >= 1340:
            break
        assert draw == len(days) + 1, f"draw {draw} out of order"
        days.append((datetime.date.fromisoformat(row["draw_date"]) - first).days)

lines = ["// Made by scripts/make-early-draw-dates.py from data/numbers3-results.csv; do not edit.",
         "// Days after 1994-10-07 of draws 1-1339."]
for start in range(0, len(days), 16):
    lines.append("    " + ", ".join(str(day) for day in days[start:start + 16]) + ",")
(root / "history/EarlyDrawDates.inc").write_text("\n".join(lines) + "\n")
