#pragma once
// How the window words a run's result: the texts of its labels, the labels shown or hidden and
// the panels opened, in the order the window applies them. The window and the tool's simulated
// window both show a result through here, so `tolvi run` prints what the window would show.

#include "engine/RunResult.h"
#include "engine/RunView.h"

#include <string>
#include <vector>

namespace tolvi {

struct RunCaption {
    enum class Kind { Text, Show, Hide, OpenPanel, DisableCommands } kind;
    RunControl control = RunControl::PayoutPanel;  // not for DisableCommands
    std::string text;                              // for Text
};

// What the window shows when `part` of `result` has changed.
std::vector<RunCaption> runCaptions(const RunResult& result, RunPart part);

// A view with the window's labels: it shows each part of a result as runCaptions() words it.
class LabelView : public RunView {
public:
    void show(const RunResult& result, RunPart part) override;

    virtual void setText(RunControl label, std::string text) = 0;
    virtual void setVisible(RunControl control, bool visible) = 0;
    // Enables, then shows the panel (PayoutPanel or HitPanel).
    virtual void openPanel(RunControl panel) = 0;
    // Disables the commands a run's end disables (予想 button and menu item, 編集, 設定).
    virtual void disableCommands() = 0;
};

}  // namespace tolvi
