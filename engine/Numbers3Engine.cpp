#include "engine/Numbers3Engine.h"

#include "engine/DigitTally.h"
#include "engine/Numbers3Scoring.h"
#include "engine/NumberFormat.h"
#include "history/DrawRecord.h"
#include "history/HistoryReader.h"
#include "history/StrToInt.h"

#include <optional>

namespace tolvi {

namespace {

// After this draw the tallies start again from zero and rule set B takes over.
constexpr std::int32_t kTallyRestartDraw = 1108;

struct RankTriple {
    int hundreds, tens, units;
};
constexpr std::array<RankTriple, 5> kRuleSetA {{{7, 5, 5}, {1, 9, 6}, {6, 2, 6}, {2, 0, 5}, {9, 1, 4}}};
// Candidate 5 keeps its rule set A triple.
constexpr std::array<RankTriple, 4> kRuleSetB {{{0, 2, 8}, {0, 5, 9}, {8, 6, 2}, {7, 3, 9}}};

int candidateCountFrom(const std::string& editNumText)
{
    const int count = strToInt(editNumText);
    // EditNum lies under the side panel and holds "4"; the user cannot change it. Anything
    // outside the five candidates that exist is taken as the designed 4.
    return count >= 1 && count <= 5 ? count : 4;
}

std::string candidateText(int candidate)
{
    return formatInt(candidate, 3, 3);
}

// Spend in hundreds of yen: every draw up to the last, N straight and N box bets of 200 yen.
std::int32_t paybackRate(std::int32_t lastDrawNumber, int candidateCount, std::int32_t prizeSum)
{
    const std::int32_t divisor = std::int32_t(std::int64_t(lastDrawNumber) * 200 * candidateCount * 2 / 100);
    // No draw record or no candidate: no money was spent, and the rate is shown as 0.
    return divisor == 0 ? 0 : prizeSum / divisor;
}

}  // namespace

void Numbers3Engine::run(const RunRequest& request, RunView& view)
{
    int rankPattern = 0;
    do {
        replayPass(request, view, rankPattern);
        ++rankPattern;
    } while (rankPattern != 1);
    finishRun(request, view);
}

void Numbers3Engine::replayPass(const RunRequest& request, RunView& view, int rankPattern)
{
    const bool factorEvaluation = request.tag != kPredictionTag;
    // Opened, read whole and closed here: an unreadable file ends the run before anything changed.
    const std::vector<DrawRecord> records = HistoryReader::readRecords(request.historyPath);

    DigitTally tally;
    totals_ = {};
    candidateCount_ = 0;
    lastDrawNumber_ = 0;
    lastDrawHits_ = {};
    view.clearResults();
    std::optional<std::size_t> lastDrawRecord;

    for (std::size_t next = 0;; ++next) {
        if (lastDrawNumber_ == kTallyRestartDraw)
            tally.reset();
        const auto tables = tally.rankTables();
        for (std::size_t k = 0; k < kRuleSetA.size(); ++k)
            candidates_[k] = composeCandidate(tables, kRuleSetA[k].hundreds, kRuleSetA[k].tens, kRuleSetA[k].units);
        candidateCount_ = candidateCountFrom(request.candidateCountText);
        if (lastDrawNumber_ >= kTallyRestartDraw)
            for (std::size_t k = 0; k < kRuleSetB.size(); ++k)
                candidates_[k] = composeCandidate(tables, kRuleSetB[k].hundreds, kRuleSetB[k].tens, kRuleSetB[k].units);
        if (factorEvaluation) {
            // The rank pattern's three digits are candidate 1's rank triple; only it is scored.
            candidates_[0] = composeCandidate(tables, rankPattern / 100 % 10, rankPattern / 10 % 10, rankPattern % 10);
            candidateCount_ = 1;
        }

        if (next == records.size())
            break;
        const DrawRecord& record = records[next];
        if (record.isComment())
            continue;
        lastDrawNumber_ = record.drawNumber();
        if (record.hasResult())
            tally.add(record.winningNumber());
        scoreRecord(record, request, view);
        lastDrawRecord = next;
    }

    // End of pass: the hit panel describes the last draw record, even when comment records follow it.
    if (lastDrawHits_.any()) {
        const DrawRecord& record = records[*lastDrawRecord];
        view.openPanel("GetPanel2");
        view.setText("Label23", formatInt(record.drawNumber(), 4));
        view.setText("Label26", std::string(record.winningNumber()));
        view.setText("Label27", lastDrawHits_.straight != 0 ? "ストレート＆ボックス"
                                : lastDrawHits_.box != 0    ? "ボックス"
                                                            : "ミニ");
    }
    view.setText("Label16", "次回 " + formatInt(lastDrawNumber_ + 1, 4) + "回抽選予想番号");
    view.setText("Label17", candidateText(candidates_[0]));
    view.setText("Label18", candidateText(candidates_[1]));
    view.setText("Label19", candidateText(candidates_[2]));
    view.setText("Label20", candidateText(candidates_[3]));

    if (factorEvaluation) {
        const std::int32_t rate =
            paybackRate(lastDrawNumber_, candidateCount_, wrappingAdd(totals_.straightSum, totals_.boxSum));
        view.addStats(statsRow(rankPattern, totals_, rate));
    }
}

void Numbers3Engine::scoreRecord(const DrawRecord& record, const RunRequest& request, RunView& view)
{
    lastDrawHits_ = {};
    const std::string_view winning = record.winningNumber();
    for (int k = 0; k < candidateCount_; ++k) {
        const std::string candidate = candidateText(candidates_[std::size_t(k)]);
        const CandidateScore score = scoreNumbers3(candidate, winning, request.mismatch);
        if (score.straight) {
            ++lastDrawHits_.straight;
            ++totals_.straightHits;
            totals_.straightSum = wrappingAdd(totals_.straightSum, record.prize(kStraightPrizeColumn));
        }
        if (score.box) {
            ++lastDrawHits_.box;
            ++totals_.boxHits;
            totals_.boxSum = wrappingAdd(totals_.boxSum, record.prize(kBoxPrizeColumn));
        }
        if (score.mini) {
            ++lastDrawHits_.mini;
            ++totals_.miniHits;
            totals_.miniSum = wrappingAdd(totals_.miniSum, record.prize(kMiniPrizeColumn));
        }
        std::string result = numbers3ResultText(candidate, score);
        if (!result.empty())
            view.addResult({formatInt(record.drawNumber(), 4), std::string(winning), std::move(result)});
    }
}

void Numbers3Engine::finishRun(const RunRequest& request, RunView& view)
{
    showSummary(view, totals_, formatInt(totals_.miniHits, 2), request.groupSeparator);
    view.disableCommands();
    view.openPanel("GetPanel");
    const std::int32_t returned = wrappingAdd(totals_.straightSum, totals_.boxSum);
    view.setText("Label10", formatGrouped(returned, 12, request.groupSeparator));
    view.setText("Label14", formatInt(paybackRate(lastDrawNumber_, candidateCount_, returned), 3));
}

}  // namespace tolvi
