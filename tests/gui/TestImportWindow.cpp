// The window's import command: the file dialog answered as a user answers it, the summary or
// the error in the usual boxes.

#include "gui/GuiTestBase.h"

#include "history/HistoryAppender.h"
#include "support/HistoryBuilder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>

using tolvi::Edition;
using tolvi::guitest::answerFileDialog;
using tolvi::guitest::GuiFixture;
using tolvi::guitest::MessageBoxWatcher;
using tolvi::guitest::u;
using tolvi::test::HistoryBuilder;

namespace {

const char* const kNumbers3 =
    "draw_no,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout,mini_payout\n"
    "2,102,0,0,0,0,0\n3,103,1,2,0,0,5\n4,104,1,2,0,0,5\n";
const char* const kNumbers4 =
    "draw_no,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout\n4,1234,6,7,8,9\n";

}  // namespace

class TestImportWindow : public QObject {
    Q_OBJECT

private slots:
    void chosenFilesAreImportedAndTheSummaryOrTheErrorShown()
    {
        const std::string before = HistoryBuilder().draw(1, "101").draw(2, "102").endOfFile().bytes();
        GuiFixture f(Edition::Mini, tolvi::guitest::withHistory(before));
        // The dialog opens in the download folder (the fixture's folder is the home folder), then
        // in the folder last chosen; the names typed are relative to where it opened.
        std::filesystem::create_directory(f.dir().file("ダウンロード"));
        f.dir().write("ダウンロード/n3.csv", kNumbers3);
        f.dir().write("ダウンロード/n4.csv", kNumbers4);
        f.dir().write("ダウンロード/gap.csv",
                      "draw_no,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout,"
                      "mini_payout\n9,109,0,0,0,0,0\n");
        MessageBoxWatcher boxes;

        answerFileDialog(QString());
        QVERIFY(f.trigger("ImportMenu"));
        QCOMPARE(boxes.boxes().size(), 0);
        QCOMPARE(f.dir().read("Numbers.dat"), before);

        answerFileDialog(QStringLiteral("\"n3.csv\" \"n4.csv\""));
        QVERIFY(f.trigger("ImportMenu"));
        QTRY_COMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].icon, QMessageBox::Information);
        QCOMPARE(boxes.boxes()[0].caption, f.form().applicationTitle());
        QCOMPARE(boxes.boxes()[0].text,
                 u("第3回～第4回の 2 回分を追加しました。\n"
                   "うち 1 回分は Numbers4 の結果が取り込み元にないため、Numbers4 の欄を 0 にしました。"));
        const std::string imported = f.dir().read("Numbers.dat");
        QCOMPARE(imported.size(), std::size_t(4 * 87 + 1));

        answerFileDialog(QStringLiteral("gap.csv"));
        QVERIFY(f.trigger("ImportMenu"));
        QTRY_COMPARE(boxes.boxes().size(), 2);
        QVERIFY2(boxes.boxes()[1].icon == QMessageBox::Critical, qPrintable(boxes.boxes()[1].text));
        QVERIFY(boxes.boxes()[1].text.contains(u("取り込み元に第5回の結果がありません")));
        QCOMPARE(f.dir().read("Numbers.dat"), imported);
        QVERIFY(tolvi::guitest::commandsEnabled(f));
    }

    // メイン → バックアップから戻す…: the list, the confirmation and the result, by keyboard.
    void restoreMenuPutsBackTheChosenCopy()
    {
        const std::string before = HistoryBuilder().draw(1, "101").draw(2, "102").endOfFile().bytes();
        GuiFixture f(Edition::Numbers3, tolvi::guitest::withHistory(before));
        QStringList shown;
        QTimer answer;
        answer.setInterval(20);
        connect(&answer, &QTimer::timeout, [&shown] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal->objectName() == u("RestoreDialog")) {
                QTest::keyClick(modal->focusWidget(), Qt::Key_Return);  // the newest, chosen at the start
            } else if (auto* box = qobject_cast<QMessageBox*>(modal); box && box->isVisible()) {
                shown << box->text();
                (box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes) : box->button(QMessageBox::Ok))->click();
            }
        });
        answer.start();

        QVERIFY(f.trigger("RestoreMenu"));
        QTRY_COMPARE(shown.size(), 1);
        QVERIFY2(shown[0].contains(u("バックアップはまだありません")), qPrintable(shown[0]));

        tolvi::HistoryAppender(f.dir().file("Numbers.dat")).append({});
        QVERIFY(f.trigger("RestoreMenu"));
        QTRY_COMPARE(shown.size(), 3);
        QVERIFY2(shown[1].startsWith(u("履歴ファイルを第2回まで、")) && shown[1].endsWith(u("に戻しますか？")),
                 qPrintable(shown[1]));
        QVERIFY2(shown[2].contains(u("に戻しました。")), qPrintable(shown[2]));
        QCOMPARE(f.dir().read("Numbers.dat"), before);
        QVERIFY(tolvi::guitest::commandsEnabled(f));
    }
};

QTEST_MAIN(TestImportWindow)
#include "TestImportWindow.moc"
