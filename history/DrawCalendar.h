#pragma once
// When draws are held: the date of any draw and the draw of any date, without the network.
//
// Since draw 1340 (2004-07-01) a draw has been held on every Monday to Friday, national holidays
// included, except 31 December to 3 January; this rule gives every later draw's date. The draws
// before it kept no weekly rule: their dates come from the published results (a table made from
// data/numbers3-results.csv). Draws are held at 18:45 Japan time (UTC+9, no daylight saving).

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvi {

using Date = std::chrono::year_month_day;

// A moment in Japan time, to the minute: what "now" is for the calendar.
struct JapanTime {
    Date date;
    std::chrono::minutes sinceMidnight {0};
};

inline constexpr std::int32_t kFirstWeekdayDraw = 1340;          // the first draw of the weekday rule
inline constexpr std::chrono::minutes kDrawTime {18 * 60 + 45};  // 18:45 Japan time

// The date of draw `draw` (1 or later). RefusedError for a draw number below 1.
Date drawDate(std::int32_t draw);

// True when a draw is held on `date` (for dates before the weekday rule: when one was held).
bool isDrawDay(Date date);

// The draw held on `date`, or else the first one after it.
std::int32_t drawOnOrAfter(Date date);

// The last draw whose draw time has come by `now`; 0 before the first draw.
std::int32_t lastDrawHeld(const JapanTime& now);

// Now in Japan time: TOLVI_NOW when it is set (an ISO date-time in Japan time, "2026-12-09T20:30",
// seconds optional, a blank in place of the T), else the system clock. RefusedError naming the
// variable when TOLVI_NOW is set to something else.
JapanTime japanNow();

// `text` as TOLVI_NOW takes it; nothing when it is not such a date-time.
std::optional<JapanTime> parseJapanTime(std::string_view text);

// "YYYY-MM-DD"; nothing when `text` is not a real date in that form.
std::optional<Date> parseIsoDate(std::string_view text);

// "20:30": the time of day of `time`.
std::string clockTime(const JapanTime& time);

// Texts: "2026年8月21日", "12月10日(木)", "2026年12月10日(木)", "木", "2026-12-10".
std::string japaneseDate(Date date);
std::string japaneseMonthDay(Date date);
std::string japaneseDateWithWeekday(Date date);
std::string japaneseWeekday(Date date);
std::string isoDate(Date date);

}  // namespace tolvi
