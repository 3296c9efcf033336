#pragma once
// The one window of either edition. It owns every control, made from the design table of its
// edition, runs the handlers of its buttons, menus and timer, and hands each prediction run its
// run view, which shows what the run produces.
//
// The window knows its edition only as a tolvi::Edition and its engine only as a
// PredictionEngine, so each program links the engine of its own edition and nothing of the other.

#include "app/FormBuilder.h"
#include "design/FormDesign.h"
#include "design/WindowDesign.h"
#include "engine/PredictionEngine.h"
#include "entry/EntryFields.h"
#include "entry/ResultRetrieval.h"
#include "settings/SettingsLocation.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QTimer;
class AnalysisWindow;
class ChartWindow;
class TicketWindow;
class HistoryStatusLine;
class PanelKeys;
class WindowRunView;

class TMainForm : public QMainWindow {
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
    // "最新の結果に更新": adds the draws published since the history's last, with a progress
    // dialog that can stop it; then the window as after a fresh start.
    void UpdateMenuClick();
    // "グラフ…": the prediction's record over the whole history, in a window of its own.
    void GraphMenuClick();
    // "分析…": the draws of either game beside pure chance, in a window of its own.
    void AnalysisMenuClick();
    void RestoreMenuClick();
    // "購入記録…": the user's tickets settled against the history, in a window of its own.
    void TicketsMenuClick();
    // The payout panel's "予想を購入記録に追加…": the predicted numbers as tickets on the next draw.
    void RecordPredictionClick();
    void HelpClick();
    void SaportClick();
    void Exit1Click();

    // True when the edit holds a character outside "0" to "9"; an empty edit gives false.
    bool CheckNumEditData(const QLineEdit* edit) const;

protected:
    // Ending the program also ends a retrieval that is waiting on a server.
    void closeEvent(QCloseEvent* event) override;
    // Return and Enter press a focused push button, as Space does.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void buildMenu();
    void findControls(const FormControls& controls);
    void setDesignTabOrder();
    // Escape on the panels, the payout panel's copy command, full-width digits in the entry.
    void setUpKeys();
    void connectHandlers();

    // Runs `handler`; an exception ends it and is shown in the error box.
    void guarded(const std::function<void()>& handler);
    void showErrorBox(const QString& text, QWidget* parent);
    void showPlainBox(const QString& text, QMessageBox::Icon icon = QMessageBox::NoIcon);
    void showInformationBox(const QString& text);
    // "インターネットから参照" where the build names no monthly results server: the publisher's
    // file for the panel's draw.
    void fillEntryFromPublisher();

    // The panel rules: a panel opens enabled, then shown, and closes disabled, then hidden.
    void openPanelNow(QWidget* panel);
    void closePanel(QWidget* panel);
    // Makes every command, menu and button of the design table available as `state` allows
    // (tolvi::allowed), and no other way.
    void applyState(tolvi::WindowState state);
    // Opens a panel over the list with the commands off, and focuses `focus` on it.
    void openCommandPanel(QWidget* panel, QWidget* focus);
    // Closes it again: the commands come back and "予想" has the focus.
    void closeCommandPanel(QWidget* panel);
    class StateScope;

    void armTimer(int tag);
    void openEntryPanel();
    QLineEdit* entryEdit(tolvi::EntryField field) const;
    void openLocalPage(const QString& fileName);

    tolvi::Edition edition_;
    const tolvi::EditionDescription& info_;
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

    // Controls the handlers use, by their form names.
    QMenuBar* MainMenu1 = nullptr;
    // By tolvi::MenuItem: every item's action, and the menu of each that holds others.
    std::array<QAction*, tolvi::kMenuItemCount> menuActions_ {};
    std::array<QMenu*, tolvi::kMenuItemCount> menus_ {};
    // Every control made from the design table.
    FormControls controls_;
    tolvi::WindowState state_ = tolvi::WindowState::Idle;
    QLineEdit* EditNum = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button1 = nullptr;
    QWidget* GetPanel = nullptr;
    QPushButton* Button3 = nullptr;
    QWidget* GetPanel2 = nullptr;
    QPushButton* Button4 = nullptr;
    QWidget* OptnPanel = nullptr;
    QCheckBox* MismatchChk = nullptr;
    QPushButton* OptSetBut = nullptr;
    QWidget* EditPanel = nullptr;
    QLabel* Label28 = nullptr;
    QPushButton* EdtSetBut = nullptr;
    QPushButton* EdtExtBut = nullptr;
    QPushButton* EdtAutoBut = nullptr;
    // Num3Edit … Num4Edit4 in the order of tolvi::EntryField, and their design limits.
    std::array<QLineEdit*, tolvi::kEntryFieldCount> entryEdits_ {};
    std::array<int, tolvi::kEntryFieldCount> entryMaxLengths_ {};
    // The draw the entry panel is titled with: the one its retrieval looks for.
    std::int32_t entryDraw_ = 0;
    QTimer* WkupTim = nullptr;
    PanelKeys* panelKeys_ = nullptr;

    std::unique_ptr<WindowRunView> runView_;
    // Set once the window is closing: a retrieval in progress stops at its next turn.
    bool ending_ = false;
    QPointer<ChartWindow> chartWindow_;
    QPointer<AnalysisWindow> analysisWindow_;
    bool predicted_ = false;  // a prediction run has filled the payout panel
    QPointer<TicketWindow> ticketWindow_;
    // What the tickets won on draws `first`..`last` just added (empty when none covers them);
    // the ledger window, when open, shows it too.
    QString ticketWins(std::int32_t first, std::int32_t last);
    HistoryStatusLine* statusLine_ = nullptr;
};
