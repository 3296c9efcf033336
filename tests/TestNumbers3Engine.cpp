#include "base/Errors.h"
#include "engine/Numbers3Engine.h"
#include "support/HistoryBuilder.h"
#include "support/RecordingView.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace tolvi;
using tolvi::test::HistoryBuilder;
using tolvi::test::RecordingView;

namespace {

class Numbers3EngineTest : public ::testing::Test {
protected:
    RecordingView runOn(const std::string& history, int tag = kPredictionTag, bool mismatch = true)
    {
        RunRequest request;
        request.tag = tag;
        request.mismatch = mismatch;
        request.historyPath = dir.write("Numbers.dat", history);
        RecordingView view;
        engine.run(request, view);
        return view;
    }

    std::vector<std::string> predictionOf(const RecordingView& view)
    {
        return {view.text("Label17"), view.text("Label18"), view.text("Label19"), view.text("Label20")};
    }

    tolvi::test::TempDir dir;
    Numbers3Engine engine;
};

// A history of draws 1..last whose winning numbers all come from `winning`.
HistoryBuilder drawsUpTo(int last, const std::string& winning = "000")
{
    HistoryBuilder history;
    for (int draw = 1; draw <= last; ++draw)
        history.draw(draw, winning);
    return history;
}

}  // namespace

TEST_F(Numbers3EngineTest, EmptyHistoryPredictsFromTheIdentityTables)
{
    for (const std::string& history : {std::string(), HistoryBuilder().comment().comment().bytes()}) {
        const RecordingView view = runOn(history);
        EXPECT_EQ(view.text("Label16"), "次回    1回抽選予想番号");
        EXPECT_EQ(predictionOf(view), (std::vector<std::string> {"755", "196", "626", "205"}));
        EXPECT_EQ(engine.candidates()[4], 914);
        EXPECT_TRUE(view.results.empty());
        EXPECT_EQ(view.text("Label14"), "  0");  // nothing was spent: the rate is shown as 0
        EXPECT_FALSE(view.isOpen("GetPanel2"));
    }
}

TEST_F(Numbers3EngineTest, FirstDrawIsScoredAgainstTheIdentityPrediction)
{
    // Draw 1 is 755 = candidate 1 exactly: straight, box and mini, with that record's prizes.
    const RecordingView view = runOn(HistoryBuilder().draw(1, "755", 90000, 15000, 9000).bytes());
    ASSERT_EQ(view.results.size(), 1u);
    EXPECT_EQ(view.results[0], (ResultRow {"   1", "755", "755◎○▲"}));
    EXPECT_EQ(view.text("Label4"), "ｽﾄﾚｰﾄ的中数： 1本");
    EXPECT_EQ(view.text("Label7"), "金額：    90,000円");
    EXPECT_EQ(view.text("Label8"), "金額：    15,000円");
    EXPECT_EQ(view.text("Label9"), "金額：     9,000円");
    EXPECT_EQ(view.text("Label10"), "     105,000");
    // D = 1 x 200 x 4 x 2 / 100 = 16; 105000 / 16 = 6562.
    EXPECT_EQ(view.text("Label14"), "6562");
    EXPECT_TRUE(view.isOpen("GetPanel2"));
    EXPECT_EQ(view.text("Label23"), "   1");
    EXPECT_EQ(view.text("Label26"), "755");
    EXPECT_EQ(view.text("Label27"), "ストレート＆ボックス");
}

TEST_F(Numbers3EngineTest, RuleSetBPredictsDrawsAfter1108FromRestartedTallies)
{
    // Draws 1..1108 all 555 would rank 5 first in every position; after the restart the tallies
    // are zero again, so draw 1109 is predicted from the identity tables with rule set B.
    const RecordingView view = runOn(drawsUpTo(1108, "555").bytes());
    EXPECT_EQ(view.text("Label16"), "次回 1109回抽選予想番号");
    EXPECT_EQ(predictionOf(view), (std::vector<std::string> {"028", "059", "862", "739"}));
    EXPECT_EQ(engine.candidates()[4], 914);
}

TEST_F(Numbers3EngineTest, CommentAfter1108KeepsTheTalliesAtZero)
{
    HistoryBuilder history = drawsUpTo(1108, "555");
    history.comment("after 1108");
    const RecordingView view = runOn(history.bytes());
    EXPECT_EQ(predictionOf(view), (std::vector<std::string> {"028", "059", "862", "739"}));
}

TEST_F(Numbers3EngineTest, TalliesCountAgainAfterTheRestart)
{
    HistoryBuilder history = drawsUpTo(1108, "555");
    history.draw(1109, "123");
    const RecordingView view = runOn(history.bytes());
    // Tallies hold only 123: hundreds rank table 1,1,2,...; tens 2,1,2,...; units 3,1,2,...
    // Rule B (0,2,8) -> 1,2,8 = 128; (0,5,9) -> 159; (8,6,2) -> 862; (7,3,9) -> 739.
    EXPECT_EQ(predictionOf(view), (std::vector<std::string> {"128", "159", "862", "739"}));
    EXPECT_EQ(view.text("Label16"), "次回 1110回抽選予想番号");
}

TEST_F(Numbers3EngineTest, NoResultDrawCountsAsADrawButAddsNoDigits)
{
    const RecordingView view = runOn(HistoryBuilder().draw(1, "---").draw(2, "---").bytes());
    EXPECT_EQ(view.text("Label16"), "次回    3回抽選予想番号");
    EXPECT_EQ(predictionOf(view), (std::vector<std::string> {"755", "196", "626", "205"}));
    EXPECT_TRUE(view.results.empty());
}

TEST_F(Numbers3EngineTest, ARecordIsScoredAgainstCandidatesComposedBeforeItWasRead)
{
    // Predicted from nothing, draw 1 = 295 meets candidate 4 = 205 only as a near miss. Had the
    // record's own digits been tallied first, candidate 4 (ranks 2,0,5) would be 295 itself.
    const RecordingView view = runOn(HistoryBuilder().draw(1, "295", 100, 10, 1).bytes());
    EXPECT_EQ(view.results, (std::vector<ResultRow> {{"   1", "295", "205一桁違い"}}));
    EXPECT_EQ(view.text("Label4"), "ｽﾄﾚｰﾄ的中数： 0本");
    EXPECT_FALSE(view.isOpen("GetPanel2"));
}

TEST_F(Numbers3EngineTest, LastDrawHitOpensTheHitPanelEarlierHitsDoNot)
{
    RecordingView lastHit = runOn(HistoryBuilder().draw(1, "196", 1, 2, 3).bytes());
    EXPECT_TRUE(lastHit.isOpen("GetPanel2"));
    EXPECT_EQ(lastHit.text("Label27"), "ストレート＆ボックス");

    RecordingView earlierHit = runOn(HistoryBuilder().draw(1, "196", 1, 2, 3).draw(2, "---").bytes());
    EXPECT_FALSE(earlierHit.isOpen("GetPanel2"));
    EXPECT_EQ(earlierHit.text("Label4"), "ｽﾄﾚｰﾄ的中数： 1本");
}

TEST_F(Numbers3EngineTest, HitPanelKindAndTrailingCommentRecords)
{
    // 691 is an ordering of candidate 196 (box only) and shares 91? no: mini needs 96.
    RecordingView box = runOn(HistoryBuilder().draw(7, "691", 1, 2, 3).comment("trailer").comment("x").bytes());
    EXPECT_TRUE(box.isOpen("GetPanel2"));
    EXPECT_EQ(box.text("Label27"), "ボックス");
    EXPECT_EQ(box.text("Label23"), "   7");  // from the last draw record, not the comment
    EXPECT_EQ(box.text("Label26"), "691");

    RecordingView mini = runOn(HistoryBuilder().draw(8, "055", 1, 2, 3).bytes());
    EXPECT_EQ(mini.text("Label27"), "ミニ");
}

TEST_F(Numbers3EngineTest, EveryRowIsStraightBoxMiniOrOneDigitOffInCandidateOrder)
{
    // Winning 965 against 755, 196, 626, 205: 196 is a box hit (one 9, one 6, ... no: 1,9,6 vs 9,6,5).
    // 196 shares 9 and 6 -> one digit off; 626 shares 6 once -> nothing; 755 shares 5 -> nothing;
    // 205 shares 5 -> nothing.
    RecordingView on = runOn(HistoryBuilder().draw(3, "965").bytes());
    ASSERT_EQ(on.results.size(), 1u);
    EXPECT_EQ(on.results[0], (ResultRow {"   3", "965", "196一桁違い"}));
    RecordingView off = runOn(HistoryBuilder().draw(3, "965").bytes(), kPredictionTag, false);
    EXPECT_TRUE(off.results.empty());
}

TEST_F(Numbers3EngineTest, TwoCandidatesThatAreOrderingsOfEachOtherBothScoreBox)
{
    // After 074, 274 and 564 the candidates are 755, 296, 626 and 575: 755 and 575 are
    // orderings of each other, so draw 4 = 557 is a box hit for both.
    const std::string history =
        HistoryBuilder().draw(1, "074").draw(2, "274").draw(3, "564").draw(4, "557", 0, 1000, 0).bytes();
    RecordingView view = runOn(history, kPredictionTag, false);
    std::vector<ResultRow> draw4;
    for (const ResultRow& row : view.results)
        if (row.caption == "   4")
            draw4.push_back(row);
    EXPECT_EQ(draw4, (std::vector<ResultRow> {{"   4", "557", "755　○　"}, {"   4", "557", "575　○　"}}));
    EXPECT_EQ(view.text("Label8"), "金額：     2,000円");
    EXPECT_EQ(view.text("Label27"), "ボックス");
}

TEST_F(Numbers3EngineTest, PaybackRateUsesTheLastDrawNumberAndFourCandidates)
{
    // Draw 1000 with a straight hit worth 1,600,000 yen: D = 1000 x 200 x 4 x 2 / 100 = 16,000,
    // so the rate is 100 if the straight and box sums add up to 1,600,000.
    // The identity candidate 755 hits draw 1000 when it is the only draw record.
    RecordingView view = runOn(HistoryBuilder().draw(1000, "755", 1500000, 100000, 0).bytes());
    EXPECT_EQ(view.text("Label10"), "   1,600,000");
    EXPECT_EQ(view.text("Label14"), "100");
}

TEST_F(Numbers3EngineTest, RunEndsWithSummaryThenCommandsDisabledThenPayoutPanel)
{
    RecordingView view = runOn(HistoryBuilder().draw(1, "123").bytes());
    EXPECT_TRUE(view.commandsDisabled);
    ASSERT_FALSE(view.opened.empty());
    EXPECT_EQ(view.opened.back(), "GetPanel");
    EXPECT_EQ(view.clears, 1);
}

TEST_F(Numbers3EngineTest, FactorEvaluationScoresOnlyTheTopRankedCandidate)
{
    // Draws 1 and 2 both 444: before draw 2 the top digits are 4,4,4 -> candidate 1 = 444.
    RecordingView view =
        runOn(HistoryBuilder().draw(1, "444", 500, 50, 5).draw(2, "444", 600, 60, 6).bytes(), kFactorEvaluationTag);
    ASSERT_EQ(view.stats.size(), 1u);
    // Draw 1 is scored against 000: no hit. Draw 2 against 444: straight, box and mini.
    // D = 2 x 200 x 1 x 2 / 100 = 8; (600 + 60) / 8 = 82.
    EXPECT_EQ(view.stats[0], (StatsRow {"000", "  1", "   600円", "  1", "    60円", "  1", "     6円", " 82％"}));
    EXPECT_EQ(view.text("Label17"), "444");
    EXPECT_EQ(view.text("Label18"), "196");  // candidates 2-4 keep the ordinary rules
}

TEST_F(Numbers3EngineTest, SecondFactorEvaluationAddsASecondRow)
{
    const std::string history = HistoryBuilder().draw(1, "444").bytes();
    RecordingView first = runOn(history, kFactorEvaluationTag);
    RecordingView second = runOn(history, kFactorEvaluationTag);
    EXPECT_EQ(first.stats.size(), 1u);
    EXPECT_EQ(second.stats.size(), 1u);
    EXPECT_EQ(first.stats[0], second.stats[0]);
}

TEST_F(Numbers3EngineTest, MissingFileEndsTheRunBeforeAnythingChanges)
{
    RunRequest request;
    request.historyPath = dir.file("Numbers.dat");
    RecordingView view;
    EXPECT_THROW(engine.run(request, view), IoError);
    EXPECT_EQ(view.clears, 0);
    EXPECT_TRUE(view.texts.empty());
    EXPECT_TRUE(view.opened.empty());
    EXPECT_FALSE(view.commandsDisabled);
}

TEST_F(Numbers3EngineTest, BadPrizeOfAHitEndsTheRunKeepingEarlierRows)
{
    // Draw 1 is 755 (a hit on candidate 1) with a damaged straight prize.
    std::string bad = tolvi::test::drawRecord({2, "755"});
    bad.replace(9, 7, "12x4567");
    const std::string history = HistoryBuilder().draw(1, "196", 1, 1, 1).raw(bad).bytes();
    RunRequest request;
    request.historyPath = dir.write("Numbers.dat", history);
    RecordingView view;
    EXPECT_THROW(engine.run(request, view), ConversionError);
    EXPECT_FALSE(view.results.empty());
    EXPECT_EQ(view.results.back().caption, "   1");
    EXPECT_TRUE(view.opened.empty());
    EXPECT_FALSE(view.commandsDisabled);
    EXPECT_EQ(view.text("Label4"), "<unset>");
}

TEST_F(Numbers3EngineTest, BadPrizeWithoutAHitIsNeverRead)
{
    std::string record = tolvi::test::drawRecord({1, "999"});
    record.replace(9, 7, "garbage");
    EXPECT_NO_THROW(runOn(record));
}

TEST_F(Numbers3EngineTest, BadDrawOrWinningNumberIsAConversionError)
{
    std::string record = tolvi::test::drawRecord({1, "123"});
    record[2] = '?';
    EXPECT_THROW(runOn(record), ConversionError);
    record = tolvi::test::drawRecord({1, "1 3"});
    EXPECT_THROW(runOn(record), ConversionError);
}
