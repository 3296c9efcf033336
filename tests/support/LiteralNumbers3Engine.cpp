#include "support/LiteralNumbers3Engine.h"

#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "base/StrToInt.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace tolvi::test {

namespace {

std::string copy(const std::string& s, int index, int count)  // 1-based, clipped
{
    if (index - 1 >= int(s.size()))
        return {};
    return s.substr(std::size_t(index - 1), std::size_t(count));
}

std::array<int, 10> rankTable(std::array<int, 10> w)
{
    std::array<int, 10> table {};
    for (int r = 0; r < 10; ++r) {
        int choice = r;
        for (int i = 0; i < 10; ++i)
            if (w[i] > w[choice])
                choice = i;
        table[r] = choice;
        w[choice] = 0;
    }
    return table;
}

std::array<std::string, 6> orderings(const std::string& c)
{
    return {std::string {c[0], c[1], c[2]}, std::string {c[0], c[2], c[1]}, std::string {c[1], c[0], c[2]},
            std::string {c[1], c[2], c[0]}, std::string {c[2], c[0], c[1]}, std::string {c[2], c[1], c[0]}};
}

struct File {
    int fd;
    ~File() { ::close(fd); }
};

}  // namespace

void LiteralNumbers3Engine::run(const RunRequest& request, RunView& anyView)
{
    // Written the way the window's code once was: it words every caption itself.
    LabelView& view = dynamic_cast<LabelView&>(anyView);
    const bool factor = request.tag != 0;
    const int fd = ::open(request.historyPath.c_str(), O_RDWR);
    if (fd < 0)
        throw IoError("cannot open");
    File file {fd};

    std::array<std::array<int, 10>, 3> tally {};
    int sHits = 0, bHits = 0, mHits = 0, sSum = 0, bSum = 0, mSum = 0;
    int lastDraw = 0, n = 0, lastS = 0, lastB = 0, lastM = 0;
    std::array<int, 5> cand {};
    std::string lastRecord;
    const int pattern = 0;
    view.clearResults();
    for (;;) {
        if (lastDraw == 1108)
            tally = {};
        const std::array<std::array<int, 10>, 3> t {rankTable(tally[0]), rankTable(tally[1]), rankTable(tally[2])};
        cand[0] = t[0][7] * 100 + t[1][5] * 10 + t[2][5];
        cand[1] = t[0][1] * 100 + t[1][9] * 10 + t[2][6];
        cand[2] = t[0][6] * 100 + t[1][2] * 10 + t[2][6];
        cand[3] = t[0][2] * 100 + t[1][0] * 10 + t[2][5];
        cand[4] = t[0][9] * 100 + t[1][1] * 10 + t[2][4];
        n = strToInt(request.candidateCountText);
        if (n < 1 || n > 5)
            n = 4;
        if (lastDraw >= 1108) {
            cand[0] = t[0][0] * 100 + t[1][2] * 10 + t[2][8];
            cand[1] = t[0][0] * 100 + t[1][5] * 10 + t[2][9];
            cand[2] = t[0][8] * 100 + t[1][6] * 10 + t[2][2];
            cand[3] = t[0][7] * 100 + t[1][3] * 10 + t[2][9];
        }
        if (factor) {
            const std::string p = formatInt(pattern, 3, 3);
            cand[0] = t[0][p[0] - '0'] * 100 + t[1][p[1] - '0'] * 10 + t[2][p[2] - '0'];
            n = 1;
        }
        char block[87];
        std::size_t got = 0;
        while (got < sizeof block) {
            const ssize_t r = ::read(fd, block + got, sizeof block - got);
            if (r <= 0)
                break;
            got += std::size_t(r);
        }
        if (got < sizeof block)
            break;
        std::string rec(block, sizeof block);
        rec = rec.substr(0, rec.find('\0'));
        if (!rec.empty() && rec[0] == ';')
            continue;
        lastDraw = strToInt(copy(rec, 1, 4));
        const std::string w = copy(rec, 6, 3);
        if (w != "---") {
            tally[0][strToInt(copy(rec, 6, 1))]++;
            tally[1][strToInt(copy(rec, 7, 1))]++;
            tally[2][strToInt(copy(rec, 8, 1))]++;
        }
        lastS = lastB = lastM = 0;
        lastRecord = rec;
        for (int k = 0; k < n; ++k) {
            const std::string c = formatInt(cand[k], 3, 3);
            bool st = false, bx = false, mi = false, off = false;
            if (c == w) {
                st = true;
                ++lastS, ++sHits;
                sSum += strToInt(copy(rec, 10, 7));
            }
            for (const std::string& o : orderings(c))
                if (o == w) {
                    bx = true;
                    ++lastB, ++bHits;
                    bSum += strToInt(copy(rec, 18, 7));
                    break;
                }
            if (copy(c, 2, 2) == copy(w, 2, 2) && w.size() == 3) {
                mi = true;
                ++lastM, ++mHits;
                mSum += strToInt(copy(rec, 42, 7));
            }
            if (request.mismatch && w.size() == 3) {
                for (int p = 0; p < 3 && !off; ++p)
                    for (int q = 0; q < 3 && !off; ++q) {
                        std::string wb = w, cb = c;
                        wb[p] = ' ';
                        cb[q] = ' ';
                        for (const std::string& o : orderings(cb))
                            if (o == wb)
                                off = true;
                    }
            }
            const std::string caption = formatInt(strToInt(copy(rec, 1, 4)), 4);
            if (st || bx || mi)
                view.addResult({caption, w, c + (st ? "◎" : "　") + (bx ? "○" : "　") + (mi ? "▲" : "　")});
            else if (off)
                view.addResult({caption, w, c + "一桁違い"});
        }
    }
    if (lastS || lastB || lastM) {
        view.openPanel(RunControl::HitPanel);
        view.setText(RunControl::HitDrawNumber, formatInt(strToInt(copy(lastRecord, 1, 4)), 4));
        view.setText(RunControl::HitWinningNumber, copy(lastRecord, 6, 3));
        view.setText(RunControl::HitKind, lastS ? "ストレート＆ボックス" : lastB ? "ボックス" : "ミニ");
    }
    view.setText(RunControl::NextDrawCaption, "次回 " + formatInt(lastDraw + 1, 4) + "回抽選予想番号");
    const RunControl labels[] = {RunControl::Candidate1, RunControl::Candidate2, RunControl::Candidate3,
                                 RunControl::Candidate4};
    for (int k = 0; k < 4; ++k)
        view.setText(labels[k], formatInt(cand[k], 3, 3));
    const int d = lastDraw * 200 * n * 2 / 100;
    const int rate = d == 0 ? 0 : (sSum + bSum) / d;
    if (factor)
        view.addStats({formatInt(pattern, 3, 3), formatInt(sHits, 3), formatInt(sSum, 6) + "円", formatInt(bHits, 3),
                       formatInt(bSum, 6) + "円", formatInt(mHits, 3), formatInt(mSum, 6) + "円",
                       formatInt(rate, 3) + "％"});
    const std::string& sep = request.groupSeparator;
    view.setText(RunControl::StraightHits, "ｽﾄﾚｰﾄ的中数：" + formatInt(sHits, 2) + "本");
    view.setText(RunControl::BoxHits, "ﾎﾞｯｸｽ的中数：" + formatInt(bHits, 2) + "本");
    view.setText(RunControl::MiniHits, "ﾐﾆ   的中数：" + formatInt(mHits, 2) + "本");
    view.setText(RunControl::StraightAmount, "金額：" + formatGrouped(sSum, 10, sep) + "円");
    view.setText(RunControl::BoxAmount, "金額：" + formatGrouped(bSum, 10, sep) + "円");
    view.setText(RunControl::MiniAmount, "金額：" + formatGrouped(mSum, 10, sep) + "円");
    view.disableCommands();
    view.openPanel(RunControl::PayoutPanel);
    view.setText(RunControl::PayoutTotal, formatGrouped(sSum + bSum, 12, sep));
    view.setText(RunControl::PaybackRate, formatInt(rate, 3));
}

}  // namespace tolvi::test
