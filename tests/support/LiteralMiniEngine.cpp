#include "support/LiteralMiniEngine.h"

#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "base/StrToInt.h"
#include "history/DrawRecord.h"
#include "history/HistoryFile.h"
#include "support/DigitTally.h"

namespace tolvi::test {

namespace {

// Bytes `first` .. `first + width - 1` of the record text (columns counted from 1).
std::string chars(const std::string& text, std::size_t first, std::size_t width)
{
    if (first - 1 >= text.size())
        return {};
    return text.substr(first - 1, width);
}

bool allIn(const std::string& digits, char low, char high)
{
    for (const char c : digits)
        if (c < low || c > high)
            return false;
    return true;
}

}  // namespace

void LiteralMiniEngine::run(const RunRequest& request, RunView& anyView)
{
    // Written the way the window's code once was: it words every caption itself.
    LabelView& view = dynamic_cast<LabelView&>(anyView);
    if (request.tag < 0 || request.tag > 999)
        throw RefusedError("予想の実行モード " + formatInt(request.tag, 0) +
                           " には対応していません (0 で予想、1 から 999 で要素評価です)");
    const int lastPass = request.tag;
    factor_ = lastPass != 0;
    for (int pass = 0; pass <= lastPass; ++pass) {
        replayPass(request, view, pass);
        if (factor_ && stake_ != 0) {
            const std::int32_t rate = totals_.miniSum / (stake_ / 100);
            if (rate >= 100) {
                view.addStats(statsRow(pass, totals_, rate));
            }
        }
    }

    const std::string& sep = request.groupSeparator;
    view.setText(RunControl::StraightHits, "ｽﾄﾚｰﾄ的中数：" + formatInt(totals_.straightHits, 2) + "本");
    view.setText(RunControl::BoxHits, "ﾎﾞｯｸｽ的中数：" + formatInt(totals_.boxHits, 2) + "本");
    view.setText(RunControl::MiniHits, "ﾐﾆ   的中数：       " + formatInt(totals_.miniHits, 3) + "本");
    view.setText(RunControl::StraightAmount, "金額：" + formatGrouped(totals_.straightSum, 10, sep) + "円");
    view.setText(RunControl::BoxAmount, "金額：" + formatGrouped(totals_.boxSum, 10, sep) + "円");
    view.setText(RunControl::MiniAmount, "金額：" + formatGrouped(totals_.miniSum, 10, sep) + "円");
    view.disableCommands();
    view.openPanel(RunControl::PayoutPanel);
    view.setText(RunControl::PayoutTotal, formatGrouped(totals_.miniSum, 12, request.groupSeparator));
    if (totals_.miniSum != 0 && stake_ != 0)
        view.setText(RunControl::PaybackRate, formatInt(totals_.miniSum / (stake_ / 100), 3));
}

void LiteralMiniEngine::replayPass(const RunRequest& request, LabelView& view, int pass)
{
    const HistoryFile file = HistoryFile::openExisting(request.historyPath);
    DigitTally tally;
    totals_ = {};
    lastDrawNumber_ = 0;
    drawRecordCount_ = 0;
    stake_ = 0;
    lastDrawMiniHits_ = 0;
    candidates_.clear();
    view.clearResults();
    std::string lastDrawText;

    std::int64_t offset = 0;
    for (;;) {
        std::vector<std::vector<int>> rankTables;
        for (int position = 0; position < 3; ++position) {
            const RankTable table = buildRankTable(tally.position(position));
            rankTables.emplace_back(table.begin(), table.end());
        }
        composeCandidates(rankTables, pass);

        const std::string block = file.readAt(offset, kRecordSize);
        if (block.size() < kRecordSize)
            break;
        offset += std::int64_t(kRecordSize);
        const std::string text(DrawRecord(block).text());
        if (!text.empty() && text[0] == ';')
            continue;

        lastDrawNumber_ = strToInt(chars(text, 1, 4));
        if (chars(text, 6, 3) != "---")
            tally.add(chars(text, 6, 3));
        ++drawRecordCount_;
        stake_ = wrappingAdd(stake_, std::int32_t(200 * candidates_.size()));
        view.setText(RunControl::TicketsBought, formatInt(stake_ / 200, 0));
        lastDrawMiniHits_ = 0;
        winning_ = chars(text, 6, 3);
        for (const int candidate : candidates_)
            scoreCandidate(candidate, text, request, view);
        lastDrawText = text;
    }

    if (lastDrawMiniHits_ != 0) {
        view.openPanel(RunControl::HitPanel);
        view.setText(RunControl::HitDrawNumber, formatInt(strToInt(chars(lastDrawText, 1, 4)), 4));
        view.setText(RunControl::HitWinningNumber, chars(lastDrawText, 6, 3));
        view.setText(RunControl::HitKind, "ミニ");
    }
    view.setText(RunControl::NextDrawCaption, "次回 " + formatInt(lastDrawNumber_ + 1, 4) + "回抽選予想番号");
    view.setText(RunControl::Candidate1, candidates_.empty() ? "なし" : formatInt(candidates_[0], 3, 3).substr(1, 2));
    view.setVisible(RunControl::Candidate1, true);
    const RunControl labels[] = {RunControl::Candidate2, RunControl::Candidate3, RunControl::Candidate4};
    for (std::size_t k = 1; k <= 3; ++k) {
        if (k < candidates_.size()) {
            view.setText(labels[k - 1], formatInt(candidates_[k], 3, 3).substr(1, 2));
            view.setVisible(labels[k - 1], true);
        } else {
            view.setText(labels[k - 1], "");
            view.setVisible(labels[k - 1], false);
        }
    }
}

void LiteralMiniEngine::composeCandidates(const std::vector<std::vector<int>>& rankTables, int pass)
{
    static const int even[4][3] = {{3, 6, 5}, {7, 9, 6}, {5, 1, 4}, {4, 7, 3}};
    static const int odd[4][3] = {{4, 4, 6}, {3, 6, 4}, {0, 2, 8}, {3, 9, 1}};
    const auto& rules = drawRecordCount_ % 2 == 0 ? even : odd;
    std::vector<int> list;
    for (const auto& triple : rules)
        list.push_back(rankTables[0][std::size_t(triple[0])] * 100 + rankTables[1][std::size_t(triple[1])] * 10 +
                       rankTables[2][std::size_t(triple[2])]);
    if (factor_) {
        const std::string pattern = formatInt(pass, 3, 3);
        list[0] = rankTables[0][std::size_t(pattern[0] - '0')] * 100 +
                  rankTables[1][std::size_t(pattern[1] - '0')] * 10 + rankTables[2][std::size_t(pattern[2] - '0')];
        list.resize(1);
    }

    std::vector<int> unique;
    for (std::size_t i = 0; i < list.size(); ++i) {
        bool laterEqual = false;
        for (std::size_t j = i + 1; j < list.size(); ++j)
            if (formatInt(list[j], 3, 3) == formatInt(list[i], 3, 3))
                laterEqual = true;
        if (!laterEqual)
            unique.push_back(list[i]);
    }
    candidates_.clear();
    for (const int candidate : unique) {
        const std::string digits = formatInt(candidate, 3, 3);
        if (!allIn(digits, '5', '9') && !allIn(digits, '0', '4'))
            candidates_.push_back(candidate);
    }
}

void LiteralMiniEngine::scoreCandidate(int candidate, const std::string& recordText, const RunRequest& request,
                                       LabelView& view)
{
    const std::string c = formatInt(candidate, 3, 3);
    const std::string c2 = c.substr(1, 2);
    if (c2 == winning_.substr(1, 2)) {
        ++lastDrawMiniHits_;
        ++totals_.miniHits;
        const std::int32_t prize = strToInt(chars(recordText, 42, 7));
        totals_.miniSum = wrappingAdd(totals_.miniSum, prize);
        view.addResult({formatInt(strToInt(chars(recordText, 1, 4)), 4), chars(recordText, 7, 2),
                        c2 + "的中 " + formatInt(prize, 5) + "円"});
    } else if (request.mismatch && (c[1] == winning_[1] || c[2] == winning_[2])) {
        view.addResult({formatInt(strToInt(chars(recordText, 1, 4)), 4), chars(recordText, 7, 2), c2 + "一桁違い"});
    }
}

}  // namespace tolvi::test
