#include "engine/MiniHistory.h"

#include "base/Errors.h"
#include "base/StrToInt.h"
#include "engine/RankedTally.h"
#include "history/HistoryReader.h"

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

MiniHistory::MiniHistory(std::string content) : content_(std::move(content))
{
    const std::size_t recordCount = HistoryReader::recordCount(content_);
    draws_.reserve(recordCount);
    tens_.reserve(recordCount);
    units_.reserve(recordCount);
    prizes_.reserve(recordCount);
    prizeBroken_.reserve(recordCount);
    columnStride_ = recordCount + 1;
    ranks_.resize(30 * columnStride_);

    std::array<RankedTally, 3> tallies;
    auto keepTables = [&] {
        const std::size_t draw = draws_.size();
        for (std::size_t position = 0; position < 3; ++position) {
            const RankTable& table = tallies[position].rankTable();
            for (std::size_t rank = 0; rank < 10; ++rank)
                ranks_[(position * 10 + rank) * columnStride_ + draw] = std::uint8_t(table[rank]);
        }
    };

    for (std::size_t index = 0; index < recordCount; ++index) {
        const DrawRecord record = HistoryReader::recordAt(content_, index);
        if (record.isComment())
            continue;
        keepTables();
        std::int32_t number = 0;
        std::string_view winning;
        try {
            number = record.drawNumber();
            winning = record.winningNumber();
            if (record.hasResult())
                requireWinningDigits(winning);
        } catch (const ConversionError&) {
            // The tables just kept, those after the last listed draw, end the columns.
            stopError_ = std::current_exception();
            break;
        }
        if (record.hasResult())
            for (std::size_t position = 0; position < 3; ++position)
                tallies[position].add(winning[position] - '0');
        draws_.push_back({index, number});
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
}

DrawRecord MiniHistory::record(std::size_t draw) const
{
    return HistoryReader::recordAt(content_, draws_[draw].recordIndex);
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
