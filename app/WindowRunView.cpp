#include "app/WindowRunView.h"

#include "app/ReportModel.h"
#include "design/FormDesign.h"

#include <QLabel>
#include <QTableView>

namespace {

// The design table's control of that name.
tolvi::Control formControl(tolvi::RunControl control)
{
    return tolvi::controlNamed(tolvi::controlName(control));
}

}  // namespace

WindowRunView::WindowRunView(const FormControls& controls, tolvi::Edition edition, WindowRules rules)
    : rules_(std::move(rules)), resultList_(controls.get<QTableView>(tolvi::Control::ListView)),
      results_(controls.reportModel(tolvi::Control::ListView)), stats_(controls.reportModel(tolvi::Control::PatnView))
{
    for (std::size_t i = 0; i < tolvi::kRunControlCount; ++i)
        controls_[i] = controls.find(formControl(tolvi::RunControl(i)));
    for (const tolvi::RunControl control : tolvi::runLabels(edition)) {
        RunLabel& entry = labels_[std::size_t(control)];
        entry.label = controls.get<QLabel>(formControl(control));
        entry.autoSize = tolvi::controlDesign(edition, formControl(control))->autoSize;
    }
}

WindowRunView::RunScope::RunScope(WindowRunView& view) : view_(view)
{
    view_.sinceFlush_.start();
    view_.cheapCalls_ = 0;
}

WindowRunView::RunScope::~RunScope()
{
    view_.flushRun(false);
    view_.sinceFlush_.invalidate();
}

void WindowRunView::checkFlush(bool cheapCall)
{
    // Outside a run (nothing is timing it) everything goes on screen at once.
    if (!sinceFlush_.isValid()) {
        flushRun(false);
        return;
    }
    // Reading the clock costs more than collecting a caption: look at it every 32nd caption.
    if (cheapCall && (++cheapCalls_ & 31u) != 0)
        return;
    if (sinceFlush_.elapsed() >= 16)
        flushRun(true);
}

void WindowRunView::clearResults()
{
    pendingResults_.clear();
    pendingClear_ = true;
    checkFlush(false);
}

void WindowRunView::addResult(tolvi::ResultRow row)
{
    pendingResults_.push_back(std::move(row.caption));
    pendingResults_.push_back(std::move(row.winning));
    pendingResults_.push_back(std::move(row.result));
    checkFlush(false);
}

void WindowRunView::addStats(tolvi::StatsRow row)
{
    for (std::string& cell : row)
        pendingStats_.push_back(std::move(cell));
    checkFlush(false);
}

void WindowRunView::setText(tolvi::RunControl control, std::string newText)
{
    RunLabel& entry = labels_[std::size_t(control)];
    if (entry.label) {
        entry.text = std::move(newText);
        entry.textPending = true;
    } else {
        const std::string_view name = tolvi::controlName(control);
        qWarning("WindowRunView::setText: no label %.*s", int(name.size()), name.data());
    }
    checkFlush(true);
}

void WindowRunView::setVisible(tolvi::RunControl control, bool visible)
{
    RunLabel& entry = labels_[std::size_t(control)];
    if (entry.label) {
        entry.visible = visible;
        entry.visiblePending = true;
    } else if (QWidget* widget = controls_[std::size_t(control)]) {
        pendingActions_.push_back({visible ? PendingAction::Kind::Show : PendingAction::Kind::Hide, widget});
    } else {
        const std::string_view name = tolvi::controlName(control);
        qWarning("WindowRunView::setVisible: no control %.*s", int(name.size()), name.data());
    }
    checkFlush(true);
}

void WindowRunView::openPanel(tolvi::RunControl panel)
{
    if (QWidget* widget = controls_[std::size_t(panel)]) {
        pendingActions_.push_back({PendingAction::Kind::OpenPanel, widget});
    } else {
        const std::string_view name = tolvi::controlName(panel);
        qWarning("WindowRunView::openPanel: no panel %.*s", int(name.size()), name.data());
    }
    checkFlush(false);
}

void WindowRunView::disableCommands()
{
    pendingActions_.push_back({PendingAction::Kind::DisableCommands});
    checkFlush(false);
}

void WindowRunView::flushRun(bool repaintList)
{
    if (pendingClear_) {
        results_->replaceAll(pendingResults_);
        pendingClear_ = false;
    } else if (!pendingResults_.empty()) {
        results_->append(pendingResults_);
    }
    if (!pendingStats_.empty())
        stats_->append(pendingStats_);

    for (RunLabel& entry : labels_) {
        if (!entry.label)
            continue;
        if (entry.textPending) {
            entry.label->setText(QString::fromStdString(entry.text));
            if (entry.autoSize)
                entry.label->resize(entry.label->sizeHint().width(), entry.label->height());
            entry.textPending = false;
        }
        if (entry.visiblePending) {
            entry.label->setVisible(entry.visible);
            entry.visiblePending = false;
        }
    }

    for (const PendingAction& action : pendingActions_) {
        switch (action.kind) {
        case PendingAction::Kind::OpenPanel: rules_.openPanel(action.widget); break;
        case PendingAction::Kind::Show: action.widget->show(); break;
        case PendingAction::Kind::Hide: action.widget->hide(); break;
        case PendingAction::Kind::DisableCommands: rules_.enterState(tolvi::WindowState::PanelOpen); break;
        }
    }
    pendingActions_.clear();

    if (repaintList)
        resultList_->viewport()->repaint();
    if (sinceFlush_.isValid())
        sinceFlush_.restart();
}
