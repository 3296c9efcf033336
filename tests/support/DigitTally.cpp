#include "support/DigitTally.h"

#include "base/StrToInt.h"

#include <string>

namespace tolvi::test {

RankTable buildRankTable(DigitCounts working)
{
    RankTable table {};
    for (int rank = 0; rank < 10; ++rank) {
        int choice = rank;
        for (int digit = 0; digit < 10; ++digit)
            if (working[std::size_t(digit)] > working[std::size_t(choice)])
                choice = digit;
        table[std::size_t(rank)] = choice;
        working[std::size_t(choice)] = 0;
    }
    return table;
}

void DigitTally::add(std::string_view winningNumber)
{
    for (std::size_t position = 0; position < 3; ++position) {
        const std::string_view digit = winningNumber.substr(std::min(position, winningNumber.size()), 1);
        if (digit.size() != 1 || digit[0] < '0' || digit[0] > '9')
            requireWinningDigits(winningNumber);  // raises the conversion error of that place
        ++counts_[position][std::size_t(digit[0] - '0')];
    }
}

std::array<RankTable, 3> DigitTally::rankTables() const
{
    return {buildRankTable(counts_[0]), buildRankTable(counts_[1]), buildRankTable(counts_[2])};
}

int composeCandidate(const std::array<RankTable, 3>& tables, int a, int b, int c)
{
    return tables[0][std::size_t(a)] * 100 + tables[1][std::size_t(b)] * 10 + tables[2][std::size_t(c)];
}

}  // namespace tolvi::test
