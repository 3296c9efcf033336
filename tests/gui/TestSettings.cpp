// The one setting through the real window: what the settings file makes of the check box at
// creation, what the next run shows because of it, what the program end leaves in the file
// (byte for byte, in both editions), the error box when the file cannot be written, and the
// help command when its page is missing.

#include "gui/GuiTestBase.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QUrl>

#include <filesystem>
#include <string>

using namespace tolvi;
using namespace tolvi::guitest;

Q_DECLARE_METATYPE(tolvi::Edition)

namespace {

const QString kOneDigitOff = u("一桁違い");

// Records the pages the window asks the desktop to open, instead of opening them.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

bool mismatchTicked(GuiFixture& f)
{
    return f.get<QCheckBox>("MismatchChk")->isChecked();
}

// Ends the program the way the user does ("終了"), then destroys the window as the program's
// end does.
bool endProgram(GuiFixture& f)
{
    if (!f.trigger("Exit1"))
        return false;
    if (!QTest::qWaitFor([&] { return !f.form().isVisible(); }))
        return false;
    f.destroyForm();
    return true;
}

// The result list's rows after one prediction run.
QList<QStringList> predictRows(GuiFixture& f)
{
    QList<QStringList> rows;
    const int before = f.runs();
    if (!f.click("Button1") || !f.waitForRuns(before + 1))
        return rows;
    for (int i = 0; i < f.rowCount("ListView"); ++i)
        rows.append(f.row("ListView", i));
    return rows;
}

void addEditions()
{
    QTest::addColumn<Edition>("edition");
    QTest::newRow("Numbers3") << Edition::Numbers3;
    QTest::newRow("Mini") << Edition::Mini;
}

}  // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void theWindowUsesTheFileBesideTheProgram();
    void firstStartTicksAndEndWritesTheTwoLines_data() { addEditions(); }
    void firstStartTicksAndEndWritesTheTwoLines();
    void fileValueSetsTheBox_data();
    void fileValueSetsTheBox();
    void zeroInTheFileMeansNoOneDigitOffRows_data() { addEditions(); }
    void zeroInTheFileMeansNoOneDigitOffRows();
    void untickSetAndEndSavesZeroKeepingTheRest_data() { addEditions(); }
    void untickSetAndEndSavesZeroKeepingTheRest();
    void untickAndEndWithTheOptionsOpenSavesZero_data() { addEditions(); }
    void untickAndEndWithTheOptionsOpenSavesZero();
    void tickAgainAndEndSavesOne();
    void readOnlyFileShowsTheErrorBoxAtTheEnd();
    void helpWithoutItsPageDoesNothing();
};

void TestSettings::theWindowUsesTheFileBesideTheProgram()
{
    // Without a path set from outside, the window keeps its setting beside its own program file.
    TMainForm form(Edition::Numbers3, editionEngine(Edition::Numbers3));
    const std::filesystem::path program = QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    QCOMPARE(form.settingsPath(), SettingsFile::pathForProgram(program));
    QCOMPARE(form.settingsPath().parent_path(), program.parent_path());
    QCOMPARE(QString::fromStdString(form.settingsPath().filename().string()),
             QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + u(".ini"));
    // Never created, so the end writes nothing beside the test program.
}

void TestSettings::firstStartTicksAndEndWritesTheTwoLines()
{
    QFETCH(Edition, edition);
    GuiFixture f(edition);
    QVERIFY(!std::filesystem::exists(f.settingsPath()));
    QVERIFY(mismatchTicked(f));
    QVERIFY(endProgram(f));
    QCOMPARE(test::readFileBytes(f.settingsPath()), std::string("[Option]\r\nMismatch=1\r\n"));
}

void TestSettings::fileValueSetsTheBox_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("ticked");
    QTest::newRow("0") << u("[Option]\r\nMismatch=0\r\n") << false;
    QTest::newRow("1") << u("[Option]\r\nMismatch=1\r\n") << true;
    QTest::newRow("2") << u("[Option]\r\nMismatch=2\r\n") << true;
    QTest::newRow("256") << u("[Option]\r\nMismatch=256\r\n") << false;
    QTest::newRow("-1") << u("[Option]\r\nMismatch=-1\r\n") << true;
    QTest::newRow("letters") << u("[Option]\r\nMismatch=off\r\n") << true;
    QTest::newRow("empty") << u("[Option]\r\nMismatch=\r\n") << true;
    QTest::newRow("other case, LF") << u("[OPTION]\nmismatch = 0\n") << false;
    QTest::newRow("another section") << u("[Window]\r\nMismatch=0\r\n") << true;
    QTest::newRow("commented out") << u("[Option]\r\n;Mismatch=0\r\n") << true;
    QTest::newRow("not a profile file") << u("\x01\x02garbage") << true;
}

void TestSettings::fileValueSetsTheBox()
{
    QFETCH(QString, file);
    QFETCH(bool, ticked);
    MessageBoxWatcher boxes;
    GuiFixture f(Edition::Numbers3, FixtureOptions().withSettings(file.toStdString()));
    QCOMPARE(mismatchTicked(f), ticked);
    // Reading never reports anything.
    QVERIFY(boxes.boxes().isEmpty());
}

void TestSettings::zeroInTheFileMeansNoOneDigitOffRows()
{
    QFETCH(Edition, edition);
    QList<QStringList> ticked;
    {
        GuiFixture f(edition, withHistory(sampleHistory()));
        QVERIFY(mismatchTicked(f));
        ticked = predictRows(f);
    }
    QList<QStringList> unticked;
    {
        GuiFixture f(edition, withHistory(sampleHistory()).withSettings("[Option]\r\nMismatch=0\r\n"));
        QVERIFY(!mismatchTicked(f));
        unticked = predictRows(f);
    }
    QList<QStringList> hitsOnly;
    for (const QStringList& row : ticked)
        if (!row.last().endsWith(kOneDigitOff))
            hitsOnly.append(row);
    // The sample has near misses to leave out, and hits that stay.
    QVERIFY(hitsOnly.size() < ticked.size());
    QVERIFY(!hitsOnly.isEmpty());
    QCOMPARE(unticked, hitsOnly);
}

void TestSettings::untickSetAndEndSavesZeroKeepingTheRest()
{
    QFETCH(Edition, edition);
    const std::string before = "; kept by hand\r\n"
                               "[Window]\r\n"
                               "Mismatch=1\r\n"
                               "\r\n"
                               "[Option]\r\n"
                               "Colour = red\r\n"
                               "Mismatch = 1\r\n"
                               "\r\n";
    GuiFixture f(edition, FixtureOptions().withSettings(before));
    QVERIFY(mismatchTicked(f));
    QVERIFY(f.trigger("Option"));
    QVERIFY(f.click("MismatchChk"));
    QVERIFY(f.click("OptSetBut"));
    QVERIFY(!f.isOpen("OptnPanel"));
    // "設定" only closes the panel: the file changes at the end.
    QCOMPARE(test::readFileBytes(f.settingsPath()), before);
    QVERIFY(endProgram(f));
    std::string expected = before;
    expected.replace(expected.find("Mismatch = 1") + 11, 1, "0");
    QCOMPARE(test::readFileBytes(f.settingsPath()), expected);
}

void TestSettings::untickAndEndWithTheOptionsOpenSavesZero()
{
    QFETCH(Edition, edition);
    GuiFixture f(edition);
    QVERIFY(f.trigger("Option"));
    QVERIFY(f.click("MismatchChk"));
    QVERIFY(f.isOpen("OptnPanel"));
    QVERIFY(endProgram(f));
    QCOMPARE(test::readFileBytes(f.settingsPath()), std::string("[Option]\r\nMismatch=0\r\n"));

    // And the next start reads it back.
    GuiFixture next(edition, FixtureOptions().withSettings(test::readFileBytes(f.settingsPath())));
    QVERIFY(!mismatchTicked(next));
}

void TestSettings::tickAgainAndEndSavesOne()
{
    GuiFixture f(Edition::Numbers3, FixtureOptions().withSettings("[Option]\nMismatch=0\n"));
    QVERIFY(!mismatchTicked(f));
    QVERIFY(f.trigger("Option"));
    QVERIFY(f.click("MismatchChk"));
    QVERIFY(f.click("OptSetBut"));
    QVERIFY(endProgram(f));
    QCOMPARE(test::readFileBytes(f.settingsPath()), std::string("[Option]\nMismatch=1\n"));
}

void TestSettings::readOnlyFileShowsTheErrorBoxAtTheEnd()
{
    const std::string before = "[Option]\r\nMismatch=1\r\n";
    GuiFixture f(Edition::Mini, FixtureOptions().withSettings(before));
    const std::filesystem::path path = f.settingsPath();
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    QVERIFY(f.trigger("Option"));
    QVERIFY(f.click("MismatchChk"));
    QVERIFY(f.click("OptSetBut"));

    MessageBoxWatcher boxes;
    QVERIFY(endProgram(f));
    QCOMPARE(boxes.boxes().size(), 1);
    const ShownBox box = boxes.boxes().first();
    QCOMPARE(box.caption, u("Tolvi NumbersMini"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.text, QString::fromStdString(path.string()) + u(" に書き込めません。"));
    // The window is gone by then: the box stands on its own.
    QVERIFY(!box.hasParent);
    QCOMPARE(test::readFileBytes(path), before);
}

void TestSettings::helpWithoutItsPageDoesNothing()
{
    GuiFixture f(Edition::Numbers3, withHistory(sampleHistory()));
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(u("file"), &recorder, "open");
    MessageBoxWatcher boxes;
    QVERIFY(!std::filesystem::exists(f.dir().file("help.html")));

    // With the options panel open, "ヘルプ" is still available and changes nothing.
    QVERIFY(f.trigger("Option"));
    QVERIFY(f.trigger("Help"));
    QTest::qWait(50);
    QVERIFY(recorder.opened.isEmpty());
    QVERIFY(boxes.boxes().isEmpty());
    QVERIFY(f.isOpen("OptnPanel"));
    QVERIFY(!f.available("Option"));
    QVERIFY(f.click("OptSetBut"));

    // And after a run, over the payout panel.
    QVERIFY(!predictRows(f).isEmpty());
    QVERIFY(f.isOpen("GetPanel"));
    const int rows = f.rowCount("ListView");
    QVERIFY(f.trigger("Help"));
    QTest::qWait(50);
    QVERIFY(recorder.opened.isEmpty());
    QVERIFY(boxes.boxes().isEmpty());
    QVERIFY(f.isOpen("GetPanel"));
    QCOMPARE(f.rowCount("ListView"), rows);
    QDesktopServices::unsetUrlHandler(u("file"));
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestSettings test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestSettings.moc"
