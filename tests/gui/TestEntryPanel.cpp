// The entry panel of the real window: opening it for the next draw, entering a result, the
// refusals, cancelling, and file errors.

#include "gui/GuiTestBase.h"

#include "support/HistoryBuilder.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <algorithm>

using tolvi::Edition;
using tolvi::guitest::FixtureOptions;
using tolvi::guitest::GuiFixture;
using tolvi::guitest::MessageBoxWatcher;
using tolvi::test::HistoryBuilder;

namespace {

const char* const kEdits[] = {"Num3Edit", "Num3Edit1", "Num3Edit2", "Num3Edit3", "Num3Edit4", "Num3Edit5",
                              "Num4Edit", "Num4Edit1", "Num4Edit2", "Num4Edit3", "Num4Edit4"};

// Draws 1233 and 1234, ending with the 0x1A byte: the next draw is 1235.
std::string history()
{
    return HistoryBuilder()
        .draw(1233, "111", 90000, 15000, 4000)
        .draw(1234, "222", 90000, 15000, 4000)
        .endOfFile()
        .bytes();
}

// history() without its 0x1A byte.
std::string historyRecords()
{
    const std::string bytes = history();
    return bytes.substr(0, bytes.size() - 1);
}

FixtureOptions withHistory(std::string bytes)
{
    FixtureOptions options;
    options.history = std::move(bytes);
    return options;
}

QString q(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QByteArray bytesOf(const std::string& text)
{
    return QByteArray::fromStdString(text);
}

const QStringList kValid {"012",  "90000",   "15000", "52500",  "7500", "4000",
                          "0345", "1000000", "41600", "520800", "20800"};
const char* const kValidRecord =
    "1235,012,0090000,0015000,0052500,0007500,0004000,0345,1000000,0041600,0520800,0020800";

// Replaces an edit's text as the user does: plain keys for ASCII, and for anything else (a
// full-width digit) the text that a Japanese input method commits.
void typeInto(GuiFixture& gui, const char* name, const QString& text)
{
    const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii) {
        gui.type(name, text);
        return;
    }
    gui.type(name, QString());
    auto* edit = gui.get<QLineEdit>(name);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(edit, &commit);
}

// Types the eleven fields in tab order.
void typeAll(GuiFixture& gui, const QStringList& texts)
{
    for (qsizetype i = 0; i < texts.size(); ++i)
        typeInto(gui, kEdits[i], texts[i]);
}

QStringList fieldTexts(GuiFixture& gui)
{
    QStringList texts;
    for (const char* name : kEdits)
        texts << gui.get<QLineEdit>(name)->text();
    return texts;
}

bool fieldsEmpty(GuiFixture& gui)
{
    const QStringList texts = fieldTexts(gui);
    return std::all_of(texts.begin(), texts.end(), [](const QString& text) { return text.isEmpty(); });
}

// Whether "予想" (button and menu item), "結果入力" and "設定" can all be used; "終了", "ヘルプ"
// and "サポート" must stay available either way.
bool commandsAvailable(GuiFixture& gui, bool expected)
{
    bool ok = gui.widget("Button1")->isEnabled() == expected;
    for (const char* name : {"N1", "EditMenu", "Setting"})
        ok = ok && gui.available(name) == expected;
    for (const char* name : {"Exit1", "Help", "Saport"})
        ok = ok && gui.available(name);
    return ok;
}

}  // namespace

class TestEntryPanel : public QObject {
    Q_OBJECT

private slots:
    void opensForTheNextDrawWithEmptyFieldsAndTheCommandsDisabled()
    {
        GuiFixture gui(Edition::Numbers3, withHistory(history()));
        MessageBoxWatcher boxes;
        QVERIFY(!gui.isOpen("EditPanel"));
        gui.type("Num3Edit", q("999"));  // whatever the fields held is replaced

        QVERIFY(gui.trigger("EditMenu"));

        QVERIFY(gui.isOpen("EditPanel"));
        QCOMPARE(gui.labelText("Label28"), q("第1235回　結果データの入力"));
        QVERIFY2(fieldsEmpty(gui), qPrintable(fieldTexts(gui).join('|')));
        QCOMPARE(gui.form().focusWidget(), gui.widget("Num3Edit"));
        QVERIFY(commandsAvailable(gui, false));
        QVERIFY(boxes.boxes().isEmpty());
        QCOMPARE(bytesOf(gui.dir().read("Numbers.dat")), bytesOf(history()));
    }

    void threeDigitDrawIsTitledWithABlankBeforeTheDigits()
    {
        GuiFixture gui(Edition::Numbers3, withHistory(HistoryBuilder().draw(998, "123").bytes()));
        QVERIFY(gui.trigger("EditMenu"));
        QCOMPARE(gui.labelText("Label28"), q("第 999回　結果データの入力"));
    }

    void validEntryIsStoredAndThePanelIsSetUpForTheFollowingDraw()
    {
        GuiFixture gui(Edition::Numbers3, withHistory(history()));
        MessageBoxWatcher boxes;
        QVERIFY(gui.trigger("EditMenu"));
        typeAll(gui, kValid);

        QVERIFY(gui.click("EdtSetBut"));

        QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.boxes().value(0).text));
        QCOMPARE(bytesOf(gui.dir().read("Numbers.dat")), bytesOf(historyRecords() + kValidRecord + "\r\n\x1A"));
        QVERIFY(gui.isOpen("EditPanel"));
        QCOMPARE(gui.labelText("Label28"), q("第1236回　結果データの入力"));
        QVERIFY2(fieldsEmpty(gui), qPrintable(fieldTexts(gui).join('|')));
        QCOMPARE(gui.form().focusWidget(), gui.widget("Num3Edit"));
        QVERIFY(commandsAvailable(gui, false));

        // A second draw in a row goes after the first, over the 0x1A byte.
        typeAll(gui, {"999", "0", "0", "0", "0", "0", "9999", "0", "0", "0", "0"});
        QVERIFY(gui.click("EdtSetBut"));
        QVERIFY(boxes.boxes().isEmpty());
        const std::string after = gui.dir().read("Numbers.dat");
        QCOMPARE(
            bytesOf(after),
            bytesOf(historyRecords() + kValidRecord + "\r\n" +
                    "1236,999,0000000,0000000,0000000,0000000,0000000,9999,0000000,0000000,0000000,0000000\r\n\x1A"));
        QCOMPARE(gui.labelText("Label28"), q("第1237回　結果データの入力"));
    }

    void eachRefusalShowsItsMessageInAPlainBoxAndKeepsTheFields_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString n3 = q("入力当選番号データ(N3)が間違っています。");
        const QString n4 = q("入力当選番号データ(N4)が間違っています。");
        const QString prize = q("入力当選金額データが間違っています。");
        QTest::newRow("N3 of two digits") << 0 << q("12") << n3;
        QTest::newRow("N3 empty") << 0 << QString() << n3;
        QTest::newRow("N3 full-width letters") << 0 << q("ａｂｃ") << n3;
        QTest::newRow("N4 of three digits") << 6 << q("123") << n4;
        QTest::newRow("N4 with a letter") << 6 << q("12a4") << n4;
        QTest::newRow("empty straight prize") << 1 << QString() << prize;
        QTest::newRow("empty last prize") << 10 << QString() << prize;
        QTest::newRow("prize with a comma") << 2 << q("1,000") << prize;
        QTest::newRow("prize with a decimal point") << 9 << q("1.5") << prize;
        QTest::newRow("prize with a yen sign") << 5 << q("500円") << prize;
        QTest::newRow("negative prize") << 7 << q("-5") << prize;
    }

    void eachRefusalShowsItsMessageInAPlainBoxAndKeepsTheFields()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        GuiFixture gui(Edition::Numbers3, withHistory(history()));
        QVERIFY(gui.trigger("EditMenu"));
        QStringList texts = kValid;
        texts[field] = text;
        typeAll(gui, texts);
        const QStringList typed = fieldTexts(gui);
        QCOMPARE(typed, texts);

        MessageBoxWatcher boxes;
        QVERIFY(gui.click("EdtSetBut"));

        QCOMPARE(boxes.boxes().size(), 1);
        const auto& box = boxes.boxes().front();
        QCOMPARE(box.text, message);
        QCOMPARE(box.caption, q("Tolvi Numbers3"));
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(gui.isOpen("EditPanel"));
        QCOMPARE(fieldTexts(gui), typed);
        // The field at fault has the focus, all of it selected.
        QCOMPARE(gui.form().focusWidget(), gui.widget(kEdits[field]));
        QCOMPARE(gui.get<QLineEdit>(kEdits[field])->selectedText(), text);
        QCOMPARE(gui.labelText("Label28"), q("第1235回　結果データの入力"));
        QCOMPARE(bytesOf(gui.dir().read("Numbers.dat")), bytesOf(history()));
        QVERIFY(commandsAvailable(gui, false));
    }

    void everyFieldWrongShowsOnlyTheNumbers3Message()
    {
        GuiFixture gui(Edition::Numbers3, withHistory(history()));
        QVERIFY(gui.trigger("EditMenu"));
        typeAll(gui, {"12", "", "x", "1,0", "", "", "123", "", "", "", ""});
        MessageBoxWatcher boxes;
        QVERIFY(gui.click("EdtSetBut"));
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().text, q("入力当選番号データ(N3)が間違っています。"));

        // With the numbers right, the prizes' message follows.
        gui.type("Num3Edit", q("123"));
        gui.type("Num4Edit", q("1234"));
        QVERIFY(gui.click("EdtSetBut"));
        QCOMPARE(boxes.boxes().size(), 2);
        QCOMPARE(boxes.boxes().back().text, q("入力当選金額データが間違っています。"));
        QCOMPARE(bytesOf(gui.dir().read("Numbers.dat")), bytesOf(history()));
    }

    void cancelWritesNothingAndGivesTheCommandsBack()
    {
        GuiFixture gui(Edition::Numbers3, withHistory(history()));
        MessageBoxWatcher boxes;
        QVERIFY(gui.trigger("EditMenu"));
        typeAll(gui, kValid);

        QVERIFY(gui.click("EdtExtBut"));

        QVERIFY(!gui.widget("EditPanel")->isEnabled());
        QVERIFY(!gui.widget("EditPanel")->isVisible());
        QVERIFY(commandsAvailable(gui, true));
        QCOMPARE(gui.form().focusWidget(), gui.widget("Button1"));
        QCOMPARE(bytesOf(gui.dir().read("Numbers.dat")), bytesOf(history()));
        QVERIFY(boxes.boxes().isEmpty());

        // The next opening clears what was typed.
        QVERIFY(gui.trigger("EditMenu"));
        QVERIFY2(fieldsEmpty(gui), qPrintable(fieldTexts(gui).join('|')));
    }

    void historyWithoutADrawShowsTheErrorAndLeavesThePanelClosed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("exists");
        QTest::newRow("empty file") << QByteArray("") << true;
        QTest::newRow("only the 0x1A byte") << QByteArray("\x1A") << true;
        QTest::newRow("a cut-off record") << bytesOf(history().substr(0, 50)) << true;
        QTest::newRow("last record a comment") << bytesOf(HistoryBuilder().draw(5, "123").comment().bytes()) << true;
        QTest::newRow("no file") << QByteArray() << false;
    }

    void historyWithoutADrawShowsTheErrorAndLeavesThePanelClosed()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, exists);
        FixtureOptions options;
        if (exists)
            options.history = bytes.toStdString();
        GuiFixture gui(Edition::Numbers3, options);
        MessageBoxWatcher boxes;

        QVERIFY(gui.trigger("EditMenu"));

        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().caption, q("Tolvi Numbers3"));
        QVERIFY(!boxes.boxes().front().text.isEmpty());
        QVERIFY(!gui.widget("EditPanel")->isEnabled());
        QVERIFY(!gui.widget("EditPanel")->isVisible());
        QCOMPARE(gui.labelText("Label28"), q("第9999回　結果データの入力"));
        QVERIFY(commandsAvailable(gui, true));
        if (exists)
            QCOMPARE(bytesOf(gui.dir().read("Numbers.dat")), bytes);
        else
            QVERIFY(!std::filesystem::exists(gui.dir().file("Numbers.dat")));
    }

    void fileDamagedWhileThePanelIsOpenIsReportedAndNothingIsWritten()
    {
        GuiFixture gui(Edition::Numbers3, withHistory(history()));
        QVERIFY(gui.trigger("EditMenu"));
        typeAll(gui, kValid);
        const QStringList typed = fieldTexts(gui);
        // Another program leaves a stray byte after the last record.
        const std::string damaged = historyRecords() + "X";
        gui.dir().write("Numbers.dat", damaged);

        MessageBoxWatcher boxes;
        QVERIFY(gui.click("EdtSetBut"));

        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().caption, q("Tolvi Numbers3"));
        QVERIFY2(boxes.boxes().front().text.contains(q("壊れています")), qPrintable(boxes.boxes().front().text));
        QCOMPARE(bytesOf(gui.dir().read("Numbers.dat")), bytesOf(damaged));
        QVERIFY(gui.isOpen("EditPanel"));
        QCOMPARE(fieldTexts(gui), typed);
        QCOMPARE(gui.labelText("Label28"), q("第1235回　結果データの入力"));
        QVERIFY(commandsAvailable(gui, false));
    }

    void storedDrawNumberComesFromTheFileNotFromTheTitle()
    {
        GuiFixture gui(Edition::Numbers3, withHistory(history()));
        QVERIFY(gui.trigger("EditMenu"));
        // The other edition stores draw 1235 while this panel is open.
        gui.dir().write("Numbers.dat", historyRecords() + HistoryBuilder().draw(1235, "333").endOfFile().bytes());
        typeAll(gui, kValid);
        QVERIFY(gui.click("EdtSetBut"));
        const std::string after = gui.dir().read("Numbers.dat");
        QCOMPARE(bytesOf(after.substr(after.size() - 88, 4)), QByteArray("1236"));
        QCOMPARE(gui.labelText("Label28"), q("第1237回　結果データの入力"));
    }

    void miniEditionEntersResultsTheSameWay()
    {
        GuiFixture gui(Edition::Mini, withHistory(history()));
        MessageBoxWatcher boxes;
        QVERIFY(gui.trigger("EditMenu"));
        QCOMPARE(gui.labelText("Label28"), q("第1235回　結果データの入力"));
        QCOMPARE(gui.form().focusWidget(), gui.widget("Num3Edit"));
        QVERIFY(commandsAvailable(gui, false));
        typeAll(gui, kValid);
        gui.type("Num4Edit", q("034"));
        QVERIFY(gui.click("EdtSetBut"));
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().text, q("入力当選番号データ(N4)が間違っています。"));
        QCOMPARE(boxes.boxes().front().caption, q("Tolvi NumbersMini"));

        gui.type("Num4Edit", q("0345"));
        QVERIFY(gui.click("EdtSetBut"));
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(bytesOf(gui.dir().read("Numbers.dat")), bytesOf(historyRecords() + kValidRecord + "\r\n\x1A"));
        QCOMPARE(gui.labelText("Label28"), q("第1236回　結果データの入力"));

        QVERIFY(gui.click("EdtExtBut"));
        QVERIFY(commandsAvailable(gui, true));
    }
};

QTEST_MAIN(TestEntryPanel)
#include "TestEntryPanel.moc"
