// tolvi run: one prediction run on a freshly started window, then the window's state.

#include "base/NumberFormat.h"
#include "cli/Commands.h"
#include "cli/EngineFactory.h"
#include "cli/SimulatedWindow.h"
#include "history/HistoryFile.h"

#include <iostream>
#include <map>
#include <memory>

namespace tolvi::cli {

namespace {

struct RunOptions {
    Edition edition = Edition::Numbers3;
    bool factor = false;
    bool noMismatch = false;
    std::string dir = ".";
    bool json = false;
    int rows = 20;  // the end of the list, under the prediction's summary; -1: all of it
};

int runOnce(const RunOptions& options)
{
    RunRequest request;
    request.tag = options.factor ? kFactorEvaluationTag : kPredictionTag;
    request.mismatch = !options.noMismatch;
    request.historyPath = std::filesystem::path(options.dir) / kHistoryFileName;
    request.groupSeparator = userGroupSeparator();

    SimulatedWindow window(options.edition);
    std::string error;
    bool failed = false;
    try {
        makeEngine(options.edition)->run(request, window);
    } catch (const std::exception& e) {
        error = e.what();
        failed = true;
    }
    // The history's bytes reach the texts (a damaged record quoted in a message): bytes that are
    // not UTF-8 are replaced, so the JSON stays valid.
    if (options.json)
        std::cout << window.toJson(failed ? &error : nullptr)
                         .dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                  << '\n';
    else
        std::cout << window.toText(failed ? &error : nullptr, options.rows);
    return failed ? 1 : 0;
}

}  // namespace

void addRunCommand(CLI::App& app, int& status)
{
    auto options = std::make_shared<RunOptions>();
    CLI::App* run = app.add_subcommand("run", "予想を 1 回実行し、その後のウィンドウの状態を表示します");
    addEditionOption(*run, options->edition);
    run->add_flag("--factor", options->factor, "要素評価として実行します (ウィンドウでは隠れているボタン)");
    run->add_flag("--no-mismatch", options->noMismatch, "一字違いを表示しません");
    addHistoryDirOption(*run, options->dir);
    run->add_flag("--json", options->json, "JSON で出力します (ウィンドウの各部の名前と内容)");
    run->add_option("--rows", options->rows, "結果一覧の最後の N 行を表示します (既定: 20、all ですべて)")
        ->transform(CLI::Validator(
            [](std::string& value) {
                if (value == "all")
                    value = "-1";
                else if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos)
                    return "value " + value;
                return std::string();
            },
            ""));
    run->callback([options, &status] { status = printingErrors([&] { return runOnce(*options); }); });
}

}  // namespace tolvi::cli
