#!/usr/bin/env python3
"""An independent, deliberately plain transcription of the Numbers3 prediction run.

It reads Numbers.dat the slow way (87-byte blocks straight from the file) and prints the window
state in the same JSON shape as `tolvi run --json`, so the two can be compared byte for byte.
Used to produce the golden files under tests/data/.
"""
import json
import sys


def fmt_d(value, width, precision=0):
    digits = str(abs(value))
    if len(digits) < precision:
        digits = "0" * (precision - len(digits)) + digits
    if value < 0:
        digits = "-" + digits
    return digits.rjust(width)


def fmt_n(value, width):
    return "{:,}".format(value).rjust(width)


def to_int(text):
    text = text.lstrip(" ")
    if not text or not (text.isdigit() or (text[0] in "+-" and text[1:].isdigit())) or not text.isascii():
        raise ValueError(f"'{text}' は正しい整数値ではありません")
    return int(text)


def rank_table(counts):
    w = list(counts)
    table = []
    for r in range(10):
        choice = r
        for i in range(10):
            if w[i] > w[choice]:
                choice = i
        table.append(choice)
        w[choice] = 0
    return table


RULE_A = [(7, 5, 5), (1, 9, 6), (6, 2, 6), (2, 0, 5), (9, 1, 4)]
RULE_B = [(0, 2, 8), (0, 5, 9), (8, 6, 2), (7, 3, 9)]


def one_digit_off(c, w):
    import itertools
    for p in range(3):
        for q in range(3):
            wb = list(w); wb[p] = " "
            cb = list(c); cb[q] = " "
            for perm in itertools.permutations(cb):
                if list(perm) == wb:
                    return True
    return False


def run(path, tag, mismatch):
    labels = {"Label4": "ｽﾄﾚｰﾄ的中数：", "Label5": "ﾎﾞｯｸｽ的中数：", "Label6": "ﾐﾆ   的中数：",
              "Label7": "金額：", "Label8": "金額：", "Label9": "金額：", "Label10": "0", "Label14": "0",
              "Label16": "次回抽選の予想番号", "Label17": "000", "Label18": "000", "Label19": "000",
              "Label20": "000", "Label23": "あたり", "Label26": "888", "Label27": "ストレート＆ボックス"}
    visible = {"GetPanel": False, "GetPanel2": False, "Label17": True, "Label18": True, "Label19": True,
               "Label20": True}
    rows, stats = [], []
    with open(path, "rb") as f:
        tally = [[0] * 10 for _ in range(3)]
        s_hits = b_hits = m_hits = s_sum = b_sum = m_sum = 0
        last = 0
        last_hits = [0, 0, 0]
        last_record = None
        cand = [0] * 5
        n = 0
        pattern = 0
        while True:
            if last == 1108:
                tally = [[0] * 10 for _ in range(3)]
            tables = [rank_table(t) for t in tally]
            cand = [tables[0][a] * 100 + tables[1][b] * 10 + tables[2][c] for a, b, c in RULE_A]
            n = 4
            if last >= 1108:
                for k, (a, b, c) in enumerate(RULE_B):
                    cand[k] = tables[0][a] * 100 + tables[1][b] * 10 + tables[2][c]
            if tag != 0:
                p = "%03d" % pattern
                cand[0] = tables[0][int(p[0])] * 100 + tables[1][int(p[1])] * 10 + tables[2][int(p[2])]
                n = 1
            block = f.read(87)
            if len(block) < 87:
                break
            rec = block.split(b"\0")[0].decode("latin-1")
            if rec.startswith(";"):
                continue
            last = to_int(rec[0:4])
            win = rec[5:8]
            if win != "---":
                for pos in range(3):
                    tally[pos][to_int(win[pos])] += 1
            last_hits = [0, 0, 0]
            last_record = rec
            for k in range(n):
                c = "%03d" % cand[k]
                st = c == win
                bx = sorted(c) == sorted(win) and len(win) == 3
                mi = c[1:3] == win[1:3]
                if st:
                    last_hits[0] += 1; s_hits += 1; s_sum += to_int(rec[9:16])
                if bx:
                    last_hits[1] += 1; b_hits += 1; b_sum += to_int(rec[17:24])
                if mi:
                    last_hits[2] += 1; m_hits += 1; m_sum += to_int(rec[41:48])
                if st or bx or mi:
                    marks = ("◎" if st else "　") + ("○" if bx else "　") + ("▲" if mi else "　")
                    rows.append([fmt_d(to_int(rec[0:4]), 4), win, c + marks])
                elif mismatch and one_digit_off(c, win):
                    rows.append([fmt_d(to_int(rec[0:4]), 4), win, c + "一桁違い"])
        if any(last_hits):
            visible["GetPanel2"] = True
            labels["Label23"] = fmt_d(to_int(last_record[0:4]), 4)
            labels["Label26"] = last_record[5:8]
            labels["Label27"] = "ストレート＆ボックス" if last_hits[0] else ("ボックス" if last_hits[1] else "ミニ")
        labels["Label16"] = "次回 " + fmt_d(last + 1, 4) + "回抽選予想番号"
        for k in range(4):
            labels["Label%d" % (17 + k)] = "%03d" % cand[k]
        d = last * 200 * n * 2 // 100
        rate = (s_sum + b_sum) // d if d else 0
        if tag != 0:
            stats.append(["%03d" % pattern, fmt_d(s_hits, 3), fmt_d(s_sum, 6) + "円", fmt_d(b_hits, 3),
                          fmt_d(b_sum, 6) + "円", fmt_d(m_hits, 3), fmt_d(m_sum, 6) + "円", fmt_d(rate, 3) + "％"])
    labels["Label4"] = "ｽﾄﾚｰﾄ的中数：" + fmt_d(s_hits, 2) + "本"
    labels["Label5"] = "ﾎﾞｯｸｽ的中数：" + fmt_d(b_hits, 2) + "本"
    labels["Label6"] = "ﾐﾆ   的中数：" + fmt_d(m_hits, 2) + "本"
    labels["Label7"] = "金額：" + fmt_n(s_sum, 10) + "円"
    labels["Label8"] = "金額：" + fmt_n(b_sum, 10) + "円"
    labels["Label9"] = "金額：" + fmt_n(m_sum, 10) + "円"
    visible["GetPanel"] = True
    labels["Label10"] = fmt_n(s_sum + b_sum, 12)
    labels["Label14"] = fmt_d(rate, 3)
    return {"list": rows, "stats": stats, "labels": labels, "visible": visible, "error": None}


if __name__ == "__main__":
    path = sys.argv[1]
    tag = 999 if "--factor" in sys.argv else 0
    mismatch = "--no-mismatch" not in sys.argv
    print(json.dumps(run(path, tag, mismatch), ensure_ascii=False, separators=(",", ":")))
