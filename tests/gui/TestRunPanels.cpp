// Numbers3 runs in the window: the rows and labels a run leaves, the hit and payout panels and how
// their buttons lead back to the idle window, the option's effect on the next run, factor
// evaluations, the shipped sample against the golden result, and how a run reaches the screen.

#include "gui/GuiTestBase.h"
#include "support/HistoryBuilder.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <thread>

using namespace tolvi;
using namespace tolvi::guitest;

namespace {

// Closes the panels a run left open, hit panel first, as the user must.
void closeResults(GuiFixture& f)
{
    if (f.isOpen("GetPanel2"))
        QVERIFY(f.click("Button4"));
    QVERIFY(f.click("Button3"));
}

// An engine that shows a few rows and captions at a known pace, and looks at the window in
// between without returning to the event loop.
class PacedEngine : public PredictionEngine {
public:
    struct Seen {
        int rowsAfterPause = -1;
        QString label16AfterPause;
        int rowInsertions = 0;
        QWidget* window = nullptr;  // the window the run shows in
    };
    explicit PacedEngine(Seen& seen) : seen_(seen) { }

    void run(const RunRequest&, RunView& view) override
    {
        QWidget* window = seen_.window;
        QAbstractItemModel* model = window->findChild<QTableView*>(u("ListView"))->model();
        view.clearResults();
        view.addResult({"   1", "123", "first"});
        RunResult result;
        result.prediction = {1234, {1, 2, 3, 4}};
        view.show(result, RunPart::Prediction);
        // More than a frame passes before the next row.
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        view.addResult({"   2", "456", "second"});
        seen_.rowsAfterPause = model->rowCount();
        seen_.label16AfterPause = window->findChild<QLabel*>(u("Label16"))->text();

        // A burst of rows much faster than frames is not painted row by row.
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(model, &QAbstractItemModel::modelReset);
        for (int i = 0; i < 2000; ++i)
            view.addResult({"   3", "789", "burst"});
        view.clearResults();
        for (int i = 0; i < 2000; ++i)
            view.addResult({"   4", "000", "after clear"});
        seen_.rowInsertions = int(inserted.size() + reset.size());
    }

private:
    Seen& seen_;
};

}  // namespace

class TestRunPanels : public QObject {
    Q_OBJECT

private slots:
    void emptyHistoryPredictsFromIdentityTables();
    void hitOnLastDrawShowsHitPanelOnTop();
    void kindOfHitOnLastDraw_data();
    void kindOfHitOnLastDraw();
    void earlierHitLeavesHitPanelClosed();
    void mismatchOptionTakesEffectAtNextRun();
    void factorEvaluationAddsOneStatisticsRowEachTime();
    void sampleRunShowsTheGoldenResult();
    void rowsReachTheScreenWithinAFrame();
    void failedRunKeepsRowsAlreadyShown();
};

void TestRunPanels::emptyHistoryPredictsFromIdentityTables()
{
    GuiFixture f(Edition::Numbers3, withHistory(""));
    QVERIFY(predict(f));
    // No draw read: every rank table is the identity, and the next draw is number 1.
    QCOMPARE(f.labelText("Label16"), u("次回    1回抽選予想番号"));
    QCOMPARE(f.labelText("Label17"), u("755"));
    QCOMPARE(f.labelText("Label18"), u("196"));
    QCOMPARE(f.labelText("Label19"), u("626"));
    QCOMPARE(f.labelText("Label20"), u("205"));
    QCOMPARE(f.labelText("Label10"), u("           0"));
    QCOMPARE(f.labelText("Label4"), u("ｽﾄﾚｰﾄ的中数： 0本"));
    QCOMPARE(f.rowCount("ListView"), 0);
    QVERIFY(f.isOpen("GetPanel"));
    QVERIFY(!f.isOpen("GetPanel2"));
    QVERIFY(commandsDisabled(f));
    QVERIFY(alwaysAvailable(f));
    // The payout panel leaves the side panel uncovered, but "予想" is unavailable.
    QVERIFY(f.widget("Panel1")->isVisible());
    QVERIFY(!f.click("Button1"));
    QVERIFY(!f.trigger("N1"));
    QVERIFY(!f.trigger("EditMenu"));
    QVERIFY(!f.trigger("Option"));
}

void TestRunPanels::hitOnLastDrawShowsHitPanelOnTop()
{
    // Draw 1 is predicted from empty tallies as 755, 196, 626, 205: 755 is a straight hit.
    GuiFixture f(Edition::Numbers3, withHistory(test::HistoryBuilder().draw(1, "755", 90000, 15000, 9000).bytes()));
    QVERIFY(predict(f));

    QCOMPARE(f.rowCount("ListView"), 1);
    QCOMPARE(f.row("ListView", 0), cells({"   1", "755", "755◎○▲"}));
    QCOMPARE(f.labelText("Label4"), u("ｽﾄﾚｰﾄ的中数： 1本"));
    QCOMPARE(f.labelText("Label5"), u("ﾎﾞｯｸｽ的中数： 1本"));
    QCOMPARE(f.labelText("Label6"), u("ﾐﾆ   的中数： 1本"));
    QCOMPARE(f.labelText("Label7"), u("金額：    90,000円"));
    QCOMPARE(f.labelText("Label8"), u("金額：    15,000円"));
    QCOMPARE(f.labelText("Label9"), u("金額：     9,000円"));
    // Straight and box prizes returned; one draw of 4 straight and 4 box bets at 200 yen each
    // is 16 hundreds of yen spent: 105000 / 16 = 6562 percent.
    QCOMPARE(f.labelText("Label10"), u("     105,000"));
    QCOMPARE(f.labelText("Label14"), u("6562"));
    // After tallying 755 the rank tables begin 7, 5, 5 and continue as the identity:
    // (7,5,5) 755, (1,9,6) 196, (6,2,6) 626, (2,0,5) 255.
    QCOMPARE(f.labelText("Label16"), u("次回    2回抽選予想番号"));
    QCOMPARE(f.labelText("Label17"), u("755"));
    QCOMPARE(f.labelText("Label18"), u("196"));
    QCOMPARE(f.labelText("Label19"), u("626"));
    QCOMPARE(f.labelText("Label20"), u("255"));

    QVERIFY(f.isOpen("GetPanel"));
    QVERIFY(f.isOpen("GetPanel2"));
    QCOMPARE(f.labelText("Label23"), u("   1"));
    QCOMPARE(f.labelText("Label26"), u("755"));
    QCOMPARE(f.labelText("Label27"), u("ストレート＆ボックス"));
    QCOMPARE(f.labelText("Label24"), u("予想的中！！"));
    QCOMPARE(f.labelText("Label25"), u("回　予想"));
    QVERIFY(commandsDisabled(f));
    QVERIFY(alwaysAvailable(f));

    // The yellow hit panel lies on top: the payout panel's "OK" cannot be reached under it.
    QWidget* top = f.widgetAtCentreOf(f.widget("GetPanel"));
    QVERIFY(top == f.widget("GetPanel2") || f.widget("GetPanel2")->isAncestorOf(top));
    QVERIFY(!f.reachable(f.widget("Button3")));
    QVERIFY(!f.reachable(f.widget("Label10")));

    QVERIFY(f.click("Button4"));
    QVERIFY(!f.isOpen("GetPanel2"));
    QVERIFY(f.isOpen("GetPanel"));
    QVERIFY(commandsDisabled(f));
    QVERIFY(f.reachable(f.widget("Button3")));

    QVERIFY(f.click("Button3"));
    QVERIFY(!f.isOpen("GetPanel"));
    QVERIFY(f.widget("GetPanel")->isHidden());
    QVERIFY(commandsEnabled(f));
    QCOMPARE(QApplication::focusWidget(), f.widget("Button1"));
    // The list and the labels keep the run's values.
    QCOMPARE(f.rowCount("ListView"), 1);
    QCOMPARE(f.labelText("Label4"), u("ｽﾄﾚｰﾄ的中数： 1本"));
    QVERIFY(f.reachable(f.widget("ListView")));
}

void TestRunPanels::kindOfHitOnLastDraw_data()
{
    QTest::addColumn<QString>("winning");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("kind");
    // Against the first prediction 755, 196, 626, 205.
    QTest::newRow("box") << u("557") << u("755　○　") << u("ボックス");
    QTest::newRow("mini") << u("955") << u("755　　▲") << u("ミニ");
}

void TestRunPanels::kindOfHitOnLastDraw()
{
    QFETCH(QString, winning);
    QFETCH(QString, result);
    QFETCH(QString, kind);
    GuiFixture f(Edition::Numbers3,
                 withHistory(test::HistoryBuilder().draw(7, winning.toStdString(), 1, 2, 3).bytes()));
    QVERIFY(predict(f));
    QCOMPARE(f.rowCount("ListView"), 1);
    QCOMPARE(f.row("ListView", 0), (QStringList {u("   7"), winning, result}));
    QVERIFY(f.isOpen("GetPanel2"));
    QCOMPARE(f.labelText("Label23"), u("   7"));
    QCOMPARE(f.labelText("Label26"), winning);
    QCOMPARE(f.labelText("Label27"), kind);
}

void TestRunPanels::earlierHitLeavesHitPanelClosed()
{
    // Draw 2 is predicted as 755, 196, 626, 255 and 000 shares no digit with any of them.
    GuiFixture f(Edition::Numbers3, withHistory(test::HistoryBuilder().draw(1, "755").draw(2, "000").bytes()));
    QVERIFY(predict(f));
    QCOMPARE(f.rowCount("ListView"), 1);
    QCOMPARE(f.row("ListView", 0)[0], u("   1"));
    QVERIFY(f.isOpen("GetPanel"));
    QVERIFY(!f.isOpen("GetPanel2"));
    QVERIFY(f.widget("GetPanel2")->isHidden());
    QVERIFY(f.reachable(f.widget("Button3")));
    closeResults(f);
    QVERIFY(commandsEnabled(f));
}

void TestRunPanels::mismatchOptionTakesEffectAtNextRun()
{
    // 756 shares 7 and 5 with the candidate 755 and is no hit: a one-digit-off row, no hit panel.
    GuiFixture f(Edition::Numbers3, withHistory(test::HistoryBuilder().draw(1, "756").bytes()));
    QVERIFY(predict(f));
    QCOMPARE(f.rowCount("ListView"), 1);
    QCOMPARE(f.row("ListView", 0), cells({"   1", "756", "755一桁違い"}));
    QVERIFY(!f.isOpen("GetPanel2"));
    closeResults(f);

    QVERIFY(f.trigger("Option"));
    QVERIFY(f.click("MismatchChk"));
    QVERIFY(f.click("OptSetBut"));
    QVERIFY(!f.get<QCheckBox>("MismatchChk")->isChecked());
    QVERIFY(predict(f));
    QCOMPARE(f.rowCount("ListView"), 0);
}

void TestRunPanels::factorEvaluationAddsOneStatisticsRowEachTime()
{
    // In factor evaluation candidate 1 alone is scored, made of the top-ranked digits: from
    // empty tallies that is 000, a straight, box and mini hit on the draw 000.
    GuiFixture f(Edition::Numbers3, withHistory(test::HistoryBuilder().draw(1, "000", 400, 80, 40).bytes()));
    const QStringList expected = cells({"000", "  1", "   400円", "  1", "    80円", "  1", "    40円", "120％"});
    for (int evaluation = 1; evaluation <= 2; ++evaluation) {
        // "要素評価" lies under the side panel; its handler is what a click would run.
        f.form().Button2Click();
        QVERIFY(f.waitForRuns(evaluation));
        QCOMPARE(f.rowCount("PatnView"), evaluation);
        for (int row = 0; row < evaluation; ++row)
            QCOMPARE(f.row("PatnView", row), expected);
        QCOMPARE(f.rowCount("ListView"), 1);
        QCOMPARE(f.row("ListView", 0), cells({"   1", "000", "000◎○▲"}));
        // One draw, one ticket each of straight and box: 4 hundreds of yen, (400 + 80) / 4.
        QCOMPARE(f.labelText("Label14"), u("120"));
        QVERIFY(f.isOpen("GetPanel2"));
        closeResults(f);
        QVERIFY(commandsEnabled(f));
    }
    // An ordinary prediction adds no statistics row.
    QVERIFY(predict(f));
    QCOMPARE(f.rowCount("PatnView"), 2);
}

void TestRunPanels::sampleRunShowsTheGoldenResult()
{
    QFile golden(QString::fromStdString((testDataDir() / "sample-numbers3.json").string()));
    QVERIFY(golden.open(QIODevice::ReadOnly));
    const QJsonObject expected = QJsonDocument::fromJson(golden.readAll()).object();

    GuiFixture f(Edition::Numbers3, withHistory(sampleHistory()));
    QVERIFY(predict(f));
    const QJsonArray rows = expected["list"].toArray();
    QCOMPARE(f.rowCount("ListView"), int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        QStringList want;
        for (const QJsonValue& cell : rows[i].toArray())
            want << cell.toString();
        QCOMPARE(f.row("ListView", i), want);
    }
    const QJsonObject labels = expected["labels"].toObject();
    for (auto it = labels.begin(); it != labels.end(); ++it)
        QCOMPARE(f.labelText(it.key().toUtf8().constData()), it.value().toString());
    QCOMPARE(f.isOpen("GetPanel"), expected["visible"]["GetPanel"].toBool());
    QCOMPARE(f.isOpen("GetPanel2"), expected["visible"]["GetPanel2"].toBool());
}

void TestRunPanels::rowsReachTheScreenWithinAFrame()
{
    PacedEngine::Seen seen;
    GuiFixture f(Edition::Numbers3, FixtureOptions().withEngine([&] { return std::make_unique<PacedEngine>(seen); }));
    seen.window = &f.form();
    QVERIFY(predict(f));
    // Once a frame has passed, the rows and captions so far are on the controls, while the run
    // is still going.
    QCOMPARE(seen.rowsAfterPause, 2);
    QCOMPARE(seen.label16AfterPause, u("次回 1234回抽選予想番号"));
    // 4000 rows and a clear in a burst reach the list in a few updates, not one per row.
    QVERIFY2(seen.rowInsertions < 200, qPrintable(QString::number(seen.rowInsertions)));
    // At the end everything is there: the rows after the last clear.
    QCOMPARE(f.rowCount("ListView"), 2000);
    QCOMPARE(f.row("ListView", 1999), cells({"   4", "000", "after clear"}));
}

void TestRunPanels::failedRunKeepsRowsAlreadyShown()
{
    // The first record hits; the second has a draw number that is no number and ends the run.
    std::string history = test::HistoryBuilder().draw(1, "755").bytes();
    std::string broken = test::drawRecord({2, "123"});
    broken.replace(0, 4, "00x2");
    history += broken;
    GuiFixture f(Edition::Numbers3, withHistory(history));
    MessageBoxWatcher boxes;
    QVERIFY(predict(f));
    QTRY_COMPARE(boxes.boxes().size(), 1);
    QCOMPARE(boxes.boxes().first().icon, QMessageBox::Critical);
    QCOMPARE(boxes.boxes().first().caption, u("Tolvi Numbers3"));
    // The error itself, then which file is damaged and where the cause is named.
    const QString text = boxes.boxes().first().text;
    QVERIFY2(text.startsWith(u("'00x2' は正しい整数値ではありません")), qPrintable(text));
    QVERIFY2(text.contains(f.dir().file("Numbers.dat").c_str()) && text.contains(u("tolvi check --dir ")),
             qPrintable(text));
    // The rows shown before the error stay; the run never reached its panels.
    QCOMPARE(f.rowCount("ListView"), 1);
    QCOMPARE(f.row("ListView", 0), cells({"   1", "755", "755◎○▲"}));
    QVERIFY(!f.isOpen("GetPanel"));
    QVERIFY(!f.isOpen("GetPanel2"));
    QVERIFY(commandsEnabled(f));
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestRunPanels test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestRunPanels.moc"
