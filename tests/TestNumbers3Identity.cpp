// The engine against the plain transcription of the run, on many random histories.

#include "engine/Numbers3Engine.h"
#include "support/LiteralNumbers3Engine.h"
#include "support/RandomHistory.h"
#include "support/RecordingView.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace tolvi;
using namespace tolvi::test;

namespace {

// Runs the engine and the plain run on the same request and compares what they showed.
void expectSameRun(const RunRequest& request)
{
    RecordingView fast, literal;
    Numbers3Engine().run(request, fast);
    LiteralNumbers3Engine().run(request, literal);
    expectSameEndState(fast, literal);
    // Both show everything as it happens, so even the order the panels opened in is the same.
    EXPECT_EQ(fast.opened, literal.opened);
}

}  // namespace

TEST(Numbers3Identity, EngineMatchesThePlainRunOnRandomHistories)
{
    TempDir dir;
    // Lengths around the interesting places: empty, one record, across draw 1108.
    const int lengths[] = {0, 1, 2, 50, 1107, 1108, 1109, 1500};
    std::uint32_t seed = 11;
    for (const int records : lengths) {
        for (const int tag : {kPredictionTag, kFactorEvaluationTag}) {
            for (const bool mismatch : {true, false}) {
                RandomHistoryOptions options;
                options.records = records;
                options.seed = ++seed;
                options.commentShare = 0.01;
                options.noResultShare = 0.01;
                options.endOfFileByte = seed % 2 == 0;
                RunRequest request;
                request.tag = tag;
                request.mismatch = mismatch;
                request.historyPath = dir.write("Numbers.dat", randomHistory(options));
                SCOPED_TRACE("records " + std::to_string(records) + " tag " + std::to_string(tag));
                expectSameRun(request);
            }
        }
    }
}

TEST(Numbers3Identity, LongHistoriesFullOfCommentsMatchThePlainRun)
{
    // The engine reads the file through a buffer of 752 records; these histories refill it
    // several times, with comment records and records without a result falling anywhere.
    TempDir dir;
    std::uint32_t seed = 101;
    for (const double comments : {0.0, 0.3}) {
        for (const int tag : {kPredictionTag, kFactorEvaluationTag}) {
            RandomHistoryOptions options;
            options.records = 3001;
            options.seed = ++seed;
            options.commentShare = comments;
            options.noResultShare = 0.05;
            RunRequest request;
            request.tag = tag;
            request.historyPath = dir.write("Numbers.dat", randomHistory(options));
            SCOPED_TRACE("comments " + std::to_string(comments) + " tag " + std::to_string(tag));
            expectSameRun(request);
        }
    }
}
