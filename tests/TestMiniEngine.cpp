// The Mini edition's prediction run on small histories whose rank tables, candidates and
// totals are worked out by hand in the comments.

#include "base/Errors.h"
#include "engine/MiniEngine.h"
#include "support/HistoryBuilder.h"
#include "support/RecordingView.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace tolvi;
using namespace tolvi::test;

namespace {

class MiniEngineTest : public ::testing::Test {
protected:
    RunRequest request(const HistoryBuilder& history, int tag = kPredictionTag, bool mismatch = true)
    {
        RunRequest r;
        r.tag = tag;
        r.mismatch = mismatch;
        r.historyPath = dir.write("Numbers.dat", history.bytes());
        return r;
    }

    // What a window holds before a run: rows and a rate from an earlier run.
    static void fillLikeAnEarlierRun(RecordingView& view)
    {
        view.results.push_back({"9999", "99", "99的中  9999円"});
        view.texts["Label14"] = " 55";
        view.texts["Label43"] = "Label43";
    }

    static std::vector<ResultRow> rowsOfDraw(const RecordingView& view, const std::string& caption)
    {
        std::vector<ResultRow> rows;
        for (const ResultRow& row : view.results)
            if (row.caption == caption)
                rows.push_back(row);
        return rows;
    }

    // Six draws after which every rank table reads 5,6,7,8,9,5,6,7,8,9: all three positions
    // have drawn 5 twice and 6, 7, 8, 9 once, so ranks 0-4 take 5..9 and ranks 5-9 fall back
    // to their own digit. Every candidate then has three high digits.
    static HistoryBuilder sixHighDraws()
    {
        HistoryBuilder history;
        int draw = 1;
        for (const char* winning : {"555", "666", "777", "888", "999", "555"})
            history.draw(draw++, winning);
        return history;
    }

    // Six draws after which the tens table is 0,7,2,3,... (0 drawn five times, 7 once), the
    // units table 1,2,3,4,4,5,... (1 and 2 twice, 3 and 4 once) and the hundreds table the
    // identity (only 0 drawn). The even rule set then gives 365, 796 (dropped: all high),
    // 574 and 474: two candidates betting the same Mini number 74.
    static HistoryBuilder sixDrawsBeforeTwinCandidates()
    {
        HistoryBuilder history;
        int draw = 1;
        for (const char* winning : {"001", "001", "002", "002", "003", "074"})
            history.draw(draw++, winning);
        return history;
    }

    TempDir dir;
    MiniEngine engine;
};

class EndStateView : public RecordingView {
public:
    bool showsProgress() const override { return false; }
};

const std::string kLabel6Prefix = "ﾐﾆ   的中数：";

}  // namespace

TEST_F(MiniEngineTest, EmptyHistoryPredictsFromIdentityTablesWithTheEvenRuleSet)
{
    // Identity tables: 365, 796, 514, 473; 796 has three high digits and is dropped.
    const HistoryBuilder empties[] = {HistoryBuilder(), HistoryBuilder().endOfFile(),
                                      HistoryBuilder().comment().comment("second"),
                                      HistoryBuilder().comment().raw(std::string(86, '0'))};
    for (const HistoryBuilder& history : empties) {
        RecordingView view;
        fillLikeAnEarlierRun(view);
        engine.run(request(history), view);

        EXPECT_TRUE(view.results.empty());
        EXPECT_EQ(engine.candidates().count, 3);
        EXPECT_EQ(engine.candidates().values[0], 365);
        EXPECT_EQ(engine.candidates().values[1], 514);
        EXPECT_EQ(engine.candidates().values[2], 473);
        EXPECT_EQ(view.text("Label17"), "65");
        EXPECT_EQ(view.text("Label18"), "14");
        EXPECT_EQ(view.text("Label19"), "73");
        EXPECT_EQ(view.text("Label20"), "");
        EXPECT_TRUE(view.visible.at("Label17"));
        EXPECT_TRUE(view.visible.at("Label18"));
        EXPECT_TRUE(view.visible.at("Label19"));
        EXPECT_FALSE(view.visible.at("Label20"));
        EXPECT_EQ(view.text("Label16"), "次回    1回抽選予想番号");
        EXPECT_EQ(view.text("Label10"), "           0");
        EXPECT_EQ(view.text("Label14"), " 55");      // no rate without a stake
        EXPECT_EQ(view.text("Label43"), "Label43");  // no draw record staked anything
        EXPECT_EQ(view.text("Label6"), kLabel6Prefix + std::string(7, ' ') + "  0本");
        EXPECT_EQ(view.text("Label9"), "金額：         0円");
        EXPECT_FALSE(view.isOpen("GetPanel2"));
        EXPECT_TRUE(view.isOpen("GetPanel"));
        EXPECT_TRUE(view.commandsDisabled);
        EXPECT_TRUE(view.stats.empty());
    }
}

TEST_F(MiniEngineTest, OneDrawIsScoredAgainstTheEmptyTalliesAndThenPredictsWithTheOddRuleSet)
{
    // After 123: H = 1,1,2,3,..., T = 2,1,2,3,..., U = 3,1,2,3,...; the odd rule set gives
    // (4,4,6) 446, (3,6,4) 364, (0,2,8) 128 and (3,9,1) 391. The draw itself was bet with
    // 365, 514 and 473: 600 yen, no Mini hit, and 473 shares the units digit 3.
    const HistoryBuilder history = HistoryBuilder().draw(1, "123", 0, 0, 5500);
    RecordingView view;
    fillLikeAnEarlierRun(view);
    engine.run(request(history), view);

    ASSERT_EQ(view.results.size(), 1u);
    EXPECT_EQ(view.results[0], (ResultRow {"   1", "23", "73一桁違い"}));
    EXPECT_EQ(engine.candidates().count, 4);
    EXPECT_EQ(engine.candidates().values, (std::array<int, 4> {446, 364, 128, 391}));
    EXPECT_EQ(view.text("Label17"), "46");
    EXPECT_EQ(view.text("Label18"), "64");
    EXPECT_EQ(view.text("Label19"), "28");
    EXPECT_EQ(view.text("Label20"), "91");
    for (const char* label : {"Label17", "Label18", "Label19", "Label20"})
        EXPECT_TRUE(view.visible.at(label)) << label;
    EXPECT_EQ(view.text("Label43"), "3");
    EXPECT_EQ(engine.stakeTotal(), 600);
    EXPECT_EQ(view.text("Label16"), "次回    2回抽選予想番号");
    EXPECT_EQ(view.text("Label14"), " 55");
    EXPECT_FALSE(view.isOpen("GetPanel2"));

    RecordingView withoutMismatch;
    engine.run(request(history, kPredictionTag, false), withoutMismatch);
    EXPECT_TRUE(withoutMismatch.results.empty());
    EXPECT_EQ(withoutMismatch.text("Label43"), "3");
    EXPECT_EQ(withoutMismatch.text("Label17"), "46");
}

TEST_F(MiniEngineTest, CommentRecordsChangeNothing)
{
    auto build = [](bool withComments) {
        HistoryBuilder history;
        if (withComments)
            history.comment("before the first draw");
        history.draw(1, "123", 0, 0, 9000).draw(2, "456", 0, 0, 8000);
        if (withComments)
            history.comment("between draws").comment("twice");
        history.draw(3, "789", 0, 0, 7000).draw(4, "173", 0, 0, 6000).draw(5, "546", 0, 0, 5000);
        return history;
    };
    RecordingView plain, commented;
    engine.run(request(build(false)), plain);
    engine.run(request(build(true)), commented);

    EXPECT_FALSE(plain.results.empty());
    EXPECT_EQ(commented.results, plain.results);
    EXPECT_EQ(commented.texts, plain.texts);
    EXPECT_EQ(commented.visible, plain.visible);
    EXPECT_EQ(commented.text("Label43"), plain.text("Label43"));
}

TEST_F(MiniEngineTest, NoResultDrawFlipsTheParityStakesAndNeverMatches)
{
    // "---" leaves the tallies at zero, so the draw was bet with 365, 514, 473 (3 tickets),
    // and the next prediction comes from identity tables with the odd rule set: 446, 364,
    // 028, 391. A comment record instead would leave the even rule set's 65, 14, 73.
    RecordingView view;
    engine.run(request(HistoryBuilder().draw(7, "---", 0, 0, 5000)), view);

    EXPECT_TRUE(view.results.empty());
    EXPECT_EQ(view.text("Label43"), "3");
    EXPECT_EQ(engine.candidates().values, (std::array<int, 4> {446, 364, 28, 391}));
    EXPECT_EQ(view.text("Label17"), "46");
    EXPECT_EQ(view.text("Label18"), "64");
    EXPECT_EQ(view.text("Label19"), "28");
    EXPECT_EQ(view.text("Label20"), "91");
    EXPECT_EQ(view.text("Label16"), "次回    8回抽選予想番号");
    EXPECT_EQ(view.text("Label6"), kLabel6Prefix + std::string(7, ' ') + "  0本");
}

TEST_F(MiniEngineTest, CandidatesSharingTheirLastTwoDigitsAreBothBetAndBothScored)
{
    // Draw 7 is bet with 365, 574 and 474 (see sixDrawsBeforeTwinCandidates) and ends in 74.
    HistoryBuilder history = sixDrawsBeforeTwinCandidates();
    history.draw(7, "974", 0, 0, 4200);
    RecordingView view;
    engine.run(request(history, kPredictionTag, false), view);

    const std::vector<ResultRow> expected {{"   7", "74", "74的中  4200円"}, {"   7", "74", "74的中  4200円"}};
    EXPECT_EQ(rowsOfDraw(view, "   7"), expected);
    // Draws 1-6 carry no prize, so whatever they hit adds nothing.
    EXPECT_EQ(view.text("Label9"), "金額：     8,400円");
    EXPECT_EQ(view.text("Label10"), "       8,400");
    EXPECT_EQ(engine.totals().miniSum, 8400);
    // The last draw was hit: the hit panel shows it.
    EXPECT_TRUE(view.isOpen("GetPanel2"));
    EXPECT_EQ(view.text("Label23"), "   7");
    EXPECT_EQ(view.text("Label26"), "974");
    EXPECT_EQ(view.text("Label27"), "ミニ");

    // The same six draws alone: draw 7 adds its three tickets to their stake.
    RecordingView sixOnly;
    engine.run(request(sixDrawsBeforeTwinCandidates(), kPredictionTag, false), sixOnly);
    EXPECT_EQ(engine.candidates().values, (std::array<int, 4> {365, 574, 474, 0}));
    EXPECT_EQ(engine.candidates().count, 3);
    EXPECT_EQ(std::stoi(view.text("Label43")), std::stoi(sixOnly.text("Label43")) + 3);
}

TEST_F(MiniEngineTest, HitPanelNamesTheLastDrawRecordEvenWhenCommentRecordsFollowIt)
{
    HistoryBuilder history = sixDrawsBeforeTwinCandidates();
    history.draw(7, "974", 0, 0, 4200).comment("after the last draw").comment("and another");
    RecordingView view;
    engine.run(request(history), view);

    EXPECT_TRUE(view.isOpen("GetPanel2"));
    EXPECT_EQ(view.text("Label23"), "   7");
    EXPECT_EQ(view.text("Label26"), "974");
    EXPECT_EQ(view.text("Label27"), "ミニ");
}

TEST_F(MiniEngineTest, HitPanelStaysClosedWhenOnlyAnEarlierDrawWasHit)
{
    HistoryBuilder history = sixDrawsBeforeTwinCandidates();
    history.draw(7, "974", 0, 0, 4200).draw(8, "---");
    RecordingView view;
    engine.run(request(history), view);

    EXPECT_EQ(rowsOfDraw(view, "   7").size(), 2u);
    EXPECT_FALSE(view.isOpen("GetPanel2"));
    EXPECT_EQ(view.text("Label23"), "<unset>");
}

TEST_F(MiniEngineTest, WhenTheFilterDropsEveryCandidateNothingIsPredictedOrStaked)
{
    RecordingView view;
    engine.run(request(sixHighDraws()), view);
    EXPECT_EQ(engine.candidates().count, 0);
    EXPECT_EQ(view.text("Label17"), "なし");
    EXPECT_TRUE(view.visible.at("Label17"));
    for (const char* label : {"Label18", "Label19", "Label20"}) {
        EXPECT_EQ(view.text(label), "") << label;
        EXPECT_FALSE(view.visible.at(label)) << label;
    }

    // A seventh draw is bet with no candidate: the stake stays where six draws left it.
    HistoryBuilder seven = sixHighDraws();
    seven.draw(7, "123", 0, 0, 9000);
    RecordingView sevenView;
    engine.run(request(seven), sevenView);
    EXPECT_EQ(sevenView.text("Label43"), view.text("Label43"));
    EXPECT_TRUE(rowsOfDraw(sevenView, "   7").empty());
}

TEST_F(MiniEngineTest, ShownCandidatesComeBackAfterAllWereFiltered)
{
    // A run that predicts four candidates after one that predicted none shows all four again.
    RecordingView view;
    engine.run(request(sixHighDraws()), view);
    engine.run(request(HistoryBuilder().draw(1, "123")), view);
    for (const char* label : {"Label17", "Label18", "Label19", "Label20"})
        EXPECT_TRUE(view.visible.at(label)) << label;
    EXPECT_EQ(view.text("Label20"), "91");
}

namespace {

// Eleven draws 000, 011, ..., 099, 099 and then 500. Before each of the first eleven draws
// every rank 9 holds digit 9 (only ties or zero counts), so pattern 999 bets 999, which the
// filter drops. Before draw 12 the tens and units tables are 9,1,2,...,8,0 (9 drawn twice),
// so pattern 999 bets 900: a hit on 500. After draw 12 they are 0,9,2,...,8,1 and the
// hundreds table 0,5,2,3,...,9: pattern 999 predicts 911.
HistoryBuilder factorHistory()
{
    HistoryBuilder history;
    for (int d = 0; d <= 9; ++d)
        history.draw(d + 1, "0" + std::to_string(d) + std::to_string(d));
    history.draw(11, "099").draw(12, "500", 0, 0, 9000);
    return history;
}

}  // namespace

TEST_F(MiniEngineTest, FactorEvaluationLeavesTheLastRankPatternsPass)
{
    for (const bool endStateOnly : {false, true}) {
        EndStateView endState;
        RecordingView progress;
        RecordingView& view = endStateOnly ? endState : progress;
        fillLikeAnEarlierRun(view);
        engine.run(request(factorHistory(), kFactorEvaluationTag), view);

        EXPECT_EQ(view.results, (std::vector<ResultRow> {{"  12", "00", "00的中  9000円"}}));
        EXPECT_EQ(view.text("Label43"), "1");
        EXPECT_EQ(view.text("Label16"), "次回   13回抽選予想番号");
        EXPECT_EQ(view.text("Label17"), "11");
        for (const char* label : {"Label18", "Label19", "Label20"}) {
            EXPECT_EQ(view.text(label), "") << label;
            EXPECT_FALSE(view.visible.at(label)) << label;
        }
        EXPECT_EQ(view.text("Label6"), kLabel6Prefix + std::string(7, ' ') + "  1本");
        EXPECT_EQ(view.text("Label9"), "金額：     9,000円");
        EXPECT_EQ(view.text("Label10"), "       9,000");
        EXPECT_EQ(view.text("Label14"), "4500");  // 9000 yen back for one 200-yen ticket
        EXPECT_TRUE(view.isOpen("GetPanel2"));
        EXPECT_EQ(view.text("Label23"), "  12");
        EXPECT_EQ(view.text("Label26"), "500");

        // Pattern 999 returned 4500 %; its row is the last, the rows rise by pattern, and
        // every listed pattern at least broke even.
        ASSERT_FALSE(view.stats.empty());
        EXPECT_EQ(view.stats.back(),
                  (StatsRow {"999", "  0", "     0円", "  0", "     0円", "  1", "  9000円", "4500％"}));
        for (std::size_t i = 1; i < view.stats.size(); ++i)
            EXPECT_LT(view.stats[i - 1][0], view.stats[i][0]);
        for (const StatsRow& row : view.stats)
            EXPECT_GE(std::stoi(row[7]), 100) << row[0];
    }
}

TEST_F(MiniEngineTest, StatisticsRowsAccumulateOverEvaluations)
{
    RecordingView view;
    engine.run(request(factorHistory(), kFactorEvaluationTag), view);
    const std::vector<StatsRow> first = view.stats;
    ASSERT_FALSE(first.empty());
    engine.run(request(HistoryBuilder()), view);  // a prediction run adds none
    EXPECT_EQ(view.stats, first);
    engine.run(request(factorHistory(), kFactorEvaluationTag), view);
    std::vector<StatsRow> twice = first;
    twice.insert(twice.end(), first.begin(), first.end());
    EXPECT_EQ(view.stats, twice);
}

TEST_F(MiniEngineTest, PatternsThatStakeNothingOrLoseAddNoStatisticsRow)
{
    // Pattern 000 bets 000 (dropped) before every draw but the last, where it bets 099 and
    // misses; pattern 555 bets 555 (dropped) throughout. An empty file stakes nothing at all.
    RecordingView view;
    engine.run(request(factorHistory(), kFactorEvaluationTag), view);
    for (const StatsRow& row : view.stats) {
        EXPECT_NE(row[0], "000");
        EXPECT_NE(row[0], "555");
    }
    RecordingView empty;
    engine.run(request(HistoryBuilder(), kFactorEvaluationTag), empty);
    EXPECT_TRUE(empty.stats.empty());
    EXPECT_EQ(empty.text("Label17"), "なし");  // pattern 999 on identity tables: 999
}

TEST_F(MiniEngineTest, ConversionErrorInANeededMiniPrizeEndsTheRunWhereItStands)
{
    // Draw 7 hits with 574 first; its mini prize field is not a number.
    HistoryBuilder history = sixDrawsBeforeTwinCandidates();
    std::string broken = drawRecord({7, "974"});
    broken.replace(41, 7, "00x0000");
    history.raw(broken).draw(8, "123");

    RecordingView sixOnly;
    engine.run(request(sixDrawsBeforeTwinCandidates()), sixOnly);

    for (const bool endStateOnly : {false, true}) {
        EndStateView endState;
        RecordingView progress;
        RecordingView& view = endStateOnly ? endState : progress;
        fillLikeAnEarlierRun(view);
        EXPECT_THROW(engine.run(request(history), view), ConversionError);
        // Rows of draws 1-6 stay, draw 7 added none, the stake includes draw 7's tickets.
        EXPECT_EQ(view.results, sixOnly.results);
        EXPECT_EQ(std::stoi(view.text("Label43")), std::stoi(sixOnly.text("Label43")) + 3);
        EXPECT_FALSE(view.isOpen("GetPanel"));
        EXPECT_FALSE(view.commandsDisabled);
        EXPECT_EQ(view.text("Label16"), "<unset>");
        EXPECT_EQ(view.text("Label14"), " 55");
    }
}

TEST_F(MiniEngineTest, BrokenMiniPrizeThatNoHitNeedsIsNeverRead)
{
    HistoryBuilder history;
    std::string broken = drawRecord({1, "123"});
    broken.replace(41, 7, "???????");
    history.raw(broken).draw(2, "456");
    RecordingView view;
    EXPECT_NO_THROW(engine.run(request(history), view));
    EXPECT_TRUE(view.isOpen("GetPanel"));
}

TEST_F(MiniEngineTest, BrokenDrawNumberOrWinningNumberEndsTheRunAtThatRecord)
{
    for (const std::string& bad : {std::string("00x2"), std::string("12a")}) {
        HistoryBuilder history = HistoryBuilder().draw(1, "123");
        std::string record = drawRecord({2, "456"});
        record.replace(bad.size() == 4 ? 0 : 5, bad.size(), bad);
        history.raw(record).draw(3, "789");
        for (const int tag : {kPredictionTag, kFactorEvaluationTag}) {
            EndStateView view;
            EXPECT_THROW(engine.run(request(history, tag), view), ConversionError) << bad;
            // Draw 1 was staked and scored; nothing of the pass's end was shown.
            EXPECT_EQ(view.text("Label43"), tag == kPredictionTag ? "3" : "0") << bad;
            EXPECT_EQ(view.text("Label16"), "<unset>");
            EXPECT_TRUE(view.stats.empty());
            EXPECT_FALSE(view.isOpen("GetPanel"));
        }
    }
}

TEST_F(MiniEngineTest, MissingHistoryFileEndsTheRunBeforeAnythingChanges)
{
    RunRequest missing;
    missing.historyPath = dir.file("Numbers.dat");
    RecordingView view;
    fillLikeAnEarlierRun(view);
    EXPECT_THROW(engine.run(missing, view), IoError);
    EXPECT_EQ(view.clears, 0);
    EXPECT_EQ(view.results.size(), 1u);
    EXPECT_EQ(view.texts.size(), 2u);
}

TEST_F(MiniEngineTest, RunModeOutsideTheRankPatternsIsRefused)
{
    const HistoryBuilder history = HistoryBuilder().draw(1, "123");
    for (const int tag : {-1, 1000}) {
        RecordingView view;
        EXPECT_THROW(engine.run(request(history, tag), view), RefusedError) << tag;
        EXPECT_EQ(view.clears, 0);
        EXPECT_TRUE(view.texts.empty());
    }
}

TEST_F(MiniEngineTest, PrizeSumWrapsAroundLikeA32BitInteger)
{
    // 500 draws of 165: the tables stay 6,1,2,... / 5,1,2,... apart from rank 0, so every
    // even-numbered iteration bets 365 (a hit on 65) among 3 tickets and every odd one bets
    // 446, 364, 128, 391 (4 tickets, no hit): 250 hits of 9,999,999 yen, 1750 tickets.
    HistoryBuilder history;
    for (int draw = 1; draw <= 500; ++draw)
        history.draw(draw, "165", 0, 0, 9999999);
    RecordingView view;
    engine.run(request(history, kPredictionTag, false), view);

    const std::int64_t exactSum = 250LL * 9999999;
    const std::int32_t wrapped = std::int32_t(exactSum - (std::int64_t(1) << 32));
    ASSERT_LT(wrapped, 0);
    EXPECT_EQ(view.results.size(), 250u);
    EXPECT_EQ(engine.totals().miniHits, 250);
    EXPECT_EQ(engine.totals().miniSum, wrapped);
    EXPECT_EQ(view.text("Label43"), "1750");
    EXPECT_EQ(view.text("Label14"), std::to_string(wrapped / 3500));
    EXPECT_EQ(view.text("Label6"), kLabel6Prefix + std::string(7, ' ') + "250本");
}
