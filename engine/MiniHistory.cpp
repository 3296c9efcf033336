#include "engine/MiniHistory.h"

#include "engine/DigitTally.h"
#include "history/Errors.h"

#include <array>
#include <string_view>

namespace tolvi {

namespace {

std::uint8_t digitOrNone(char c)
{
    return c >= '0' && c <= '9' ? std::uint8_t(c - '0') : MiniHistory::kNoDigit;
}

// Seven digits, as every well-formed record holds, are read here without the general
// conversion; anything else goes through it and is marked broken if it fails.
bool readSevenDigits(std::string_view field, std::int32_t& value)
{
    if (field.size() != 7)
        return false;
    std::int32_t result = 0;
    for (const char c : field) {
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + (c - '0');
    }
    value = result;
    return true;
}

}  // namespace

MiniHistory::MiniHistory(std::vector<DrawRecord> records) : records_(std::move(records))
{
    draws_.reserve(records_.size());
    tens_.reserve(records_.size());
    units_.reserve(records_.size());
    prizes_.reserve(records_.size());
    prizeBroken_.reserve(records_.size());
    // Rank tables by draw first; laid out by rank column below, once the draw count is known.
    std::vector<std::array<std::uint8_t, 30>> tablesByDraw;
    tablesByDraw.reserve(records_.size() + 1);

    DigitTally tally;
    auto keepTables = [&] {
        const std::array<RankTable, 3> tables = tally.rankTables();
        std::array<std::uint8_t, 30>& row = tablesByDraw.emplace_back();
        for (std::size_t position = 0; position < 3; ++position)
            for (std::size_t rank = 0; rank < 10; ++rank)
                row[position * 10 + rank] = std::uint8_t(tables[position][rank]);
    };

    for (std::size_t index = 0; index < records_.size(); ++index) {
        const DrawRecord& record = records_[index];
        if (record.isComment())
            continue;
        keepTables();
        std::int32_t number = 0;
        try {
            number = record.drawNumber();
            if (record.hasResult())
                tally.add(record.winningNumber());
        } catch (const ConversionError&) {
            // The tables just kept, those after the last listed draw, end the column.
            stopError_ = std::current_exception();
            break;
        }
        draws_.push_back({index, number});
        const std::string_view winning = record.winningNumber();  // three digits or "---" here
        tens_.push_back(digitOrNone(winning[1]));
        units_.push_back(digitOrNone(winning[2]));

        std::int32_t prize = 0;
        bool broken = false;
        if (!readSevenDigits(record.column(kMiniPrizeColumn, 7), prize)) {
            try {
                prize = record.prize(kMiniPrizeColumn);
            } catch (const ConversionError&) {
                prize = 0;
                broken = true;
            }
        }
        prizes_.push_back(prize);
        prizeBroken_.push_back(broken ? 1 : 0);
        anyPrizeBroken_ = anyPrizeBroken_ || broken;
    }
    if (!stopError_)
        keepTables();

    const std::size_t columnLength = draws_.size() + 1;
    ranks_.resize(30 * columnLength);
    for (std::size_t draw = 0; draw < columnLength; ++draw)
        for (std::size_t column = 0; column < 30; ++column)
            ranks_[column * columnLength + draw] = tablesByDraw[draw][column];
}

void MiniHistory::throwPrizeError(std::size_t draw) const
{
    record(draw).prize(kMiniPrizeColumn);
    // The field converted after all; a broken mark that does not reproduce is a fault here.
    throw ConversionError("ミニの当せん金額を読めません");
}

void MiniHistory::throwStopError() const
{
    std::rethrow_exception(stopError_);
}

}  // namespace tolvi
