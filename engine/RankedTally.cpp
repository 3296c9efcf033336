#include "engine/RankedTally.h"

#include "base/StrToInt.h"

#include <algorithm>
#include <bit>

namespace tolvi {

void requireWinningDigits(std::string_view winningNumber)
{
    for (std::size_t position = 0; position < 3; ++position) {
        const std::string_view digit = winningNumber.substr(std::min(position, winningNumber.size()), 1);
        if (digit.size() != 1 || digit[0] < '0' || digit[0] > '9')
            strToInt(digit);  // raises the conversion error with the offending text
    }
}

void RankedTally::add(int digit)
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

    // Only the ranks of the digits now tied with this one, and of those it was tied with before
    // or passed, can change: the digits before them count more, those after them less. They
    // make whole groups of equal counts, whose ranks are filled again.
    std::size_t first = at;
    while (first > 0 && counts_[std::size_t(order_[first - 1])] == count)
        --first;
    std::size_t last = from;
    while (last + 1 < 10 && counts_[std::size_t(order_[last + 1])] >= count - 1)
        ++last;
    fillRanks(first, last + 1);
}

// Each rank takes the highest remaining count; among tied digits the rank's own digit if it is
// one of them, otherwise the lowest. Once the drawn digits are used up, rank r takes digit r,
// even if an earlier rank holds it already. Ranks `first` to `end` - 1 are whole groups of
// equal counts in the order.
void RankedTally::fillRanks(std::size_t first, std::size_t end)
{
    std::size_t rank = first;
    while (rank < end) {
        const int count = counts_[std::size_t(order_[rank])];
        std::size_t groupEnd = rank + 1;
        while (groupEnd < end && counts_[std::size_t(order_[groupEnd])] == count)
            ++groupEnd;
        if (count == 0) {
            for (; rank < groupEnd; ++rank)
                table_[rank] = int(rank);
        } else if (groupEnd - rank == 1) {
            table_[rank] = order_[rank];
            ++rank;
        } else {
            unsigned tied = 0;
            for (std::size_t k = rank; k < groupEnd; ++k)
                tied |= 1u << order_[k];
            for (; rank < groupEnd; ++rank) {
                const int choice = (tied >> rank) & 1u ? int(rank) : std::countr_zero(tied);
                table_[rank] = choice;
                tied &= ~(1u << choice);
            }
        }
    }
}

}  // namespace tolvi
