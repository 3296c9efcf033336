#pragma once
// Network work from the window: it runs on a thread of its own while the window's event loop goes
// on, so that the window stays painted and answers. "最新の結果に更新" shows a progress dialog
// with 中止, which stops the update between two requests (what was verified by then is added).

#include "results/ResultsUpdate.h"

#include <QEventLoop>
#include <QMetaObject>

#include <exception>
#include <filesystem>
#include <optional>
#include <thread>

class QWidget;

// `work()` on another thread; the event loop runs until it ends. Its result, or what it threw.
template <class Work> auto runBesideEventLoop(Work work) -> decltype(work())
{
    QEventLoop loop;
    std::optional<decltype(work())> result;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            result.emplace(work());
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
    return std::move(*result);
}

// Runs tolvi::updateHistory() for `historyPath` with `settings` beside the event loop, with the
// progress dialog. Rethrows what the update threw.
tolvi::UpdateReport runUpdateWithProgress(QWidget* parent, const QString& title,
                                          const std::filesystem::path& historyPath,
                                          const tolvi::UpdateSettings& settings);
