// The update against a local publisher and mirror: which source each draw comes from, and where
// it stops when a source misbehaves.

#include "base/NumberFormat.h"
#include "entry/HistoryImport.h"
#include "entry/PublishedEntry.h"
#include "entry/PublisherFiles.h"
#include "entry/ResultsUpdate.h"
#include "entry/ShiftJis.h"
#include "history/HistoryAppender.h"

#include "support/LocalHttpServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>

using tolvi::test::HttpReply;
using tolvi::test::LocalHttpServer;
using tolvi::test::TempDir;

namespace {

// Every draw's results follow from its number, so both sources and the history agree by default.
tolvi::HistoryAppender::Draw resultsOf(int draw)
{
    tolvi::HistoryAppender::Draw results;
    results.numbers3 = draw % 1000;
    results.numbers3Prizes = {90000 + draw, 20000, 50000, 10000, 8000};
    results.numbers4 = draw;
    results.numbers4Prizes = {900000 + draw, 80000, 500000, 40000};
    return results;
}

std::string historyOf(int first, int last)
{
    std::string bytes;
    for (int draw = first; draw <= last; ++draw)
        bytes += tolvi::HistoryAppender::formatRecord(draw, resultsOf(draw)) + "\r\n";
    return bytes + "\x1A";
}

std::string publisherFile(int draw, const tolvi::HistoryAppender::Draw& r)
{
    const tolvi::Date date = tolvi::drawDate(draw);
    const auto yen = [](int amount) { return std::to_string(amount) + "円"; };
    const std::string n3 = tolvi::formatInt(r.numbers3, 3, 3), n4 = tolvi::formatInt(r.numbers4, 4, 4);
    const std::string text =
        "A50\r\n第" + std::to_string(draw) + "回ナンバーズ,数字選択式全国自治宝くじ,令和" +
        std::to_string(int(date.year()) - 2018) + "年" + std::to_string(unsigned(date.month())) + "月" +
        std::to_string(unsigned(date.day())) + "日,東京 宝くじドリーム館\r\n" +
        "ナンバーズ３抽せん数字," + n3 + "\r\nストレート," + n3 + ",62口," +
        yen(r.numbers3Prizes[0]) + "\r\nボックス,253口," + yen(r.numbers3Prizes[1]) + "\r\nセット（ストレート）,162口," +
        yen(r.numbers3Prizes[2]) + "\r\nセット（ボックス）,419口," + yen(r.numbers3Prizes[3]) + "\r\nミニ,下２ケタ,468口," +
        yen(r.numbers3Prizes[4]) + "\r\nナンバーズ４抽せん数字," + n4 + "\r\nストレート," + n4 + ",18口," + yen(r.numbers4Prizes[0]) + "\r\nボックス,153口," + yen(r.numbers4Prizes[1]) +
        "\r\nセット（ストレート）,51口," + yen(r.numbers4Prizes[2]) + "\r\nセット（ボックス）,680口," +
        yen(r.numbers4Prizes[3]) + "\r\n";
    return tolvi::toShiftJis(text);
}

// A publisher and a mirror that both hold draws up to `publisherLast` / `mirrorLast`.
struct Sources {
    LocalHttpServer server;

    void publish(int first, int last)
    {
        std::string list;
        for (int draw = last; draw >= first; --draw) {
            server.serve("/publisher/" + tolvi::publisherDrawFileName(draw), HttpReply::page(publisherFile(draw, resultsOf(draw))));
            list += "第" + std::to_string(draw) + "回ナンバーズ," + tolvi::publisherDrawFileName(draw) + "\r\n";
        }
        server.serve("/publisher/numbers.csv", HttpReply::page(tolvi::toShiftJis(list)));
    }
    void mirror(int first, int last, const std::function<void(int, tolvi::HistoryAppender::Draw&)>& change = {})
    {
        std::string n3 = "draw_no,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout,mini_payout\n";
        std::string n4 = "draw_no,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout\n";
        for (int draw = first; draw <= last; ++draw) {
            tolvi::HistoryAppender::Draw r = resultsOf(draw);
            if (change)
                change(draw, r);
            n3 += std::to_string(draw) + "," + std::to_string(r.numbers3);
            for (int prize : r.numbers3Prizes)
                n3 += "," + std::to_string(prize);
            n4 += std::to_string(draw) + "," + std::to_string(r.numbers4);
            for (int prize : r.numbers4Prizes)
                n4 += "," + std::to_string(prize);
            n3 += "\n";
            n4 += "\n";
        }
        server.serve("/mirror/numbers3_results_v2.csv", HttpReply::page(n3));
        server.serve("/mirror/numbers4_results_v2.csv", HttpReply::page(n4));
    }
    tolvi::UpdateSettings settings(tolvi::UpdateSource from = tolvi::UpdateSource::Both) const
    {
        tolvi::UpdateSettings settings;
        settings.from = from;
        settings.publisherUrl = "http://" + server.host() + "/publisher";
        settings.mirrorUrl = "http://" + server.host() + "/mirror/";
        settings.publisherPause = std::chrono::milliseconds(0);
        settings.now = *tolvi::parseJapanTime("2026-08-21T21:30");  // draw 7054 held at 18:45
        return settings;
    }
};

TEST(ResultsUpdate, TakesEachDrawFromTheRightSourceAndStopsAtTheFirstItCannotTrust)
{
    const struct {
        const char* what;
        std::function<void(Sources&)> serve;
        tolvi::UpdateSource from;
        std::string says;  // the start of the summary, or the line it holds
        int lastAfter;     // the history's last draw afterwards
        bool failed;
    } cases[] = {
        {"both: the mirror for the old, the publisher for the newest ten",
         [](Sources& s) { s.publish(7030, 7054); s.mirror(1, 7054); }, tolvi::UpdateSource::Both,
         "第7041回～第7054回の 14 回分を追加しました (公開元 10 回, ミラー 4 回)。", 7054, false},
        {"the mirror behind the publisher",
         [](Sources& s) { s.publish(7030, 7054); s.mirror(7001, 7042); }, tolvi::UpdateSource::Both,
         "第7041回～第7054回の 14 回分を追加しました (公開元 12 回, ミラー 2 回)。", 7054, false},
        {"the publisher refuses: the mirror alone",
         [](Sources& s) { s.mirror(7001, 7054); s.server.serveOthers(HttpReply::page("Forbidden", 403)); },
         tolvi::UpdateSource::Both, "公開元を使えませんでした", 7054, false},
        {"one draw missing at the publisher",
         [](Sources& s) { s.publish(7030, 7054); s.server.serve("/publisher/A1007050.CSV", HttpReply::page("", 404)); },
         tolvi::UpdateSource::Publisher, "第7050回の結果を取得できませんでした", 7049, true},
        {"a file for another draw",
         [](Sources& s) {
             s.publish(7030, 7054);
             s.server.serve("/publisher/A1007047.CSV", HttpReply::page(publisherFile(7046, resultsOf(7046))));
         },
         tolvi::UpdateSource::Publisher, "公開元の A1007047.CSV は第7046回の結果です", 7046, true},
        {"the mirror and the publisher disagree on one prize",
         [](Sources& s) {
             s.publish(7030, 7054);
             s.mirror(1, 7054, [](int draw, auto& r) { r.numbers4Prizes[2] += draw == 7052 ? 100 : 0; });
         },
         tolvi::UpdateSource::Both, "第7052回 ナンバーズ4 セット(ストレート): ミラー 500100、公開元 500000", 7051, true},
        {"the newest draw not published yet",
         [](Sources& s) { s.publish(7030, 7053); }, tolvi::UpdateSource::Publisher, "第7054回はまだ公開されていません",
         7053, false},
        {"no source at all", [](Sources&) {}, tolvi::UpdateSource::Both, "最新の結果を取得できませんでした", 7040, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const auto path = dir.write("Numbers.dat", historyOf(7031, 7040));
        Sources sources;
        c.serve(sources);
        std::string summary;
        bool failed = false;
        try {
            const tolvi::UpdateReport report = tolvi::updateHistory(path, sources.settings(c.from));
            summary = tolvi::describeUpdate(report);
            failed = !report.failure.empty();
        } catch (const tolvi::IoError& e) {
            summary = e.what();
            failed = true;
        }
        EXPECT_NE(summary.find(c.says), std::string::npos) << summary;
        EXPECT_EQ(failed, c.failed) << summary;
        EXPECT_EQ(dir.read("Numbers.dat"), historyOf(7031, c.lastAfter));
        for (const std::string& path : sources.server.paths())
            EXPECT_EQ(path.find("A1007055"), std::string::npos) << "a draw not held yet was asked for";
    }
}

TEST(ResultsUpdate, AMirrorContradictingTheRecentHistoryAddsNothingButOldDifferencesAreANote)
{
    for (const int wrongDraw : {7035, 7012}) {
        SCOPED_TRACE(wrongDraw);
        TempDir dir;
        const auto path = dir.write("Numbers.dat", historyOf(7001, 7040));
        Sources sources;
        sources.publish(7041, 7054);
        sources.mirror(1, 7054, [&](int draw, auto& r) { r.numbers3Prizes[0] += draw == wrongDraw ? 1 : 0; });
        if (wrongDraw > 7030) {
            EXPECT_THROW(tolvi::updateHistory(path, sources.settings()), tolvi::RecentDisagreement);
            EXPECT_EQ(dir.read("Numbers.dat"), historyOf(7001, 7040));
        } else {
            const std::string summary = tolvi::describeUpdate(tolvi::updateHistory(path, sources.settings()));
            EXPECT_NE(summary.find("ミラーは古い 1 回分 (第7012回)"), std::string::npos) << summary;
            EXPECT_EQ(dir.read("Numbers.dat"), historyOf(7001, 7054));
        }
    }
    // Up to date: not a single request.
    TempDir dir;
    Sources idle;
    EXPECT_EQ(tolvi::describeUpdate(tolvi::updateHistory(dir.write("Numbers.dat", historyOf(7050, 7054)), idle.settings())),
              "最新です (履歴は第7054回までです)。\n");
    EXPECT_TRUE(idle.server.paths().empty());
    EXPECT_NE(tolvi::describeUpdateStatus(dir.path()).find("前回の確認: 2026-08-21 21:30"), std::string::npos);
}

TEST(ResultsUpdate, TheEntryPanelIsFilledFromThePublishersFile)
{
    Sources sources;
    sources.publish(7054, 7054);
    const tolvi::PublishedEntry filled = tolvi::fetchPublishedEntry(7054, sources.settings());
    ASSERT_TRUE(filled.result.filled) << filled.result.message;
    EXPECT_EQ(filled.fields.texts, (std::array<std::string, 11> {"054", "97054", "20000", "50000", "10000", "8000", "7054",
                                                                 "907054", "80000", "500000", "40000"}));
    EXPECT_EQ(tolvi::fetchPublishedEntry(7053, sources.settings()).result.message, tolvi::kNotFoundMessage);
    EXPECT_EQ(tolvi::fetchPublishedEntry(7055, sources.settings()).result.message, tolvi::kNotFoundMessage);
    EXPECT_EQ(sources.server.count("/publisher/A1007055.CSV"), 0);
}

}  // namespace
