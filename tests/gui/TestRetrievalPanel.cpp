// "インターネットから参照" as the window runs it: the fields filled from a real HTTP server on
// 127.0.0.1, the panel locked while the pages are fetched and unlocked on every way out, and the
// messages of each ending in their boxes.

#include "gui/GuiTestBase.h"

#include "support/HistoryBuilder.h"
#include "support/LocalHttpServer.h"
#include "support/ResultsPages.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <map>

using namespace tolvi;
using namespace tolvi::guitest;
using tolvi::test::HttpReply;
using tolvi::test::LocalHttpServer;

namespace {

const char* const kEdits[] = {"Num3Edit", "Num3Edit1", "Num3Edit2", "Num3Edit3", "Num3Edit4", "Num3Edit5",
                              "Num4Edit", "Num4Edit1", "Num4Edit2", "Num4Edit3", "Num4Edit4"};
const char* const kLocked[] = {"EdtSetBut", "EdtExtBut", "EdtAutoBut", "Num3Edit", "Num3Edit1", "Num3Edit2",
                               "Num3Edit3", "Num3Edit4", "Num3Edit5", "Num4Edit", "Num4Edit1", "Num4Edit2",
                               "Num4Edit3", "Num4Edit4"};

// The page results of draw 1233 as ResultsPages writes them, as the fields receive them.
const std::map<QString, QString> kDraw1233 {
    {"Num3Edit", "402"},    {"Num3Edit1", "93400"},   {"Num3Edit2", "15500"}, {"Num3Edit3", "54400"},
    {"Num3Edit4", "7700"},  {"Num3Edit5", "9300"},    {"Num4Edit", "0815"},   {"Num4Edit1", "1051700"},
    {"Num4Edit2", "43800"}, {"Num4Edit3", "547800"}, {"Num4Edit4", "21900"}};

// Draw 1232 is the last: the panel opens for 1233.
std::string history()
{
    return test::HistoryBuilder().draw(1232, "111").bytes();
}

std::string pagePath(int kind)
{
    return "/numbers/num" + std::to_string(kind) + "-h1707.html";
}

// Pages served from memory; it looks at the panel each time it is asked for one.
class PanelWatchingClient : public HttpClient {
public:
    PanelWatchingClient(GuiFixture& fixture, bool reachable) : fixture_(fixture), reachable_(reachable) {}

    bool canConnect() override { return reachable_; }
    bool fetch(const std::string& url, const std::function<void(std::string_view)>& onBlock,
               const std::function<void()>& idle) override
    {
        urls.push_back(url);
        for (const char* name : kLocked)
            if (fixture_.widget(name)->isEnabled())
                unlockedDuringFetch.push_back(name);
        idle();
        for (const auto& [suffix, page] : pages)
            if (url.size() >= suffix.size() && url.compare(url.size() - suffix.size(), suffix.size(), suffix) == 0) {
                onBlock(page);
                return true;
            }
        onBlock(test::emptyPage(200));
        return true;
    }

    std::map<std::string, std::string> pages;  // by the end of the address
    std::vector<std::string> urls;
    std::vector<std::string> unlockedDuringFetch;

private:
    GuiFixture& fixture_;
    bool reachable_;
};

bool panelUnlocked(GuiFixture& f)
{
    for (const char* name : kLocked)
        if (!f.widget(name)->isEnabled())
            return false;
    return true;
}

QString field(GuiFixture& f, const char* name)
{
    return f.get<QLineEdit>(name)->text();
}

}  // namespace

class TestRetrievalPanel : public QObject {
    Q_OBJECT

private slots:
    void fillsTheFieldsFromTheServer();
    void notFoundIsAnInformationBoxOnTheScreensCentre();
    void panelIsLockedWhileFetchingAndUnlockedAfter();
    void noConnectionIsAPlainBox();
    void fileErrorIsAnErrorBoxAndUnlocksThePanel();
    void pageValueLongerThanItsFieldIsShownWhole();
};

void TestRetrievalPanel::fillsTheFieldsFromTheServer()
{
    LocalHttpServer server;
    server.serve(pagePath(3), HttpReply::page(test::resultsPage(3, "2005年7月", {test::numbers3Draw(1232, "888"),
                                                                                   test::numbers3Draw(1233, "402")})));
    server.serve(pagePath(4), HttpReply::page(test::resultsPage(4, "2005年7月", {test::numbers4Draw(1233, "0815")})));
    GuiFixture f(Edition::Numbers3, withHistory(history()));
    f.form().setResultsHost(server.host());
    MessageBoxWatcher boxes;
    QVERIFY(f.trigger("EditMenu"));
    QCOMPARE(f.labelText("Label28"), u("第1233回　結果データの入力"));

    QVERIFY(f.click("EdtAutoBut"));
    for (const auto& [name, text] : kDraw1233)
        QCOMPARE(field(f, name.toUtf8().constData()), text);
    QVERIFY(boxes.boxes().isEmpty());
    QVERIFY(panelUnlocked(f));
    QCOMPARE(server.paths(), (std::vector<std::string> {pagePath(3), pagePath(4)}));
    QVERIFY(std::filesystem::exists(f.dir().file("numbers.tmp")));

    // The filled fields are accepted like typed ones.
    QVERIFY(f.click("EdtSetBut"));
    QVERIFY(boxes.boxes().isEmpty());
    QCOMPARE(f.labelText("Label28"), u("第1234回　結果データの入力"));
    const std::string stored = test::readFileBytes(f.dir().file("Numbers.dat"));
    QVERIFY(stored.find("1233,402,0093400,0015500,0054400,0007700,0009300,0815,1051700,0043800,0547800,0021900") !=
            std::string::npos);
}

void TestRetrievalPanel::notFoundIsAnInformationBoxOnTheScreensCentre()
{
    LocalHttpServer server;
    // A short complete page without the draw ends the walk at once.
    server.serve(pagePath(3), HttpReply::page(test::emptyPage(200)));
    GuiFixture f(Edition::Numbers3, withHistory(history()));
    f.form().setResultsHost(server.host());
    QVERIFY(f.trigger("EditMenu"));
    f.type("Num3Edit", u("12"));
    MessageBoxWatcher boxes;
    QVERIFY(f.click("EdtAutoBut"));
    QCOMPARE(boxes.boxes().size(), 1);
    const ShownBox box = boxes.boxes().first();
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.caption, u("Tolvi Numbers3"));
    QCOMPARE(box.text, u("結果データがすでに最新か\nもしくはデータが見つかりません。"));
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // Not tied to the window: it stands in the middle of the screen.
    QVERIFY(!box.hasParent);
    // Nothing was filled; the panel is usable again.
    QCOMPARE(field(f, "Num3Edit"), u("12"));
    QVERIFY(panelUnlocked(f));
    QVERIFY(f.isOpen("EditPanel"));
}

void TestRetrievalPanel::panelIsLockedWhileFetchingAndUnlockedAfter()
{
    GuiFixture f(Edition::Numbers3, withHistory(history()));
    auto client = std::make_unique<PanelWatchingClient>(f, true);
    PanelWatchingClient* watching = client.get();
    client->pages["num3-h1707.html"] = test::resultsPage(3, "2005年7月", {test::numbers3Draw(1233, "402")});
    client->pages["num4-h1707.html"] = test::resultsPage(4, "2005年7月", {test::numbers4Draw(1233, "0815")});
    f.form().setHttpClient(std::move(client));
    f.form().setResultsHost("results.example");
    MessageBoxWatcher boxes;
    QVERIFY(f.trigger("EditMenu"));
    QVERIFY(f.click("EdtAutoBut"));
    QCOMPARE(watching->urls, (std::vector<std::string> {"http://results.example/numbers/num3-h1707.html",
                                                        "http://results.example/numbers/num4-h1707.html"}));
    QCOMPARE(watching->unlockedDuringFetch, std::vector<std::string> {});
    QVERIFY(panelUnlocked(f));
    QCOMPARE(field(f, "Num3Edit"), u("402"));
    QCOMPARE(field(f, "Num4Edit4"), u("21900"));
    QVERIFY(boxes.boxes().isEmpty());
    // The rest of the window keeps its state: the commands stay disabled while the panel is open.
    QVERIFY(!f.widget("Button1")->isEnabled());
    QVERIFY(f.available("Exit1"));
}

void TestRetrievalPanel::noConnectionIsAPlainBox()
{
    GuiFixture f(Edition::Numbers3, withHistory(history()));
    auto client = std::make_unique<PanelWatchingClient>(f, false);
    PanelWatchingClient* watching = client.get();
    f.form().setHttpClient(std::move(client));
    QVERIFY(f.trigger("EditMenu"));
    f.type("Num3Edit1", u("500"));
    MessageBoxWatcher boxes;
    QVERIFY(f.click("EdtAutoBut"));
    QCOMPARE(boxes.boxes().size(), 1);
    QCOMPARE(boxes.boxes().first().text, u("エラー：インターネットに接続できません。"));
    QCOMPARE(boxes.boxes().first().icon, QMessageBox::NoIcon);
    QCOMPARE(boxes.boxes().first().caption, u("Tolvi Numbers3"));
    QVERIFY(watching->urls.empty());
    QCOMPARE(field(f, "Num3Edit1"), u("500"));
    QVERIFY(panelUnlocked(f));
}

void TestRetrievalPanel::fileErrorIsAnErrorBoxAndUnlocksThePanel()
{
    GuiFixture f(Edition::Numbers3, withHistory(history()));
    auto client = std::make_unique<PanelWatchingClient>(f, true);
    client->pages["num3-h1707.html"] = test::resultsPage(3, "2005年7月", {test::numbers3Draw(1233, "402")});
    f.form().setHttpClient(std::move(client));
    // numbers.tmp cannot be created: a directory holds its name.
    std::filesystem::create_directory(f.dir().file("numbers.tmp"));
    QVERIFY(f.trigger("EditMenu"));
    MessageBoxWatcher boxes;
    QVERIFY(f.click("EdtAutoBut"));
    QCOMPARE(boxes.boxes().size(), 1);
    QCOMPARE(boxes.boxes().first().icon, QMessageBox::Critical);
    QCOMPARE(boxes.boxes().first().caption, u("Tolvi Numbers3"));
    QVERIFY(!boxes.boxes().first().text.isEmpty());
    QVERIFY(panelUnlocked(f));
    QVERIFY(f.isOpen("EditPanel"));
}

void TestRetrievalPanel::pageValueLongerThanItsFieldIsShownWhole()
{
    GuiFixture f(Edition::Numbers3, withHistory(history()));
    auto client = std::make_unique<PanelWatchingClient>(f, true);
    test::DrawResult draw3 = test::numbers3Draw(1233, "402");
    draw3.prizes[0] = "12,345,678円";
    client->pages["num3-h1707.html"] = test::resultsPage(3, "2005年7月", {draw3});
    client->pages["num4-h1707.html"] = test::resultsPage(4, "2005年7月", {test::numbers4Draw(1233, "0815")});
    f.form().setHttpClient(std::move(client));
    QVERIFY(f.trigger("EditMenu"));
    QVERIFY(f.click("EdtAutoBut"));
    // Eight digits in a field for seven: shown whole, never silently cut to 1234567.
    QCOMPARE(field(f, "Num3Edit1"), u("12345678"));
    const std::string before = test::readFileBytes(f.dir().file("Numbers.dat"));
    MessageBoxWatcher boxes;
    QVERIFY(f.click("EdtSetBut"));
    // The record has no room for it: refused, nothing written.
    QCOMPARE(boxes.boxes().size(), 1);
    QCOMPARE(test::readFileBytes(f.dir().file("Numbers.dat")), before);
    // The next opening restores the limit for typing.
    QVERIFY(f.click("EdtExtBut"));
    QVERIFY(f.trigger("EditMenu"));
    QCOMPARE(f.get<QLineEdit>("Num3Edit1")->maxLength(), 7);
    f.type("Num3Edit1", u("123456789"));
    QCOMPARE(field(f, "Num3Edit1"), u("1234567"));
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestRetrievalPanel test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestRetrievalPanel.moc"
