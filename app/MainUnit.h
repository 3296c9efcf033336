#pragma once
// The one window of either edition. It owns every control, runs the handlers of its buttons,
// menus and timer, and shows what a prediction run produces (it is the run's RunView).
//
// The window knows its edition only as a tolvi::Edition and its engine only as a
// PredictionEngine, so each program links the engine of its own edition and nothing of the other.

#include "settings/SettingsLocation.h"
#include "engine/PredictionEngine.h"
#include "engine/RunView.h"
#include "design/WindowDesign.h"
#include "entry/ResultRetrieval.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QMessageBox>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QTableView;
class QTimer;
class Panel;
class ReportModel;

class TMainForm : public QMainWindow, public tolvi::RunView {
    Q_OBJECT

public:
    TMainForm(tolvi::Edition edition, std::unique_ptr<tolvi::PredictionEngine> engine, QWidget* parent = nullptr);
    ~TMainForm() override;

    tolvi::Edition edition() const { return edition_; }
    // The task bar's name and the caption of every message box.
    QString applicationTitle() const;

    // Where the one setting is read from and kept. Unless set otherwise: the program file's path
    // with ".ini", or the same name in the user's configuration folder where the program's folder
    // cannot be written (tolvi::SettingsLocation). A path set here is used as it is.
    void setSettingsPath(std::filesystem::path path) { settingsPath_ = std::move(path); }
    const std::filesystem::path& settingsPath() const { return settingsPath_; }
    // The directory holding help.html and index.html; the program's own unless set otherwise.
    void setProgramDir(QString dir) { programDir_ = std::move(dir); }
    const QString& programDir() const { return programDir_; }
    // The results web server ("name" or "name:port") and the HTTP client that reaches it. Without
    // a client of its own the window uses libcurl for the host at each retrieval.
    void setResultsHost(std::string host) { resultsHost_ = std::move(host); }
    const std::string& resultsHost() const { return resultsHost_; }
    void setHttpClient(std::unique_ptr<tolvi::HttpClient> client);

    // The tag of WkupTim: 0 for a prediction, 999 for a factor evaluation.
    int wkupTimTag() const { return wkupTimTag_; }

    // Event handlers, each named after its control and event.
    void FormCreate();
    void FormDestroy();
    void Button1Click();
    void N1Click();
    void Button2Click();
    void WkupTimTimer();
    void Button3Click();
    void Button4Click();
    void OptionClick();
    void OptSetButClick();
    void EditMenuClick();
    void EdtSetButClick();
    void EdtExtButClick();
    void EdtAutoButClick();
    // "取り込み…": appends the draws of chosen results files after the history's last.
    void ImportMenuClick();
    void HelpClick();
    void SaportClick();
    void Exit1Click();

    // True when the edit holds a character outside "0" to "9"; an empty edit gives false.
    bool CheckNumEditData(const QLineEdit* edit) const;

    // RunView: what a run shows. Rows and captions are collected and reach the screen at most
    // once a frame; everything is on screen when the run ends or an error is shown.
    void clearResults() override;
    void addResult(tolvi::ResultRow row) override;
    void addStats(tolvi::StatsRow row) override;
    void setText(tolvi::RunControl label, std::string text) override;
    void setVisible(tolvi::RunControl label, bool visible) override;
    void openPanel(tolvi::RunControl panel) override;
    void disableCommands() override;

    using QMainWindow::setVisible;

private:
    struct RunLabel {
        QLabel* label = nullptr;
        bool autoSize = true;
        std::string text;
        bool textPending = false;
        bool visible = true;
        bool visiblePending = false;
    };
    struct PendingAction {
        enum class Kind { OpenPanel, Show, Hide, DisableCommands } kind;
        QWidget* widget = nullptr;
    };
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view> {}(name); }
    };

    void buildWindow();
    void buildMenu();
    void buildMainControls(QWidget* client);
    void buildSidePanel();
    void buildPayoutPanel();
    void buildHitPanel();
    void buildOptionsPanel();
    void buildEntryPanel();
    void connectHandlers();
    void registerRunLabels();

    // Runs `handler`; an exception ends it and is shown in the error box.
    void guarded(const std::function<void()>& handler);
    void showErrorBox(const QString& text, QWidget* parent);
    void showPlainBox(const QString& text, QMessageBox::Icon icon = QMessageBox::NoIcon);
    void showInformationBox(const QString& text);

    void openPanelNow(QWidget* panel);
    void closePanel(QWidget* panel);
    void setCommandsEnabled(bool enabled);
    void armTimer(int tag);
    void openEntryPanel();
    QLineEdit* entryEdit(std::string_view name) const;
    void openLocalPage(const QString& fileName);

    RunLabel* runLabel(std::string_view name);
    QWidget* namedWidget(std::string_view name) const;
    void checkFlush(bool cheapCall);
    // Moves everything collected during the run onto the controls; `repaintList` paints the
    // result list at once instead of at the next return to the event loop.
    void flushRun(bool repaintList);

    tolvi::Edition edition_;
    const tolvi::EditionInfo& info_;
    std::unique_ptr<tolvi::PredictionEngine> engine_;
    // Chosen at construction; settingsPath_ starts as its read path.
    tolvi::SettingsLocation settingsLocation_;
    std::filesystem::path settingsPath_;
    QString programDir_;
    std::string resultsHost_;
    std::unique_ptr<tolvi::HttpClient> httpClient_;
    bool created_ = false;
    bool destroyed_ = false;
    int wkupTimTag_ = 0;

    // Controls, by their form names.
    QMenuBar* MainMenu1 = nullptr;
    QMenu* Main = nullptr;
    QAction* N1 = nullptr;
    QAction* EditMenu = nullptr;
    QAction* ImportMenu = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* Setting = nullptr;
    QAction* Option = nullptr;
    QAction* Help = nullptr;
    QAction* Saport = nullptr;
    QTableView* ListView = nullptr;
    QTableView* PatnView = nullptr;
    QLineEdit* EditNum = nullptr;
    QPushButton* Button2 = nullptr;
    Panel* Panel1 = nullptr;
    QPushButton* Button1 = nullptr;
    Panel* GetPanel = nullptr;
    QPushButton* Button3 = nullptr;
    Panel* GetPanel2 = nullptr;
    QPushButton* Button4 = nullptr;
    Panel* OptnPanel = nullptr;
    QCheckBox* MismatchChk = nullptr;
    QPushButton* OptSetBut = nullptr;
    Panel* EditPanel = nullptr;
    QLabel* Label28 = nullptr;
    QPushButton* EdtSetBut = nullptr;
    QPushButton* EdtExtBut = nullptr;
    QPushButton* EdtAutoBut = nullptr;
    std::array<QLineEdit*, 11> entryEdits_ {};
    std::array<int, 11> entryMaxLengths_ {};
    QTimer* WkupTim = nullptr;
    ReportModel* resultModel_ = nullptr;
    ReportModel* statsModel_ = nullptr;

    // What a run has shown since the last flush.
    std::vector<RunLabel> runLabels_;
    std::unordered_map<std::string, std::size_t, NameHash, std::equal_to<>> runLabelIndex_;
    std::string_view lastLabelName_;
    std::size_t lastLabelIndex_ = 0;
    std::vector<std::string> pendingResults_;
    bool pendingClear_ = false;
    std::vector<std::string> pendingStats_;
    std::vector<PendingAction> pendingActions_;
    QElapsedTimer sinceFlush_;
    unsigned cheapCalls_ = 0;
};
