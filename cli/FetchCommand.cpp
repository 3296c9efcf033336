// tolvi fetch: "インターネットから参照" without a window: the entry panel's eleven fields as the
// results pages fill them, and the message the window would show.

#include "cli/Commands.h"
#include "entry/EntryFields.h"
#include "entry/PublishedEntry.h"
#include "entry/ResultRetrieval.h"

#include <array>
#include <cstdint>
#include <iostream>
#include <memory>
#include <optional>

#include <nlohmann/json.hpp>

namespace tolvi::cli {

namespace {

struct FetchOptions {
    std::int32_t draw = 0;
    std::string host = defaultResultsHost();
    std::string dir = ".";
    bool json = false;
};

// The fields as the entry panel labels them, in the order of EntryField.
constexpr std::array<const char*, kEntryFieldCount> kFieldCaptions {
    "Numbers3 当選番号",    "Numbers3 ｽﾄﾚｰﾄ金額",   "Numbers3 ﾎﾞｯｸｽ金額",  "Numbers3 S ｽﾄﾚｰﾄ金額",
    "Numbers3 S ﾎﾞｯｸｽ金額", "Numbers3 ﾐﾆ金額",      "Numbers4 当選番号",   "Numbers4 ｽﾄﾚｰﾄ金額",
    "Numbers4 ﾎﾞｯｸｽ金額",   "Numbers4 S ｽﾄﾚｰﾄ金額", "Numbers4 S ﾎﾞｯｸｽ金額"};

// The message's lines for a terminal: CR LF as the system writes it becomes one line break.
std::string forTerminal(std::string text)
{
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    return text;
}

int fetchOnce(const FetchOptions& options)
{
    EntryFields fields;  // the panel opens with every edit empty
    RetrievalHooks hooks;
    hooks.setField = [&fields](EntryField field, const std::string& text) { fields[field] = text; };

    std::optional<std::string> shown;
    bool filled = false;
    try {
        RetrievalResult result;
        if (options.host.empty()) {
            // As the window does where no monthly pages server is set: the publisher's file.
            const PublishedEntry entry = fetchPublishedEntry(options.draw, defaultUpdateSettings());
            fields = entry.fields;
            result = entry.result;
        } else {
            const std::unique_ptr<HttpClient> http = makeCurlClient(options.host);
            result = retrieveResults(options.draw, *http, options.host, options.dir, hooks);
        }
        filled = result.filled;
        if (result.kind != MessageKind::None)
            shown = result.message;
    } catch (const std::exception& error) {
        // The window shows these in its error box.
        shown = error.what();
    }

    if (options.json) {
        nlohmann::ordered_json out;
        out["fields"] = nlohmann::ordered_json::object();
        for (std::size_t i = 0; i < kEntryFieldCount; ++i)
            out["fields"][std::string(kEntryEditNames[i])] = fields[i];
        out["message"] = shown ? nlohmann::ordered_json(*shown) : nlohmann::ordered_json(nullptr);
        std::cout << out.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
    } else {
        for (std::size_t i = 0; i < kEntryFieldCount; ++i)
            std::cout << padToWidth(std::string(kFieldCaptions[i]) + ":", 22) << fields[i] << '\n';
        if (shown)
            std::cout << "\nメッセージ: " << forTerminal(*shown) << '\n';
    }
    return filled ? 0 : 1;
}

}  // namespace

void addFetchCommand(CLI::App& app, int& status)
{
    auto options = std::make_shared<FetchOptions>();
    CLI::App* fetch = app.add_subcommand(
        "fetch", "結果ページから抽せん結果を取得し、結果入力欄に入る内容を表示します (インターネットから参照)");
    fetch->add_option("--draw", options->draw, "抽せん回 (1-9999)")->required()->check(CLI::Range(1, 9999));
    fetch->add_option("--host", options->host,
                      "結果ページのサーバー HOST[:PORT] (既定: " +
                          (defaultResultsHost().empty() ? std::string("なし: 公開元の回ごとのファイルから取得します")
                                                        : defaultResultsHost()) +
                          ")");
    fetch->add_option("--dir", options->dir, "numbers.tmp を書くフォルダー (既定: カレントフォルダー)");
    fetch->add_flag("--json", options->json, "JSON で出力します");
    fetch->callback([options, &status] { status = printingErrors([&] { return fetchOnce(*options); }); });
}

}  // namespace tolvi::cli
