// What the window allows in each of its states, read from the design table as the window applies
// it: a command is usable when its row allows it and so does the menu holding it.

#include "design/FormDesign.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace tolvi;

namespace {

// The menu items and the buttons, edits and check boxes of the edition's window that cannot be
// used in the state.
std::set<std::string> unusable(Edition edition, WindowState state)
{
    std::set<std::string> off;
    for (const MenuDesign& row : menuDesign()) {
        bool usable = allowed(row.availability, state);
        for (const MenuDesign& holder : menuDesign())
            if (row.menu == holder.id)
                usable = usable && allowed(holder.availability, state);
        if (!usable)
            off.insert(row.name);
    }
    for (const ControlDesign& row : formDesign(edition))
        if ((row.kind == ControlKind::Button || row.kind == ControlKind::Edit || row.kind == ControlKind::CheckBox) &&
            !allowed(row.availability, state))
            off.insert(row.name);
    return off;
}

std::set<std::string> operator+(std::set<std::string> a, const std::set<std::string>& b)
{
    a.insert(b.begin(), b.end());
    return a;
}

}  // namespace

TEST(WindowStates, EachStateLeavesOffWhatItMust)
{
    // Whatever opens a panel, starts a run or writes the history waits while anything is open;
    // ending and the local pages never do.
    const std::set<std::string> commands {"Button1",   "N1",           "EditMenu",    "ImportMenu", "UpdateMenu",
                                          "GraphMenu", "AnalysisMenu", "RestoreMenu", "Setting",    "Option"};
    // A retrieval fills the entry panel: nothing else may write into it or start another.
    const std::set<std::string> filling {"Num3Edit",  "Num3Edit1", "Num3Edit2", "Num3Edit3", "Num3Edit4",
                                         "Num3Edit5", "Num4Edit",  "Num4Edit1", "Num4Edit2", "Num4Edit3",
                                         "Num4Edit4", "EdtSetBut", "EdtAutoBut"};
    const struct {
        WindowState state;
        std::set<std::string> off;
    } cases[] = {
        {WindowState::Idle, {}},
        {WindowState::PanelOpen, commands},
        {WindowState::Retrieving, commands + filling},
        // Nothing stops the download of the publisher's file: "中止" waits too.
        {WindowState::RetrievingFile, commands + filling + std::set<std::string> {"EdtExtBut"}},
        {WindowState::Updating, commands},
    };
    ASSERT_EQ(std::size(cases), kWindowStates.size());
    for (const Edition edition : kEditions)
        for (const auto& c : cases)
            EXPECT_EQ(unusable(edition, c.state), c.off) << describe(edition).programName << ", state " << int(c.state);
}

TEST(WindowStates, ControlsAreNamedByTheirObjectNames)
{
    for (const Control control : {Control::ClientArea, Control::Label14, Control::EdtAutoBut})
        EXPECT_EQ(controlNamed(controlName(control)), control);
    EXPECT_STREQ(controlName(Control::Num4Edit), "Num4Edit");
    EXPECT_THROW(controlNamed("Label99"), std::invalid_argument);
    EXPECT_THROW(controlNamed(""), std::invalid_argument);
}
