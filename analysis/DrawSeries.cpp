#include "analysis/DrawSeries.h"

#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "history/HistoryReader.h"

#include <algorithm>

namespace tolvi {

DrawSeries drawsOf(std::string_view content, Game game)
{
    const GameDescription& description = describe(game);
    DrawSeries series;
    series.game = game;
    const std::size_t count = HistoryReader::recordCount(content);
    series.draws.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const DrawRecord record = HistoryReader::recordAt(content, i);
        if (record.isComment())
            continue;
        const std::optional<int> number = description.winningNumber(record);
        if (!number)
            continue;
        std::int32_t prize = 0;
        try {
            prize = description.prize(record, PrizeField::Straight);
        } catch (const ConversionError&) {
            // A prize not yet known (or not paid) leaves the draw in every count but the
            // popularity, which reads only draws with a prize.
        }
        series.draws.push_back({record.drawNumber(), *number, prize});
    }
    return series;
}

DrawSeries loadDraws(const std::filesystem::path& path, Game game)
{
    return drawsOf(HistoryReader::readContent(path), game);
}

std::span<const Draw> select(const DrawSeries& series, DrawRange range)
{
    const std::span<const Draw> all(series.draws);
    switch (range.kind) {
    case DrawRange::Kind::All:
        return all;
    case DrawRange::Kind::Since: {
        const auto first = std::find_if(all.begin(), all.end(),
                                        [&](const Draw& d) { return d.drawNumber >= range.value; });
        return all.subspan(std::size_t(first - all.begin()));
    }
    case DrawRange::Kind::Last: {
        const std::size_t n = std::min(all.size(), std::size_t(std::max(range.value, 0)));
        return all.last(n);
    }
    }
    return all;
}

std::string rangeText(std::span<const Draw> draws)
{
    if (draws.empty())
        return "対象の回がありません";
    return "第" + formatInt(draws.front().drawNumber, 0) + "回～第" + formatInt(draws.back().drawNumber, 0) + "回 (" +
           formatGrouped(std::int64_t(draws.size()), 0, ",") + " 回)";
}

}  // namespace tolvi
