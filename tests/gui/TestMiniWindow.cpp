// The Mini edition's window: where it differs from the Numbers3 window, and its runs as the
// window shows them.

#include "gui/GuiTestBase.h"
#include "support/HistoryBuilder.h"

#include <QApplication>
#include <QLabel>
#include <QTableView>
#include <QTest>

#include "app/Panel.h"

using namespace tolvi;
using namespace tolvi::guitest;

namespace { }  // namespace

class TestMiniWindow : public QObject {
    Q_OBJECT

private slots:
    void captionsAndClientArea();
    void controlsOneDownAndPayoutPanelNot();
    void summaryLabelsOfTheMiniEdition();
    void label43LiesBeneathTheSidePanel();
    void statisticsListAndButtonMovedUnderSidePanel();
    void payoutHeading();
    void predictionInABevelledFrame();
    void handCursorsOnlyOnPredictAndRetrieve();
    void emptyHistoryRun();
    void oneDrawRunWithOneDigitOff();
    void miniHitOnLastDrawShowsHitPanel();
    void factorEvaluationListsPatternsThatPaid();
};

void TestMiniWindow::captionsAndClientArea()
{
    GuiFixture f(Edition::Mini, FixtureOptions().notCreated());
    QCOMPARE(f.form().windowTitle(), u("Tolvi NumbersMini"));
    f.form().FormCreate();
    QCOMPARE(f.form().windowTitle(), u("Tolvi NumbersMini Ver1.6c"));
    QCOMPARE(f.form().applicationTitle(), u("Tolvi NumbersMini"));
    f.form().show();
    QCOMPARE(f.form().centralWidget()->size(), QSize(379, 214));
    QCOMPARE(f.form().minimumSize(), f.form().maximumSize());
    QVERIFY(!(f.form().windowFlags() & Qt::WindowMaximizeButtonHint));
}

void TestMiniWindow::controlsOneDownAndPayoutPanelNot()
{
    GuiFixture f(Edition::Mini);
    QCOMPARE(f.widget("ListView")->geometry(), QRect(6, 1, 250, 150));
    QCOMPARE(f.widget("Panel1")->geometry(), QRect(260, 1, 113, 211));
    QCOMPARE(f.widget("OptnPanel")->geometry(), QRect(6, 1, 369, 211));
    QCOMPARE(f.widget("EditPanel")->geometry(), QRect(6, 1, 369, 211));
    QCOMPARE(f.widget("GetPanel")->geometry(), QRect(6, 0, 251, 212));
}

void TestMiniWindow::summaryLabelsOfTheMiniEdition()
{
    GuiFixture f(Edition::Mini);
    for (const char* name : {"Label4", "Label5", "Label7", "Label8"})
        QVERIFY2(f.widget(name)->isHidden(), name);
    QLabel* label6 = f.label("Label6");
    QVERIFY(label6->isVisible());
    QCOMPARE(label6->geometry(), autoSizedGeometry(label6, QRect(26, 168, 78, 13)));
    QCOMPARE(label6->text(), u("ミニ的中数："));
    QCOMPARE(label6->font().pixelSize(), 13);
    QLabel* label9 = f.label("Label9");
    QVERIFY(label9->isVisible());
    QCOMPARE(label9->geometry(), autoSizedGeometry(label9, QRect(68, 192, 39, 13)));
    QCOMPARE(label9->text(), u("金額："));
    QCOMPARE(label9->font().pixelSize(), 13);
}

void TestMiniWindow::label43LiesBeneathTheSidePanel()
{
    GuiFixture f(Edition::Mini);
    QLabel* label43 = f.label("Label43");
    QCOMPARE(label43->parentWidget(), f.form().centralWidget());
    QCOMPARE(label43->geometry(), autoSizedGeometry(label43, QRect(288, 136, 39, 12)));
    QCOMPARE(label43->text(), u("Label43"));
    QWidget* top = f.widgetAtCentreOf(label43);
    QVERIFY(top == f.widget("Panel1") || f.widget("Panel1")->isAncestorOf(top));
}

void TestMiniWindow::statisticsListAndButtonMovedUnderSidePanel()
{
    GuiFixture f(Edition::Mini);
    QCOMPARE(f.widget("PatnView")->geometry(), QRect(272, 8, 89, 129));
    QCOMPARE(f.widget("Button2")->geometry(), QRect(296, 144, 65, 25));
    QCOMPARE(f.widget("EditNum")->geometry(), QRect(304, 140, 25, 20));
    for (const char* name : {"PatnView", "Button2", "EditNum"}) {
        QVERIFY2(f.widget("Panel1")->geometry().contains(f.widget(name)->geometry()), name);
        QVERIFY2(!f.reachable(f.widget(name)), name);
    }
}

void TestMiniWindow::payoutHeading()
{
    GuiFixture f(Edition::Mini);
    QCOMPARE(f.labelText("Label11"), u("ﾐﾆでのみ購入した時の回収総金額"));
    QCOMPARE(f.widget("Label11")->geometry(), autoSizedGeometry(f.label("Label11"), QRect(8, 10, 175, 12)));
}

void TestMiniWindow::predictionInABevelledFrame()
{
    GuiFixture f(Edition::Mini);
    QWidget* frame = f.widget("Label17")->parentWidget();
    QCOMPARE(frame->parentWidget(), f.widget("GetPanel"));
    QCOMPARE(frame->geometry(), QRect(8, 112, 233, 65));
    auto* panel = dynamic_cast<Panel*>(frame);
    QVERIFY(panel);
    QCOMPARE(panel->outerBevel(), Panel::Bevel::Lowered);
    QCOMPARE(panel->innerBevel(), Panel::Bevel::Raised);
    const char* const names[] = {"Label17", "Label18", "Label19", "Label20"};
    const int lefts[] = {8, 64, 120, 176};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(f.widget(names[i])->parentWidget(), frame);
        QCOMPARE(f.widget(names[i])->geometry(), autoSizedGeometry(f.label(names[i]), QRect(lefts[i], 18, 45, 27)));
    }
    // Made after "OK", below the hit panel.
    const QObjectList siblings = f.widget("GetPanel")->children();
    QVERIFY(siblings.indexOf(frame) > siblings.indexOf(f.widget("Button3")));
    QVERIFY(siblings.indexOf(frame) < siblings.indexOf(f.widget("GetPanel2")));
}

void TestMiniWindow::handCursorsOnlyOnPredictAndRetrieve()
{
    GuiFixture f(Edition::Mini);
    for (const char* name : {"Button1", "EdtAutoBut"})
        QVERIFY2(f.widget(name)->cursor().shape() == Qt::PointingHandCursor, name);
    for (const char* name : {"Button3", "Button4", "OptSetBut", "EdtSetBut", "EdtExtBut"})
        QVERIFY2(f.widget(name)->cursor().shape() != Qt::PointingHandCursor, name);
}

void TestMiniWindow::emptyHistoryRun()
{
    GuiFixture f(Edition::Mini, withHistory(""));
    QVERIFY(predict(f));
    // Identity tables and no draw handled: the even rule set gives 365, 796, 514, 473; 796 has
    // only high digits and is dropped, leaving three numbers shown by their last two digits.
    QCOMPARE(f.labelText("Label16"), u("次回    1回抽選予想番号"));
    QCOMPARE(f.labelText("Label17"), u("65"));
    QCOMPARE(f.labelText("Label18"), u("14"));
    QCOMPARE(f.labelText("Label19"), u("73"));
    QVERIFY(f.widget("Label17")->isVisible());
    QVERIFY(f.widget("Label19")->isVisible());
    QVERIFY(f.widget("Label20")->isHidden());
    QCOMPARE(f.labelText("Label20"), QString());
    QCOMPARE(f.labelText("Label10"), u("           0"));
    QCOMPARE(f.labelText("Label14"), u("0"));
    QCOMPARE(f.rowCount("ListView"), 0);
    QVERIFY(f.isOpen("GetPanel"));
    QVERIFY(!f.isOpen("GetPanel2"));
    QVERIFY(!f.widget("Button1")->isEnabled());
    QVERIFY(!f.available("N1"));
    QVERIFY(f.available("Exit1"));
    QVERIFY(f.click("Button3"));
    QVERIFY(f.widget("Button1")->isEnabled());
}

void TestMiniWindow::oneDrawRunWithOneDigitOff()
{
    GuiFixture f(Edition::Mini, withHistory(test::HistoryBuilder().draw(1, "123").bytes()));
    QVERIFY(predict(f));
    // Draw 1 was predicted as 365, 514, 473: no mini hit, but 473 shares the units digit.
    QCOMPARE(f.rowCount("ListView"), 1);
    QCOMPARE(f.row("ListView", 0), cells({"   1", "23", "73一桁違い"}));
    // Three tickets staked.
    QCOMPARE(f.labelText("Label43"), u("3"));
    // After 123 the tables are H = 1,1,2,..., T = 2,1,2,..., U = 3,1,2,...; one draw handled,
    // so the odd rule set: 446, 364, 128, 391.
    QCOMPARE(f.labelText("Label16"), u("次回    2回抽選予想番号"));
    QCOMPARE(f.labelText("Label17"), u("46"));
    QCOMPARE(f.labelText("Label18"), u("64"));
    QCOMPARE(f.labelText("Label19"), u("28"));
    QCOMPARE(f.labelText("Label20"), u("91"));
    for (const char* name : {"Label17", "Label18", "Label19", "Label20"})
        QVERIFY2(f.widget(name)->isVisible(), name);
    QVERIFY(!f.isOpen("GetPanel2"));
}

void TestMiniWindow::miniHitOnLastDrawShowsHitPanel()
{
    // 465 ends in 65, the last two digits of the first candidate 365.
    GuiFixture f(Edition::Mini, withHistory(test::HistoryBuilder().draw(1, "465", 0, 0, 5500).bytes()));
    QVERIFY(predict(f));
    QCOMPARE(f.rowCount("ListView"), 1);
    QCOMPARE(f.row("ListView", 0), cells({"   1", "65", "65的中  5500円"}));
    QVERIFY(f.isOpen("GetPanel2"));
    QCOMPARE(f.labelText("Label23"), u("   1"));
    QCOMPARE(f.labelText("Label26"), u("465"));
    QCOMPARE(f.labelText("Label27"), u("ミニ"));
    QCOMPARE(f.labelText("Label6"), u("ﾐﾆ   的中数：         1本"));
    QCOMPARE(f.labelText("Label9"), u("金額：     5,500円"));
    QCOMPARE(f.labelText("Label10"), u("       5,500"));
    // 600 yen staked: 5500 / 6 = 916 percent.
    QCOMPARE(f.labelText("Label14"), u("916"));
    QVERIFY(!f.reachable(f.widget("Button3")));
    QVERIFY(f.click("Button4"));
    QVERIFY(f.click("Button3"));
    QVERIFY(f.widget("Button1")->isEnabled());
    QCOMPARE(QApplication::focusWidget(), f.widget("Button1"));
}

void TestMiniWindow::factorEvaluationListsPatternsThatPaid()
{
    GuiFixture f(Edition::Mini, withHistory(test::HistoryBuilder().draw(1, "465", 0, 0, 5500).bytes()));
    f.form().Button2Click();
    QVERIFY(f.waitForRuns(1));
    // Pattern (a, b, c) stakes its one candidate a b c (the tables are the identity before
    // draw 1); it pays when b c is 65, and is dropped as all high digits when a is 5 or more.
    const char* const paying[] = {"065", "165", "265", "365", "465"};
    QCOMPARE(f.rowCount("PatnView"), 5);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(f.row("PatnView", i),
                 cells({paying[i], "  0", "     0円", "  0", "     0円", "  1", "  5500円", "2750％"}));
    // The list and the prediction are pass 999's: 999 is dropped, nothing staked, nothing left.
    QCOMPARE(f.rowCount("ListView"), 0);
    QCOMPARE(f.labelText("Label17"), u("なし"));
    QVERIFY(f.widget("Label17")->isVisible());
    for (const char* name : {"Label18", "Label19", "Label20"})
        QVERIFY2(f.widget(name)->isHidden(), name);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestMiniWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestMiniWindow.moc"
