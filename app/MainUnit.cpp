#include "app/MainUnit.h"

#include "app/AnalysisWindow.h"
#include "app/AsciiDigitsValidator.h"
#include "app/ChartWindow.h"
#include "app/DesignFonts.h"
#include "app/FileDialogFolder.h"
#include "app/FormBuilder.h"
#include "app/HistoryHint.h"
#include "app/HistoryStatusLine.h"
#include "app/PanelKeys.h"
#include "app/PredictionCopy.h"
#include "app/RestoreDialog.h"
#include "app/TicketWindow.h"
#include "app/UpdateRunner.h"
#include "app/Utf8Text.h"
#include "app/WindowRunView.h"
#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "design/FormDesign.h"
#include "entry/PublishedEntry.h"
#include "entry/ResultEntry.h"
#include "history/HistoryReader.h"
#include "results/HistoryImport.h"
#include "settings/SettingsFile.h"
#include "tickets/TicketReport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <QUrl>

#include <optional>
#include <stdexcept>
#include <string>

namespace {

// The history file, always relative to the current working directory.
const char* const kHistoryPath = "Numbers.dat";

using Handler = void (TMainForm::*)();

// What choosing the menu item does; nothing for a menu, which only holds items.
Handler menuHandler(tolvi::MenuItem item)
{
    using enum tolvi::MenuItem;
    switch (item) {
    case Main:
    case Setting: return nullptr;
    case N1: return &TMainForm::N1Click;
    case EditMenu: return &TMainForm::EditMenuClick;
    case ImportMenu: return &TMainForm::ImportMenuClick;
    case UpdateMenu: return &TMainForm::UpdateMenuClick;
    case GraphMenu: return &TMainForm::GraphMenuClick;
    case AnalysisMenu: return &TMainForm::AnalysisMenuClick;
    case RestoreMenu: return &TMainForm::RestoreMenuClick;
    case TicketsMenu: return &TMainForm::TicketsMenuClick;
    case Exit1: return &TMainForm::Exit1Click;
    case Option: return &TMainForm::OptionClick;
    case Help: return &TMainForm::HelpClick;
    case Saport: return &TMainForm::SaportClick;
    }
    return nullptr;
}

bool operatedByAPerson(tolvi::ControlKind kind)
{
    using enum tolvi::ControlKind;
    switch (kind) {
    case Button:
    case Edit:
    case CheckBox: return true;
    case Label:
    case Picture:
    case Panel:
    case Bevel:
    case ReportView: return false;
    }
    return false;
}

}  // namespace

// Puts the window in a state for as long as it lives, and back in the state before on every way
// out, errors included. A retrieval also gives the keyboard's focus back to the control that had
// it, which disabling the focused button took away.
class TMainForm::StateScope {
public:
    StateScope(TMainForm& window, tolvi::WindowState state, bool returnFocus)
        : window_(window), before_(window.state_), focused_(returnFocus ? QApplication::focusWidget() : nullptr)
    {
        window_.applyState(state);
    }
    ~StateScope()
    {
        window_.applyState(before_);
        if (focused_)
            focused_->setFocus(Qt::OtherFocusReason);
    }
    StateScope(const StateScope&) = delete;
    StateScope& operator=(const StateScope&) = delete;

private:
    TMainForm& window_;
    tolvi::WindowState before_;
    QPointer<QWidget> focused_;
};

TMainForm::TMainForm(tolvi::Edition edition, std::unique_ptr<tolvi::PredictionEngine> engine, QWidget* parent)
    : QMainWindow(parent), edition_(edition), info_(tolvi::describe(edition)), engine_(std::move(engine)),
      settingsLocation_(QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString(),
                        tolvi::SettingsLocation::UserFolders::fromEnvironment()),
      settingsPath_(settingsLocation_.readPath()), programDir_(QCoreApplication::applicationDirPath()),
      resultsHost_(tolvi::defaultResultsHost())
{
    buildWindow();
    connectHandlers();
    // A run ends by opening its panels and disabling the commands, by the window's own rules.
    WindowRunView::WindowRules rules;
    // The button that closes what the run opened takes the focus: the hit panel's "OK" first.
    rules.openPanel = [this](QWidget* panel) {
        openPanelNow(panel);
        panelKeys_->focusOpenPanel();
    };
    rules.enterState = [this](tolvi::WindowState state) { applyState(state); };
    runView_ = std::make_unique<WindowRunView>(controls_, edition_, std::move(rules));
}

TMainForm::~TMainForm()
{
    FormDestroy();
}

QString TMainForm::applicationTitle() const
{
    return text(info_.applicationTitle);
}

void TMainForm::setHttpClient(std::unique_ptr<tolvi::HttpClient> client)
{
    httpClient_ = std::move(client);
}

// ---------------------------------------------------------------------------------------------
// The window at its design values.

void TMainForm::buildWindow()
{
    const tolvi::FormFrame& frame = tolvi::formFrame(edition_);
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(applicationTitle());
    // The edition's logo, also where no desktop entry gives the window its icon.
    const char* const logo = tolvi::controlDesign(edition_, tolvi::Control::Image1)->picture;
    setWindowIcon(QIcon(QStringLiteral(":/images/%1.png").arg(text(logo))));
    setFont(DesignFonts::font(frame.font));
    // A fixed single border: a close box and a minimise box, no maximise box, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    buildMenu();
    statusLine_ = new HistoryStatusLine(this);
    setStatusBar(statusLine_);

    auto* client = new QWidget(this);
    client->setObjectName(text(tolvi::controlName(tolvi::Control::ClientArea)));
    client->setFixedSize(frame.clientWidth, frame.clientHeight);
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    controls_ = FormBuilder::build(client, edition_);
    for (QPushButton* button : client->findChildren<QPushButton*>())
        button->installEventFilter(this);
    findControls(controls_);
    setDesignTabOrder();
    setUpKeys();

    WkupTim = new QTimer(this);
    WkupTim->setObjectName(QStringLiteral("WkupTim"));
    WkupTim->setInterval(100);
    // Never sooner than the interval: a coarse timer may fire a few milliseconds early.
    WkupTim->setTimerType(Qt::PreciseTimer);
}

void TMainForm::buildMenu()
{
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    setMenuBar(MainMenu1);

    for (const tolvi::MenuDesign& row : tolvi::menuDesign()) {
        QWidget* holder = MainMenu1;
        if (row.menu && !(holder = menus_.at(std::size_t(*row.menu))))
            throw std::logic_error(std::string("the menu of ") + row.name + " is not made before it");
        const QString caption = text(row.caption);
        QAction* action = nullptr;
        if (row.isMenu) {
            QMenu* menu = row.menu ? menus_.at(std::size_t(*row.menu))->addMenu(caption) : MainMenu1->addMenu(caption);
            menu->setObjectName(text(row.name));
            action = menu->menuAction();
            action->setObjectName(text(row.name) + QStringLiteral("Action"));
            menus_.at(std::size_t(row.id)) = menu;
        } else {
            action = new QAction(caption, holder);
            holder->addAction(action);
            action->setObjectName(text(row.name));
            if (row.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
            if (row.applicationWide)
                action->setShortcutContext(Qt::ApplicationShortcut);
        }
        menuActions_.at(std::size_t(row.id)) = action;
    }
    for (std::size_t i = 0; i < menuActions_.size(); ++i)
        if (!menuActions_[i])
            throw std::logic_error("the menu design has no row for item " + std::to_string(i));
}

void TMainForm::findControls(const FormControls& controls)
{
    EditNum = controls.get<QLineEdit>(tolvi::Control::EditNum);
    Button2 = controls.get<QPushButton>(tolvi::Control::Button2);
    Button1 = controls.get<QPushButton>(tolvi::Control::Button1);
    GetPanel = controls.get(tolvi::Control::GetPanel);
    Button3 = controls.get<QPushButton>(tolvi::Control::Button3);
    GetPanel2 = controls.get(tolvi::Control::GetPanel2);
    Button4 = controls.get<QPushButton>(tolvi::Control::Button4);
    OptnPanel = controls.get(tolvi::Control::OptnPanel);
    MismatchChk = controls.get<QCheckBox>(tolvi::Control::MismatchChk);
    OptSetBut = controls.get<QPushButton>(tolvi::Control::OptSetBut);
    EditPanel = controls.get(tolvi::Control::EditPanel);
    Label28 = controls.get<QLabel>(tolvi::Control::Label28);
    EdtSetBut = controls.get<QPushButton>(tolvi::Control::EdtSetBut);
    EdtExtBut = controls.get<QPushButton>(tolvi::Control::EdtExtBut);
    EdtAutoBut = controls.get<QPushButton>(tolvi::Control::EdtAutoBut);
    for (std::size_t i = 0; i < entryEdits_.size(); ++i) {
        entryEdits_[i] = controls.get<QLineEdit>(tolvi::controlNamed(tolvi::kEntryEditNames[i]));
        entryMaxLengths_[i] = entryEdits_[i]->maxLength();
    }
}

void TMainForm::setDesignTabOrder()
{
    // "予想" first, then the panels' controls (reached only while a panel is open).
    std::vector<QWidget*> order {Button1, Button3, Button4, MismatchChk, OptSetBut};
    order.insert(order.end(), entryEdits_.begin(), entryEdits_.end());
    order.insert(order.end(), {EdtSetBut, EdtExtBut, EdtAutoBut});
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void TMainForm::setUpKeys()
{
    // Escape presses the button that closes the panel; the hit panel lies inside the payout panel.
    panelKeys_ = new PanelKeys(this);
    panelKeys_->add(GetPanel, Button3);
    panelKeys_->add(GetPanel2, Button4);
    panelKeys_->add(OptnPanel, OptSetBut);
    panelKeys_->add(EditPanel, EdtExtBut);
    addPredictionCopy(GetPanel);
    auto* recordPrediction = new QAction(text("予想を購入記録に追加…"), GetPanel);
    recordPrediction->setObjectName(QStringLiteral("RecordPrediction"));
    connect(recordPrediction, &QAction::triggered, this, &TMainForm::RecordPredictionClick);
    GetPanel->addAction(recordPrediction);
    for (QLineEdit* edit : entryEdits_)
        edit->setValidator(new AsciiDigitsValidator(edit));
}

void TMainForm::connectHandlers()
{
    connect(Button1, &QPushButton::clicked, this, &TMainForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TMainForm::Button2Click);
    connect(WkupTim, &QTimer::timeout, this, &TMainForm::WkupTimTimer);
    connect(Button3, &QPushButton::clicked, this, &TMainForm::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TMainForm::Button4Click);
    connect(OptSetBut, &QPushButton::clicked, this, &TMainForm::OptSetButClick);
    connect(EdtSetBut, &QPushButton::clicked, this, &TMainForm::EdtSetButClick);
    connect(EdtExtBut, &QPushButton::clicked, this, &TMainForm::EdtExtButClick);
    connect(EdtAutoBut, &QPushButton::clicked, this, &TMainForm::EdtAutoButClick);
    for (const tolvi::MenuDesign& row : tolvi::menuDesign())
        if (const Handler handler = menuHandler(row.id))
            connect(menuActions_.at(std::size_t(row.id)), &QAction::triggered, this, handler);
}

// ---------------------------------------------------------------------------------------------
// Message boxes and panels.

void TMainForm::guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const tolvi::ConversionError& error) {
        // A field that is no number comes from a damaged history; the text alone does not say so.
        const std::filesystem::path full = tolvi::HistoryFile::fullPath(kHistoryPath);
        showErrorBox(QString::fromUtf8(error.what()) + text("\n\n履歴ファイル ") +
                         QString::fromStdString(full.string()) +
                         text(" が壊れているようです。どこがどう壊れているかは、端末で tolvi check --dir ") +
                         QString::fromStdString(full.parent_path().string()) + text(" を実行すると表示されます。"),
                     this);
    } catch (const std::exception& error) {
        const QString message = QString::fromUtf8(error.what());
        showErrorBox(message + missingHistoryNote(message, kHistoryPath, edition_), this);
    }
}

void TMainForm::showErrorBox(const QString& message, QWidget* parent)
{
    // Whatever a run showed before it failed stays shown, and is on screen before the box.
    runView_->flushRun(false);
    QMessageBox box(QMessageBox::Critical, applicationTitle(), message, QMessageBox::Ok, parent);
    box.exec();
}

void TMainForm::showPlainBox(const QString& message, QMessageBox::Icon icon)
{
    QMessageBox box(icon, applicationTitle(), message, QMessageBox::Ok, this);
    box.exec();
}

void TMainForm::showInformationBox(const QString& message)
{
    // Without a parent the box is centred on the screen rather than on the window.
    QMessageBox box(QMessageBox::Information, applicationTitle(), message, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void TMainForm::openPanelNow(QWidget* panel)
{
    panel->setEnabled(true);
    panel->show();
}

void TMainForm::closePanel(QWidget* panel)
{
    panel->setEnabled(false);
    panel->hide();
}

void TMainForm::applyState(tolvi::WindowState state)
{
    state_ = state;
    for (const tolvi::ControlDesign& row : tolvi::formDesign(edition_))
        if (operatedByAPerson(row.kind))
            controls_.get(row.id)->setEnabled(tolvi::allowed(row.availability, state));
    for (const tolvi::MenuDesign& row : tolvi::menuDesign()) {
        const bool on = tolvi::allowed(row.availability, state);
        if (QMenu* menu = menus_.at(std::size_t(row.id)))
            menu->setEnabled(on);
        menuActions_.at(std::size_t(row.id))->setEnabled(on);
    }
}

void TMainForm::openCommandPanel(QWidget* panel, QWidget* focus)
{
    openPanelNow(panel);
    applyState(tolvi::WindowState::PanelOpen);
    focus->setFocus();
}

void TMainForm::closeCommandPanel(QWidget* panel)
{
    closePanel(panel);
    applyState(tolvi::WindowState::Idle);
    Button1->setFocus();
}

// ---------------------------------------------------------------------------------------------
// Program start and end.

void TMainForm::FormCreate()
{
    created_ = true;
    guarded([this] { MismatchChk->setChecked(tolvi::SettingsFile::loadMismatch(settingsPath_)); });
    setWindowTitle(text(info_.windowCaption));
    statusLine_->refresh(kHistoryPath, true);
}

void TMainForm::FormDestroy()
{
    // A run still pending is not started any more: the error box below runs an event loop of
    // its own, where the timer would otherwise fire inside the window's destruction.
    WkupTim->stop();
    // Once, at the end; a window whose settings were never loaded has nothing of its own to save.
    if (destroyed_ || !created_)
        return;
    destroyed_ = true;
    try {
        // The usual place may move on to the user's own folder when the program's folder turns
        // out not to take the file; a path set from outside is written as it is.
        if (settingsPath_ == settingsLocation_.readPath())
            settingsLocation_.saveMismatch(MismatchChk->isChecked());
        else
            tolvi::SettingsFile::saveMismatch(settingsPath_, MismatchChk->isChecked());
    } catch (const std::exception& error) {
        // The window is going away: the box stands on its own.
        showErrorBox(QString::fromUtf8(error.what()), nullptr);
    }
}

void TMainForm::Exit1Click()
{
    close();
}

// ---------------------------------------------------------------------------------------------
// Prediction runs, deferred through WkupTim.

void TMainForm::armTimer(int tag)
{
    wkupTimTag_ = tag;
    // A pending run keeps its time: a second command before the tick changes only the mode.
    if (!WkupTim->isActive())
        WkupTim->start();
}

void TMainForm::Button1Click()
{
    armTimer(tolvi::kPredictionTag);
}

void TMainForm::N1Click()
{
    armTimer(tolvi::kPredictionTag);
}

void TMainForm::Button2Click()
{
    armTimer(tolvi::kFactorEvaluationTag);
}

void TMainForm::WkupTimTimer()
{
    WkupTim->stop();
    guarded([this] {
        tolvi::RunRequest request;
        request.tag = wkupTimTag_;
        request.mismatch = MismatchChk->isChecked();
        request.candidateCountText = EditNum->text().toStdString();
        request.historyPath = kHistoryPath;
        request.groupSeparator = tolvi::userGroupSeparator();

        const WindowRunView::RunScope scope(*runView_);
        engine_->run(request, *runView_);
        // The payout panel now holds a prediction, which the analysis window places among the kinds.
        predicted_ = predicted_ || request.tag == tolvi::kPredictionTag;
    });
    statusLine_->refresh(kHistoryPath, false);
}

void TMainForm::Button3Click()
{
    closeCommandPanel(GetPanel);
}

void TMainForm::Button4Click()
{
    closePanel(GetPanel2);
    // The payout panel's "OK" is next, for the keyboard as for the mouse.
    panelKeys_->focusOpenPanel();
}

// ---------------------------------------------------------------------------------------------
// The options panel.

void TMainForm::OptionClick()
{
    openCommandPanel(OptnPanel, OptSetBut);
}

void TMainForm::OptSetButClick()
{
    // Only closes: the box's state is read by the next run and saved at program end.
    closeCommandPanel(OptnPanel);
}

// ---------------------------------------------------------------------------------------------
// The entry panel.

QLineEdit* TMainForm::entryEdit(tolvi::EntryField field) const
{
    return entryEdits_[tolvi::entryFieldIndex(field)];
}

bool TMainForm::CheckNumEditData(const QLineEdit* edit) const
{
    return tolvi::checkNumEditData(edit->text().toStdString());
}

void TMainForm::openEntryPanel()
{
    entryDraw_ = tolvi::HistoryReader::lastDrawNumber(kHistoryPath) + 1;
    Label28->setText(QString::fromStdString(tolvi::entryPanelTitle(entryDraw_)));
    for (std::size_t i = 0; i < entryEdits_.size(); ++i) {
        entryEdits_[i]->setMaxLength(entryMaxLengths_[i]);
        entryEdits_[i]->clear();
    }
    openCommandPanel(EditPanel, entryEdits_[0]);
}

void TMainForm::EditMenuClick()
{
    guarded([this] { openEntryPanel(); });
}

void TMainForm::EdtSetButClick()
{
    guarded([this] {
        tolvi::EntryFields fields;
        for (std::size_t i = 0; i < entryEdits_.size(); ++i)
            fields[i] = entryEdits_[i]->text().toStdString();
        if (const std::optional<tolvi::EntryRefusal> refusal = tolvi::findRefusal(fields)) {
            showPlainBox(QString::fromStdString(refusal->message));
            // The field at fault, selected, so that typing replaces it.
            QLineEdit* atFault = entryEdit(refusal->field);
            atFault->setFocus(Qt::OtherFocusReason);
            atFault->selectAll();
            return;
        }
        tolvi::appendEntry(kHistoryPath, fields);
        statusLine_->refresh(kHistoryPath, false);
        const std::int32_t added = tolvi::HistoryReader::lastDrawNumber(kHistoryPath);
        if (const QString wins = ticketWins(added, added); !wins.isEmpty())
            showPlainBox(wins, QMessageBox::Information);
        // Set up again for the following draw; the panel stays open.
        openEntryPanel();
    });
}

void TMainForm::EdtExtButClick()
{
    closeCommandPanel(EditPanel);
}

void TMainForm::fillEntryFromPublisher()
{
    guarded([this] {
        const std::int32_t draw = tolvi::HistoryReader::lastDrawNumber(kHistoryPath) + 1;
        const StateScope retrieving(*this, tolvi::WindowState::RetrievingFile, true);
        const tolvi::UpdateSettings settings = tolvi::defaultUpdateSettings();
        const tolvi::PublishedEntry entry =
            runBesideEventLoop([&] { return tolvi::fetchPublishedEntry(draw, settings); });
        for (std::size_t i = 0; entry.result.filled && i < entryEdits_.size(); ++i)
            entryEdits_[i]->setText(QString::fromStdString(entry.fields[i]));
        QString message = QString::fromStdString(entry.result.message);
        message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        switch (entry.result.kind) {
        case tolvi::MessageKind::None: break;
        case tolvi::MessageKind::Plain: showPlainBox(message); break;
        case tolvi::MessageKind::Information: showInformationBox(message); break;
        }
    });
}

void TMainForm::EdtAutoButClick()
{
    if (resultsHost_.empty()) {
        fillEntryFromPublisher();
        return;
    }
    guarded([this] {
        // "中止" stays usable during the walk of the monthly pages: it stops the retrieval (and
        // closes the panel as ever), and the button shows where the retrieval is.
        const StateScope retrieving(*this, tolvi::WindowState::Retrieving, true);
        bool stopped = false;
        const QString caption = EdtAutoBut->text();
        const QMetaObject::Connection stop =
            connect(EdtExtBut, &QPushButton::clicked, this, [&stopped] { stopped = true; });
        const auto restore = qScopeGuard([&] {
            QObject::disconnect(stop);
            EdtAutoBut->setText(caption);
        });

        std::unique_ptr<tolvi::HttpClient> ownClient;
        tolvi::HttpClient* client = httpClient_.get();
        if (!client) {
            ownClient = tolvi::makeCurlClient(resultsHost_);
            client = ownClient.get();
        }
        tolvi::RetrievalHooks hooks;
        hooks.processEvents = [] { QCoreApplication::processEvents(); };
        hooks.ending = [this, &stopped] { return ending_ || stopped; };
        hooks.progress = [this](const std::string& where) { EdtAutoBut->setText(QString::fromStdString(where)); };
        hooks.setField = [this](tolvi::EntryField field, const std::string& value) {
            QLineEdit* edit = entryEdit(field);
            const QString fieldText = QString::fromStdString(value);
            // A page value longer than the field is shown whole, never cut short to fit: "入力"
            // refuses what does not fit the record. Opening the panel restores the limit.
            if (fieldText.size() > edit->maxLength())
                edit->setMaxLength(int(fieldText.size()));
            edit->setText(fieldText);
        };
        const tolvi::RetrievalResult result =
            tolvi::retrieveResults(entryDraw_, *client, resultsHost_, std::filesystem::current_path(), hooks);
        QString message = QString::fromStdString(result.message);
        message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        switch (result.kind) {
        case tolvi::MessageKind::None: break;
        // Every plain message of a retrieval is an "エラー：…".
        case tolvi::MessageKind::Plain: showPlainBox(message, QMessageBox::Warning); break;
        case tolvi::MessageKind::Information: showInformationBox(message); break;
        }
    });
}

// ---------------------------------------------------------------------------------------------
// Importing results files.

void TMainForm::ImportMenuClick()
{
    guarded([this] {
        // Several files at once, so that a Numbers3 file and its Numbers4 file come in together.
        QFileDialog dialog(this, text("取り込む当せん結果の CSV ファイル (Numbers3 と Numbers4 を一緒に選べます)"),
                           fileDialogFolder(), text("CSV ファイル (*.csv *.CSV *.txt);;すべてのファイル (*)"));
        dialog.setFileMode(QFileDialog::ExistingFiles);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        rememberFileDialogChoice(dialog.selectedFiles().first());
        std::vector<std::string> sources;
        for (const QString& file : dialog.selectedFiles())
            sources.push_back(QFile::encodeName(file).toStdString());
        tolvi::ImportSummary summary;
        try {
            summary = tolvi::importFromSources(kHistoryPath, sources, false);
        } catch (const tolvi::RecentDisagreement& refused) {
            // The user may know better than the file (a prize corrected after it was typed in).
            const QString question =
                QString::fromStdString(refused.what()) + text("\n\nそれでも新しい回を追加しますか？");
            if (QMessageBox::question(this, applicationTitle(), question, QMessageBox::Yes | QMessageBox::No,
                                      QMessageBox::No) != QMessageBox::Yes)
                return;
            summary = tolvi::importFromSources(kHistoryPath, sources, false, true);
        }
        statusLine_->refresh(kHistoryPath, false);
        showPlainBox(QString::fromStdString(tolvi::describeImport(summary)).trimmed(), QMessageBox::Information);
    });
}

void TMainForm::UpdateMenuClick()
{
    guarded([this] {
        // Like an import, the update writes the history: no other command meanwhile.
        const StateScope updating(*this, tolvi::WindowState::Updating, false);
        const tolvi::UpdateReport report =
            runUpdateWithProgress(this, applicationTitle(), kHistoryPath, tolvi::defaultUpdateSettings());
        // What the window showed was replayed from the history as it was: start afresh.
        closePanel(GetPanel2);
        runView_->clearResults();
        for (const tolvi::RunControl label : tolvi::runLabels(edition_))
            runView_->setText(label, tolvi::designCaption(edition_, label));
        statusLine_->refresh(kHistoryPath, false);
        QString summary = QString::fromStdString(tolvi::describeUpdate(report)).trimmed();
        if (report.added > 0 && !report.dryRun)
            if (const QString wins = ticketWins(report.firstAdded, report.lastAdded); !wins.isEmpty())
                summary += QStringLiteral("\n") + wins;
        if (report.failure.empty())
            showPlainBox(summary, QMessageBox::Information);
        else
            showErrorBox(summary, this);
    });
}

// ---------------------------------------------------------------------------------------------
// Going back to a copy of the history.

void TMainForm::RestoreMenuClick()
{
    guarded([this] {
        const tolvi::HistoryBackups backups(kHistoryPath);
        if (const std::size_t number = RestoreDialog::choose(backups, applicationTitle(), this))
            showPlainBox(text("履歴ファイルを") +
                             QString::fromStdString(tolvi::describeBackup(backups.restore(number))) +
                             text("に戻しました。戻す前の内容もバックアップしてあります。"),
                         QMessageBox::Information);
    });
}

// ---------------------------------------------------------------------------------------------
// The charts.

void TMainForm::GraphMenuClick()
{
    guarded([this] {
        tolvi::RunRequest request;
        request.historyPath = kHistoryPath;
        request.groupSeparator = tolvi::userGroupSeparator();
        tolvi::RunStatistics statistics = tolvi::collectStatistics(*engine_, edition_, request);
        // One chart window at a time, always from the history as it is now.
        if (chartWindow_)
            chartWindow_->close();
        chartWindow_ = new ChartWindow(std::move(statistics), edition_, applicationTitle(), this);
        chartWindow_->setAttribute(Qt::WA_DeleteOnClose);
        chartWindow_->show();
    });
}

void TMainForm::AnalysisMenuClick()
{
    guarded([this] {
        // One analysis window at a time, always from the history as it is now.
        if (analysisWindow_)
            analysisWindow_->close();
        const auto replay = [this] {
            tolvi::RunRequest request;
            request.historyPath = kHistoryPath;
            return tolvi::collectStatistics(*engine_, edition_, request);
        };
        analysisWindow_ = new AnalysisWindow(edition_, kHistoryPath, applicationTitle(), replay, this);
        if (predicted_)
            analysisWindow_->showPrediction(predictedNumbers(GetPanel));
        analysisWindow_->setAttribute(Qt::WA_DeleteOnClose);
        analysisWindow_->show();
    });
}

// ---------------------------------------------------------------------------------------------
// The purchase ledger.

void TMainForm::TicketsMenuClick()
{
    guarded([this] {
        if (!ticketWindow_) {
            ticketWindow_ = new TicketWindow(kHistoryPath, applicationTitle(), this);
            ticketWindow_->setAttribute(Qt::WA_DeleteOnClose);
        }
        ticketWindow_->show();
        ticketWindow_->raise();
        ticketWindow_->activateWindow();
    });
}

void TMainForm::RecordPredictionClick()
{
    guarded([this] {
        const QStringList numbers = predictedNumbers(GetPanel);
        const tolvi::EditionDescription& edition = tolvi::describe(edition_);
        const tolvi::GameDescription& game = tolvi::describe(edition.game);
        const int recorded = TicketWindow::recordPrediction(
            this, kHistoryPath, settingsPath_, applicationTitle(),
            edition.predictedDigits == game.digits ? game.betKinds : edition.purchase, numbers);
        if (recorded == 0)
            return;
        if (ticketWindow_)
            ticketWindow_->refresh();
        showPlainBox(text("予想番号 %1 件を購入記録に追加しました。").arg(recorded), QMessageBox::Information);
    });
}

QString TMainForm::ticketWins(std::int32_t first, std::int32_t last)
{
    QString wins;
    try {
        wins = QString::fromStdString(tolvi::ticketWinsBeside(tolvi::HistoryFile::fullPath(kHistoryPath), first, last));
    } catch (const std::exception& error) {
        // The draws stay added; the ledger's trouble is said, not raised.
        wins = text("購入記録を確かめられませんでした: ") + QString::fromUtf8(error.what());
    }
    if (ticketWindow_)
        ticketWindow_->showNewDraws(first, last, wins);
    return wins.trimmed();
}

// ---------------------------------------------------------------------------------------------
// Ending, and the keys of the push buttons.

void TMainForm::closeEvent(QCloseEvent* event)
{
    ending_ = true;
    // The program ends with its main window: an open chart window would keep it running.
    if (chartWindow_)
        chartWindow_->close();
    if (analysisWindow_)
        analysisWindow_->close();
    if (ticketWindow_)
        ticketWindow_->close();
    QMainWindow::closeEvent(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button && (key == Qt::Key_Return || key == Qt::Key_Enter) && button->isEnabled()) {
            button->click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// The local pages.

void TMainForm::openLocalPage(const QString& fileName)
{
    const QString path = QDir(programDir_).filePath(fileName);
    // A missing page is not reported: the command simply does nothing.
    if (QFileInfo::exists(path))
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void TMainForm::HelpClick()
{
    openLocalPage(QStringLiteral("help.html"));
}

void TMainForm::SaportClick()
{
    openLocalPage(QStringLiteral("index.html"));
}
