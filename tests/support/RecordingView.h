#pragma once
// A RunView that remembers everything a run showed, in order.

#include "design/RunCaptions.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace tolvi::test {

class RecordingView : public LabelView {
public:
    void clearResults() override
    {
        results.clear();
        ++clears;
    }
    void addResult(ResultRow row) override { results.push_back(std::move(row)); }
    void addStats(StatsRow row) override { stats.push_back(std::move(row)); }
    // Kept by the controls' names, as the tests read them.
    void setText(RunControl control, std::string text) override
    {
        texts[std::string(controlName(control))] = std::move(text);
    }
    void setVisible(RunControl control, bool v) override { visible[std::string(controlName(control))] = v; }
    void openPanel(RunControl panel) override
    {
        opened.emplace_back(controlName(panel));
        visible[std::string(controlName(panel))] = true;
    }
    void disableCommands() override { commandsDisabled = true; }

    std::string text(const std::string& control) const
    {
        auto it = texts.find(control);
        return it == texts.end() ? std::string("<unset>") : it->second;
    }
    bool isOpen(const std::string& panel) const
    {
        auto it = visible.find(panel);
        return it != visible.end() && it->second;
    }

    std::vector<ResultRow> results;
    std::vector<StatsRow> stats;
    std::map<std::string, std::string> texts;
    std::map<std::string, bool> visible;
    std::vector<std::string> opened;
    bool commandsDisabled = false;
    int clears = 0;
};

// Two runs left the window in the same state: rows, statistics, captions, visibility, commands.
inline void expectSameEndState(const RecordingView& a, const RecordingView& b)
{
    EXPECT_EQ(a.results, b.results);
    EXPECT_EQ(a.stats, b.stats);
    EXPECT_EQ(a.texts, b.texts);
    EXPECT_EQ(a.visible, b.visible);
    EXPECT_EQ(a.commandsDisabled, b.commandsDisabled);
}

}  // namespace tolvi::test
