#pragma once
// What a prediction run shows in the main window. Rows and captions are collected and reach the
// controls at most once a frame while a run goes on, so that a long run neither paints every row
// nor leaves the list still; everything collected is on the controls when the run ends and
// whenever flushRun() is called (before an error box, say).

#include "app/FormBuilder.h"
#include "design/RunCaptions.h"
#include "design/WindowDesign.h"

#include <QElapsedTimer>

#include <array>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QTableView;
class QWidget;
class ReportModel;

class WindowRunView final : public tolvi::LabelView {
public:
    // What the window does for a run: opening a panel and leaving the commands off while the
    // payout panel is open follow its own rules.
    struct WindowRules {
        std::function<void(QWidget*)> openPanel;
        std::function<void(tolvi::WindowState)> enterState;
    };

    // `controls` are the controls made from the edition's design.
    WindowRunView(const FormControls& controls, tolvi::Edition edition, WindowRules rules);

    // While a scope lives a run goes on: what it shows reaches the controls once a frame. When it
    // ends, for whatever reason, everything is on the controls.
    class RunScope {
    public:
        explicit RunScope(WindowRunView& view);
        ~RunScope();
        RunScope(const RunScope&) = delete;
        RunScope& operator=(const RunScope&) = delete;

    private:
        WindowRunView& view_;
    };

    void clearResults() override;
    void addResult(tolvi::ResultRow row) override;
    void addStats(tolvi::StatsRow row) override;
    void setText(tolvi::RunControl label, std::string text) override;
    void setVisible(tolvi::RunControl control, bool visible) override;
    void openPanel(tolvi::RunControl panel) override;
    void disableCommands() override;

    // Moves everything collected onto the controls; `repaintList` paints the result list at once
    // instead of at the next return to the event loop.
    void flushRun(bool repaintList);

private:
    struct RunLabel {
        QLabel* label = nullptr;  // none: the control is no label of this window
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

    void checkFlush(bool cheapCall);

    WindowRules rules_;
    QTableView* resultList_ = nullptr;
    ReportModel* results_ = nullptr;
    ReportModel* stats_ = nullptr;
    // By RunControl.
    std::array<RunLabel, tolvi::kRunControlCount> labels_ {};
    std::array<QWidget*, tolvi::kRunControlCount> controls_ {};

    // What the run has shown since the last flush.
    std::vector<std::string> pendingResults_;
    bool pendingClear_ = false;
    std::vector<std::string> pendingStats_;
    std::vector<PendingAction> pendingActions_;
    // Valid only while a run goes on.
    QElapsedTimer sinceFlush_;
    unsigned cheapCalls_ = 0;
};
