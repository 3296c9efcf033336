#include "engine/MiniEngine.h"

#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "engine/EngineFactory.h"
#include "engine/MiniHistory.h"
#include "engine/RankRules.h"
#include "history/HistoryReader.h"

#include <optional>
#include <string>

namespace tolvi {

namespace {

constexpr std::int32_t kStakePerTicket = 200;  // yen per candidate and draw record
constexpr int kLastRankPattern = 999;

// The parity of the number of draw records already handled picks the rule set.
constexpr std::array<RankTriple, 4> kEvenRules {{{3, 6, 5}, {7, 9, 6}, {5, 1, 4}, {4, 7, 3}}};
constexpr std::array<RankTriple, 4> kOddRules {{{4, 4, 6}, {3, 6, 4}, {0, 2, 8}, {3, 9, 1}}};

int composeFrom(const MiniHistory& history, std::size_t draw, const RankTriple& ranks)
{
    return composeCandidate(ranks, [&](int position, int rank) { return history.rankDigit(draw, position, rank); });
}

// The rank columns of a rank pattern's candidate: its hundreds, tens and units digit at every draw.
std::array<const std::uint8_t*, 3> patternColumns(const MiniHistory& history, int rankPattern)
{
    const RankTriple ranks = rankTripleOf(rankPattern);
    return {history.rankColumn(0, ranks.hundreds), history.rankColumn(1, ranks.tens),
            history.rankColumn(2, ranks.units)};
}

// Three digits all from 0-4 or all from 5-9 (leading zeros count as digits).
bool allLowOrAllHigh(int candidate)
{
    const int high = (candidate / 100 >= 5) + (candidate / 10 % 10 >= 5) + (candidate % 10 >= 5);
    return high == 0 || high == 3;
}

// The candidates scored against draw `draw` (or, for draw == drawCount(), the prediction for
// the next draw). A factor evaluation bets only the rank pattern's own candidate.
MiniCandidates composeCandidates(const MiniHistory& history, std::size_t draw, bool factorEvaluation, int rankPattern)
{
    const auto& rules = draw % 2 == 0 ? kEvenRules : kOddRules;
    std::array<int, 4> composed {};
    for (std::size_t k = 0; k < rules.size(); ++k)
        composed[k] = composeFrom(history, draw, rules[k]);
    int count = int(rules.size());
    if (factorEvaluation) {
        composed[0] = composeFrom(history, draw, rankTripleOf(rankPattern));
        count = 1;
    }

    MiniCandidates kept;
    for (int k = 0; k < count; ++k) {
        // Of equal candidates the last one stays, where it stands.
        bool repeatedLater = false;
        for (int later = k + 1; later < count; ++later)
            repeatedLater = repeatedLater || composed[std::size_t(later)] == composed[std::size_t(k)];
        if (!repeatedLater && !allLowOrAllHigh(composed[std::size_t(k)]))
            kept.values[std::size_t(kept.count++)] = composed[std::size_t(k)];
    }
    return kept;
}

// The Mini bet of a candidate (0-999): the last two of its three digits.
std::string miniText(int candidate)
{
    return {char('0' + candidate / 10 % 10), char('0' + candidate % 10)};
}

// Columns 7-8 of a draw record that a candidate hit or nearly hit: its result is three digits
// (a "---" record matches no candidate digit), so these are its tens and units digits.
std::string miniNumberText(std::uint8_t tens, std::uint8_t units)
{
    return {char('0' + tens), char('0' + units)};
}

}  // namespace

void MiniEngine::run(const RunRequest& request, RunView& view)
{
    if (request.tag < 0 || request.tag > kLastRankPattern)
        throw RefusedError("予想の実行モード " + formatInt(request.tag, 0) +
                           " には対応していません (0 で予想、1 から 999 で要素評価です)");
    // Read once: every pass replays the same records, and nothing about them depends on the pass.
    const MiniHistory history(HistoryReader::readContent(request.historyPath));
    const int lastPass = request.tag;
    factorEvaluation_ = lastPass != kPredictionTag;
    result_ = {};
    result_.edition = Edition::Mini;
    result_.groupSeparator = request.groupSeparator;
    const bool showsProgress = view.showsProgress();

    for (int pass = 0; pass <= lastPass; ++pass) {
        if (showsProgress) {
            replayPass(history, request, view, pass);
        } else if (pass != lastPass && countPass(history, pass)) {
            // The rows, Label43 and the prediction labels of this pass are replaced by the next
            // pass; the hit panel is not, once it is open.
            if (lastDrawMiniHits_ != 0)
                showHitPanel(history, view);
        } else {
            // The last pass, or one that ends in an error. Show what the window holds when it
            // starts: the prediction the pass before left (which a last pass that fails never
            // replaces); then this pass's rows, stake and its own prediction as far as it gets.
            if (pass > 0)
                showPrediction(history, view,
                               composeCandidates(history, history.drawCount(), factorEvaluation_, pass - 1));
            replayPass(history, request, view, pass);
        }
        if (factorEvaluation_)
            addStatistics(view, pass);
    }
    finishRun(view);
}

void MiniEngine::replayPass(const MiniHistory& history, const RunRequest& request, RunView& view, int rankPattern)
{
    totals_ = {};
    stake_ = 0;
    lastDrawMiniHits_ = 0;
    candidates_ = {};
    result_.draws.clear();
    view.clearResults();

    const std::size_t draws = history.drawCount();
    const std::uint8_t* tens = history.winningTens();
    const std::uint8_t* units = history.winningUnits();
    // A factor evaluation bets only the rank pattern's candidate: it is read straight from the
    // rank columns, a thousand passes over every draw.
    const auto [patternHundreds, patternTens, patternUnits] = patternColumns(history, rankPattern);
    for (std::size_t draw = 0; draw < draws; ++draw) {
        if (factorEvaluation_) {
            const int candidate = patternHundreds[draw] * 100 + patternTens[draw] * 10 + patternUnits[draw];
            candidates_ = {};
            if (!allLowOrAllHigh(candidate))
                candidates_.values[candidates_.count++] = candidate;
        } else {
            candidates_ = composeCandidates(history, draw, false, rankPattern);
        }
        stake_ = wrappingAdd(stake_, kStakePerTicket * candidates_.count);
        lastDrawMiniHits_ = 0;
        for (int k = 0; k < candidates_.count; ++k) {
            const int candidate = candidates_.values[std::size_t(k)];
            const bool tensMatch = candidate / 10 % 10 == tens[draw];
            const bool unitsMatch = candidate % 10 == units[draw];
            if (tensMatch && unitsMatch) {
                ++lastDrawMiniHits_;
                totals_.miniHits = wrappingAdd(totals_.miniHits, 1);
                if (history.miniPrizeBroken()[draw]) {
                    showStake(view);
                    history.throwPrizeError(draw);
                }
                const std::int32_t prize = history.miniPrizes()[draw];
                totals_.miniSum = wrappingAdd(totals_.miniSum, prize);
                view.addResult({formatInt(history.drawNumber(draw), 4), miniNumberText(tens[draw], units[draw]),
                                miniText(candidate) + "的中 " + formatInt(prize, 5) + "円"});
            } else if (request.mismatch && (tensMatch || unitsMatch)) {
                view.addResult({formatInt(history.drawNumber(draw), 4), miniNumberText(tens[draw], units[draw]),
                                miniText(candidate) + "一桁違い"});
            }
        }
        if (request.keepDraws)
            result_.draws.push_back({std::string(history.record(draw).text()), candidates_.count, 0, 0,
                                     lastDrawMiniHits_, stake_, totals_.miniSum});
    }
    if (draws != 0)
        showStake(view);
    if (history.stopsWithError())
        history.throwStopError();

    candidates_ = composeCandidates(history, draws, factorEvaluation_, rankPattern);
    if (lastDrawMiniHits_ != 0)
        showHitPanel(history, view);
    showPrediction(history, view, candidates_);
}

// A factor evaluation pass that shows nothing: it bets one candidate, so a pass reduces to
// counting over the precomputed rank columns. False when the pass would end in an error; the
// state is then undefined and the pass has to be replayed to show where it stopped.
bool MiniEngine::countPass(const MiniHistory& history, int rankPattern)
{
    if (history.stopsWithError())
        return false;
    const std::size_t draws = history.drawCount();
    const auto [hundredsDigit, tensDigit, unitsDigit] = patternColumns(history, rankPattern);
    const std::uint8_t* tens = history.winningTens();
    const std::uint8_t* units = history.winningUnits();
    const std::int32_t* prizes = history.miniPrizes();
    const std::uint8_t* broken = history.miniPrizeBroken();

    // Unsigned sums wrap exactly like the repeated 32-bit additions of the replay.
    std::uint32_t tickets = 0, hits = 0, prizeSum = 0, brokenHits = 0, lastHit = 0;
    for (std::size_t draw = 0; draw < draws; ++draw) {
        const std::uint32_t high = std::uint32_t(hundredsDigit[draw] >= 5) + std::uint32_t(tensDigit[draw] >= 5) +
                                   std::uint32_t(unitsDigit[draw] >= 5);
        const std::uint32_t kept = high - 1u < 2u;  // one or two high digits
        const std::uint32_t hit =
            kept & std::uint32_t(tensDigit[draw] == tens[draw]) & std::uint32_t(unitsDigit[draw] == units[draw]);
        tickets += kept;
        hits += hit;
        prizeSum += std::uint32_t(prizes[draw]) & (0u - hit);
        brokenHits |= hit & broken[draw];
        lastHit = hit;
    }
    if (brokenHits != 0)
        return false;

    totals_ = {};
    totals_.miniHits = std::int32_t(hits);
    totals_.miniSum = std::int32_t(prizeSum);
    stake_ = std::int32_t(tickets * std::uint32_t(kStakePerTicket));
    lastDrawMiniHits_ = int(lastHit);
    candidates_ = composeCandidates(history, draws, true, rankPattern);
    return true;
}

void MiniEngine::showStake(RunView& view)
{
    result_.ticketsBought = stake_ / kStakePerTicket;
    view.show(result_, RunPart::Stake);
}

void MiniEngine::showHitPanel(const MiniHistory& history, RunView& view)
{
    // The draw record the hit counter describes, even when comment records follow it.
    const std::size_t last = history.drawCount() - 1;
    result_.lastDrawHits = {history.drawNumber(last), std::string(history.record(last).winningNumber()), 0, 0,
                            lastDrawMiniHits_};
    view.show(result_, RunPart::HitPanel);
}

void MiniEngine::showPrediction(const MiniHistory& history, RunView& view, const MiniCandidates& prediction)
{
    const std::size_t draws = history.drawCount();
    const std::int32_t lastDrawNumber = draws == 0 ? 0 : history.drawNumber(draws - 1);
    result_.prediction = {wrappingAdd(lastDrawNumber, 1),
                          {prediction.values.begin(), prediction.values.begin() + prediction.count}};
    view.show(result_, RunPart::Prediction);
}

void MiniEngine::addStatistics(RunView& view, int rankPattern) const
{
    // Only rank patterns that returned at least what they staked are listed.
    const std::optional<std::int32_t> rate = paybackRate(totals_.miniSum, stake_);
    if (!rate || *rate < 100)
        return;
    view.addStats(statsRow(rankPattern, totals_, *rate));
}

void MiniEngine::finishRun(RunView& view)
{
    result_.totals = totals_;
    result_.returned = totals_.miniSum;
    // Without a prize or a stake the rate keeps the caption it had.
    result_.paybackRate = totals_.miniSum != 0 ? paybackRate(totals_.miniSum, stake_) : std::nullopt;
    view.show(result_, RunPart::Finished);
}

template <> std::unique_ptr<PredictionEngine> makeEngineOf<Edition::Mini>()
{
    return std::make_unique<MiniEngine>();
}

}  // namespace tolvi
