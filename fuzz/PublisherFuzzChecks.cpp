// What must hold for any bytes given as one of the publisher's files: reading fails only with a
// message for the user that names the file; a draw that is read holds values the history can
// store, and written back in the publisher's layout it reads as the same draw; a list names each
// draw once, each one a file name can be made for.

#include "fuzz/FuzzChecks.h"

#include "base/NumberFormat.h"
#include "history/HistoryAppender.h"
#include "results/PublisherFiles.h"
#include "transport/ShiftJis.h"

#include <algorithm>
#include <set>

namespace tolvi::fuzz {

namespace {

constexpr std::string_view kPrizeHeadings[] = {"ストレート", "ボックス", "セット（ストレート）", "セット（ボックス）",
                                               "ミニ"};

// `draw` as the publisher writes it, in Shift-JIS, with the date in the Gregorian calendar.
std::string publisherLayout(const PublishedDraw& draw)
{
    std::string text = "A50\r\n第" + std::to_string(draw.draw) + "回ナンバーズ,数字選択式全国自治宝くじ," +
                       std::to_string(int(draw.date.year())) + "年" + std::to_string(unsigned(draw.date.month())) +
                       "月" + std::to_string(unsigned(draw.date.day())) + "日\r\n";
    const auto game = [&](const char* heading, const GameResult& result, std::size_t prizes) {
        const std::string number =
            result.number == kNoNumbers3Result ? "---" : formatInt(result.number, 0, prizes == 5 ? 3 : 4);
        text += std::string(heading) + "抽せん数字," + number + "\r\n";
        for (std::size_t i = 0; i < prizes; ++i) {
            const std::int32_t prize = result.prizes[i];
            text += std::string(kPrizeHeadings[i]) + (i == 0 ? "," + number : "") +
                    (prize == 0 ? ",該当なし,該当なし" : ",1口,\"" + formatGrouped(prize, 0, ",") + "円\"") + "\r\n";
        }
    };
    game("ナンバーズ３", draw.numbers3, 5);
    game("ナンバーズ４", draw.numbers4, 4);
    return toShiftJis(text);
}

bool sameDraw(const PublishedDraw& a, const PublishedDraw& b)
{
    return a.draw == b.draw && a.date == b.date && a.numbers3 == b.numbers3 && a.numbers4 == b.numbers4;
}

bool storable(const GameResult& result, std::int32_t largestNumber, std::size_t prizes)
{
    return (result.number == kNoNumbers3Result ? largestNumber == 999
                                               : result.number >= 0 && result.number <= largestNumber) &&
           std::all_of(result.prizes.begin(), result.prizes.begin() + prizes, [](std::int32_t p) { return p >= 0; }) &&
           std::all_of(result.prizes.begin() + prizes, result.prizes.end(), [](std::int32_t p) { return p == 0; });
}

}  // namespace

void checkPublisherFiles(std::string_view data, const fs::path&)
{
    PublishedDraw draw;
    const Outcome read = shownFailure([&] { draw = parsePublisherDrawFile(data, "A1001234.CSV"); });
    if (read.failed()) {
        require(read.errorType == "RefusedError" && read.errorText->find("A1001234.CSV") != std::string::npos,
                "a refused draw file gave no message naming the file: " + *read.errorText);
    } else {
        require(draw.draw >= 1 && draw.draw <= kLastDrawNumber && draw.date.ok(),
                "a draw file gave a draw number or date out of range");
        require(storable(draw.numbers3, 999, 5) && storable(draw.numbers4, 9999, 4),
                "a draw file gave a winning number or prize the history cannot hold");
        PublishedDraw again;
        const Outcome reread =
            shownFailure([&] { again = parsePublisherDrawFile(publisherLayout(draw), "again.CSV"); });
        require(!reread.failed() && sameDraw(draw, again),
                "a draw written back in the publisher's layout did not read as the same draw: " +
                    reread.errorText.value_or("(other values)"));
    }

    std::vector<std::int32_t> draws;
    const Outcome listed = shownFailure([&] { draws = parsePublisherList(data, "numbers.csv"); });
    if (listed.failed()) {
        require(listed.errorType == "RefusedError" && listed.errorText->find("numbers.csv") != std::string::npos,
                "a refused list file gave no message naming the file: " + *listed.errorText);
        return;
    }
    require(!draws.empty() && std::set<std::int32_t>(draws.begin(), draws.end()).size() == draws.size(),
            "a list file gave no draw, or one draw twice");
    for (const std::int32_t listedDraw : draws)
        require(publisherDrawFileName(listedDraw).size() == 12,
                "a listed draw has no file name of the publisher's form");
}

}  // namespace tolvi::fuzz
