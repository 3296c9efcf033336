#include "engine/RunTotals.h"

#include "engine/NumberFormat.h"

namespace tolvi {

StatsCells formatStatsCells(const RunTotals& totals, std::int32_t rate)
{
    return {formatInt(totals.straightHits, 3), formatInt(totals.straightSum, 6) + "円",
            formatInt(totals.boxHits, 3),      formatInt(totals.boxSum, 6) + "円",
            formatInt(totals.miniHits, 3),     formatInt(totals.miniSum, 6) + "円",
            formatInt(rate, 3) + "％"};
}

SummaryTexts formatSummary(const RunTotals& totals, const std::string& miniCountText,
                           const std::string& groupSeparator)
{
    auto amount = [&](std::int32_t sum) { return "金額：" + formatGrouped(sum, 10, groupSeparator) + "円"; };
    return {"ｽﾄﾚｰﾄ的中数：" + formatInt(totals.straightHits, 2) + "本",
            "ﾎﾞｯｸｽ的中数：" + formatInt(totals.boxHits, 2) + "本",
            "ﾐﾆ   的中数：" + miniCountText + "本",
            amount(totals.straightSum),
            amount(totals.boxSum),
            amount(totals.miniSum)};
}

}  // namespace tolvi
