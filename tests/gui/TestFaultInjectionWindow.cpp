// Faults from outside the program met by the real window: a history file nobody may write, a full
// disk under "入力", a history file cut or replaced while a run reads it, and a results server that
// answers with garbage or resets the connection. Each ends in a message box; the history file is
// as it was (or holds exactly the one new record); and afterwards the window is usable: the
// commands come back, a new run works, and an entry is stored.

#include "gui/GuiTestBase.h"

#include "entry/ResultRetrieval.h"
#include "support/FaultInjection.h"
#include "support/HistoryBuilder.h"
#include "transport/CurlHttpClient.h"

#include <QDir>
#include <QLineEdit>
#include <QTest>

#include <filesystem>
#include <fstream>

using namespace tolvi;
using namespace tolvi::guitest;
using tolvi::test::HistoryBuilder;
namespace fs = std::filesystem;

namespace {

const char* const kEdits[] = {"Num3Edit", "Num3Edit1", "Num3Edit2", "Num3Edit3", "Num3Edit4", "Num3Edit5",
                              "Num4Edit", "Num4Edit1", "Num4Edit2", "Num4Edit3", "Num4Edit4"};
const char* const kValid[] = {"012",  "90000",   "15000", "52500",  "7500", "4000",
                              "0345", "1000000", "41600", "520800", "20800"};

// The entry kValid stored as draw `draw`.
std::string validRecord(int draw)
{
    return std::to_string(10000 + draw).substr(1) +
           ",012,0090000,0015000,0052500,0007500,0004000,0345,1000000,0041600,0520800,0020800\r\n";
}

// Draws 1 to `records`, ending with the 0x1A byte.
std::string history(int records)
{
    HistoryBuilder builder;
    unsigned state = 17;
    for (int draw = 1; draw <= records; ++draw) {
        state = state * 1103515245u + 12345u;
        const int number = int(state >> 8) % 1000;
        const std::string digits = std::to_string(1000 + number).substr(1);
        builder.draw(draw, digits, 90000 + number, 15000 + number, 4000 + number);
    }
    return builder.endOfFile().bytes();
}

std::string withoutEndMarker(const std::string& bytes)
{
    return bytes.substr(0, bytes.size() - 1);
}

QByteArray bytesOf(const std::string& text)
{
    return QByteArray::fromStdString(text);
}

void typeValid(GuiFixture& gui)
{
    for (std::size_t i = 0; i < std::size(kEdits); ++i)
        gui.type(kEdits[i], u(kValid[i]));
}

QStringList fieldTexts(GuiFixture& gui)
{
    QStringList texts;
    for (const char* name : kEdits)
        texts << gui.get<QLineEdit>(name)->text();
    return texts;
}

QStringList validTexts()
{
    QStringList texts;
    for (const char* text : kValid)
        texts << u(text);
    return texts;
}

// Closes what a finished run left open, as the user must.
bool closeResults(GuiFixture& gui)
{
    if (gui.isOpen("GetPanel2") && !gui.click("Button4"))
        return false;
    return gui.click("Button3");
}

// A run that ends normally: the payout panel opens and closes again, the commands come back.
bool runWorks(GuiFixture& gui)
{
    return predict(gui) && gui.isOpen("GetPanel") && closeResults(gui) && commandsEnabled(gui);
}

// Hands the window's view to the edition's engine through an InterferingView for the next run
// only, so that `act` happens in the middle of that run.
class InterferingEngine : public PredictionEngine {
public:
    InterferingEngine(std::unique_ptr<PredictionEngine> inner, std::function<void()>& act)
        : inner_(std::move(inner)), act_(act)
    { }
    void run(const RunRequest& request, RunView& view) override
    {
        if (!act_) {
            inner_->run(request, view);
            return;
        }
        test::InterferingView interfering(view, std::exchange(act_, nullptr));
        inner_->run(request, interfering);
    }

private:
    std::unique_ptr<PredictionEngine> inner_;
    std::function<void()>& act_;
};

}  // namespace

class TestFaultInjectionWindow : public QObject {
    Q_OBJECT

private slots:
    void immutableHistoryFilePredictsButEveryWriteIsReportedAndTheWindowRecovers_data()
    {
        QTest::addColumn<int>("edition");
        QTest::newRow("Numbers3") << int(Edition::Numbers3);
        QTest::newRow("Mini") << int(Edition::Mini);
    }

    void immutableHistoryFilePredictsButEveryWriteIsReportedAndTheWindowRecovers()
    {
        QFETCH(int, edition);
        const std::string before = history(30);
        GuiFixture gui(Edition(edition), withHistory(before));
        const fs::path path = gui.dir().file("Numbers.dat");
        QVERIFY(gui.trigger("EditMenu"));
        typeValid(gui);
        test::ImmutableFile immutable(path);
        if (!immutable.isSet())
            QSKIP("cannot make a file immutable here");
        MessageBoxWatcher boxes;

        // "入力": the error box, nothing written, the panel open with the fields as typed.
        QVERIFY(gui.click("EdtSetBut"));
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().back().icon, QMessageBox::Critical);
        QVERIFY2(boxes.boxes().back().text.contains(u("Numbers.dat")), qPrintable(boxes.boxes().back().text));
        QVERIFY(gui.isOpen("EditPanel"));
        QCOMPARE(fieldTexts(gui), validTexts());
        QVERIFY(gui.click("EdtExtBut"));
        QVERIFY(commandsEnabled(gui));

        // "予想" only reads and works as ever; "結果入力" would write: its error box, and the
        // commands stay available.
        QVERIFY(runWorks(gui));
        QCOMPARE(boxes.boxes().size(), 1);
        QVERIFY(gui.trigger("EditMenu"));
        QCOMPARE(boxes.boxes().size(), 2);
        QVERIFY(!gui.isOpen("EditPanel"));
        QVERIFY(commandsEnabled(gui));
        QCOMPARE(bytesOf(gui.dir().read("Numbers.dat")), bytesOf(before));

        // Once the file may be written again, everything works.
        immutable.release();
        QVERIFY(runWorks(gui));
        QVERIFY(gui.trigger("EditMenu"));
        typeValid(gui);
        QVERIFY(gui.click("EdtSetBut"));
        QCOMPARE(boxes.boxes().size(), 2);
        QCOMPARE(bytesOf(gui.dir().read("Numbers.dat")), bytesOf(withoutEndMarker(before) + validRecord(31) + "\x1A"));
        QCOMPARE(gui.labelText("Label28"), u("第  32回　結果データの入力"));
    }

    void fullDiskUnderEntryIsReportedAndTheSameEntryIsStoredOnceThereIsRoom()
    {
        GuiFixture gui(Edition::Numbers3, FixtureOptions());
        const test::SmallTmpfs disk(gui.dir().file("disk"), "size=64k,mode=0755");
        if (!disk.isMounted())
            QSKIP("cannot mount a tmpfs here");
        // 47 records are 4090 bytes with the 0x1A byte: the new record needs a second page.
        const std::string before = history(47);
        {
            std::ofstream(disk.path() / "Numbers.dat", std::ios::binary) << before;
        }
        QVERIFY(QDir::setCurrent(QString::fromStdString(disk.path().string())));
        QVERIFY(gui.trigger("EditMenu"));
        typeValid(gui);
        QVERIFY(disk.fillUp());
        MessageBoxWatcher boxes;

        QVERIFY(gui.click("EdtSetBut"));
        QCOMPARE(boxes.boxes().size(), 1);
        QVERIFY2(boxes.boxes().front().text.contains(u("空き容量")), qPrintable(boxes.boxes().front().text));
        QCOMPARE(bytesOf(test::readFileBytes(disk.path() / "Numbers.dat")), bytesOf(before));
        QVERIFY(gui.isOpen("EditPanel"));
        QCOMPARE(fieldTexts(gui), validTexts());
        QCOMPARE(gui.labelText("Label28"), u("第  48回　結果データの入力"));

        disk.makeRoom();
        QVERIFY(gui.click("EdtSetBut"));
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(bytesOf(test::readFileBytes(disk.path() / "Numbers.dat")),
                 bytesOf(withoutEndMarker(before) + validRecord(48) + "\x1A"));
        QCOMPARE(gui.labelText("Label28"), u("第  49回　結果データの入力"));
        QVERIFY(gui.click("EdtExtBut"));
        QVERIFY(runWorks(gui));
    }

    void historyCutOrReplacedDuringARunEndsTheRunAndTheNextRunWorks_data()
    {
        QTest::addColumn<int>("edition");
        QTest::addColumn<bool>("replace");
        QTest::newRow("Numbers3, cut") << int(Edition::Numbers3) << false;
        QTest::newRow("Numbers3, replaced") << int(Edition::Numbers3) << true;
        QTest::newRow("Mini, cut") << int(Edition::Mini) << false;
        QTest::newRow("Mini, replaced") << int(Edition::Mini) << true;
    }

    void historyCutOrReplacedDuringARunEndsTheRunAndTheNextRunWorks()
    {
        QFETCH(int, edition);
        QFETCH(bool, replace);
        // Longer than one read of a run that streams the file.
        const std::string before = history(1500);
        const std::string cut = before.substr(0, 87 * 10 + 40);
        const std::string garbage =
            "this is no history file, but it is 87 bytes long or more, as a record would be........\r\n";
        std::function<void()> interference;
        FixtureOptions options = withHistory(before);
        options.withEngine(
            [&] { return std::make_unique<InterferingEngine>(editionEngine(Edition(edition)), interference); });
        GuiFixture gui(Edition(edition), options);
        const fs::path path = gui.dir().file("Numbers.dat");
        MessageBoxWatcher boxes;
        interference = [&] {
            if (replace) {
                std::ofstream(path.string() + ".new", std::ios::binary) << garbage;
                fs::rename(path.string() + ".new", path);
            } else {
                fs::resize_file(path, std::uintmax_t(cut.size()));
            }
        };

        // The disturbed run ends, with its result or its error box; it wrote nothing.
        QVERIFY(predict(gui));
        QVERIFY(!interference);
        if (gui.isOpen("GetPanel"))
            QVERIFY(closeResults(gui));
        QVERIFY(commandsEnabled(gui));
        QCOMPARE(bytesOf(gui.dir().read("Numbers.dat")), bytesOf(replace ? garbage : cut));

        if (replace) {
            // The next run meets the garbage: an error box, and the window stays usable.
            const qsizetype shown = boxes.boxes().size();
            QVERIFY(predict(gui));
            QTRY_COMPARE(boxes.boxes().size(), shown + 1);
            QCOMPARE(boxes.boxes().back().icon, QMessageBox::Critical);
            QVERIFY(!gui.isOpen("GetPanel"));
            QVERIFY(commandsEnabled(gui));
            gui.dir().write("Numbers.dat", before);
        }
        // A run over what the file now holds works, and the next entry goes after its last draw.
        QVERIFY(runWorks(gui));
        QCOMPARE(gui.labelText("Label16"), replace ? u("次回 1501回抽選予想番号") : u("次回   11回抽選予想番号"));
        QVERIFY(gui.trigger("EditMenu"));
        QCOMPARE(gui.labelText("Label28"), replace ? u("第1501回　結果データの入力") : u("第  11回　結果データの入力"));
    }

    void misbehavingServerIsReportedAndTheEntryCanStillBeTyped_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::newRow("bytes that are no HTTP") << int(test::RawTcpServer::Behaviour::Garbage);
        QTest::newRow("connection reset at once") << int(test::RawTcpServer::Behaviour::ResetAtOnce);
    }

    void misbehavingServerIsReportedAndTheEntryCanStillBeTyped()
    {
        QFETCH(int, behaviour);
        test::RawTcpServer server {test::RawTcpServer::Behaviour(behaviour)};
        QVERIFY(server.isListening());
        const std::string before = HistoryBuilder().draw(1232, "123").endOfFile().bytes();
        GuiFixture gui(Edition::Numbers3, withHistory(before));
        gui.form().setResultsHost(server.host());
        CurlTimeouts timeouts;
        timeouts.connect = std::chrono::milliseconds(1000);
        timeouts.receive = std::chrono::milliseconds(300);
        gui.form().setHttpClient(std::make_unique<CurlHttpClient>(server.host(), timeouts));
        MessageBoxWatcher boxes;
        QVERIFY(gui.trigger("EditMenu"));

        QVERIFY(gui.click("EdtAutoBut"));
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().text, QString::fromStdString(kNoReplyMessage).replace("\r\n", "\n"));
        QVERIFY(server.connections() >= 3);
        for (const char* name : kEdits) {
            QVERIFY(gui.widget(name)->isEnabled());
            QVERIFY(gui.get<QLineEdit>(name)->text().isEmpty());
        }
        for (const char* name : {"EdtSetBut", "EdtExtBut", "EdtAutoBut"})
            QVERIFY(gui.widget(name)->isEnabled());
        QCOMPARE(bytesOf(gui.dir().read("Numbers.dat")), bytesOf(before));

        typeValid(gui);
        QVERIFY(gui.click("EdtSetBut"));
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(bytesOf(gui.dir().read("Numbers.dat")),
                 bytesOf(withoutEndMarker(before) + validRecord(1233) + "\x1A"));
        QVERIFY(gui.click("EdtExtBut"));
        QVERIFY(runWorks(gui));
    }
};

QTEST_MAIN(TestFaultInjectionWindow)
#include "TestFaultInjectionWindow.moc"
