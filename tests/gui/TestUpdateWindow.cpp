// The window brought up to date: the status line's word at start, インターネットから参照 from the
// publisher's file, and "最新の結果に更新" with its summary and the window as after a fresh start.

#include "gui/GuiTestBase.h"

#include "support/PublishedResults.h"

#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>

using tolvi::Edition;
using tolvi::guitest::GuiFixture;
using tolvi::guitest::MessageBoxWatcher;
using tolvi::guitest::u;

class TestUpdateWindow : public QObject {
    Q_OBJECT

private slots:
    void theWindowSaysWhatIsMissingAndFetchesIt()
    {
        tolvi::test::PublishedSources sources;
        sources.publish(7041, 7054);
        sources.mirror(1, 7054);
        const tolvi::UpdateSettings settings = sources.settings();
        qputenv("TOLVI_NOW", "2026-08-21T21:30");
        qputenv("TOLVI_PUBLISHER_URL", QByteArray::fromStdString(settings.publisherUrl));
        qputenv("TOLVI_MIRROR_URL", QByteArray::fromStdString(settings.mirrorUrl));
        qputenv("TOLVI_PUBLISHER_PAUSE_MS", "0");
        GuiFixture f(Edition::Numbers3, tolvi::guitest::withHistory(tolvi::test::publishedHistory(7031, 7040)));
        MessageBoxWatcher boxes;

        QCOMPARE(f.labelText("HistoryNotice"), u("履歴は第7040回 (2026年8月3日) までです。最新は第7054回です。"
                                                 "メイン →「最新の結果に更新」で追加できます。"));
        QCOMPARE(f.labelText("NextDrawLabel"), u("次回の予想: 第7041回 8月4日(火)"));

        // The entry panel's draw from the publisher's file.
        QVERIFY(f.trigger("EditMenu"));
        QVERIFY(f.click("EdtAutoBut"));
        QTRY_COMPARE(f.get<QLineEdit>("Num3Edit")->text(), QStringLiteral("041"));
        QCOMPARE(f.get<QLineEdit>("Num4Edit1")->text(), QStringLiteral("907041"));
        QVERIFY(f.get<QLineEdit>("Num3Edit")->isEnabled());
        QVERIFY(f.click("EdtExtBut"));

        QVERIFY(f.trigger("UpdateMenu"));
        QTRY_COMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].icon, QMessageBox::Information);
        QCOMPARE(boxes.boxes()[0].text, u("第7041回～第7054回の 14 回分を追加しました (公開元 10 回, ミラー 4 回)。"));
        QCOMPARE(f.dir().read("Numbers.dat"), tolvi::test::publishedHistory(7031, 7054));
        QVERIFY(!f.label("HistoryNotice")->isVisible());
        QCOMPARE(f.labelText("NextDrawLabel"), u("次回の予想: 第7055回 8月24日(月)"));
        QVERIFY(tolvi::guitest::commandsEnabled(f));
        QVERIFY(f.form().statusBar()->toolTip().contains(u("最後に追加した回: 第7054回")));
    }
};

QTEST_MAIN(TestUpdateWindow)
#include "TestUpdateWindow.moc"
