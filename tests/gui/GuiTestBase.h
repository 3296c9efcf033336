#pragma once
// The real main window of one edition, in a working directory of its own, driven the way a
// user drives it: clicks where the pointer can reach, menu commands only while they are
// available, typed text, and message boxes answered with their OK button.

#include "app/MainUnit.h"
#include "support/TempDir.h"

#include <QElapsedTimer>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QLabel;
class QTableView;

namespace tolvi::guitest {

// A message box as it was shown.
struct ShownBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool hasParent = false;
};

// Answers every message box that becomes the active modal window with its OK button and
// remembers what it showed, for as long as it lives. A box is answered once it has been shown
// for `answerAfterMs`, the way a user takes time to read it.
class MessageBoxWatcher : public QObject {
public:
    explicit MessageBoxWatcher(int answerAfterMs = 0);
    const QList<ShownBox>& boxes() const { return boxes_; }

private:
    void poll();

    QTimer timer_;
    QList<ShownBox> boxes_;
    int answerAfterMs_;
    QPointer<QMessageBox> shown_;
    QElapsedTimer shownFor_;
};

// Counts the runs of the engine it wraps.
class CountingEngine : public PredictionEngine {
public:
    CountingEngine(std::unique_ptr<PredictionEngine> inner, int& runs) : inner_(std::move(inner)), runs_(runs) { }
    void run(const RunRequest& request, RunView& view) override
    {
        ++runs_;
        inner_->run(request, view);
    }

private:
    std::unique_ptr<PredictionEngine> inner_;
    int& runs_;
};

// The engine of the edition, as its program constructs it.
std::unique_ptr<PredictionEngine> editionEngine(Edition edition);

struct FixtureOptions {
    // The bytes of Numbers.dat; no file at all when empty.
    std::optional<std::string> history;
    // The settings file's bytes, written before the window loads it; no file when empty.
    std::optional<std::string> settings;
    // Run FormCreate and show the window, as the program does.
    bool create = true;
    // The engine the window is handed; the edition's own when not set.
    std::function<std::unique_ptr<PredictionEngine>()> engine;

    FixtureOptions& withHistory(std::string bytes)
    {
        history = std::move(bytes);
        return *this;
    }
    FixtureOptions& withSettings(std::string bytes)
    {
        settings = std::move(bytes);
        return *this;
    }
    FixtureOptions& notCreated()
    {
        create = false;
        return *this;
    }
    FixtureOptions& withEngine(std::function<std::unique_ptr<PredictionEngine>()> factory)
    {
        engine = std::move(factory);
        return *this;
    }
};

inline FixtureOptions withHistory(std::string bytes)
{
    return FixtureOptions().withHistory(std::move(bytes));
}

class GuiFixture {
public:
    explicit GuiFixture(Edition edition, FixtureOptions options = {});
    ~GuiFixture();
    GuiFixture(const GuiFixture&) = delete;
    GuiFixture& operator=(const GuiFixture&) = delete;

    TMainForm& form() { return *form_; }
    const test::TempDir& dir() const { return dir_; }
    std::filesystem::path settingsPath() const { return dir_.file("Tolvi.ini"); }
    int runs() const { return runs_; }

    // The control of that object name; fails the test when there is none.
    QWidget* widget(const char* name);
    template <class T> T* get(const char* name) { return qobject_cast<T*>(widget(name)); }
    QLabel* label(const char* name);
    QAction* action(const char* name);
    QTableView* list(const char* name);
    QString labelText(const char* name);

    // The widget the pointer meets at `widget`'s centre (whatever lies on top there).
    QWidget* widgetAtCentreOf(QWidget* widget);
    // Whether the pointer can reach `widget` at its centre: it is visible, enabled and on top.
    bool reachable(QWidget* widget);
    // Clicks the control with the mouse at its centre; false when it cannot be reached.
    bool click(const char* name);
    // Chooses a menu command; false when it, or the menu holding it, is unavailable.
    bool trigger(const char* name);
    // Whether a menu command can be chosen: its menu and itself are enabled.
    bool available(const char* name);
    // Replaces the text of an edit by typing.
    void type(const char* name, const QString& text);

    // Waits until the engine has run `count` times in all and the window is back in the event loop.
    bool waitForRuns(int count, int timeoutMs = 20000);

    // The cells of a report-view row.
    QStringList row(const char* listName, int row);
    int rowCount(const char* listName);

    // Open = enabled and visible.
    bool isOpen(const char* panelName);

    // Destroys the window as the program end does; the fixture no longer has one afterwards.
    void destroyForm();

private:
    test::TempDir dir_;
    QString previousDir_;
    // The user's folders while the window lives: the fixture's directory is the home folder.
    std::vector<std::pair<const char*, std::optional<QByteArray>>> previousEnvironment_;
    int runs_ = 0;
    std::unique_ptr<TMainForm> form_;
};

// Where a label that sizes itself to its text stands: its design box, unless the installed face
// draws the design text wider; then it is just wide enough.
QRect autoSizedGeometry(const QLabel* label, const QRect& design);

// The shipped sample history.
std::string sampleHistory();

// Test texts are written in UTF-8.
QString u(const char* utf8);
QStringList cells(std::initializer_list<const char*> texts);

// The commands a panel or a finished run disables ("予想" and the menu items the design table
// allows only when idle), and the menu items no state disables.
bool commandsEnabled(GuiFixture& f);
bool commandsDisabled(GuiFixture& f);
bool alwaysAvailable(GuiFixture& f);

// Answers the next file dialog by typing `typed` into its file name box and pressing Enter, or
// cancels it when `typed` is empty.
void answerFileDialog(const QString& typed);

// Runs a prediction the way the user does ("予想"), and waits for it.
bool predict(GuiFixture& f);
// The directory of the committed golden files of the core tests.
std::filesystem::path testDataDir();

}  // namespace tolvi::guitest
