#pragma once
// Where the retrieval looks next: the page kind and the page month of the monthly results
// pages, walked month by month from the first month the server keeps.

#include "entry/ResultsPageParser.h"

#include <chrono>
#include <string>

namespace tolvi {

// A month as the page names number it: the year counted in the Japanese era that the server
// started with (Heisei: 2005 is 17), carried on past the era's end (2020 is 32), and the month.
struct PageMonth {
    int year = 17;
    int month = 7;

    auto operator<=>(const PageMonth&) const = default;

    // The page month of a calendar month.
    static PageMonth of(std::chrono::year_month calendar);
    // The page month of the current month on the local clock.
    static PageMonth current();

    // "2005年7月": the calendar month, as the user knows it.
    std::string calendarText() const;
    // Months from this one to `later`, both counted (1 for the same month); 0 when `later` is earlier.
    int monthsTo(const PageMonth& later) const;
};

class ResultsMonthWalk {
public:
    // The first page: the Numbers3 page of year 17, month 7.
    ResultsMonthWalk() = default;

    PageKind kind() const { return kind_; }
    PageMonth month() const { return month_; }

    // "num3-h1707.html": the page's name.
    std::string pageName() const;
    // "http://" + host + "/numbers/" + page name.
    std::string address(const std::string& host) const;

    // The same month's Numbers4 page.
    void toNumbers4() { kind_ = PageKind::Numbers4; }
    // The following month's page of the same kind; December is followed by January of the
    // next year.
    void toNextMonth();

private:
    PageKind kind_ = PageKind::Numbers3;
    PageMonth month_;
};

}  // namespace tolvi
