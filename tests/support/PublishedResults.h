#pragma once
// The published results of made-up draws, served the way the publisher and the mirror serve them:
// every draw's results follow from its number, so the sources and a history made here agree
// unless a test changes one of them.

#include "history/HistoryAppender.h"
#include "results/ResultsUpdate.h"
#include "support/LocalHttpServer.h"

#include <functional>
#include <string>

namespace tolvi::test {

HistoryAppender::Draw publishedResults(int draw);

// Numbers.dat holding draws `first`..`last` with publishedResults().
std::string publishedHistory(int first, int last);

// The publisher's per-draw file of `draw` with `results`, in Shift-JIS as published (a prize of 0
// written 該当なし, as for the box and set prizes of a triple).
std::string publisherFile(int draw, const HistoryAppender::Draw& results);

// A publisher (under /publisher/) and a mirror (under /mirror/) on a local server.
struct PublishedSources {
    LocalHttpServer server;

    // The publisher's files and its list for draws `first`..`last`, with `results` of each draw.
    void publish(int first, int last, const std::function<HistoryAppender::Draw(int)>& results = publishedResults);
    // The mirror's two files for draws `first`..`last`, each draw's results passed through `change`.
    void mirror(int first, int last, const std::function<void(int, HistoryAppender::Draw&)>& change = {});
    // Update settings that reach this server, without the publisher's pause, at 21:30 on the day of
    // draw 7054.
    UpdateSettings settings(UpdateSource from = UpdateSource::Both) const;
};

}  // namespace tolvi::test
