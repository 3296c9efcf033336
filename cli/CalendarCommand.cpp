// tolvi calendar: the date of a draw, the draw of a date, and how far the history is behind.

#include "base/Errors.h"
#include "cli/Commands.h"
#include "history/DrawCalendar.h"
#include "history/HistoryFile.h"
#include "history/HistoryReader.h"

#include <iostream>
#include <memory>
#include <optional>

namespace tolvi::cli {

namespace {

struct CalendarOptions {
    std::string dir = ".";
    std::optional<std::int32_t> draw;
    std::string date;
};

std::string drawWithDate(std::int32_t draw)
{
    return "第" + std::to_string(draw) + "回 " + japaneseDateWithWeekday(drawDate(draw));
}

void printDate(const std::string& text)
{
    const std::optional<Date> date = parseIsoDate(text);
    if (!date)
        throw RefusedError("日付 \"" + text + "\" は YYYY-MM-DD の形の日付として読めません。");
    const std::int32_t draw = drawOnOrAfter(*date);
    if (isDrawDay(*date))
        std::cout << japaneseDateWithWeekday(*date) << " は第" << draw << "回の抽せん日です (18:45)。\n";
    else
        std::cout << japaneseDateWithWeekday(*date) << " は抽せんがありません。次は" << drawWithDate(draw)
                  << " です。\n";
}

void printOverview(const std::filesystem::path& historyPath)
{
    const JapanTime now = japanNow();
    const std::int32_t lastHeld = lastDrawHeld(now);
    const std::int32_t today = drawOnOrAfter(now.date);
    std::cout << "今日: " << japaneseDateWithWeekday(now.date) << ' ' << clockTime(now) << '\n';
    if (isDrawDay(now.date))
        std::cout << "今日の抽せん: 第" << today << "回 (18:45" << (today == lastHeld ? "、抽せん済み" : "") << ")\n";
    else
        std::cout << "今日は抽せんがありません。次は" << drawWithDate(today) << " です。\n";
    const std::optional<std::int32_t> found = HistoryReader::lastDrawIn(HistoryReader::readContent(historyPath));
    if (!found)
        throw IoError(HistoryReader::noDrawMessage(historyPath));
    const std::int32_t last = *found;
    std::cout << "履歴の最後: " << drawWithDate(last) << '\n';
    if (last >= lastHeld)
        std::cout << "履歴は最新です。\n";
    else
        std::cout << "履歴は " << lastHeld - last << " 回分遅れています (最新は第" << lastHeld
                  << "回)。tolvi update で追加できます。\n";
}

}  // namespace

void addCalendarCommand(CLI::App& app, int& status)
{
    auto options = std::make_shared<CalendarOptions>();
    CLI::App* calendar = app.add_subcommand(
        "calendar", "抽せん日を表示します: 回の抽せん日、日付の回 (またはその次の回)、指定がなければ履歴の最後の回・"
                    "今日の回・履歴が何回分遅れているか");
    addHistoryDirOption(*calendar, options->dir);
    CLI::Option* draw =
        calendar->add_option("--draw", options->draw, "この回の抽せん日を表示します")->check(CLI::PositiveNumber);
    calendar->add_option("--date", options->date, "この日 (YYYY-MM-DD) の回、または次の回を表示します")->excludes(draw);
    calendar->callback([options, &status] {
        status = printingErrors([&] {
            if (options->draw)
                std::cout << drawWithDate(*options->draw) << " 18:45\n";
            else if (!options->date.empty())
                printDate(options->date);
            else
                printOverview(HistoryFile::fullPath(std::filesystem::path(options->dir) / kHistoryFileName));
            return 0;
        });
    });
}

}  // namespace tolvi::cli
