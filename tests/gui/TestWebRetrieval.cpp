// "インターネットから参照" on the real window, against a real HTTP server on 127.0.0.1: the fields
// it fills, the panel locked while it waits, the messages, and what "入力" then makes of it.

#include "gui/GuiTestBase.h"

#include "entry/ResultRetrieval.h"
#include "support/HistoryBuilder.h"
#include "support/LocalHttpServer.h"
#include "support/ResultsPages.h"
#include "transport/CurlHttpClient.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <filesystem>

using tolvi::Edition;
using tolvi::guitest::FixtureOptions;
using tolvi::guitest::GuiFixture;
using tolvi::guitest::MessageBoxWatcher;
using tolvi::test::emptyPage;
using tolvi::test::HistoryBuilder;
using tolvi::test::HttpReply;
using tolvi::test::LocalHttpServer;
using tolvi::test::numbers3Draw;
using tolvi::test::numbers4Draw;
using tolvi::test::resultsPage;

namespace {

const char* const kEdits[] = {"Num3Edit", "Num3Edit1", "Num3Edit2", "Num3Edit3", "Num3Edit4", "Num3Edit5",
                              "Num4Edit", "Num4Edit1", "Num4Edit2", "Num4Edit3", "Num4Edit4"};
// The panel's controls that a retrieval locks.
// "中止" is not among them: it stops the retrieval.
const char* const kLocked[] = {"EdtSetBut", "EdtAutoBut", "Num3Edit",  "Num3Edit1", "Num3Edit2",
                               "Num3Edit3", "Num3Edit4",  "Num3Edit5", "Num4Edit",  "Num4Edit1",
                               "Num4Edit2", "Num4Edit3",  "Num4Edit4"};

// The results of draw 1233 as the pages below show them, field by field.
const QStringList kDraw1233 {"402",  "93400",   "15500", "54400",  "7700", "9300",
                             "0815", "1051700", "43800", "547800", "21900"};

QString q(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// Draws up to 1232: the panel opens for draw 1233.
std::string history()
{
    return HistoryBuilder().draw(1231, "111", 90000, 15000, 4000).draw(1232, "222", 90000, 15000, 4000).bytes();
}

// Draw 1233 on the pages of August of year 17; July holds earlier draws only.
void serveDraw1233(LocalHttpServer& server)
{
    server.serve("/numbers/num3-h1707.html",
                 HttpReply::page(resultsPage(3, "2005年7月", {numbers3Draw(1230, "111"), numbers3Draw(1231, "222")})));
    server.serve("/numbers/num3-h1708.html",
                 HttpReply::page(resultsPage(3, "2005年8月", {numbers3Draw(1232, "333"), numbers3Draw(1233, "402")})));
    server.serve(
        "/numbers/num4-h1708.html",
        HttpReply::page(resultsPage(4, "2005年8月", {numbers4Draw(1232, "3333"), numbers4Draw(1233, "0815")})));
}

QStringList fieldTexts(GuiFixture& gui)
{
    QStringList texts;
    for (const char* name : kEdits)
        texts << gui.get<QLineEdit>(name)->text();
    return texts;
}

// How many of the locked controls are enabled.
int enabledCount(GuiFixture& gui)
{
    int enabled = 0;
    for (const char* name : kLocked)
        enabled += gui.widget(name)->isEnabled() ? 1 : 0;
    return enabled;
}

const int kLockedCount = int(std::size(kLocked));

// A window client with time-outs short enough for a silent server to be given up quickly.
std::unique_ptr<tolvi::HttpClient> quickClient(const std::string& host)
{
    tolvi::CurlTimeouts timeouts;
    timeouts.connect = std::chrono::milliseconds(1000);
    timeouts.receive = std::chrono::milliseconds(300);
    return std::make_unique<tolvi::CurlHttpClient>(host, timeouts);
}

}  // namespace

class TestWebRetrieval : public QObject {
    Q_OBJECT

private slots:
    void buttonFillsTheElevenFieldsWhichInputThenStores()
    {
        LocalHttpServer server;
        serveDraw1233(server);
        GuiFixture gui(Edition::Numbers3, tolvi::guitest::withHistory(history()));
        gui.form().setResultsHost(server.host());
        MessageBoxWatcher boxes;
        QVERIFY(gui.trigger("EditMenu"));
        QCOMPARE(gui.labelText("Label28"), q("第1233回　結果データの入力"));

        QVERIFY(gui.click("EdtAutoBut"));

        QCOMPARE(fieldTexts(gui), kDraw1233);
        QVERIFY(boxes.boxes().isEmpty());
        QCOMPARE(enabledCount(gui), kLockedCount);
        QVERIFY(gui.isOpen("EditPanel"));
        QCOMPARE(server.paths(), (std::vector<std::string> {"/numbers/num3-h1707.html", "/numbers/num3-h1708.html",
                                                            "/numbers/num4-h1708.html"}));
        // The last page stays in the working directory; the history is not touched yet.
        QVERIFY(std::filesystem::exists(gui.dir().file("numbers.tmp")));
        QCOMPARE(QByteArray::fromStdString(gui.dir().read("Numbers.dat")), QByteArray::fromStdString(history()));

        // The filled fields are accepted like typed ones.
        QVERIFY(gui.click("EdtSetBut"));
        QVERIFY(boxes.boxes().isEmpty());
        const std::string stored = gui.dir().read("Numbers.dat");
        const std::string record =
            "1233,402,0093400,0015500,0054400,0007700,0009300,0815,1051700,0043800,0547800,0021900\r\n";
        QVERIFY2(stored.find(record) == history().size(), stored.c_str());
        QCOMPARE(gui.labelText("Label28"), q("第1234回　結果データの入力"));
    }

    void miniEditionFillsTheFieldsAlike()
    {
        LocalHttpServer server;
        serveDraw1233(server);
        GuiFixture gui(Edition::Mini, tolvi::guitest::withHistory(history()));
        gui.form().setResultsHost(server.host());
        MessageBoxWatcher boxes;
        QVERIFY(gui.trigger("EditMenu"));
        QVERIFY(gui.click("EdtAutoBut"));
        QCOMPARE(fieldTexts(gui), kDraw1233);
        QVERIFY(boxes.boxes().isEmpty());
    }

    void panelIsLockedWhileTheRetrievalRunsAndTheWindowKeepsAnswering()
    {
        LocalHttpServer server;
        serveDraw1233(server);
        GuiFixture gui(Edition::Numbers3, tolvi::guitest::withHistory(history()));
        gui.form().setResultsHost(server.host());
        MessageBoxWatcher boxes;
        QVERIFY(gui.trigger("EditMenu"));

        // The timer can only fire while the handler hands the window its turns.
        int ticks = 0;
        int enabledSeen = 0;
        int secondClicks = 0;
        bool panelShown = true;
        QTimer observer;
        observer.setInterval(0);
        connect(&observer, &QTimer::timeout, this, [&] {
            ++ticks;
            enabledSeen += enabledCount(gui);
            panelShown = panelShown && gui.widget("EditPanel")->isVisible();
            // Neither a second retrieval nor an entry can be started meanwhile.
            secondClicks += gui.click("EdtAutoBut") ? 1 : 0;
            secondClicks += gui.click("EdtSetBut") ? 1 : 0;
        });
        observer.start();
        QVERIFY(gui.click("EdtAutoBut"));
        observer.stop();

        QVERIFY(ticks > 0);
        QCOMPARE(enabledSeen, 0);
        QCOMPARE(secondClicks, 0);
        QVERIFY(panelShown);
        QCOMPARE(server.paths().size(), std::size_t(3));
        QCOMPARE(enabledCount(gui), kLockedCount);
        QCOMPARE(fieldTexts(gui), kDraw1233);
        QVERIFY(boxes.boxes().isEmpty());
    }

    void drawNotOnTheServerShowsTheInformationBoxCentredOnTheScreen()
    {
        LocalHttpServer server;
        server.serve("/numbers/num3-h1707.html", HttpReply::page(emptyPage(200)));
        GuiFixture gui(Edition::Numbers3, tolvi::guitest::withHistory(history()));
        gui.form().setResultsHost(server.host());
        MessageBoxWatcher boxes;
        QVERIFY(gui.trigger("EditMenu"));
        gui.type("Num3Edit", q("9"));

        QVERIFY(gui.click("EdtAutoBut"));

        QCOMPARE(boxes.boxes().size(), 1);
        const auto& box = boxes.boxes().front();
        QCOMPARE(box.text, q("結果データがすでに最新か\nもしくはデータが見つかりません。"));
        QCOMPARE(box.icon, QMessageBox::Information);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(!box.hasParent);
        QCOMPARE(box.caption, gui.form().applicationTitle());
        QCOMPARE(enabledCount(gui), kLockedCount);
        // Nothing was found, so nothing was written into the fields.
        QCOMPARE(gui.get<QLineEdit>("Num3Edit")->text(), q("9"));
    }

    void numbers4PageWithoutTheDrawKeepsTheNumbers3Fields()
    {
        LocalHttpServer server;
        server.serve("/numbers/num3-h1707.html",
                     HttpReply::page(resultsPage(3, "2005年7月", {numbers3Draw(1233, "402")})));
        server.serve("/numbers/num4-h1707.html", HttpReply::page(emptyPage(120)));
        GuiFixture gui(Edition::Numbers3, tolvi::guitest::withHistory(history()));
        gui.form().setResultsHost(server.host());
        MessageBoxWatcher boxes;
        QVERIFY(gui.trigger("EditMenu"));
        QVERIFY(gui.click("EdtAutoBut"));
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().icon, QMessageBox::Information);
        QCOMPARE(fieldTexts(gui).mid(0, 6), kDraw1233.mid(0, 6));
        QCOMPARE(fieldTexts(gui).mid(6), QStringList(5, QString()));
    }

    void hostThatDoesNotResolveShowsTheWarningBoxAndChangesNothing()
    {
        GuiFixture gui(Edition::Numbers3, tolvi::guitest::withHistory(history()));
        gui.form().setResultsHost("no-such-host.invalid");
        MessageBoxWatcher boxes;
        QVERIFY(gui.trigger("EditMenu"));
        gui.type("Num3Edit1", q("5"));
        QVERIFY(gui.click("EdtAutoBut"));
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().text, q("エラー：インターネットに接続できません。"));
        QCOMPARE(boxes.boxes().front().icon, QMessageBox::Warning);
        QVERIFY(boxes.boxes().front().hasParent);
        QCOMPARE(gui.form().focusWidget(), gui.widget("EdtAutoBut"));  // back for the keyboard
        QCOMPARE(gui.get<QLineEdit>("Num3Edit1")->text(), q("5"));
        QCOMPARE(enabledCount(gui), kLockedCount);
        QVERIFY(!std::filesystem::exists(gui.dir().file("numbers.tmp")));
    }

    void silentServerIsGivenUpWithAMessageWhileTheWindowKeepsAnswering()
    {
        LocalHttpServer server;
        server.serve("/numbers/num3-h1707.html", HttpReply::silent());
        GuiFixture gui(Edition::Numbers3, tolvi::guitest::withHistory(history()));
        gui.form().setResultsHost(server.host());
        gui.form().setHttpClient(quickClient(server.host()));
        MessageBoxWatcher boxes;
        QVERIFY(gui.trigger("EditMenu"));

        int ticksWhileWaiting = 0;
        QTimer observer;
        observer.setInterval(20);
        connect(&observer, &QTimer::timeout, this, [&] {
            if (boxes.boxes().isEmpty() && enabledCount(gui) == 0)
                ++ticksWhileWaiting;
        });
        observer.start();
        QVERIFY(gui.click("EdtAutoBut"));
        observer.stop();

        QCOMPARE(server.count("/numbers/num3-h1707.html"), 3);
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().text.left(6), q("エラー：結果"));
        QCOMPARE(boxes.boxes().front().text, QString::fromStdString(tolvi::kNoReplyMessage).replace("\r\n", "\n"));
        QVERIFY(ticksWhileWaiting > 3);
        QCOMPARE(enabledCount(gui), kLockedCount);
    }

    void endingWhileTheServerIsSilentEndsAtOnce()
    {
        LocalHttpServer server;
        server.serve("/numbers/num3-h1707.html", HttpReply::silent());
        GuiFixture gui(Edition::Numbers3, tolvi::guitest::withHistory(history()));
        gui.form().setResultsHost(server.host());
        MessageBoxWatcher boxes;
        QVERIFY(gui.trigger("EditMenu"));
        QTimer::singleShot(300, &gui.form(), [&gui] { gui.form().Exit1Click(); });
        // Returns once the retrieval has stopped: at the first turn after the close, without the
        // ten-second waits for the silent server and the two fetches again that would follow.
        QVERIFY(gui.click("EdtAutoBut"));
        QCOMPARE(server.count("/numbers/num3-h1707.html"), 1);
        QVERIFY(!gui.form().isVisible());
        QVERIFY(boxes.boxes().isEmpty());
        QCOMPARE(gui.dir().read("Numbers.dat"), history());
    }

    void stopButtonEndsTheRetrievalWhichShowsWhereItIs()
    {
        LocalHttpServer server;
        server.serve("/numbers/num3-h1707.html", HttpReply::silent());
        GuiFixture gui(Edition::Numbers3, tolvi::guitest::withHistory(history()));
        gui.form().setResultsHost(server.host());
        MessageBoxWatcher boxes;
        QVERIFY(gui.trigger("EditMenu"));
        const QString caption = gui.get<QPushButton>("EdtAutoBut")->text();
        QString shownWhileWaiting;
        QTimer::singleShot(300, &gui.form(), [&] {
            shownWhileWaiting = gui.get<QPushButton>("EdtAutoBut")->text();
            QVERIFY(gui.click("EdtExtBut"));
        });
        QVERIFY(gui.click("EdtAutoBut"));
        QVERIFY(shownWhileWaiting.startsWith(q("参照中 2005年7月 1/")));
        QCOMPARE(server.count("/numbers/num3-h1707.html"), 1);
        QVERIFY(!gui.isOpen("EditPanel"));
        QVERIFY(boxes.boxes().isEmpty());
        QCOMPARE(gui.get<QPushButton>("EdtAutoBut")->text(), caption);
    }

    void pageValueLongerThanItsFieldIsShownWholeAndRefusedByInput()
    {
        LocalHttpServer server;
        tolvi::test::DrawResult draw3 = numbers3Draw(1233, "402");
        draw3.prizes[0] = "12,345,678円";
        server.serve("/numbers/num3-h1707.html", HttpReply::page(resultsPage(3, "2005年7月", {draw3})));
        server.serve("/numbers/num4-h1707.html",
                     HttpReply::page(resultsPage(4, "2005年7月", {numbers4Draw(1233, "0815")})));
        GuiFixture gui(Edition::Numbers3, tolvi::guitest::withHistory(history()));
        gui.form().setResultsHost(server.host());
        QVERIFY(gui.trigger("EditMenu"));
        QVERIFY(gui.click("EdtAutoBut"));
        // Eight digits in a field for seven: shown whole, never silently cut to 1234567.
        QCOMPARE(gui.get<QLineEdit>("Num3Edit1")->text(), q("12345678"));
        MessageBoxWatcher boxes;
        QVERIFY(gui.click("EdtSetBut"));
        // The record has no room for it: refused, nothing written.
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().first().text, q("入力当選金額データが間違っています。"));
        QCOMPARE(QByteArray::fromStdString(gui.dir().read("Numbers.dat")), QByteArray::fromStdString(history()));
        // The next opening restores the limit for typing.
        QVERIFY(gui.click("EdtExtBut"));
        QVERIFY(gui.trigger("EditMenu"));
        QCOMPARE(gui.get<QLineEdit>("Num3Edit1")->maxLength(), 7);
        gui.type("Num3Edit1", q("123456789"));
        QCOMPARE(gui.get<QLineEdit>("Num3Edit1")->text(), q("1234567"));
    }

    void numbersTmpThatCannotBeWrittenShowsTheErrorAndUnlocksThePanel()
    {
        LocalHttpServer server;
        serveDraw1233(server);
        GuiFixture gui(Edition::Numbers3, tolvi::guitest::withHistory(history()));
        gui.form().setResultsHost(server.host());
        std::filesystem::create_directory(gui.dir().file("numbers.tmp"));
        MessageBoxWatcher boxes;
        QVERIFY(gui.trigger("EditMenu"));
        QVERIFY(gui.click("EdtAutoBut"));
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().icon, QMessageBox::Critical);
        QVERIFY2(boxes.boxes().front().text.contains(q("numbers.tmp")), qPrintable(boxes.boxes().front().text));
        QCOMPARE(enabledCount(gui), kLockedCount);
        QVERIFY(gui.isOpen("EditPanel"));
    }
};

QTEST_MAIN(TestWebRetrieval)
#include "TestWebRetrieval.moc"
