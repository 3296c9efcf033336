#include "cli/SimulatedWindow.h"

#include "design/FormDesign.h"

#include <sstream>

namespace tolvi::cli {

namespace {
// The controls whose visibility the tool reports, in its order.
constexpr RunControl kVisibilityKeys[] = {RunControl::PayoutPanel, RunControl::HitPanel,   RunControl::Candidate1,
                                          RunControl::Candidate2,  RunControl::Candidate3, RunControl::Candidate4};
}  // namespace

SimulatedWindow::SimulatedWindow(Edition edition) : edition_(edition)
{
    for (const RunControl label : runLabels(edition))
        texts_[std::size_t(label)] = designCaption(edition, label);
    for (const RunControl label :
         {RunControl::Candidate1, RunControl::Candidate2, RunControl::Candidate3, RunControl::Candidate4})
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

std::string SimulatedWindow::toText(const std::string* error, int rows) const
{
    using enum RunControl;
    const auto text = [this](RunControl label) -> const std::string& { return texts_[std::size_t(label)]; };
    const auto reached = [this](RunPart part) { return shown_[std::size_t(part)]; };
    const auto shown = [this](RunControl control) { return visible_[std::size_t(control)]; };
    // A fixed caption of the window's design, as the window shows it beside a value.
    const auto caption = [this](const char* name) { return std::string(controlDesign(edition_, name)->caption); };

    std::ostringstream out;
    const std::size_t first =
        rows < 0 || std::size_t(rows) >= results_.size() ? 0 : results_.size() - std::size_t(rows);
    out << "抽選  当選番号  結果\n";
    for (std::size_t i = first; i < results_.size(); ++i)
        out << results_[i].caption << "  " << results_[i].winning << "       " << results_[i].result << '\n';
    out << "(" << results_.size() << " 行"
        << (first > 0 ? "、最後の " + std::to_string(results_.size() - first) + " 行を表示" : "") << ")\n";
    if (!stats_.empty()) {
        out << "\n要素評価: No  ｽﾄﾚｰﾄ  金額  ﾎﾞｯｸｽ  金額  ﾐﾆ  金額  回収率\n";
        for (const StatsRow& row : stats_) {
            for (std::size_t i = 0; i < row.size(); ++i)
                out << (i ? "  " : "") << row[i];
            out << '\n';
        }
    }
    // The summary under the list, as far as the run wrote it, with the lines the window shows
    // (the Mini window hides the straight and box lines).
    if (reached(RunPart::Finished)) {
        out << '\n';
        for (const auto& [count, amount] :
             {std::pair {StraightHits, StraightAmount}, {BoxHits, BoxAmount}, {MiniHits, MiniAmount}})
            if (!controlDesign(edition_, controlName(count))->startsHidden)
                out << text(count) << "  " << text(amount) << '\n';
    }
    if (reached(RunPart::Finished)) {
        out << '\n' << caption("Label11") << ": " << text(PayoutTotal) << " " << caption("Label13") << '\n';
        out << caption("Label12") << ": " << text(PaybackRate) << caption("Label15") << '\n';
        out << text(NextDrawCaption) << ":";
        for (const RunControl label : {Candidate1, Candidate2, Candidate3, Candidate4})
            if (shown(label) && !text(label).empty())
                out << " " << text(label);
        out << '\n';
    }
    if (reached(RunPart::HitPanel))
        out << '\n'
            << caption("Label24") << " " << text(HitDrawNumber) << caption("Label25") << " 当選番号 "
            << text(HitWinningNumber) << " (" << text(HitKind) << ")\n";
    if (reached(RunPart::Stake))
        out << "購入口数: " << text(TicketsBought) << '\n';
    if (error)
        out << "\nエラー: " << *error << '\n';
    return out.str();
}

}  // namespace tolvi::cli
