// The Mini engine against the step-by-step transcription of the run, on generated histories:
// the state the window is left in must be the same, whether the view shows the run as it
// happens or only its end, and also when the run ends in an error.

#include "engine/MiniEngine.h"
#include "support/HistoryBuilder.h"
#include "support/LiteralMiniEngine.h"
#include "support/RecordingView.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <typeinfo>

using namespace tolvi;
using namespace tolvi::test;

namespace {

class EndStateView : public RecordingView {
public:
    bool showsProgress() const override { return false; }
};

struct HistoryShape {
    int draws = 0;
    double noResultShare = 0.05;
    double commentShare = 0.05;
    double oddPrizeShare = 0.0;  // prize fields that are blank-padded, signed or not a number
    bool brokenRecord = false;   // one draw record whose draw or winning number is not one
    int maxPrize = 30000;
};

std::string generateHistory(const HistoryShape& shape, std::uint32_t seed)
{
    std::mt19937 random(seed);
    auto chance = [&](double share) { return std::uniform_real_distribution<double>(0, 1)(random) < share; };
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };

    static const char* const kOddPrizes[] = {"12x4567", "       ", " -00123", "+000900", "  05000", "-------"};
    static const char* const kBrokenDrawNumbers[] = {"ab12", "    ", "1 23"};
    static const char* const kBrokenWinning[] = {"1-3", "a12", "-- "};
    const int brokenAt = shape.brokenRecord && shape.draws > 0 ? pick(0, shape.draws - 1) : -1;

    HistoryBuilder history;
    int number = pick(1, 9000);
    for (int i = 0; i < shape.draws; ++i) {
        while (chance(shape.commentShare))
            history.comment("note " + std::to_string(i));
        std::string winning = "---";
        if (!chance(shape.noResultShare)) {
            winning = std::to_string(pick(0, 999));
            winning.insert(0, 3 - winning.size(), '0');
        }
        std::string record = drawRecord({number++, winning, 0, 0, 0, 0, chance(0.1) ? 0 : pick(1, shape.maxPrize)});
        if (chance(shape.oddPrizeShare))
            record.replace(41, 7, kOddPrizes[pick(0, 5)]);
        if (i == brokenAt) {
            if (chance(0.5))
                record.replace(0, 4, kBrokenDrawNumbers[pick(0, 2)]);
            else
                record.replace(5, 3, kBrokenWinning[pick(0, 2)]);
        }
        history.raw(record);
    }
    while (chance(shape.commentShare * 4))
        history.comment("trailing");
    switch (pick(0, 2)) {
    case 0: history.endOfFile(); break;
    case 1: history.raw(std::string(std::size_t(pick(1, 86)), '7')); break;
    default: break;
    }
    return history.bytes();
}

// A window that has been used before: rows, a statistics row and a rate from an earlier run.
void fillLikeAnEarlierRun(RecordingView& view)
{
    view.results.push_back({"9999", "99", "99的中  9999円"});
    view.stats.push_back({"123", "  0", "     0円", "  0", "     0円", "  9", " 99999円", "555％"});
    view.texts["Label14"] = "555";
    view.texts["Label43"] = "Label43";
}

struct Outcome {
    std::optional<std::string> errorType, errorText;
};

Outcome runOn(PredictionEngine& engine, const RunRequest& request, RecordingView& view)
{
    fillLikeAnEarlierRun(view);
    Outcome outcome;
    try {
        engine.run(request, view);
    } catch (const std::exception& e) {
        outcome.errorType = typeid(e).name();
        outcome.errorText = e.what();
    }
    return outcome;
}

void expectSameEndState(const RecordingView& engine, const Outcome& engineOutcome, const RecordingView& literal,
                        const Outcome& literalOutcome)
{
    EXPECT_EQ(engineOutcome.errorType, literalOutcome.errorType);
    EXPECT_EQ(engineOutcome.errorText, literalOutcome.errorText);
    tolvi::test::expectSameEndState(engine, literal);
}

struct Counts {
    int runs = 0, errors = 0, withStats = 0, withHitPanel = 0, withRows = 0;
};

void compareOn(const std::string& historyBytes, const std::string& name, std::uint32_t seed, int tag, bool mismatch,
               Counts& counts)
{
    TempDir dir;
    RunRequest request;
    request.tag = tag;
    request.mismatch = mismatch;
    request.groupSeparator = seed % 3 == 0 ? "." : ",";
    request.historyPath = dir.write("Numbers.dat", historyBytes);

    RecordingView literal, progress;
    EndStateView endState;
    LiteralMiniEngine literalEngine;
    MiniEngine engine;
    const Outcome literalOutcome = runOn(literalEngine, request, literal);
    SCOPED_TRACE(name + " seed " + std::to_string(seed) + " tag " + std::to_string(tag) +
                 (mismatch ? " mismatch" : ""));
    {
        SCOPED_TRACE("view showing progress");
        expectSameEndState(progress, runOn(engine, request, progress), literal, literalOutcome);
    }
    {
        SCOPED_TRACE("view showing only the end");
        expectSameEndState(endState, runOn(engine, request, endState), literal, literalOutcome);
    }
    ++counts.runs;
    counts.errors += literalOutcome.errorType.has_value();
    counts.withStats += literal.stats.size() > 1;
    counts.withHitPanel += literal.isOpen("GetPanel2");
    counts.withRows += !literal.results.empty() && literal.results[0].caption != "9999";
}

void compareOn(const HistoryShape& shape, std::uint32_t seed, int tag, bool mismatch, Counts& counts)
{
    compareOn(generateHistory(shape, seed), std::to_string(shape.draws) + " draws", seed, tag, mismatch, counts);
}

}  // namespace

TEST(MiniEngineIdentity, PredictionRunsMatchThePlainRun)
{
    Counts counts;
    std::uint32_t seed = 100;
    for (const int draws : {0, 1, 2, 3, 4, 7, 40, 300, 2000}) {
        for (const bool mismatch : {true, false}) {
            // Several histories of each length, so that some end with a hit on the last draw.
            for (int variant = 0; variant < 6; ++variant) {
                HistoryShape shape;
                shape.draws = draws;
                shape.oddPrizeShare = variant % 2 == 1 ? 0.05 : 0.0;
                shape.brokenRecord = variant == 3;
                compareOn(shape, ++seed, kPredictionTag, mismatch, counts);
            }
        }
    }
    // The histories reached the interesting endings.
    EXPECT_GT(counts.errors, 0);
    EXPECT_GT(counts.withHitPanel, 0);
    EXPECT_GT(counts.withRows, 10);
}

TEST(MiniEngineIdentity, FactorEvaluationsMatchThePlainRun)
{
    Counts counts;
    std::uint32_t seed = 500;
    for (const int draws : {0, 1, 2, 5, 40, 150}) {
        for (const bool mismatch : {true, false}) {
            HistoryShape shape;
            shape.draws = draws;
            compareOn(shape, ++seed, kFactorEvaluationTag, mismatch, counts);
        }
    }
    // Odd prize fields: some pass other than the first meets one that does not convert.
    for (const std::uint32_t oddSeed : {1u, 2u, 3u, 4u}) {
        HistoryShape shape;
        shape.draws = 100;
        shape.oddPrizeShare = 0.03;
        compareOn(shape, 900 + oddSeed, kFactorEvaluationTag, oddSeed % 2 == 0, counts);
    }
    // Fewer passes than a whole evaluation, and a record that ends every pass early.
    HistoryShape shape;
    shape.draws = 60;
    compareOn(shape, 77, 1, true, counts);
    compareOn(shape, 78, 37, false, counts);
    shape.brokenRecord = true;
    compareOn(shape, 79, kFactorEvaluationTag, true, counts);

    EXPECT_GT(counts.errors, 1);
    EXPECT_GT(counts.withStats, 0);
    EXPECT_GT(counts.withHitPanel, 0);
}

TEST(MiniEngineIdentity, SampleHistoryMatchesThePlainRun)
{
    const std::string sample = readFileBytes(TOLVI_SAMPLE_HISTORY);
    ASSERT_GT(sample.size(), 87u * 1000);
    Counts counts;
    compareOn(sample, "sample", 1, kPredictionTag, true, counts);
    compareOn(sample, "sample", 2, kPredictionTag, false, counts);
    // The plain run re-reads the whole file for every pass: a short evaluation is enough.
    compareOn(sample, "sample", 3, 40, true, counts);
    EXPECT_EQ(counts.errors, 0);
}
