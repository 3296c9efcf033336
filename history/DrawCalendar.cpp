#include "history/DrawCalendar.h"

#include "base/Errors.h"
#include "base/NumberFormat.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace tolvi {

namespace {

using std::chrono::days;
using std::chrono::sys_days;

constexpr Date kFirstDrawDate {std::chrono::year {1994}, std::chrono::October, std::chrono::day {7}};
constexpr Date kWeekdayRuleStart {std::chrono::year {2004}, std::chrono::July, std::chrono::day {1}};

constexpr std::array<std::uint16_t, kFirstWeekdayDraw - 1> kEarlyDrawDays {
#include "history/EarlyDrawDates.inc"
};

bool isWeekday(sys_days day)
{
    const unsigned weekday = std::chrono::weekday(day).c_encoding();  // 0 = Sunday
    return weekday >= 1 && weekday <= 5;
}

// 31 December to 3 January: the New Year break.
bool isNewYearBreak(Date date)
{
    const unsigned month = unsigned(date.month()), day = unsigned(date.day());
    return (month == 12 && day == 31) || (month == 1 && day <= 3);
}

bool isRuleDrawDay(sys_days day)
{
    return isWeekday(day) && !isNewYearBreak(Date(day));
}

// Draw days of the weekday rule in [from, to), from not before the rule's start: five in every
// whole week, less the New Year breaks' weekdays.
std::int64_t ruleDrawDaysBetween(sys_days from, sys_days to)
{
    if (to <= from)
        return 0;
    const std::int64_t length = (to - from).count();
    std::int64_t count = length / 7 * 5;
    for (sys_days day = from + days(length / 7 * 7); day < to; day += days(1))
        count += isWeekday(day);
    for (int year = int(Date(from).year()); year <= int(Date(to).year()); ++year) {
        const std::chrono::year y {year};
        for (const Date breakDay : {y / std::chrono::January / 1, y / std::chrono::January / 2,
                                    y / std::chrono::January / 3, y / std::chrono::December / 31}) {
            const sys_days day {breakDay};
            count -= day >= from && day < to && isWeekday(day);
        }
    }
    return count;
}

sys_days earlyDrawDay(std::size_t index)
{
    return sys_days(kFirstDrawDate) + days(kEarlyDrawDays[index]);
}

// Parses exactly `width` digits at `at`.
std::optional<int> digitsAt(std::string_view text, std::size_t at, std::size_t width)
{
    if (at + width > text.size())
        return std::nullopt;
    int value = 0;
    for (std::size_t i = at; i < at + width; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

}  // namespace

Date drawDate(std::int32_t draw)
{
    if (draw < 1)
        throw RefusedError("第" + std::to_string(draw) + "回という抽せんはありません。");
    if (draw < kFirstWeekdayDraw)
        return Date(earlyDrawDay(std::size_t(draw - 1)));
    // The rule's n-th draw day (from 0): the first day before which n + 1 draw days lie. At most
    // four weekdays a year fall in the break, so twice n days (and two weeks) always hold it.
    const std::int64_t n = draw - kFirstWeekdayDraw;
    const sys_days start(kWeekdayRuleStart);
    std::int64_t low = 0, high = 2 * n + 14;
    while (low < high) {
        const std::int64_t middle = (low + high) / 2;
        if (ruleDrawDaysBetween(start, start + days(middle + 1)) > n)
            high = middle;
        else
            low = middle + 1;
    }
    return Date(start + days(low));
}

bool isDrawDay(Date date)
{
    const sys_days day(date);
    if (date >= kWeekdayRuleStart)
        return isRuleDrawDay(day);
    return std::binary_search(kEarlyDrawDays.begin(), kEarlyDrawDays.end(), (day - sys_days(kFirstDrawDate)).count(),
                              [](auto a, auto b) { return std::int64_t(a) < std::int64_t(b); });
}

std::int32_t drawOnOrAfter(Date date)
{
    const sys_days day(date);
    if (date >= kWeekdayRuleStart)
        return kFirstWeekdayDraw + std::int32_t(ruleDrawDaysBetween(sys_days(kWeekdayRuleStart), day));
    if (date <= kFirstDrawDate)
        return 1;
    const std::int64_t offset = (day - sys_days(kFirstDrawDate)).count();
    const auto next = std::lower_bound(kEarlyDrawDays.begin(), kEarlyDrawDays.end(), offset,
                                       [](std::uint16_t a, std::int64_t b) { return std::int64_t(a) < b; });
    return std::int32_t(next - kEarlyDrawDays.begin()) + 1;
}

std::int32_t lastDrawHeld(const JapanTime& now)
{
    const std::int32_t onOrAfter = drawOnOrAfter(now.date);
    const bool heldToday = isDrawDay(now.date) && now.sinceMidnight >= kDrawTime;
    return heldToday ? onOrAfter : onOrAfter - 1;
}

std::optional<Date> parseIsoDate(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const auto year = digitsAt(text, 0, 4), month = digitsAt(text, 5, 2), day = digitsAt(text, 8, 2);
    if (!year || !month || !day)
        return std::nullopt;
    const Date date {std::chrono::year {*year}, std::chrono::month(unsigned(*month)), std::chrono::day(unsigned(*day))};
    if (!date.ok())
        return std::nullopt;
    return date;
}

std::optional<JapanTime> parseJapanTime(std::string_view text)
{
    const std::optional<Date> date = parseIsoDate(text.substr(0, 10));
    if (!date)
        return std::nullopt;
    JapanTime time {*date, {}};
    if (text.size() == 10)
        return time;
    if (text[10] != 'T' && text[10] != ' ')
        return std::nullopt;
    const auto hour = digitsAt(text, 11, 2), minute = digitsAt(text, 14, 2);
    if (!hour || !minute || text.size() < 16 || text[13] != ':' || *hour > 23 || *minute > 59)
        return std::nullopt;
    std::string_view rest = text.substr(16);
    if (rest.size() >= 3 && rest[0] == ':' && digitsAt(rest, 1, 2) && *digitsAt(rest, 1, 2) < 60)
        rest.remove_prefix(3);
    if (!rest.empty() && rest != "+09:00")
        return std::nullopt;
    time.sinceMidnight = std::chrono::minutes(*hour * 60 + *minute);
    return time;
}

JapanTime japanNow()
{
    if (const char* set = std::getenv("TOLVI_NOW"); set && *set) {
        if (const std::optional<JapanTime> time = parseJapanTime(set))
            return *time;
        throw RefusedError(std::string("環境変数 TOLVI_NOW の値 \"") + set +
                           "\" は日時として読めません (例: 2026-12-09T20:30、日本時間)。");
    }
    const auto japan =
        std::chrono::floor<std::chrono::minutes>(std::chrono::system_clock::now()) + std::chrono::hours(9);
    const auto day = std::chrono::floor<days>(japan);
    return {Date(day), japan - day};
}

std::string japaneseWeekday(Date date)
{
    static constexpr std::array<const char*, 7> kNames {"日", "月", "火", "水", "木", "金", "土"};
    return kNames[std::chrono::weekday(sys_days(date)).c_encoding()];
}

std::string japaneseMonthDay(Date date)
{
    return std::to_string(unsigned(date.month())) + "月" + std::to_string(unsigned(date.day())) + "日(" +
           japaneseWeekday(date) + ")";
}

std::string japaneseDate(Date date)
{
    return std::to_string(int(date.year())) + "年" + std::to_string(unsigned(date.month())) + "月" +
           std::to_string(unsigned(date.day())) + "日";
}

std::string japaneseDateWithWeekday(Date date)
{
    return japaneseDate(date) + "(" + japaneseWeekday(date) + ")";
}

std::string clockTime(const JapanTime& time)
{
    const auto minutes = time.sinceMidnight.count();
    return formatInt(minutes / 60, 2, 2) + ":" + formatInt(minutes % 60, 2, 2);
}

std::string isoDate(Date date)
{
    return formatInt(int(date.year()), 4, 4) + "-" + formatInt(unsigned(date.month()), 2, 2) + "-" +
           formatInt(unsigned(date.day()), 2, 2);
}

}  // namespace tolvi
