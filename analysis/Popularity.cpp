#include "analysis/Popularity.h"

#include "analysis/DrawAnalysis.h"

#include <boost/math/distributions/students_t.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tolvi {

namespace {

constexpr int kNeighbours = 50;

constexpr std::array<int, 13> kDaysInMonth {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// `month` and `day` written with `monthDigits` and `dayDigits` characters as a date: a two-digit
// day may start with 0, a two-digit month only before a two-digit day (0101, never 01/1).
bool isDate(int month, int monthDigits, int day, int dayDigits)
{
    if (monthDigits < 1 || monthDigits > 2 || dayDigits < 1 || dayDigits > 2)
        return false;
    if (month < 1 || month > 12 || day < 1 || day > kDaysInMonth[std::size_t(month)])
        return false;
    const bool monthPadded = monthDigits == 2 && month < 10;
    return !monthPadded || dayDigits == 2;
}

bool readsAsDate(Game game, int number)
{
    const int digits = describe(game).digits;
    for (int monthDigits = 1; monthDigits < digits; ++monthDigits) {
        int divisor = 1;
        for (int i = 0; i < digits - monthDigits; ++i)
            divisor *= 10;
        if (isDate(number / divisor, monthDigits, number % divisor, digits - monthDigits))
            return true;
    }
    return false;
}

bool isRun(Game game, int number)
{
    const int digits = describe(game).digits;
    bool up = true, down = true;
    for (int place = 1; place < digits; ++place) {
        const int step = digitAt(game, number, place) - digitAt(game, number, place - 1);
        up = up && step == 1;
        down = down && step == -1;
    }
    return up || down;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    const std::size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(middle), values.end());
    double m = values[middle];
    if (values.size() % 2 == 0)
        m = (m + *std::max_element(values.begin(), values.begin() + std::ptrdiff_t(middle))) / 2;
    return m;
}

std::uint8_t bit(NumberKind kind)
{
    return std::uint8_t(1u << unsigned(kind));
}

// The kinds of every number of `game` as bits, worked out once: the popularity reads them for
// every draw.
const std::vector<std::uint8_t>& kindsOfEveryNumber(Game game)
{
    static const std::array<std::vector<std::uint8_t>, kGames.size()> tables = [] {
        std::array<std::vector<std::uint8_t>, kGames.size()> built;
        for (std::size_t g = 0; g < kGames.size(); ++g)
            for (int number = 0; number < describe(kGames[g]).numberSpace; ++number) {
                std::uint8_t kinds = 0;
                for (const NumberKind kind : kNumberKinds)
                    kinds |= isOfKind(kGames[g], number, kind) ? bit(kind) : 0;
                built[g].push_back(kinds);
            }
        return built;
    }();
    return tables[std::size_t(std::find(kGames.begin(), kGames.end(), game) - kGames.begin())];
}

}  // namespace

const NumberKindDescription& describe(NumberKind kind)
{
    static const std::array<NumberKindDescription, kNumberKinds.size()> kinds {{
        {NumberKind::Date, "date", "日付に読める番号"},
        {NumberKind::HasZero, "zero", "0 を含む番号"},
        {NumberKind::Triple, "triple", "トリプル (同じ数字が3つ以上)"},
        {NumberKind::Double, "double", "ダブル"},
        {NumberKind::Run, "run", "並び (123, 321 など)"},
        {NumberKind::Rest, "rest", "そのほか"},
    }};
    return kinds[std::size_t(kind)];
}

bool isOfKind(Game game, int number, NumberKind kind)
{
    const std::size_t shape = shapeOf(game, number);
    const std::string& shapeKey = exactModel(game).shapeKeys[shape];
    switch (kind) {
    case NumberKind::Date:
        return readsAsDate(game, number);
    case NumberKind::HasZero:
        for (int place = 0; place < describe(game).digits; ++place)
            if (digitAt(game, number, place) == 0)
                return true;
        return false;
    case NumberKind::Triple:
        return shapeKey == "triple" || shapeKey == "quadruple";
    case NumberKind::Double:
        return shapeKey == "double" || shapeKey == "double_double";
    case NumberKind::Run:
        return isRun(game, number);
    case NumberKind::Rest:
        for (const NumberKind other : kNumberKinds)
            if (other != NumberKind::Rest && isOfKind(game, number, other))
                return false;
        return true;
    }
    return false;
}

Popularity analyzePopularity(const DrawSeries& series, DrawRange range)
{
    const GameDescription& g = describe(series.game);
    Popularity result;
    result.game = series.game;
    result.ticketPrice = g.ticketPrice;

    // Each paid draw's ratio to the median of the paid draws around it, over the whole series.
    const std::vector<Draw>& all = series.draws;
    std::vector<double> ratio(all.size(), std::numeric_limits<double>::quiet_NaN());
    std::vector<double> window;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].straightPrize <= 0)
            continue;
        window.clear();
        const std::size_t from = i >= std::size_t(kNeighbours) ? i - std::size_t(kNeighbours) : 0;
        const std::size_t to = std::min(all.size(), i + std::size_t(kNeighbours) + 1);
        for (std::size_t j = from; j < to; ++j)
            if (all[j].straightPrize > 0)
                window.push_back(double(all[j].straightPrize));
        ratio[i] = double(all[i].straightPrize) / median(window);
    }

    const std::span<const Draw> selected = select(series, range);
    const std::size_t offset = std::size_t(selected.data() - all.data());
    std::vector<double> prizes;
    std::vector<double> sum(std::size_t(g.numberSpace), 0.0);
    std::vector<long> count(std::size_t(g.numberSpace), 0);
    for (std::size_t i = offset; i < offset + selected.size(); ++i)
        if (!std::isnan(ratio[i])) {
            prizes.push_back(double(all[i].straightPrize));
            sum[std::size_t(all[i].number)] += ratio[i];
            ++count[std::size_t(all[i].number)];
        }
    result.medianPrize = median(prizes);
    result.ratioByNumber.assign(std::size_t(g.numberSpace), std::numeric_limits<double>::quiet_NaN());
    for (std::size_t number = 0; number < sum.size(); ++number)
        if (count[number] > 0)
            result.ratioByNumber[number] = sum[number] / double(count[number]);

    const std::vector<std::uint8_t>& kinds = kindsOfEveryNumber(series.game);
    for (const NumberKind kind : kNumberKinds) {
        KindPopularity k;
        k.kind = kind;
        double total = 0, squares = 0;
        for (int number = 0; number < g.numberSpace; ++number) {
            if (!(kinds[std::size_t(number)] & bit(kind)))
                continue;
            ++k.numbers;
            k.draws += count[std::size_t(number)];
            total += sum[std::size_t(number)];
        }
        for (std::size_t i = offset; i < offset + selected.size(); ++i)
            if (!std::isnan(ratio[i]) && (kinds[std::size_t(all[i].number)] & bit(kind)))
                squares += ratio[i] * ratio[i];
        if (k.draws > 0) {
            const double n = double(k.draws);
            k.meanRatio = total / n;
            k.low = k.high = k.meanRatio;
            if (k.draws > 1) {
                const double variance = std::max(0.0, (squares - n * k.meanRatio * k.meanRatio) / (n - 1));
                const double t = boost::math::quantile(boost::math::students_t(n - 1), 0.975);
                const double half = t * std::sqrt(variance / n);
                k.low = k.meanRatio - half;
                k.high = k.meanRatio + half;
            }
            k.expectedReturn = k.meanRatio * result.medianPrize / double(g.numberSpace);
        }
        result.kinds.push_back(k);
    }
    return result;
}

}  // namespace tolvi
