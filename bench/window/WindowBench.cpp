// tolvi_window_bench [--runs N] [--records N] [--tickets]
//
// Times the real main window (off screen: QT_QPA_PLATFORM=offscreen) on a generated history:
// from the timer's tick to the payout panel painted on the screen, for a Numbers3 prediction
// with one-digit-off rows, a Mini prediction and a Mini factor evaluation. It also watches the
// result list while a run adds rows: how often the list was painted, and the longest stretch
// between two paints, which must stay within about one frame. Then the chart window on the
// complete history the programs ship with: from "グラフ…" to the window painted, and the same for
// "分析…" (the analyses of the edition's game over every draw). Last the ledger window on 10,000
// tickets beside the complete history: from "購入記録…" to the window painted.

#include "HistoryFixture.h"
#include "TicketsFixture.h"
#include "app/MainUnit.h"
#include "engine/EngineFactory.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QTableView>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

// Paint events of a widget, as times since the run began.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(const QElapsedTimer& clock) : clock_(clock) { }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            paints.push_back(double(clock_.nsecsElapsed()) / 1e6);
        return false;
    }
    std::vector<double> paints;

private:
    const QElapsedTimer& clock_;
};

struct RunTiming {
    double toPanelShown = 0;    // the tick's handler, ending with the payout panel opened
    double toPanelPainted = 0;  // ... and the event loop's paint of the window after it
    int rows = 0;
    int listPaints = 0;     // paints of the result list during the handler
    double longestGap = 0;  // longest time without a paint of the list while rows came in
};

RunTiming timedRun(TMainForm& form, QTableView* list, bool factorEvaluation)
{
    if (factorEvaluation)
        form.Button2Click();
    else
        form.Button1Click();
    QElapsedTimer clock;
    PaintWatch watch(clock);
    list->viewport()->installEventFilter(&watch);
    clock.start();
    // The tick itself: the timer's handler, called as the timer calls it.
    form.WkupTimTimer();
    RunTiming timing;
    timing.toPanelShown = double(clock.nsecsElapsed()) / 1e6;
    const std::size_t paintsDuringRun = watch.paints.size();
    QWidget* panel = form.findChild<QWidget*>(QStringLiteral("GetPanel"));
    // The panel reaches the screen at the next paint of the window.
    QApplication::processEvents();
    timing.toPanelPainted = double(clock.nsecsElapsed()) / 1e6;
    list->viewport()->removeEventFilter(&watch);
    if (!panel || !panel->isVisible())
        std::fprintf(stderr, "the payout panel is not shown\n");
    timing.rows = list->model()->rowCount();
    timing.listPaints = int(paintsDuringRun);
    double previous = 0;
    for (std::size_t i = 0; i < paintsDuringRun; ++i) {
        timing.longestGap = std::max(timing.longestGap, watch.paints[i] - previous);
        previous = watch.paints[i];
    }
    return timing;
}

void closePanels(TMainForm& form)
{
    if (form.findChild<QWidget*>(QStringLiteral("GetPanel2"))->isVisible())
        form.Button4Click();
    if (form.findChild<QWidget*>(QStringLiteral("GetPanel"))->isVisible())
        form.Button3Click();
    QApplication::processEvents();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void measure(tolvi::Edition edition, const char* what, bool factorEvaluation, int runs)
{
    TMainForm form(edition, tolvi::makeEngine(edition));
    form.setSettingsPath(std::filesystem::current_path() / "bench.ini");
    form.setProgramDir(QDir::currentPath());
    form.FormCreate();
    form.show();
    QApplication::processEvents();
    auto* list = form.findChild<QTableView*>(QStringLiteral("ListView"));

    std::vector<double> shown, painted, gaps;
    RunTiming last;
    for (int i = 0; i < runs; ++i) {
        last = timedRun(form, list, factorEvaluation);
        shown.push_back(last.toPanelShown);
        painted.push_back(last.toPanelPainted);
        gaps.push_back(last.longestGap);
        closePanels(form);
    }
    std::printf("%-34s %6d rows  tick to panel shown %8.1f ms  to panel painted %8.1f ms  "
                "list painted %4d times during the run, longest gap %5.1f ms  (median of %d)\n",
                what, last.rows, median(shown), median(painted), last.listPaints, median(gaps), runs);
    std::fflush(stdout);
}

}  // namespace

// From the menu command to its window (named `window`) painted, median of `runs`.
void measureChart(tolvi::Edition edition, int runs, void (TMainForm::*command)() = &TMainForm::GraphMenuClick,
                  const char* window = "ChartWindow")
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        TMainForm form(edition, tolvi::makeEngine(edition));
        form.show();
        QApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        (form.*command)();
        QWidget* chart = form.findChild<QWidget*>(QString::fromLatin1(window));
        if (!chart) {
            std::printf("  no chart window\n");
            return;
        }
        chart->repaint();
        QApplication::processEvents();
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
        chart->close();
        QApplication::processEvents();
    }
    std::sort(times.begin(), times.end());
    std::printf("%-36s command to window painted %8.1f ms (median of %d)\n",
                (std::string(tolvi::describe(edition).toolName) + " " + window).c_str(), times[times.size() / 2], runs);
}

// From "購入記録…" to the ledger window painted, with every ticket settled, median of `runs`.
void measureTickets(int runs)
{
    std::vector<double> times, cpuTimes;
    const auto cpuMs = [] {
        timespec now {};
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
    };
    for (int i = 0; i < runs; ++i) {
        TMainForm form(tolvi::Edition::Numbers3, tolvi::makeEngine(tolvi::Edition::Numbers3));
        form.show();
        QApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        const double cpuStart = cpuMs();
        form.TicketsMenuClick();
        QWidget* window = form.findChild<QWidget*>(QStringLiteral("TicketWindow"));
        if (!window) {
            std::printf("  no ledger window\n");
            return;
        }
        window->repaint();
        QApplication::processEvents();
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
        cpuTimes.push_back(cpuMs() - cpuStart);
        window->close();
        QApplication::processEvents();
    }
    std::sort(times.begin(), times.end());
    std::sort(cpuTimes.begin(), cpuTimes.end());
    std::printf("%-36s command to window painted %8.1f ms, CPU %8.1f ms (median of %d)\n", "10,000 tickets",
                times[times.size() / 2], cpuTimes[cpuTimes.size() / 2], runs);
}

int main(int argc, char** argv)
{
    int runs = 5, records = 9999;
    // --tickets alone: only the ledger window.
    const bool ticketsOnly = argc > 1 && std::strcmp(argv[argc - 1], "--tickets") == 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--records") == 0)
            records = std::max(0, std::atoi(argv[i + 1]));
    }
    QApplication app(argc, argv);
    if (ticketsOnly) {
        QDir::setCurrent(QString::fromStdString(tolvi::bench::ledgerFolder().string()));
        measureTickets(runs);
        return 0;
    }
    // The window reads ./Numbers.dat, like the programs.
    const std::filesystem::path history = tolvi::bench::historyOfLength(records);
    QDir::setCurrent(QString::fromStdString(history.parent_path().string()));

    std::printf("window on %d generated records, one-digit-off rows on\n", records);
    measure(tolvi::Edition::Numbers3, "Numbers3 prediction", false, runs);
    measure(tolvi::Edition::Mini, "Mini prediction", false, runs);
    measure(tolvi::Edition::Mini, "Mini factor evaluation (1000 passes)", true, std::max(1, runs / 2));

    QDir::setCurrent(QStringLiteral(TOLVI_SOURCE_DIR "/data"));
    std::printf("chart window on the shipped history (data/Numbers.dat)\n");
    for (const tolvi::Edition edition : tolvi::kEditions)
        measureChart(edition, runs);
    for (const tolvi::Edition edition : tolvi::kEditions)
        measureChart(edition, runs, &TMainForm::AnalysisMenuClick, "AnalysisWindow");

    QDir::setCurrent(QString::fromStdString(tolvi::bench::ledgerFolder().string()));
    std::printf("ledger window on 10,000 tickets beside the shipped history\n");
    measureTickets(runs);
    return 0;
}
