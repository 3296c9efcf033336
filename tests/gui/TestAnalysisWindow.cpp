// The analysis window as a user opens it from the menu, goes through its pages and saves one.

#include "gui/GuiTestBase.h"

#include "app/AnalysisWindow.h"
#include "support/RandomHistory.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

using tolvi::Edition;
using tolvi::guitest::answerFileDialog;
using tolvi::guitest::GuiFixture;
using tolvi::guitest::MessageBoxWatcher;
using tolvi::guitest::u;

class TestAnalysisWindow : public QObject {
    Q_OBJECT

private slots:
    void opensFromTheMenuShowsEveryPageForBothGamesAndSavesOne()
    {
        tolvi::test::RandomHistoryOptions options;
        options.records = 300;
        for (const Edition edition : {Edition::Numbers3, Edition::Mini}) {
            GuiFixture f(edition, tolvi::guitest::withHistory(tolvi::test::randomHistory(options)));
            MessageBoxWatcher boxes;
            QVERIFY(tolvi::guitest::predict(f));
            QTest::mouseClick(f.form().findChild<QWidget*>(QStringLiteral("Button3")), Qt::LeftButton);
            QVERIFY(f.trigger("AnalysisMenu"));
            auto* window = f.form().findChild<AnalysisWindow*>(QStringLiteral("AnalysisWindow"));
            QVERIFY(window && window->isVisible());
            auto* game = window->findChild<QComboBox*>(QStringLiteral("AnalysisGame"));
            auto* range = window->findChild<QComboBox*>(QStringLiteral("AnalysisRange"));
            for (int g = 0; g < game->count(); ++g) {
                game->setCurrentIndex(g);
                // The 出目表 shows as many places as the game has, newest draw first.
                auto* grid = qobject_cast<QTableWidget*>(window->pages()->widget(0));
                QCOMPARE(grid->columnCount(), 1 + 3 + g);
                range->setCurrentIndex(2);  // the last 100
                QCOMPARE(grid->rowCount(), 100);
                for (int page = 0; page < window->pages()->count(); ++page) {
                    window->pages()->setCurrentIndex(page);
                    QVERIFY(!window->picture().isNull());
                }
                range->setCurrentIndex(0);
            }
            game->setCurrentIndex(0);
            // The prediction's numbers among the kinds of the 人気度 page (the Mini's are not Numbers3's).
            const QString placed = window->findChild<QLabel*>(QStringLiteral("PredictionKinds"))->text();
            QVERIFY2(placed.contains(edition == Edition::Numbers3 ? u("いまの予想番号: ") : u("の番号ではありません")),
                     qPrintable(placed));
            // The verdict page, replayed over the last 100 draws: the buyers are counted.
            range->setCurrentIndex(2);
            QVERIFY(window->findChild<QLabel*>(QStringLiteral("VerdictText"))->text().contains(u("1,000 人のうち")));
            window->pages()->setCurrentIndex(3);  // 合計値: a chart with its reference line
            answerFileDialog(QStringLiteral("sum.png"));
            QTest::mouseClick(window->findChild<QWidget*>(QStringLiteral("SaveAnalysisButton")), Qt::LeftButton);
            QTRY_VERIFY(std::filesystem::exists(f.dir().file("sum.png")));
            const QImage saved(QString::fromStdString(f.dir().file("sum.png").string()));
            // The page, with its heading above it and the line's meaning beneath.
            QVERIFY(saved.height() > window->pages()->currentWidget()->height() + 40);
            QVERIFY(boxes.boxes().isEmpty());
        }
    }
};

QTEST_MAIN(TestAnalysisWindow)
#include "TestAnalysisWindow.moc"
