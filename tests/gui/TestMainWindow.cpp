// The Numbers3 window as the user meets it: its controls at their places, what can and cannot be
// reached, which commands are available in which state, the deferred run and its failure, the
// options panel, the setting's load and save, the local pages, the program's end, and every panel
// of both editions with the keyboard alone.

#include "app/DesignFonts.h"
#include "design/FormDesign.h"
#include "gui/GuiTestBase.h"
#include "support/HistoryBuilder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <fstream>

using namespace tolvi;
using namespace tolvi::guitest;

namespace {

// One record, so that the entry panel can open.
std::string oneDraw()
{
    return test::HistoryBuilder().draw(1, "123").bytes();
}

// Records the pages the window asks the desktop to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void everyControlOfTheDesignTable_data();
    void everyControlOfTheDesignTable();
    void menuTree();
    void fixedSizeWindowWithoutMaximise();
    void captionsBeforeAndAfterFormCreate();
    void panelsStartClosed();
    void hiddenControlsAreNeverReachable();
    void handCursors();
    void editLimitsAndTabOrder();
    void listColumns();
    void idleCommandsAvailable();
    void twoClicksWithin100msGiveOneRun();
    void secondCommandBeforeTickChangesOnlyTheMode();
    void missingHistoryShowsErrorBoxAndStaysIdle();
    void optionsPanelOpensAndCloses();
    void settingLoadedAtCreation();
    void settingSavedOnceAtEndEvenWithOptionsOpen();
    void unwritableSettingsShowErrorBoxAtEnd();
    void helpPagesOpenOnlyWhenPresent();
    void exitClosesTheWindow();
    void keyboardAloneReachesEveryPanel_data();
    void keyboardAloneReachesEveryPanel();
    void noRunStartsOnceTheProgramEnds();
};

void TestMainWindow::everyControlOfTheDesignTable_data()
{
    QTest::addColumn<int>("edition");
    QTest::newRow("Numbers3") << int(Edition::Numbers3);
    QTest::newRow("Mini") << int(Edition::Mini);
}

void TestMainWindow::everyControlOfTheDesignTable()
{
    QFETCH(int, edition);
    const auto designed = Edition(edition);
    GuiFixture f(designed);
    for (const ControlDesign& row : formDesign(designed)) {
        const char* name = row.name;
        QWidget* control = f.widget(name);
        QVERIFY2(control->parentWidget()->objectName() == u(controlName(row.parent)), name);
        const QRect design(row.rect.left, row.rect.top, row.rect.width, row.rect.height);
        auto* label = qobject_cast<QLabel*>(control);
        if (row.kind == ControlKind::Label && row.autoSize) {
            QCOMPARE(control->geometry(), autoSizedGeometry(label, design));
            // The design boxes were made for the design faces; the installed ones come close.
            QVERIFY2(control->width() <= design.width() * 5 / 4, name);
        } else {
            QCOMPARE(control->geometry(), design);
        }
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            QCOMPARE(button->text(), u(row.caption));
        else if (auto* edit = qobject_cast<QLineEdit*>(control))
            QCOMPARE(edit->text(), u(row.caption));
        else if (row.kind == ControlKind::Label)
            QCOMPARE(label->text(), u(row.caption));
        if (row.font) {
            const QFont font = DesignFonts::font(*row.font);
            QCOMPARE(control->font().family(), font.family());
            QCOMPARE(control->font().pixelSize(), font.pixelSize());
            QCOMPARE(control->font().bold(), font.bold());
            // The face is installed: what is drawn is the face asked for, not a fallback.
            QCOMPARE(QFontInfo(control->font()).family(), font.family());
        } else {
            QCOMPARE(control->font(), control->parentWidget()->font());
        }
        if (row.kind == ControlKind::Label) {
            const Qt::Alignment align = row.align == TextAlign::Right    ? Qt::AlignRight
                                        : row.align == TextAlign::Centre ? Qt::AlignHCenter
                                                                         : Qt::AlignLeft;
            QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, align);
        }
        // A panel starts disabled: the colour is the one its text has once the panel is open.
        if (row.colour)
            QCOMPARE(control->palette().color(QPalette::Active, QPalette::WindowText),
                     QColor(row.colour->red, row.colour->green, row.colour->blue));
        if (row.background) {
            QVERIFY2(control->autoFillBackground(), name);
            QCOMPARE(control->palette().color(QPalette::Window),
                     QColor(row.background->red, row.background->green, row.background->blue));
        }
        QCOMPARE(control->toolTip(), row.hint ? u(row.hint) : QString());
        QCOMPARE(control->cursor().shape() == Qt::PointingHandCursor, row.handCursor);
        QCOMPARE(control->isHidden(), row.startsHidden || row.startsClosed);
        if (row.startsClosed)
            QVERIFY2(!control->isEnabled(), name);
    }
    // The pictures are there, at their design sizes before stretching.
    QCOMPARE(f.label("Image1")->pixmap().size(), QSize(100, 100));
    QCOMPARE(f.label("Image2")->pixmap().size(), QSize(100, 40));
    QVERIFY(f.label("Image1")->hasScaledContents());
}

void TestMainWindow::menuTree()
{
    GuiFixture f(Edition::Numbers3);
    auto* bar = f.form().findChild<QMenuBar*>(u("MainMenu1"));
    QVERIFY(bar);
    QCOMPARE(f.form().menuBar(), bar);
    // Every row of the menu design in its menu (or on the bar), in the table's order.
    QList<QAction*> top;
    QMap<QString, QList<QAction*>> inMenu;
    QMap<QString, QKeySequence> shortcuts {{u("CopyPrediction"), QKeySequence::Copy}};
    for (const MenuDesign& row : menuDesign()) {
        QAction* item = f.action(row.name);
        QCOMPARE(item->text(), u(row.caption));
        QCOMPARE(item->menu() != nullptr, row.isMenu);
        if (row.menu)
            inMenu[u(menuDesign().at(std::size_t(*row.menu)).name)].append(item);
        else
            top.append(item);
        if (row.shortcut)
            shortcuts.insert(u(row.name), QKeySequence(u(row.shortcut)));
        QCOMPARE(item->shortcutContext(), row.applicationWide ? Qt::ApplicationShortcut : Qt::WindowShortcut);
    }
    QCOMPARE(bar->actions(), top);
    for (auto it = inMenu.cbegin(); it != inMenu.cend(); ++it) {
        auto* menu = f.form().findChild<QMenu*>(it.key());
        QVERIFY(menu);
        QCOMPARE(menu->actions(), it.value());
    }

    // The shortcuts of the table and the payout panel's copy only; captions without accelerators.
    for (QAction* item : f.form().findChildren<QAction*>()) {
        QCOMPARE(item->shortcut(), shortcuts.value(item->objectName()));
        QVERIFY2(!item->text().contains(u("&")), qPrintable(item->objectName()));
    }
}

void TestMainWindow::fixedSizeWindowWithoutMaximise()
{
    GuiFixture f(Edition::Numbers3);
    TMainForm& form = f.form();
    QCOMPARE(form.objectName(), u("MainForm"));
    QCOMPARE(form.centralWidget()->size(), QSize(381, 215));
    QCOMPARE(form.centralWidget()->y(), form.menuBar()->height());
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QCOMPARE(form.size(), form.minimumSize());
    // The status line lies below the client area, which keeps its size and place.
    QCOMPARE(form.height(), form.menuBar()->height() + 215 + form.statusBar()->height());
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);

    // Asking for more room changes nothing.
    form.resize(600, 400);
    QCOMPARE(form.size(), form.minimumSize());
    form.showMaximized();
    QTest::qWait(20);
    QCOMPARE(form.centralWidget()->size(), QSize(381, 215));
    form.showNormal();
    form.showMinimized();
    QTest::qWait(20);
    QVERIFY(form.isMinimized());
}

void TestMainWindow::captionsBeforeAndAfterFormCreate()
{
    GuiFixture f(Edition::Numbers3, FixtureOptions().notCreated());
    QCOMPARE(f.form().windowTitle(), u("Tolvi Numbers3"));
    QCOMPARE(f.form().applicationTitle(), u("Tolvi Numbers3"));
    f.form().FormCreate();
    QCOMPARE(f.form().windowTitle(), u("Tolvi Numbers3 Ver1.6c"));
    QCOMPARE(f.form().applicationTitle(), u("Tolvi Numbers3"));
}

void TestMainWindow::panelsStartClosed()
{
    GuiFixture f(Edition::Numbers3);
    for (const char* panel : {"GetPanel", "GetPanel2", "OptnPanel", "EditPanel"}) {
        QVERIFY2(f.widget(panel)->isHidden(), panel);
        QVERIFY2(!f.widget(panel)->isEnabled(), panel);
    }
    QVERIFY(f.isOpen("Panel1"));
    auto* timer = f.form().findChild<QTimer*>(u("WkupTim"));
    QVERIFY(timer);
    QVERIFY(!timer->isActive());
    QCOMPARE(timer->interval(), 100);
    QCOMPARE(f.form().wkupTimTag(), 0);
    QVERIFY(f.get<QCheckBox>("MismatchChk")->isChecked());
}

void TestMainWindow::hiddenControlsAreNeverReachable()
{
    GuiFixture f(Edition::Numbers3);
    QWidget* panel1 = f.widget("Panel1");
    QWidget* client = f.form().centralWidget();
    for (const char* name : {"EditNum", "PatnView", "Button2"}) {
        QWidget* hidden = f.widget(name);
        QCOMPARE(hidden->focusPolicy(), Qt::NoFocus);
        QVERIFY2(!f.reachable(hidden), name);
        // Every pixel of it lies under the side panel.
        const QRect area = hidden->geometry();
        QVERIFY2(panel1->geometry().contains(area), name);
        for (const QPoint& p :
             {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight(), area.center()}) {
            QWidget* top = client->childAt(p);
            QVERIFY2(top == panel1 || panel1->isAncestorOf(top), name);
        }
    }
    QCOMPARE(f.get<QLineEdit>("EditNum")->text(), u("4"));
    QVERIFY(!f.click("Button2"));

    // The keyboard never reaches them either.
    f.widget("Button1")->setFocus();
    QCOMPARE(QApplication::focusWidget(), f.widget("Button1"));
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        for (const char* name : {"EditNum", "PatnView", "Button2"})
            QVERIFY2(QApplication::focusWidget() != f.widget(name), name);
    }
    // Nothing else takes the focus while no panel is open.
    QCOMPARE(QApplication::focusWidget(), f.widget("Button1"));
}

void TestMainWindow::handCursors()
{
    GuiFixture f(Edition::Numbers3);
    for (const char* name : {"Button1", "Button3", "Button4", "OptSetBut", "EdtSetBut", "EdtExtBut", "EdtAutoBut"})
        QVERIFY2(f.widget(name)->cursor().shape() == Qt::PointingHandCursor, name);
    for (const char* name : {"Button2", "MismatchChk", "ListView", "Num3Edit"})
        QVERIFY2(f.widget(name)->cursor().shape() != Qt::PointingHandCursor, name);
}

void TestMainWindow::editLimitsAndTabOrder()
{
    GuiFixture f(Edition::Numbers3, withHistory(oneDraw()));
    QCOMPARE(f.get<QLineEdit>("Num3Edit")->maxLength(), 3);
    QCOMPARE(f.get<QLineEdit>("Num4Edit")->maxLength(), 4);
    for (const char* name : {"Num3Edit1", "Num3Edit2", "Num3Edit3", "Num3Edit4", "Num3Edit5", "Num4Edit1", "Num4Edit2",
                             "Num4Edit3", "Num4Edit4"})
        QCOMPARE(f.get<QLineEdit>(name)->maxLength(), 7);

    QVERIFY(f.trigger("EditMenu"));
    QVERIFY(f.isOpen("EditPanel"));
    QCOMPARE(QApplication::focusWidget(), f.widget("Num3Edit"));
    // Typing stops at the limit.
    f.type("Num3Edit", u("12345"));
    QCOMPARE(f.get<QLineEdit>("Num3Edit")->text(), u("123"));
    f.type("Num3Edit1", u("123456789"));
    QCOMPARE(f.get<QLineEdit>("Num3Edit1")->text(), u("1234567"));

    f.widget("Num3Edit")->setFocus();
    const char* const order[] = {"Num3Edit1", "Num3Edit2", "Num3Edit3",  "Num3Edit4", "Num3Edit5",
                                 "Num4Edit",  "Num4Edit1", "Num4Edit2",  "Num4Edit3", "Num4Edit4",
                                 "EdtSetBut", "EdtExtBut", "EdtAutoBut", "Num3Edit"};
    for (const char* expected : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), u(expected));
    }
}

void TestMainWindow::listColumns()
{
    GuiFixture f(Edition::Numbers3);
    QTableView* list = f.list("ListView");
    QAbstractItemModel* model = list->model();
    QCOMPARE(model->columnCount(), 3);
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), u("抽選"));
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), u("当選番号"));
    QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), u("結果"));
    QCOMPARE(list->columnWidth(0), 50);
    QCOMPARE(list->columnWidth(1), 80);
    QCOMPARE(list->columnWidth(2), 100);
    auto alignment = [&](int column) {
        return Qt::Alignment(model->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).toInt()) &
               Qt::AlignHorizontal_Mask;
    };
    QCOMPARE(alignment(0), Qt::AlignLeft);
    QCOMPARE(alignment(1), Qt::AlignHCenter);
    QCOMPARE(alignment(2), Qt::AlignLeft);
    QVERIFY(list->showGrid());
    QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!(list->focusPolicy() & Qt::TabFocus));
    QCOMPARE(list->font().family(), u("IPAGothic"));
    QCOMPARE(list->font().pixelSize(), 12);

    QTableView* stats = f.list("PatnView");
    const char* const headers[] = {"No", "ｽﾄﾚｰﾄ", "", "ﾎﾞｯｸｽ", "", "ﾐﾆ", "", "回収率"};
    const int widths[] = {50, 45, 60, 45, 60, 45, 60, 70};
    QCOMPARE(stats->model()->columnCount(), 8);
    for (int column = 0; column < 8; ++column) {
        QCOMPARE(stats->model()->headerData(column, Qt::Horizontal).toString(), u(headers[column]));
        QCOMPARE(stats->columnWidth(column), widths[column]);
        const auto align =
            Qt::Alignment(stats->model()->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).toInt());
        QCOMPARE(align & Qt::AlignHorizontal_Mask, column == 0 ? Qt::AlignLeft : Qt::AlignRight);
    }
}

void TestMainWindow::idleCommandsAvailable()
{
    GuiFixture f(Edition::Numbers3);
    QVERIFY(commandsEnabled(f));
    QVERIFY(alwaysAvailable(f));
}

void TestMainWindow::twoClicksWithin100msGiveOneRun()
{
    GuiFixture f(Edition::Numbers3, withHistory(oneDraw()));
    auto* timer = f.form().findChild<QTimer*>(u("WkupTim"));
    QElapsedTimer sinceFirst;
    QVERIFY(f.click("Button1"));
    sinceFirst.start();
    QVERIFY(timer->isActive());
    QCOMPARE(f.runs(), 0);  // deferred: nothing ran inside the click
    QTest::qWait(40);
    // On a machine too busy to come back within the 100 ms the run has already happened; the
    // second click then finds "予想" unavailable, and there is still one run.
    if (f.runs() == 0) {
        QVERIFY(f.click("Button1"));
        const qint64 elapsed = sinceFirst.elapsed();
        // The second click did not restart the interval: the tick is still due 100 ms after the first.
        if (f.runs() == 0)
            QVERIFY2(
                timer->remainingTime() <= 100 - elapsed + 5,
                qPrintable(
                    QString("remaining %1 ms, %2 ms after the first click").arg(timer->remainingTime()).arg(elapsed)));
    }
    QVERIFY(f.waitForRuns(1));
    QVERIFY(!timer->isActive());
    QTest::qWait(300);
    QCOMPARE(f.runs(), 1);
    QVERIFY(f.isOpen("GetPanel"));
}

void TestMainWindow::secondCommandBeforeTickChangesOnlyTheMode()
{
    GuiFixture f(Edition::Numbers3, withHistory(oneDraw()));
    QVERIFY(f.trigger("N1"));
    QCOMPARE(f.form().wkupTimTag(), 0);
    // "要素評価" lies under the side panel; its handler is what a click would run.
    f.form().Button2Click();
    QCOMPARE(f.form().wkupTimTag(), 999);
    QVERIFY(f.waitForRuns(1));
    QTest::qWait(200);
    QCOMPARE(f.runs(), 1);
    // The one run was a factor evaluation: it added a statistics row.
    QCOMPARE(f.rowCount("PatnView"), 1);
}

void TestMainWindow::missingHistoryShowsErrorBoxAndStaysIdle()
{
    GuiFixture f(Edition::Numbers3);  // no Numbers.dat
    MessageBoxWatcher boxes;
    QVERIFY(f.click("Button1"));
    QVERIFY(f.waitForRuns(1));
    QTRY_COMPARE(boxes.boxes().size(), 1);
    const ShownBox box = boxes.boxes().first();
    QCOMPARE(box.caption, u("Tolvi Numbers3"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // It names the file tried, then where an installed program keeps the history and how to
    // start it there (the fixture's folder is the home folder).
    const QString data = QString::fromStdString((f.dir().path() / ".local/share/tolvi-numbers/").string());
    QVERIFY2(box.text.startsWith(u("履歴ファイル ") + QString::fromStdString(f.dir().file("Numbers.dat").string())) &&
                 box.text.contains(data) && box.text.contains(u("「Tolvi ナンバーズ3」")),
             qPrintable(box.text));
    // No panel opened; the commands are still there; the list and labels are untouched.
    for (const char* panel : {"GetPanel", "GetPanel2", "OptnPanel", "EditPanel"})
        QVERIFY2(!f.isOpen(panel), panel);
    QVERIFY(commandsEnabled(f));
    QCOMPARE(f.rowCount("ListView"), 0);
    QCOMPARE(f.labelText("Label16"), u("次回抽選の予想番号"));
    QCOMPARE(f.labelText("Label4"), u("ｽﾄﾚｰﾄ的中数："));
    // And no second run follows by itself.
    QTest::qWait(400);
    QCOMPARE(f.runs(), 1);
    QCOMPARE(boxes.boxes().size(), 1);

    // The user can try again at once.
    QVERIFY(f.click("Button1"));
    QVERIFY(f.waitForRuns(2));
    QTRY_COMPARE(boxes.boxes().size(), 2);
}

void TestMainWindow::optionsPanelOpensAndCloses()
{
    GuiFixture f(Edition::Numbers3);
    QVERIFY(f.trigger("Option"));
    QVERIFY(f.isOpen("OptnPanel"));
    QVERIFY(commandsDisabled(f));
    QVERIFY(alwaysAvailable(f));
    QCOMPARE(QApplication::focusWidget(), f.widget("OptSetBut"));
    // The panel covers the list and the side panel.
    QVERIFY(!f.reachable(f.widget("Button1")));
    QVERIFY(!f.reachable(f.widget("ListView")));

    QVERIFY(f.click("MismatchChk"));
    QVERIFY(!f.get<QCheckBox>("MismatchChk")->isChecked());
    QVERIFY(f.click("OptSetBut"));
    QVERIFY(!f.isOpen("OptnPanel"));
    QVERIFY(f.widget("OptnPanel")->isHidden());
    QVERIFY(commandsEnabled(f));
    QCOMPARE(QApplication::focusWidget(), f.widget("Button1"));
    // "設定" only closes: the box keeps its state, and nothing is written before the end.
    QVERIFY(!f.get<QCheckBox>("MismatchChk")->isChecked());
    QVERIFY(!std::filesystem::exists(f.settingsPath()));
}

void TestMainWindow::settingLoadedAtCreation()
{
    {
        GuiFixture f(Edition::Numbers3, FixtureOptions().withSettings("[Option]\r\nMismatch=0\r\n"));
        QVERIFY(!f.get<QCheckBox>("MismatchChk")->isChecked());
    }
    {
        GuiFixture f(Edition::Numbers3, FixtureOptions().withSettings("[Option]\r\nMismatch=1\r\n"));
        QVERIFY(f.get<QCheckBox>("MismatchChk")->isChecked());
    }
    {
        GuiFixture f(Edition::Numbers3);  // no file: ticked, as designed
        QVERIFY(f.get<QCheckBox>("MismatchChk")->isChecked());
    }
}

void TestMainWindow::settingSavedOnceAtEndEvenWithOptionsOpen()
{
    GuiFixture f(Edition::Numbers3, FixtureOptions().withSettings("[Option]\r\nMismatch=1\r\n"));
    QVERIFY(f.trigger("Option"));
    QVERIFY(f.click("MismatchChk"));
    QVERIFY(f.isOpen("OptnPanel"));
    // "終了" with the panel still open.
    QVERIFY(f.trigger("Exit1"));
    QTRY_VERIFY(!f.form().isVisible());
    f.destroyForm();
    const std::string saved = test::readFileBytes(f.settingsPath());
    QVERIFY2(saved.find("Mismatch=0") != std::string::npos, saved.c_str());
    QVERIFY(saved.find("Mismatch=1") == std::string::npos);

    // Once only: an explicit FormDestroy before the end is not repeated by the destruction.
    GuiFixture g(Edition::Numbers3);
    g.form().FormDestroy();
    QVERIFY(std::filesystem::exists(g.settingsPath()));
    std::filesystem::remove(g.settingsPath());
    g.destroyForm();
    QVERIFY(!std::filesystem::exists(g.settingsPath()));
}

void TestMainWindow::unwritableSettingsShowErrorBoxAtEnd()
{
    GuiFixture f(Edition::Numbers3);
    const std::filesystem::path unwritable = f.dir().path() / "missing-directory" / "Tolvi.ini";
    f.form().setSettingsPath(unwritable);
    MessageBoxWatcher boxes;
    f.destroyForm();
    QCOMPARE(boxes.boxes().size(), 1);
    const ShownBox box = boxes.boxes().first();
    QCOMPARE(box.caption, u("Tolvi Numbers3"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.text, QString::fromStdString(unwritable.string()) + u(" に書き込めません。"));
}

void TestMainWindow::helpPagesOpenOnlyWhenPresent()
{
    GuiFixture f(Edition::Numbers3);
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(u("file"), &recorder, "open");
    MessageBoxWatcher boxes;

    QVERIFY(f.trigger("Help"));
    QVERIFY(f.trigger("Saport"));
    QTest::qWait(50);
    QVERIFY(recorder.opened.isEmpty());
    QVERIFY(boxes.boxes().isEmpty());

    f.dir().write("help.html", "<html></html>");
    f.dir().write("index.html", "<html></html>");
    QVERIFY(f.trigger("Help"));
    QVERIFY(f.trigger("Saport"));
    QCOMPARE(recorder.opened.size(), 2);
    QCOMPARE(recorder.opened[0], QUrl::fromLocalFile(QString::fromStdString(f.dir().file("help.html").string())));
    QCOMPARE(recorder.opened[1], QUrl::fromLocalFile(QString::fromStdString(f.dir().file("index.html").string())));
    QVERIFY(boxes.boxes().isEmpty());
    // The window is unchanged.
    QVERIFY(commandsEnabled(f));
    QDesktopServices::unsetUrlHandler(u("file"));
}

void TestMainWindow::exitClosesTheWindow()
{
    GuiFixture f(Edition::Numbers3);
    QVERIFY(f.trigger("Exit1"));
    QTRY_VERIFY(!f.form().isVisible());
    // Closing is not yet the end: the setting is written when the window is destroyed.
    QVERIFY(!std::filesystem::exists(f.settingsPath()));
    f.destroyForm();
    QVERIFY(std::filesystem::exists(f.settingsPath()));
}

void TestMainWindow::keyboardAloneReachesEveryPanel_data()
{
    // Each last draw is hit by its edition's first prediction.
    QTest::addColumn<int>("edition");
    QTest::addColumn<QString>("lastDraw");
    QTest::newRow("Numbers3") << int(Edition::Numbers3) << u("755");
    QTest::newRow("Mini") << int(Edition::Mini) << u("465");
}

void TestMainWindow::keyboardAloneReachesEveryPanel()
{
    QFETCH(int, edition);
    QFETCH(QString, lastDraw);
    // The focused control gets the key; menus open with Alt and the arrows, as a user opens them.
    auto press = [](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    };
    auto choose = [](GuiFixture& f, const char* menuName, const char* actionName) {
        QMenuBar* bar = f.form().menuBar();
        QTest::keyClick(&f.form(), Qt::Key_Alt);
        for (int i = 0; i < 4 && bar->activeAction() != f.action(menuName); ++i)
            QTest::keyClick(bar, Qt::Key_Right);
        QTest::keyClick(bar, Qt::Key_Down);
        QMenu* menu = f.action(menuName)->menu();
        for (int i = 0; i < 8 && menu->activeAction() != f.action(actionName); ++i)
            QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    };
    GuiFixture f(Edition(edition), withHistory(test::HistoryBuilder().draw(1, lastDraw.toStdString()).bytes()));
    QVERIFY(!f.form().windowIcon().isNull());
    QCOMPARE(QApplication::focusWidget(), f.widget("Button1"));

    // F5 runs; each "OK" takes the focus as its panel comes up; Enter, Ctrl+C, Escape.
    press(Qt::Key_F5);
    QVERIFY(f.waitForRuns(1));
    QCOMPARE(QApplication::focusWidget(), f.widget("Button4"));
    press(Qt::Key_Enter);
    QVERIFY(!f.isOpen("GetPanel2"));
    QCOMPARE(QApplication::focusWidget(), f.widget("Button3"));
    press(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text().section(u("："), 1).section(u(" "), 0, 0), f.labelText("Label17"));
    press(Qt::Key_Escape);
    QVERIFY(!f.isOpen("GetPanel") && commandsEnabled(f));
    QCOMPARE(QApplication::focusWidget(), f.widget("Button1"));
    // Return on "予想", Escape on the hit panel, Space on the payout panel's "OK".
    press(Qt::Key_Return);
    QVERIFY(f.waitForRuns(2));
    press(Qt::Key_Escape);
    press(Qt::Key_Space);
    QVERIFY(!f.isOpen("GetPanel"));

    // The options panel: Tab to the box, Space unticks it, Return on "設定", Escape the same.
    choose(f, "Setting", "Option");
    QCOMPARE(QApplication::focusWidget(), f.widget("OptSetBut"));
    press(Qt::Key_Tab);
    press(Qt::Key_Space);
    QVERIFY(!f.get<QCheckBox>("MismatchChk")->isChecked());
    press(Qt::Key_Escape);
    QVERIFY(!f.isOpen("OptnPanel"));
    choose(f, "Setting", "Option");
    press(Qt::Key_Return);
    QVERIFY(!f.isOpen("OptnPanel"));

    // The entry panel: full-width digits from the input method turn into digits; Escape is "中止".
    choose(f, "Main", "EditMenu");
    QCOMPARE(QApplication::focusWidget(), f.widget("Num3Edit"));
    press(Qt::Key_Tab);
    QInputMethodEvent commit;
    commit.setCommitString(u("９００００"));
    QApplication::sendEvent(QApplication::focusWidget(), &commit);
    QCOMPARE(f.get<QLineEdit>("Num3Edit1")->text(), u("90000"));
    press(Qt::Key_Escape);
    QVERIFY(!f.isOpen("EditPanel"));
    QCOMPARE(QApplication::focusWidget(), f.widget("Button1"));

    // The chart window: Escape is "閉じる" once; opened again, Ctrl+Q there ends the program.
    for (const QKeyCombination key : {QKeyCombination(Qt::Key_Escape), Qt::CTRL | Qt::Key_Q}) {
        f.form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.form()));
        choose(f, "Main", "GraphMenu");
        QWidget* chart = f.form().findChild<QWidget*>(u("ChartWindow"));
        QVERIFY(chart && chart->isVisible() && QTest::qWaitForWindowActive(chart));
        QTest::keyClick(chart, key.key(), key.keyboardModifiers());
        QTRY_VERIFY(!f.form().findChild<QWidget*>(u("ChartWindow")));
    }
    QVERIFY(!f.form().isVisible());
}

void TestMainWindow::noRunStartsOnceTheProgramEnds()
{
    // "予想" just before the end: the run is still pending when the window is destroyed, and the
    // error box about the settings file stays open well past the timer's interval.
    GuiFixture f(Edition::Numbers3, withHistory(oneDraw()));
    f.form().setSettingsPath(f.dir().path() / "missing-directory" / "Tolvi.ini");
    MessageBoxWatcher boxes(300);
    f.form().Button1Click();
    f.destroyForm();
    QCOMPARE(boxes.boxes().size(), 1);
    QCOMPARE(f.runs(), 0);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Closing the window in a test must not end the test program.
    QApplication::setQuitOnLastWindowClosed(false);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestMainWindow.moc"
