#pragma once
// 人気度: Numbers prizes are pari-mutuel, so a number many people buy pays less when it is drawn;
// its chance is the same as any other's. Each draw's straight prize is set against the median of
// its neighbours (50 draws before to 50 after) and the ratios are averaged by kind of number.

#include "analysis/DrawSeries.h"

#include <array>
#include <span>
#include <string>
#include <vector>

namespace tolvi {

enum class NumberKind { Date, HasZero, Triple, Double, Run, Rest };
inline constexpr std::array kNumberKinds {NumberKind::Date,   NumberKind::HasZero, NumberKind::Triple,
                                          NumberKind::Double, NumberKind::Run,     NumberKind::Rest};

struct NumberKindDescription {
    NumberKind kind;
    const char* key;   // the tool's JSON
    const char* name;  // the window's
};
const NumberKindDescription& describe(NumberKind kind);

// Whether `number` of `game` is of `kind`. The kinds overlap (101 reads as a date, holds a 0 and
// is a double); Rest is a number of none of the others. A date is M/DD (month 1-9) or MM/D (month
// 10-12) in three digits, MMDD in four, of a day that exists in a leap year.
bool isOfKind(Game game, int number, NumberKind kind);

struct KindPopularity {
    NumberKind kind;
    long numbers = 0;           // of the game's numbers
    long draws = 0;             // draws in the range whose number is of the kind, with a prize
    double meanRatio = 0;       // straight prize / neighbours' median, averaged
    double low = 0, high = 0;   // its 95 % interval
    double expectedReturn = 0;  // yen one straight ticket returns on average: meanRatio x median / numberSpace

    // A mean needs one draw and an interval two: without them the figures above are 0 and
    // mean nothing, and the views show a dash instead.
    bool hasMean() const { return draws > 0; }
    bool hasInterval() const { return draws > 1; }
};

struct Popularity {
    Game game = Game::Numbers3;
    double medianPrize = 0;  // of the straight prizes in the range
    int ticketPrice = 0;
    std::vector<KindPopularity> kinds;  // in kNumberKinds' order
    std::vector<double> ratioByNumber;  // mean ratio of each number's draws; NaN when it never came
};

// Over the draws of `range` within `series` (the neighbours' medians read the whole series).
Popularity analyzePopularity(const DrawSeries& series, DrawRange range);

// What the view says beside the figures, plainly.
inline constexpr const char* kPopularityNote =
    "人気度は当せん金額を変えるだけで、当たる確率は変えません。どの種類の番号も、買えば平均して損です "
    "(1 口の期待値は購入額を下回ります)。";

}  // namespace tolvi
