// The chart window as a user opens it from the menu, looks through its views and saves one.

#include "gui/GuiTestBase.h"

#include "app/ChartWindow.h"
#include "support/RandomHistory.h"

#include <QApplication>
#include <QChartView>
#include <QImage>
#include <QLineSeries>
#include <QTabWidget>
#include <QTest>
#include <QValueAxis>

using tolvi::Edition;
using tolvi::guitest::answerFileDialog;
using tolvi::guitest::GuiFixture;
using tolvi::guitest::MessageBoxWatcher;
using tolvi::guitest::u;

class TestChartWindow : public QObject {
    Q_OBJECT

private slots:
    void opensFromTheMenuShowsThreeViewsAndSavesTheOneShown()
    {
        tolvi::test::RandomHistoryOptions options;
        options.records = 400;
        for (const Edition edition : {Edition::Numbers3, Edition::Mini}) {
            GuiFixture f(edition, tolvi::guitest::withHistory(tolvi::test::randomHistory(options)));
            MessageBoxWatcher boxes;
            QVERIFY(f.trigger("GraphMenu"));
            auto* window = f.form().findChild<ChartWindow*>(QStringLiteral("ChartWindow"));
            QVERIFY(window && window->isVisible());
            auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("ChartTabs"));
            QCOMPARE(tabs->count(), 3);
            QCOMPARE(tabs->tabText(0), u("回収率の推移"));
            // The draw axis ends at the last draw drawn, not at the next round number.
            QChart* payback = window->currentView()->chart();
            const auto* line = qobject_cast<QLineSeries*>(payback->series().last());
            QCOMPARE(qobject_cast<QValueAxis*>(payback->axes(Qt::Horizontal).first())->max(),
                     line->points().last().x());

            tabs->setCurrentIndex(2);
            answerFileDialog(QStringLiteral("digits.png"));
            QTest::mouseClick(window->findChild<QWidget*>(QStringLiteral("SaveChartButton")), Qt::LeftButton);
            QTRY_VERIFY(std::filesystem::exists(f.dir().file("digits.png")));
            const QImage saved(QString::fromStdString(f.dir().file("digits.png").string()));
            // The view, with its heading above it.
            QCOMPARE(saved.width(), window->currentView()->width());
            QVERIFY(saved.height() > window->currentView()->height() + 20);
            QVERIFY(boxes.boxes().isEmpty());
        }
    }
};

QTEST_MAIN(TestChartWindow)
#include "TestChartWindow.moc"
