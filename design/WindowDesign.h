#pragma once
// The design-time texts of the controls a run writes, shared by the window and by the
// command-line tool's simulated window.

#include "engine/RunView.h"
#include "games/Editions.h"

#include <string>
#include <string_view>
#include <vector>

namespace tolvi {

// The labels a run writes in the edition's window, in the order the command-line tool lists them.
const std::vector<RunControl>& runLabels(Edition edition);

// The caption a label has when the window is created.
std::string designCaption(Edition edition, RunControl label);

}  // namespace tolvi
