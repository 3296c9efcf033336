// The chart window as a user opens it from the menu, looks through its views and saves one.

#include "gui/GuiTestBase.h"

#include "app/ChartWindow.h"
#include "support/RandomHistory.h"

#include <QApplication>
#include <QChartView>
#include <QImage>
#include <QTabWidget>
#include <QTest>

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

            tabs->setCurrentIndex(2);
            answerFileDialog(QStringLiteral("digits.png"));
            QTest::mouseClick(window->findChild<QWidget*>(QStringLiteral("SaveChartButton")), Qt::LeftButton);
            QTRY_VERIFY(std::filesystem::exists(f.dir().file("digits.png")));
            const QImage saved(QString::fromStdString(f.dir().file("digits.png").string()));
            QCOMPARE(saved.size(), window->currentView()->size());
            QVERIFY(boxes.boxes().isEmpty());
        }
    }
};

QTEST_MAIN(TestChartWindow)
#include "TestChartWindow.moc"
