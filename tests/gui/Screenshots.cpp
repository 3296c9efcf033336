// Pictures of the window for the documentation, and the time runs take in the window.
//
//   QT_QPA_PLATFORM=offscreen tolvi_screenshots <output directory>   pictures and timings
//   QT_QPA_PLATFORM=offscreen tolvi_screenshots --timing              timings only

#include "gui/GuiTestBase.h"
#include "support/HistoryBuilder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTabWidget>
#include <QTableView>

#include <cstdio>
#include <filesystem>
#include <random>

using namespace tolvi;
using namespace tolvi::guitest;

namespace {

void save(GuiFixture& f, const QString& directory, const char* name)
{
    QApplication::processEvents();
    const QString path = directory + "/" + QString::fromUtf8(name);
    if (!f.form().grab().save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    else
        std::printf("wrote %s\n", qPrintable(path));
}

// Runs the pending command's handler at once and returns how long the whole handler took,
// from the timer's tick to the last caption on the controls (without the final paint).
double timedRun(GuiFixture& f, bool factorEvaluation)
{
    if (factorEvaluation)
        f.form().Button2Click();
    else
        f.form().Button1Click();
    QElapsedTimer clock;
    clock.start();
    f.form().WkupTimTimer();
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    QApplication::processEvents();
    return ms;
}

void closePanels(GuiFixture& f)
{
    if (f.isOpen("GetPanel2"))
        f.form().Button4Click();
    if (f.isOpen("GetPanel"))
        f.form().Button3Click();
}

// The complete history the programs ship with.
std::string shippedHistory()
{
    return test::readFileBytes(std::filesystem::path(TOLVI_SOURCE_DIR) / "data" / "Numbers.dat");
}

// 9,999 draws with reproducible pseudo-random results and prizes.
std::string largeHistory()
{
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> digit(0, 999);
    test::HistoryBuilder history;
    for (int draw = 1; draw <= 9999; ++draw) {
        char winning[4];
        std::snprintf(winning, sizeof winning, "%03d", digit(random));
        history.draw(draw, winning, 90000, 15000, 9000);
    }
    return history.bytes();
}

void timings()
{
    {
        GuiFixture f(Edition::Numbers3, withHistory(shippedHistory()));
        double best = 1e9;
        for (int i = 0; i < 5; ++i) {
            best = std::min(best, timedRun(f, false));
            closePanels(f);
        }
        std::printf("Numbers3 prediction on the shipped history (%d rows): %.1f ms (best of 5)\n",
                    f.rowCount("ListView"), best);
        const double factor = timedRun(f, true);
        std::printf("Numbers3 factor evaluation on the shipped history: %.1f ms\n", factor);
    }
    const std::string large = largeHistory();
    {
        GuiFixture f(Edition::Numbers3, withHistory(large));
        const double ms = timedRun(f, false);
        std::printf("Numbers3 prediction on 9,999 draws (%d rows): %.1f ms\n", f.rowCount("ListView"), ms);
    }
    {
        GuiFixture f(Edition::Mini, withHistory(large));
        const double prediction = timedRun(f, false);
        std::printf("Mini prediction on 9,999 draws (%d rows): %.1f ms\n", f.rowCount("ListView"), prediction);
        closePanels(f);
        const double factor = timedRun(f, true);
        std::printf(
            "Mini factor evaluation on 9,999 draws (1000 passes, %d rows in the last, %d statistics rows): %.1f ms\n",
            f.rowCount("ListView"), f.rowCount("PatnView"), factor);
    }
}

void pictures(const QString& directory)
{
    // The evening of the shipped history's last draw: the status line has nothing missing to say.
    qputenv("TOLVI_NOW", "2026-08-21T21:30");
    {
        // What the status line says on a later day.
        qputenv("TOLVI_NOW", "2026-12-09T12:00");
        GuiFixture f(Edition::Numbers3, withHistory(shippedHistory()));
        save(f, directory, "numbers3-behind.png");
        qputenv("TOLVI_NOW", "2026-08-21T21:30");
    }
    {
        GuiFixture f(Edition::Numbers3, withHistory(shippedHistory()));
        timedRun(f, false);
        save(f, directory, "numbers3-after-run.png");
        closePanels(f);
        save(f, directory, "numbers3-results.png");
        f.form().EditMenuClick();
        f.type("Num3Edit", "123");
        f.type("Num3Edit1", "90000");
        save(f, directory, "numbers3-entry.png");
    }
    {
        GuiFixture f(Edition::Numbers3, withHistory(test::HistoryBuilder().draw(1, "755", 90000, 15000, 9000).bytes()));
        timedRun(f, false);
        save(f, directory, "numbers3-hit.png");
    }
    {
        GuiFixture f(Edition::Numbers3);
        f.form().OptionClick();
        save(f, directory, "numbers3-options.png");
    }
    {
        // The chart window's three views over the complete history.
        GuiFixture f(Edition::Numbers3, withHistory(shippedHistory()));
        f.form().GraphMenuClick();
        auto* chart = f.form().findChild<QWidget*>(QStringLiteral("ChartWindow"));
        auto* tabs = chart->findChild<QTabWidget*>(QStringLiteral("ChartTabs"));
        const char* const names[] = {"chart-payback.png", "chart-hits.png", "chart-digits.png"};
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            QApplication::processEvents();
            const QString path = directory + "/" + QString::fromUtf8(names[tab]);
            std::printf("%s %s\n", chart->grab().save(path) ? "wrote" : "cannot write", qPrintable(path));
        }
    }
    {
        GuiFixture f(Edition::Mini, withHistory(shippedHistory()));
        timedRun(f, false);
        save(f, directory, "mini-after-run.png");
        closePanels(f);
        save(f, directory, "mini-results.png");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // A failing run's error box is answered and reported rather than waited on.
    MessageBoxWatcher boxes;
    const QStringList arguments = QApplication::arguments();
    const bool timingOnly = arguments.contains(QStringLiteral("--timing"));
    if (!timingOnly) {
        if (arguments.size() < 2) {
            std::fprintf(stderr, "usage: tolvi_screenshots <output directory> | --timing\n");
            return 2;
        }
        pictures(QDir(arguments.at(1)).absolutePath());
    }
    timings();
    for (const ShownBox& box : boxes.boxes())
        std::printf("message box: %s\n", qPrintable(box.text));
    return 0;
}
