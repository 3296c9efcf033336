#include "engine/MiniHistory.h"

#include "engine/DigitTally.h"
#include "history/Errors.h"
#include "history/StrToInt.h"

#include <array>
#include <bit>
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

// Raises the conversion error a tally raises for a winning number that is not three digits.
void checkDigits(std::string_view winning)
{
    if (winning.size() != 3 || !isAllDigits(winning))
        DigitTally().add(winning);
}

// One position's tally that keeps its digits ordered by count (highest first, then the lower
// digit), so that the rank table comes out of that order without comparing every digit with
// every other at every draw, and is built again only when the order or its ties change. It
// gives exactly the tables of buildRankTable.
class RankedTally {
public:
    void add(int digit)
    {
        const int count = ++counts_[std::size_t(digit)];
        const std::size_t from = where_[std::size_t(digit)];
        std::size_t at = from;
        while (at > 0) {
            const int before = order_[at - 1];
            const int beforeCount = counts_[std::size_t(before)];
            if (beforeCount > count || (beforeCount == count && before < digit))
                break;
            order_[at] = before;
            where_[std::size_t(before)] = std::uint8_t(at);
            --at;
        }
        order_[at] = digit;
        where_[std::size_t(digit)] = std::uint8_t(at);
        // The table stays as it is when the digit keeps its place, was drawn before, and is
        // tied with its neighbours neither before nor after the count went up.
        auto countAt = [&](std::size_t i) { return i < 10 ? counts_[std::size_t(order_[i])] : -1; };
        const bool tiedBefore = countAt(from + 1) == count - 1 || (from > 0 && countAt(from - 1) == count - 1);
        const bool tiedAfter = countAt(at + 1) == count || (at > 0 && countAt(at - 1) == count);
        stale_ = stale_ || at != from || count == 1 || tiedBefore || tiedAfter;
    }

    // Each rank takes the highest remaining count; among tied digits the rank's own digit if
    // it is one of them, otherwise the lowest. Once the drawn digits are used up, rank r
    // takes digit r, even if an earlier rank holds it already.
    const RankTable& rankTable()
    {
        if (stale_) {
            rebuild();
            stale_ = false;
        }
        return table_;
    }

private:
    void rebuild()
    {
        std::size_t rank = 0;
        std::size_t i = 0;
        while (i < 10 && counts_[std::size_t(order_[i])] > 0) {
            std::size_t end = i + 1;
            const int count = counts_[std::size_t(order_[i])];
            while (end < 10 && counts_[std::size_t(order_[end])] == count)
                ++end;
            if (end - i == 1) {
                table_[rank++] = order_[i];
            } else {
                unsigned tied = 0;
                for (std::size_t k = i; k < end; ++k)
                    tied |= 1u << order_[k];
                for (std::size_t k = i; k < end; ++k, ++rank) {
                    const int choice = (tied >> rank) & 1u ? int(rank) : std::countr_zero(tied);
                    table_[rank] = choice;
                    tied &= ~(1u << choice);
                }
            }
            i = end;
        }
        for (; rank < 10; ++rank)
            table_[rank] = int(rank);
    }

    std::array<int, 10> counts_ {};
    std::array<int, 10> order_ {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::array<std::uint8_t, 10> where_ {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    RankTable table_ {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    bool stale_ = false;
};

}  // namespace

MiniHistory::MiniHistory(std::vector<DrawRecord> records) : records_(std::move(records))
{
    draws_.reserve(records_.size());
    tens_.reserve(records_.size());
    units_.reserve(records_.size());
    prizes_.reserve(records_.size());
    prizeBroken_.reserve(records_.size());
    columnStride_ = records_.size() + 1;
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

    for (std::size_t index = 0; index < records_.size(); ++index) {
        const DrawRecord& record = records_[index];
        if (record.isComment())
            continue;
        keepTables();
        std::int32_t number = 0;
        std::string_view winning;
        try {
            number = record.drawNumber();
            winning = record.winningNumber();
            if (record.hasResult())
                checkDigits(winning);
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
