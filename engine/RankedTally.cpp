#include "engine/RankedTally.h"

#include <bit>

namespace tolvi {

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
    // The table stays as it is when the digit keeps its place, was drawn before, and is tied
    // with its neighbours neither before nor after the count went up.
    auto countAt = [&](std::size_t i) { return i < 10 ? counts_[std::size_t(order_[i])] : -1; };
    const bool tiedBefore = countAt(from + 1) == count - 1 || (from > 0 && countAt(from - 1) == count - 1);
    const bool tiedAfter = countAt(at + 1) == count || (at > 0 && countAt(at - 1) == count);
    stale_ = stale_ || at != from || count == 1 || tiedBefore || tiedAfter;
}

// Each rank takes the highest remaining count; among tied digits the rank's own digit if it is
// one of them, otherwise the lowest. Once the drawn digits are used up, rank r takes digit r,
// even if an earlier rank holds it already.
void RankedTally::rebuild()
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

}  // namespace tolvi
