// The draw calendar against every published date, and the moments around a draw.

#include "history/DrawCalendar.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

namespace tolvi {
namespace {

TEST(DrawCalendar, GivesEveryPublishedDateAndNoOther)
{
    std::ifstream csv(TOLVI_SOURCE_DIR "/data/numbers3-results.csv");
    std::string line;
    std::getline(csv, line);
    std::map<std::int32_t, Date> published;
    while (std::getline(csv, line)) {
        const std::size_t comma = line.find(',');
        published[std::stoi(line.substr(0, comma))] = *parseIsoDate(line.substr(comma + 1, 10));
    }
    ASSERT_EQ(published.size(), 7054u);
    ASSERT_EQ(published.rbegin()->first, 7054);

    for (const auto& [draw, date] : published) {
        ASSERT_EQ(isoDate(drawDate(draw)), isoDate(date)) << "第" << draw << "回";
        ASSERT_EQ(drawOnOrAfter(date), draw) << isoDate(date);
    }
    // Every day from the first draw to the last: a draw day exactly when a draw was held on it,
    // and the days between two draws lead to the later one.
    auto next = published.begin();
    for (auto day = std::chrono::sys_days(published.begin()->second);
         day <= std::chrono::sys_days(published.rbegin()->second); day += std::chrono::days(1)) {
        const bool held = Date(day) == next->second;
        ASSERT_EQ(isDrawDay(Date(day)), held) << isoDate(Date(day));
        ASSERT_EQ(drawOnOrAfter(Date(day)), next->first) << isoDate(Date(day));
        if (held)
            ++next;
    }
}

TEST(DrawCalendar, LastDrawHeldTurnsAtTheDrawTime)
{
    const struct {
        const char* now;
        std::int32_t lastHeld;
    } cases[] = {
        {"2026-12-09T18:44", 7131},                                 // a Wednesday, before the draw
        {"2026-12-09T18:45", 7132},    {"2026-12-12T12:00", 7134},  // Saturday: Friday's draw
        {"2026-12-30 23:59:59", 7147}, {"2027-01-04T18:44", 7147},  // the New Year break: no draw since 30 December
        {"1994-10-07T18:44", 0},       {"2004-06-30T20:00+09:00", 1339},
    };
    for (const auto& c : cases) {
        const std::optional<JapanTime> now = parseJapanTime(c.now);
        ASSERT_TRUE(now) << c.now;
        EXPECT_EQ(lastDrawHeld(*now), c.lastHeld) << c.now;
    }
    EXPECT_EQ(japaneseMonthDay(drawDate(7133)), "12月10日(木)");
    EXPECT_EQ(japaneseDateWithWeekday(drawDate(7148)), "2027年1月4日(月)");
    for (const char* bad : {"2026-12-9", "2026-02-30T10:00", "2026-12-09T24:00", "2026-12-09T10:00Z", "tomorrow"})
        EXPECT_FALSE(parseJapanTime(bad)) << bad;
}

}  // namespace
}  // namespace tolvi
