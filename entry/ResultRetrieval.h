#pragma once
// Filling the entry fields from the lottery's monthly results pages.

#include "entry/EntryFields.h"
#include "entry/ResultsMonthWalk.h"
#include "transport/HttpClient.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tolvi {

// The libcurl client for `host` ("name" or "name:port"), with 10-second time-outs.
std::unique_ptr<HttpClient> makeCurlClient(const std::string& host);

// The results server's host name, fixed at build time; empty when the build names none.
std::string defaultResultsHost();

struct RetrievalHooks {
    std::function<void()> processEvents;  // let the window repaint
    // True once the program is ending: the retrieval stops at the next turn of the window, within
    // a fraction of a second, instead of waiting out the server.
    std::function<bool()> ending;
    std::function<void(EntryField field, const std::string& text)> setField;  // UTF-8 text
    // Where the walk is, before each page: "参照中 2005年7月 1/258" (UTF-8), short enough for
    // the button that started it.
    std::function<void(const std::string& text)> progress;
};

enum class MessageKind { None, Plain, Information };

struct RetrievalResult {
    bool filled = false;  // both pages found and parsed
    MessageKind kind = MessageKind::None;
    std::string message;   // UTF-8, lines joined by "\r\n"
    bool stopped = false;  // given up because the program is ending or the user stopped it (no message)
};

// The downloaded page's file in the working directory; it keeps the last page fetched.
inline constexpr const char* kResultsPageFileName = "numbers.tmp";

// Plain: the build names no results server (TOLVI_RESULTS_HOST was left empty).
inline constexpr const char* kNoServerMessage =
    "エラー：結果データのサーバーが設定されていません。\r\n"
    "結果は「メイン」の「結果の取り込み…」で CSV ファイルから取り込むか、手で入力してください。";
// Plain: the results server's name does not resolve.
inline constexpr const char* kNoConnectionMessage = "エラー：インターネットに接続できません。";
// Information: the walk ended without the draw (a short page, or past the current month).
inline constexpr const char* kNotFoundMessage = "結果データがすでに最新か\r\nもしくはデータが見つかりません。";
// Plain: one address gave no reply, or an empty one, on every try.
inline constexpr const char* kNoReplyMessage =
    "エラー：結果データのサーバーから応答がありません。\r\n時間をおいてもう一度お試しください。";
// Plain: one address gave a page cut short (no "</HTML") on every try.
inline constexpr const char* kCutShortMessage =
    "エラー：結果データのページを正しく受信できません。\r\n時間をおいてもう一度お試しください。";
// Plain: the whole walk took longer than RetrievalLimits::whole.
inline constexpr const char* kOutOfTimeMessage =
    "エラー：結果データの参照が制限時間を過ぎたため、中止しました。\r\n時間をおいてもう一度お試しください。";
// Plain: a page grew past RetrievalLimits::maxPageBytes and its transfer was stopped.
inline constexpr const char* kTooLargeMessage = "エラー：結果データのページが大きすぎるため、受信を中止しました。";

// What keeps one click from running on for ever.
struct RetrievalLimits {
    // Fetches of one address that gave nothing, an empty page or a page cut short.
    int fetchesPerAddress = 3;
    // Largest page accepted; a longer one is refused while it is still arriving.
    std::size_t maxPageBytes = std::size_t(8) << 20;
    // The last month walked to; the current month when unset.
    std::optional<PageMonth> lastMonth;
    // The whole walk at most: against a slow server each of some 250 months could take a minute.
    std::chrono::milliseconds whole {std::chrono::minutes(3)};
};

// The draw key 第N回 (Shift-JIS) that the results pages head the draw `draw` with.
std::string drawKey(std::int32_t draw);

// One click of "インターネットから参照" for the draw `draw` (the one the panel is titled with);
// `workDir` receives numbers.tmp. File failures raise IoError.
RetrievalResult retrieveResults(std::int32_t draw, HttpClient& http, const std::string& host,
                                const std::filesystem::path& workDir, const RetrievalHooks& hooks);
RetrievalResult retrieveResults(std::int32_t draw, HttpClient& http, const std::string& host,
                                const std::filesystem::path& workDir, const RetrievalHooks& hooks,
                                const RetrievalLimits& limits);

}  // namespace tolvi
