#pragma once
// Hit counts and prize sums of one replay pass, and the arithmetic shown from them.

#include <cstdint>
#include <string>

namespace tolvi {

// Prize sums are 32-bit and wrap around like the stored totals always have; a damaged file
// full of seven-digit prizes must not make the program's arithmetic undefined.
inline std::int32_t wrappingAdd(std::int32_t a, std::int32_t b)
{
    return std::int32_t(std::uint32_t(a) + std::uint32_t(b));
}

struct RunTotals {
    std::int32_t straightHits = 0, boxHits = 0, miniHits = 0;
    std::int32_t straightSum = 0, boxSum = 0, miniSum = 0;
};

// The seven cells of a statistics row after its "No" caption.
struct StatsCells {
    std::string straightHits, straightSum, boxHits, boxSum, miniHits, miniSum, rate;
};
StatsCells formatStatsCells(const RunTotals& totals, std::int32_t rate);

// "ｽﾄﾚｰﾄ的中数：" ... and "金額：" ... for Label4 to Label9. `miniCountFormat` is how the
// edition writes the mini hit count.
struct SummaryTexts {
    std::string label4, label5, label6, label7, label8, label9;
};
SummaryTexts formatSummary(const RunTotals& totals, const std::string& miniCountText,
                           const std::string& groupSeparator);

}  // namespace tolvi
