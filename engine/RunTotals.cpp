#include "engine/RunTotals.h"

#include "base/NumberFormat.h"

namespace tolvi {

std::int64_t numbers3Spend(std::int32_t lastDrawNumber, int candidates)
{
    return std::int64_t(lastDrawNumber) * candidates * 2 * 200;
}

std::optional<std::int32_t> paybackRate(std::int32_t prizeSum, std::int64_t spend)
{
    const std::int64_t hundreds = spend / 100;
    if (hundreds == 0)
        return std::nullopt;
    return std::int32_t(prizeSum / hundreds);
}

StatsRow statsRow(int rankPattern, const RunTotals& totals, std::int32_t rate)
{
    return {formatInt(rankPattern, 3, 3),
            formatInt(totals.straightHits, 3),
            formatInt(totals.straightSum, 6) + "円",
            formatInt(totals.boxHits, 3),
            formatInt(totals.boxSum, 6) + "円",
            formatInt(totals.miniHits, 3),
            formatInt(totals.miniSum, 6) + "円",
            formatInt(rate, 3) + "％"};
}

}  // namespace tolvi
