#include "cli/SimulatedWindow.h"

#include <algorithm>
#include <iterator>
#include <sstream>

namespace tolvi::cli {

namespace {
// The controls whose visibility the tool reports, in its order.
constexpr RunControl kVisibilityKeys[] = {RunControl::GetPanel, RunControl::GetPanel2, RunControl::Label17,
                                          RunControl::Label18,  RunControl::Label19,   RunControl::Label20};
}

SimulatedWindow::SimulatedWindow(Edition edition) : edition_(edition)
{
    for (const RunControl label : runLabels(edition))
        texts_[std::size_t(label)] = designCaption(edition, label);
    for (const RunControl label : {RunControl::Label17, RunControl::Label18, RunControl::Label19, RunControl::Label20})
        visible_[std::size_t(label)] = true;
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
    for (const RunControl label : runLabels(edition_))
        out["labels"][std::string(controlName(label))] = texts_[std::size_t(label)];
    out["visible"] = nlohmann::ordered_json::object();
    for (const RunControl control : kVisibilityKeys)
        out["visible"][std::string(controlName(control))] = visible_[std::size_t(control)];
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
    for (const RunControl label : runLabels(edition_)) {
        const bool reported = std::find(std::begin(kVisibilityKeys), std::end(kVisibilityKeys), label) != std::end(kVisibilityKeys);
        const bool hidden = reported && !visible_[std::size_t(label)];
        out << controlName(label) << ": " << texts_[std::size_t(label)] << (hidden ? "  (非表示)" : "") << '\n';
    }
    for (const RunControl panel : {RunControl::GetPanel, RunControl::GetPanel2})
        out << controlName(panel) << ": " << (visible_[std::size_t(panel)] ? "表示" : "非表示") << '\n';
    if (error)
        out << "\nエラー: " << *error << '\n';
    return out.str();
}

}  // namespace tolvi::cli
