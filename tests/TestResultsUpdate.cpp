// The update against a local publisher and mirror: which source each draw comes from, and where
// it stops when a source misbehaves.

#include "base/NumberFormat.h"
#include "entry/PublishedEntry.h"
#include "entry/ResultEntry.h"
#include "history/HistoryAppender.h"
#include "history/HistoryReader.h"
#include "results/HistoryImport.h"
#include "results/PublisherFiles.h"
#include "results/ResultsUpdate.h"
#include "transport/ShiftJis.h"

#include "support/PublishedResults.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/wait.h>
#include <unistd.h>

using tolvi::test::HttpReply;
using tolvi::test::publishedHistory;
using tolvi::test::publishedResults;
using tolvi::test::PublishedSources;
using tolvi::test::publisherFile;
using tolvi::test::TempDir;

namespace {

TEST(ResultsUpdate, TakesEachDrawFromTheRightSourceAndStopsAtTheFirstItCannotTrust)
{
    const struct {
        const char* what;
        std::function<void(PublishedSources&)> serve;
        tolvi::UpdateSource from;
        std::string says;  // the start of the summary, or the line it holds
        int lastAfter;     // the history's last draw afterwards
        bool failed;
    } cases[] = {
        {"both: the mirror for the old, the publisher for the newest ten",
         [](PublishedSources& s) {
             s.publish(7030, 7054);
             s.mirror(1, 7054);
         },
         tolvi::UpdateSource::Both, "第7041回～第7054回の 14 回分を追加しました (公開元 10 回, ミラー 4 回)。", 7054,
         false},
        {"the mirror behind the publisher",
         [](PublishedSources& s) {
             s.publish(7030, 7054);
             s.mirror(7001, 7042);
         },
         tolvi::UpdateSource::Both, "第7041回～第7054回の 14 回分を追加しました (公開元 12 回, ミラー 2 回)。", 7054,
         false},
        {"the publisher refuses: the mirror alone",
         [](PublishedSources& s) {
             s.mirror(7001, 7054);
             s.server.serveOthers(HttpReply::page("Forbidden", 403));
         },
         tolvi::UpdateSource::Both, "公開元を使えませんでした", 7054, false},
        {"one draw missing at the publisher",
         [](PublishedSources& s) {
             s.publish(7030, 7054);
             s.server.serve("/publisher/A1007050.CSV", HttpReply::page("", 404));
         },
         tolvi::UpdateSource::Publisher, "第7050回の結果を取得できませんでした", 7049, true},
        {"a file for another draw",
         [](PublishedSources& s) {
             s.publish(7030, 7054);
             s.server.serve("/publisher/A1007047.CSV", HttpReply::page(publisherFile(7046, publishedResults(7046))));
         },
         tolvi::UpdateSource::Publisher, "公開元の A1007047.CSV は第7046回の結果です", 7046, true},
        {"the mirror and the publisher disagree on one prize",
         [](PublishedSources& s) {
             s.publish(7030, 7054);
             s.mirror(1, 7054, [](int draw, auto& r) { r.numbers4Prizes[2] += draw == 7052 ? 100 : 0; });
         },
         tolvi::UpdateSource::Both, "第7052回 ナンバーズ4 セット(ストレート): ミラー 500100、公開元 500000", 7051,
         true},
        {"the newest draw not published yet", [](PublishedSources& s) { s.publish(7030, 7053); },
         tolvi::UpdateSource::Publisher, "第7054回はまだ公開されていません", 7053, false},
        {"no source at all", [](PublishedSources&) {}, tolvi::UpdateSource::Both, "最新の結果を取得できませんでした",
         7040, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const auto path = dir.write("Numbers.dat", publishedHistory(7031, 7040));
        PublishedSources sources;
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
        EXPECT_EQ(dir.read("Numbers.dat"), publishedHistory(7031, c.lastAfter));
        for (const std::string& path : sources.server.paths())
            EXPECT_EQ(path.find("A1007055"), std::string::npos) << "a draw not held yet was asked for";
    }
}

TEST(ResultsUpdate, AMirrorContradictingTheRecentHistoryAddsNothingButOldDifferencesAreANote)
{
    for (const int wrongDraw : {7035, 7012}) {
        SCOPED_TRACE(wrongDraw);
        TempDir dir;
        const auto path = dir.write("Numbers.dat", publishedHistory(7001, 7040));
        PublishedSources sources;
        sources.publish(7041, 7054);
        sources.mirror(1, 7054, [&](int draw, auto& r) { r.numbers3Prizes[0] += draw == wrongDraw ? 1 : 0; });
        if (wrongDraw > 7030) {
            EXPECT_THROW(tolvi::updateHistory(path, sources.settings()), tolvi::RecentDisagreement);
            EXPECT_EQ(dir.read("Numbers.dat"), publishedHistory(7001, 7040));
        } else {
            const std::string summary = tolvi::describeUpdate(tolvi::updateHistory(path, sources.settings()));
            EXPECT_NE(summary.find("ミラーは古い 1 回分 (第7012回)"), std::string::npos) << summary;
            EXPECT_EQ(dir.read("Numbers.dat"), publishedHistory(7001, 7054));
        }
    }
    // Up to date: not a single request.
    TempDir dir;
    PublishedSources idle;
    EXPECT_EQ(tolvi::describeUpdate(
                  tolvi::updateHistory(dir.write("Numbers.dat", publishedHistory(7050, 7054)), idle.settings())),
              "最新です (履歴は第7054回までです)。\n");
    EXPECT_TRUE(idle.server.paths().empty());
    EXPECT_NE(tolvi::describeUpdateStatus(dir.path()).find("前回の確認: 2026-08-21 21:30"), std::string::npos);
}

TEST(ResultsUpdate, TheEntryPanelIsFilledFromThePublishersFile)
{
    PublishedSources sources;
    sources.publish(7054, 7054);
    const tolvi::PublishedEntry filled = tolvi::fetchPublishedEntry(7054, sources.settings());
    ASSERT_TRUE(filled.result.filled) << filled.result.message;
    EXPECT_EQ(filled.fields.texts, (std::array<std::string, 11> {"054", "97054", "20000", "50000", "10000", "8000",
                                                                 "7054", "907054", "80000", "500000", "40000"}));
    EXPECT_EQ(tolvi::fetchPublishedEntry(7053, sources.settings()).result.message, tolvi::kNotFoundMessage);
    EXPECT_EQ(tolvi::fetchPublishedEntry(7055, sources.settings()).result.message, tolvi::kNotFoundMessage);
    EXPECT_EQ(sources.server.count("/publisher/A1007055.CSV"), 0);
}

// The window's entry saves draws 7041-7043 (filled from the publisher, then maybe retyped) after
// the update has read the history and before it takes the lock: entries that agree are simply the
// first new draws; entries that differ are among the history's last draws and stop the update.
TEST(ResultsUpdate, AnUpdateRacingEntriesLeavesEveryDrawOnceInOrder)
{
    for (const bool retyped : {false, true}) {
        SCOPED_TRACE(retyped ? "entries that differ" : "entries as published");
        TempDir dir;
        const auto path = dir.write("Numbers.dat", publishedHistory(7001, 7040));
        PublishedSources sources;
        sources.publish(7041, 7054);
        sources.mirror(1, 7054);
        int go[2], done[2];
        ASSERT_EQ(::pipe(go) | ::pipe(done), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            char byte = 0;
            bool entered = ::read(go[0], &byte, 1) == 1;
            for (int i = 0; i < 3 && entered; ++i) {
                const int draw = *tolvi::HistoryReader::lastDrawIn(dir.read("Numbers.dat")) + 1;
                tolvi::PublishedEntry entry = tolvi::fetchPublishedEntry(draw, sources.settings());
                entry.fields[1] = retyped ? "12345" : entry.fields[1];
                entered = entry.result.filled && !tolvi::appendEntry(path, entry.fields).empty();
            }
            ::_exit(::write(done[1], &byte, 1) == 1 && entered ? 0 : 1);
        }
        tolvi::UpdateHooks hooks;  // the entries go in while the mirror is read
        hooks.progress = [&](const tolvi::UpdateProgress& step) {
            char byte = 0;
            if (step.done == 1) {
                EXPECT_EQ(::write(go[1], &byte, 1), 1);
            }
            if (step.done == 3) {
                EXPECT_EQ(::read(done[0], &byte, 1), 1);
            }
        };
        if (retyped) {
            try {
                tolvi::updateHistory(path, sources.settings(), hooks);
                ADD_FAILURE() << "draws were added after entries that contradict the sources";
            } catch (const tolvi::RecentDisagreement& e) {
                EXPECT_NE(std::string(e.what()).find("第7041回 ナンバーズ3 ストレート: 履歴 12345、取り込み元 97041"),
                          std::string::npos)
                    << e.what();
            }
        } else {
            const tolvi::UpdateReport report = tolvi::updateHistory(path, sources.settings(), hooks);
            EXPECT_EQ(report.firstAdded, 7044);
            EXPECT_EQ(report.added, 11u);
            EXPECT_EQ(report.fromPublisher + report.fromMirror, 11u) << "counted from the history under the lock";
            EXPECT_EQ(dir.read("Numbers.dat"), publishedHistory(7001, 7054));
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        const std::string content = dir.read("Numbers.dat");
        ASSERT_EQ(content.size(), (retyped ? 43 : 54) * 87 + 1u);
        for (std::size_t k = 0; k < content.size() / 87; ++k)
            EXPECT_EQ(tolvi::HistoryReader::recordAt(content, k).drawNumber(), 7001 + int(k));
        for (int fd : {go[0], go[1], done[0], done[1]})
            ::close(fd);
    }
}

}  // namespace
