#include "engine/Numbers3Engine.h"

#include "base/NumberFormat.h"
#include "base/StrToInt.h"
#include "engine/EngineFactory.h"
#include "engine/Numbers3Scoring.h"
#include "engine/RankRules.h"
#include "engine/RankedTally.h"
#include "history/DrawRecord.h"
#include "history/HistoryStream.h"

#include <optional>

namespace tolvi {

namespace {

// After this draw the tallies start again from zero and rule set B takes over.
constexpr std::int32_t kTallyRestartDraw = 1108;

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

// No draw record or no candidate: no money was spent, and the rate is shown as 0.
std::int32_t numbers3Rate(std::int32_t lastDrawNumber, int candidateCount, std::int32_t prizeSum)
{
    return paybackRate(prizeSum, numbers3Spend(lastDrawNumber, candidateCount)).value_or(0);
}

}  // namespace

void Numbers3Engine::run(const RunRequest& request, RunView& view)
{
    result_ = {};
    result_.edition = Edition::Numbers3;
    result_.groupSeparator = request.groupSeparator;
    // A prediction and a factor evaluation alike replay the history once: a factor evaluation of
    // this edition scores rank pattern 000, candidate 1 alone.
    replayPass(request, view, 0);
    finishRun(view);
}

void Numbers3Engine::replayPass(const RunRequest& request, RunView& view, int rankPattern)
{
    const bool factorEvaluation = request.tag != kPredictionTag;
    // Opened here: a file that cannot be opened ends the run before anything changed. The pass
    // looks at each record once, so the file streams through a small buffer.
    HistoryStream file(request.historyPath);

    // The tallies keep their digits in rank order, so each iteration's rank tables come without
    // running the selection rule over every count (they are the same tables).
    std::array<RankedTally, 3> tallies;
    totals_ = {};
    candidateCount_ = 0;
    lastDrawNumber_ = 0;
    lastDrawHits_ = {};
    result_.draws.clear();
    view.clearResults();
    // EditNum cannot change during the run: its text converts to the same count every time.
    const int candidateCount = candidateCountFrom(request.candidateCountText);
    candidateCount_ = factorEvaluation ? 1 : candidateCount;
    std::optional<DrawRecord> lastDrawRecord;

    for (;;) {
        if (lastDrawNumber_ == kTallyRestartDraw)
            for (RankedTally& tally : tallies)
                tally.reset();
        composeCandidates(tallies, factorEvaluation, rankPattern);

        std::string_view block;
        if (!file.next(block))
            break;
        const DrawRecord record(block);
        if (record.isComment())
            continue;
        lastDrawNumber_ = record.drawNumber();
        if (record.hasResult()) {
            const std::string_view winning = record.winningNumber();
            requireWinningDigits(winning);
            for (std::size_t position = 0; position < 3; ++position)
                tallies[position].add(winning[position] - '0');
        }
        scoreRecord(record, request, view);
        lastDrawRecord = record;
    }

    // The hit panel describes the last draw record, even when comment records follow it.
    if (lastDrawHits_.any())
        showHitPanel(*lastDrawRecord, view);
    showPrediction(view);
    if (factorEvaluation)
        addStatistics(view, rankPattern);
}

void Numbers3Engine::composeCandidates(const std::array<RankedTally, 3>& tallies, bool factorEvaluation,
                                       int rankPattern)
{
    const auto digitAt = [&tallies](int position, int rank) {
        return tallies[std::size_t(position)].rankTable()[std::size_t(rank)];
    };
    if (lastDrawNumber_ < kTallyRestartDraw) {
        for (std::size_t k = 0; k < kRuleSetA.size(); ++k)
            candidates_[k] = composeCandidate(kRuleSetA[k], digitAt);
    } else {
        for (std::size_t k = 0; k < kRuleSetB.size(); ++k)
            candidates_[k] = composeCandidate(kRuleSetB[k], digitAt);
        candidates_[4] = composeCandidate(kRuleSetA[4], digitAt);
    }
    // The rank pattern's three digits are candidate 1's rank triple; only it is scored.
    if (factorEvaluation)
        candidates_[0] = composeCandidate(rankTripleOf(rankPattern), digitAt);
}

void Numbers3Engine::showHitPanel(const DrawRecord& record, RunView& view)
{
    result_.lastDrawHits = {record.drawNumber(), std::string(record.winningNumber()), lastDrawHits_.straight,
                            lastDrawHits_.box, lastDrawHits_.mini};
    view.show(result_, RunPart::HitPanel);
}

void Numbers3Engine::showPrediction(RunView& view)
{
    // The window lists candidates 1-4; candidate 5 is composed but never shown.
    result_.prediction = {lastDrawNumber_ + 1, {candidates_.begin(), candidates_.begin() + 4}};
    view.show(result_, RunPart::Prediction);
}

void Numbers3Engine::addStatistics(RunView& view, int rankPattern) const
{
    const std::int32_t rate =
        numbers3Rate(lastDrawNumber_, candidateCount_, wrappingAdd(totals_.straightSum, totals_.boxSum));
    view.addStats(statsRow(rankPattern, totals_, rate));
}

void Numbers3Engine::scoreRecord(const DrawRecord& record, const RunRequest& request, RunView& view)
{
    lastDrawHits_ = {};
    const std::string_view winning = record.winningNumber();
    for (int k = 0; k < candidateCount_; ++k) {
        // A candidate is 0-999: its "%3.3d" text is its three digits.
        const int value = candidates_[std::size_t(k)];
        const char text[3] = {char('0' + value / 100), char('0' + value / 10 % 10), char('0' + value % 10)};
        const std::string_view candidate(text, 3);
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
        if (score.isHit() || score.oneDigitOff)
            view.addResult(
                {formatInt(record.drawNumber(), 4), std::string(winning), numbers3ResultText(candidate, score)});
    }
    if (request.keepDraws)
        result_.draws.push_back({std::string(record.text()), candidateCount_, lastDrawHits_.straight, lastDrawHits_.box,
                                 lastDrawHits_.mini, numbers3Spend(record.drawNumber(), candidateCount_),
                                 wrappingAdd(totals_.straightSum, totals_.boxSum)});
}

void Numbers3Engine::finishRun(RunView& view)
{
    result_.totals = totals_;
    result_.returned = wrappingAdd(totals_.straightSum, totals_.boxSum);
    result_.paybackRate = numbers3Rate(lastDrawNumber_, candidateCount_, result_.returned);
    view.show(result_, RunPart::Finished);
}

template <> std::unique_ptr<PredictionEngine> makeEngineOf<Edition::Numbers3>()
{
    return std::make_unique<Numbers3Engine>();
}

}  // namespace tolvi
