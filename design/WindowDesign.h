#pragma once
// The two editions and the design-time texts of the controls a run writes, shared by the
// window and by the command-line tool's simulated window.

#include "engine/RunStatistics.h"
#include "games/Editions.h"
#include "engine/RunView.h"

#include <string>
#include <string_view>
#include <vector>

namespace tolvi {

struct EditionInfo {
    Edition edition;
    const char* applicationTitle;  // task bar and message boxes
    const char* windowCaption;     // set by FormCreate
    const char* programName;       // executable, and the settings file's base name
    BetGame game;                  // how its prediction is bought, for the statistics
};

const EditionInfo& editionInfo(Edition edition);

// The labels a run writes in the edition's window, in the order the command-line tool lists them.
const std::vector<RunControl>& runLabels(Edition edition);

// The caption a label has when the window is created.
std::string designCaption(Edition edition, RunControl label);

}  // namespace tolvi
