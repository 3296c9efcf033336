#include "entry/ResultsMonthWalk.h"

#include "base/NumberFormat.h"

#include <ctime>

namespace tolvi {

namespace {
// The year before Heisei 1: page year = calendar year - 1988.
constexpr int kEraBase = 1988;
}  // namespace

PageMonth PageMonth::of(std::chrono::year_month calendar)
{
    return {int(calendar.year()) - kEraBase, int(unsigned(calendar.month()))};
}

PageMonth PageMonth::current()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    return of(std::chrono::year(local.tm_year + 1900) / std::chrono::month(unsigned(local.tm_mon + 1)));
}

std::string PageMonth::calendarText() const
{
    return std::to_string(year + kEraBase) + "年" + std::to_string(month) + "月";
}

int PageMonth::monthsTo(const PageMonth& later) const
{
    const int months = (later.year - year) * 12 + (later.month - month) + 1;
    return months > 0 ? months : 0;
}

std::string ResultsMonthWalk::pageName() const
{
    return "num" + std::to_string(int(kind_)) + "-h" + formatInt(month_.year, 0, 2) + formatInt(month_.month, 0, 2) +
           ".html";
}

std::string ResultsMonthWalk::address(const std::string& host) const
{
    return "http://" + host + "/numbers/" + pageName();
}

void ResultsMonthWalk::toNextMonth()
{
    if (++month_.month > 12) {
        ++month_.year;
        month_.month = 1;
    }
}

}  // namespace tolvi
