#include "cli/SimulatedWindow.h"

#include <sstream>

namespace tolvi::cli {

namespace {
const char* const kVisibilityKeys[] = {"GetPanel", "GetPanel2", "Label17", "Label18", "Label19", "Label20"};
}

SimulatedWindow::SimulatedWindow(Edition edition) : edition_(edition)
{
    for (const std::string& name : runLabelNames(edition))
        labels_[name] = designCaption(edition, name);
    for (const char* name : kVisibilityKeys)
        visible_[name] = false;
    for (const char* name : {"Label17", "Label18", "Label19", "Label20"})
        visible_[name] = true;
}

void SimulatedWindow::setText(std::string_view control, std::string text)
{
    if (auto it = labels_.find(control); it != labels_.end())
        it->second = std::move(text);
}

void SimulatedWindow::setVisible(std::string_view control, bool visible)
{
    if (auto it = visible_.find(control); it != visible_.end())
        it->second = visible;
}

void SimulatedWindow::openPanel(std::string_view panel)
{
    setVisible(panel, true);
}

nlohmann::ordered_json SimulatedWindow::toJson(const std::string* error) const
{
    nlohmann::ordered_json out;
    out["list"] = nlohmann::ordered_json::array();
    for (const ResultRow& row : results_)
        out["list"].push_back({row.caption, row.winning, row.result});
    out["stats"] = nlohmann::ordered_json::array();
    for (const StatsRow& row : stats_)
        out["stats"].push_back(row);
    out["labels"] = nlohmann::ordered_json::object();
    for (const std::string& name : runLabelNames(edition_))
        out["labels"][name] = labels_.find(name)->second;
    out["visible"] = nlohmann::ordered_json::object();
    for (const char* name : kVisibilityKeys)
        out["visible"][name] = visible_.find(name)->second;
    out["error"] = error ? nlohmann::ordered_json(*error) : nlohmann::ordered_json(nullptr);
    return out;
}

std::string SimulatedWindow::toText(const std::string* error) const
{
    std::ostringstream out;
    out << "抽選 | 当選番号 | 結果\n";
    for (const ResultRow& row : results_)
        out << row.caption << " | " << row.winning << " | " << row.result << '\n';
    out << "(" << results_.size() << " 行)\n";
    if (!stats_.empty()) {
        out << "\nNo | ｽﾄﾚｰﾄ | | ﾎﾞｯｸｽ | | ﾐﾆ | | 回収率\n";
        for (const StatsRow& row : stats_) {
            for (std::size_t i = 0; i < row.size(); ++i)
                out << (i ? " | " : "") << row[i];
            out << '\n';
        }
    }
    out << '\n';
    for (const std::string& name : runLabelNames(edition_)) {
        const bool hidden = visible_.count(name) && !visible_.find(name)->second;
        out << name << ": " << labels_.find(name)->second << (hidden ? "  (非表示)" : "") << '\n';
    }
    out << "GetPanel: " << (visible_.find("GetPanel")->second ? "表示" : "非表示") << '\n';
    out << "GetPanel2: " << (visible_.find("GetPanel2")->second ? "表示" : "非表示") << '\n';
    if (error)
        out << "\nエラー: " << *error << '\n';
    return out.str();
}

}  // namespace tolvi::cli
