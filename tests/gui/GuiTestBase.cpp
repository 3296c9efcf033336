#include "gui/GuiTestBase.h"

#include "design/FormDesign.h"
#include "engine/EngineFactory.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTableView>
#include <QTest>

#include <algorithm>

namespace tolvi::guitest {

MessageBoxWatcher::MessageBoxWatcher(int answerAfterMs) : answerAfterMs_(answerAfterMs)
{
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
    timer_.start();
}

void MessageBoxWatcher::poll()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    if (box != shown_) {
        shown_ = box;
        shownFor_.start();
    }
    if (shownFor_.elapsed() < answerAfterMs_)
        return;
    ShownBox shown;
    shown.caption = box->windowTitle();
    shown.text = box->text();
    shown.icon = box->icon();
    shown.buttons = box->standardButtons();
    shown.hasParent = box->parentWidget() != nullptr;
    boxes_.append(shown);
    if (QAbstractButton* ok = box->button(QMessageBox::Ok))
        ok->click();
    else
        box->reject();
}

namespace {

// The dialog lists its folder in the background and may not
// take the names before it knows the files: then they are typed again a little later, into the
// same dialog, until it closes.
void answerFileDialogLater(const QString& typed, bool answered, QPointer<QFileDialog> answering)
{
    QTimer::singleShot(20, [typed, answered, answering] {
        if (answered && (!answering || !answering->isVisible()))
            return;  // it took the answer
        QPointer<QFileDialog> dialog =
            answered ? answering.data() : qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* name = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!name || !name->isVisible())
            return answerFileDialogLater(typed, answered, dialog);
        if (typed.isEmpty())
            return dialog->reject();
        name->clear();
        QTest::keyClicks(name, typed);
        QTest::keyClick(name, Qt::Key_Return);
        answerFileDialogLater(typed, true, dialog);
    });
}

}  // namespace

void answerFileDialog(const QString& typed)
{
    answerFileDialogLater(typed, false, {});
}

std::unique_ptr<PredictionEngine> editionEngine(Edition edition)
{
    return makeEngine(edition);
}

GuiFixture::GuiFixture(Edition edition, FixtureOptions options) : previousDir_(QDir::currentPath())
{
    if (options.history)
        dir_.write("Numbers.dat", *options.history);
    if (options.settings)
        dir_.write(settingsPath().filename().string(), *options.settings);
    QDir::setCurrent(QString::fromStdString(dir_.path().string()));
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
        previousEnvironment_.emplace_back(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name))
                                                                                : std::nullopt);
        qunsetenv(name);
    }
    qputenv("HOME", QByteArray::fromStdString(dir_.path().string()));

    std::unique_ptr<PredictionEngine> engine = options.engine ? options.engine() : editionEngine(edition);
    form_ = std::make_unique<TMainForm>(edition, std::make_unique<CountingEngine>(std::move(engine), runs_));
    form_->setSettingsPath(settingsPath());
    form_->setProgramDir(QString::fromStdString(dir_.path().string()));
    if (options.create) {
        form_->FormCreate();
        form_->show();
        form_->activateWindow();
        if (!QTest::qWaitForWindowActive(form_.get()))
            qWarning("the main window did not become active");
    }
}

GuiFixture::~GuiFixture()
{
    form_.reset();
    QDir::setCurrent(previousDir_);
    for (const auto& [name, value] : previousEnvironment_) {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
}

void GuiFixture::destroyForm()
{
    form_.reset();
}

QWidget* GuiFixture::widget(const char* name)
{
    auto* found = form_->findChild<QWidget*>(QString::fromUtf8(name));
    if (!found)
        qFatal("the window has no control %s", name);
    return found;
}

QLabel* GuiFixture::label(const char* name)
{
    auto* found = qobject_cast<QLabel*>(widget(name));
    if (!found)
        qFatal("%s is not a label", name);
    return found;
}

QAction* GuiFixture::action(const char* name)
{
    auto* found = form_->findChild<QAction*>(QString::fromUtf8(name));
    if (!found) {
        if (auto* menu = form_->findChild<QMenu*>(QString::fromUtf8(name)))
            found = menu->menuAction();
    }
    if (!found)
        qFatal("the window has no menu item %s", name);
    return found;
}

QTableView* GuiFixture::list(const char* name)
{
    auto* found = qobject_cast<QTableView*>(widget(name));
    if (!found)
        qFatal("%s is not a list", name);
    return found;
}

QString GuiFixture::labelText(const char* name)
{
    return label(name)->text();
}

QWidget* GuiFixture::widgetAtCentreOf(QWidget* target)
{
    QWidget* client = form_->centralWidget();
    return client->childAt(target->mapTo(client, target->rect().center()));
}

bool GuiFixture::reachable(QWidget* target)
{
    if (!target->isVisible() || !target->isEnabled())
        return false;
    QWidget* top = widgetAtCentreOf(target);
    return top == target || (top && target->isAncestorOf(top));
}

bool GuiFixture::click(const char* name)
{
    QWidget* target = widget(name);
    if (!reachable(target))
        return false;
    QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
    return true;
}

bool GuiFixture::available(const char* name)
{
    QAction* item = action(name);
    if (!item->isEnabled())
        return false;
    for (QObject* holder : item->associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(holder)) {
            if (!menu->isEnabled() || !menu->menuAction()->isEnabled())
                return false;
        }
    }
    return true;
}

bool GuiFixture::trigger(const char* name)
{
    if (!available(name))
        return false;
    action(name)->trigger();
    return true;
}

void GuiFixture::type(const char* name, const QString& text)
{
    auto* edit = qobject_cast<QLineEdit*>(widget(name));
    if (!edit)
        qFatal("%s is not an edit", name);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

bool GuiFixture::waitForRuns(int count, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (runs_ < count) {
        if (waited.elapsed() > timeoutMs)
            return false;
        QTest::qWait(10);
    }
    // The run happened inside one timer event, finished once the wait returns; let the window
    // handle what the run posted.
    QCoreApplication::processEvents();
    return true;
}

QStringList GuiFixture::row(const char* listName, int rowIndex)
{
    QAbstractItemModel* model = list(listName)->model();
    QStringList cells;
    for (int column = 0; column < model->columnCount(); ++column)
        cells << model->index(rowIndex, column).data().toString();
    return cells;
}

int GuiFixture::rowCount(const char* listName)
{
    return list(listName)->model()->rowCount();
}

bool GuiFixture::isOpen(const char* panelName)
{
    QWidget* panel = widget(panelName);
    return panel->isEnabled() && panel->isVisible();
}

QRect autoSizedGeometry(const QLabel* label, const QRect& design)
{
    return QRect(design.topLeft(), QSize(qMax(design.width(), label->sizeHint().width()), design.height()));
}

std::string sampleHistory()
{
    return test::readFileBytes(TOLVI_SAMPLE_HISTORY);
}

std::filesystem::path testDataDir()
{
    return TOLVI_TEST_DATA;
}

QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QStringList cells(std::initializer_list<const char*> texts)
{
    QStringList result;
    for (const char* text : texts)
        result << u(text);
    return result;
}

namespace {

// Whether the design table lets the menu item be chosen in the state: it and its menu allow it.
bool choosable(const MenuDesign& row, WindowState state)
{
    return allowed(row.availability, state) &&
           (!row.menu || allowed(menuDesign().at(std::size_t(*row.menu)).availability, state));
}

// The menu items an open panel leaves off: the commands.
std::vector<const char*> commandItems()
{
    std::vector<const char*> names;
    for (const MenuDesign& row : menuDesign())
        if (!choosable(row, WindowState::PanelOpen))
            names.push_back(row.name);
    return names;
}

}  // namespace

bool commandsEnabled(GuiFixture& f)
{
    const std::vector<const char*> items = commandItems();
    return f.widget("Button1")->isEnabled() &&
           std::all_of(items.begin(), items.end(), [&](const char* name) { return f.available(name); });
}

bool commandsDisabled(GuiFixture& f)
{
    const std::vector<const char*> items = commandItems();
    return !f.widget("Button1")->isEnabled() &&
           std::none_of(items.begin(), items.end(), [&](const char* name) { return f.available(name); });
}

bool alwaysAvailable(GuiFixture& f)
{
    for (const MenuDesign& row : menuDesign()) {
        const bool always = std::all_of(kWindowStates.begin(), kWindowStates.end(),
                                        [&](WindowState state) { return choosable(row, state); });
        if (always && !f.available(row.name))
            return false;
    }
    return true;
}

bool predict(GuiFixture& f)
{
    const int before = f.runs();
    return f.click("Button1") && f.waitForRuns(before + 1);
}

}  // namespace tolvi::guitest
