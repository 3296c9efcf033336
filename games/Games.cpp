#include "games/Games.h"

#include "base/NumberFormat.h"

#include <algorithm>
#include <stdexcept>

namespace tolvi {

namespace {

constexpr std::array kNumbers3Kinds {BetKind::Straight, BetKind::Box, BetKind::Set, BetKind::Mini};
constexpr std::array kNumbers4Kinds {BetKind::Straight, BetKind::Box, BetKind::Set};

// How often each digit occurs in `number`: two numbers are a box match when these are equal.
std::array<int, 10> digitCounts(int number, int digits)
{
    std::array<int, 10> counts {};
    for (int i = 0; i < digits; ++i, number /= 10)
        ++counts[std::size_t(number % 10)];
    return counts;
}

}  // namespace

const GameDescription& describe(Game game)
{
    static const GameDescription numbers3 {
        Game::Numbers3, "ナンバーズ3", "n3", 3, 1000, kNumbers3Kinds, 200, kWinningNumberColumn, kNumbers3PrizeColumns};
    static const GameDescription numbers4 {Game::Numbers4,  "ナンバーズ4",        "n4", 4, 10000, kNumbers4Kinds, 200,
                                           kNumbers4Column, kNumbers4PrizeColumns};
    switch (game) {
    case Game::Numbers3: return numbers3;
    case Game::Numbers4: return numbers4;
    }
    throw std::logic_error("unknown game");
}

std::optional<Game> gameOfKey(std::string_view key)
{
    for (const Game game : kGames)
        if (describe(game).key == key)
            return game;
    return std::nullopt;
}

const BetKindDescription& describe(BetKind kind)
{
    static const std::array<BetKindDescription, kBetKinds.size()> kinds {{
        {BetKind::Straight, "ストレート", "straight"},
        {BetKind::Box, "ボックス", "box"},
        {BetKind::Set, "セット", "set"},
        {BetKind::Mini, "ミニ", "mini"},
    }};
    return kinds[std::size_t(kind)];
}

std::optional<BetKind> betKindOfKey(std::string_view key)
{
    for (const BetKind kind : kBetKinds)
        if (describe(kind).key == key || describe(kind).name == key)
            return kind;
    return std::nullopt;
}

std::string GameDescription::numberText(int number) const
{
    return formatInt(number, digits, digits);
}

std::optional<int> GameDescription::parseNumber(std::string_view text) const
{
    if (text.size() != std::size_t(digits))
        return std::nullopt;
    int number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return number;
}

std::optional<int> GameDescription::winningNumber(const DrawRecord& record) const
{
    return parseNumber(record.column(numberColumn, digits));
}

std::int32_t GameDescription::prize(const DrawRecord& record, PrizeField field) const
{
    // The record's prize columns in order: straight, box, set-straight, set-box, mini.
    switch (field) {
    case PrizeField::None: return 0;
    case PrizeField::Straight: return record.prize(prizeColumns[0]);
    case PrizeField::Box: return record.prize(prizeColumns[1]);
    case PrizeField::SetStraight: return record.prize(prizeColumns[2]);
    case PrizeField::SetBox: return record.prize(prizeColumns[3]);
    case PrizeField::Mini: return prizeColumns.size() > 4 ? record.prize(prizeColumns[4]) : 0;
    }
    return 0;
}

bool GameDescription::sells(BetKind kind) const
{
    return std::find(betKinds.begin(), betKinds.end(), kind) != betKinds.end();
}

bool allDigitsSame(Game game, int number)
{
    const int digits = describe(game).digits;
    return digitCounts(number, digits)[std::size_t(number % 10)] == digits;
}

PrizeField prizeWon(Game game, BetKind kind, int ticket, int drawn)
{
    const int digits = describe(game).digits;
    const bool exact = ticket == drawn;
    const bool sameDigits = digitCounts(ticket, digits) == digitCounts(drawn, digits);
    switch (kind) {
    case BetKind::Straight: return exact ? PrizeField::Straight : PrizeField::None;
    case BetKind::Box: return sameDigits ? PrizeField::Box : PrizeField::None;
    case BetKind::Set: return exact ? PrizeField::SetStraight : sameDigits ? PrizeField::SetBox : PrizeField::None;
    case BetKind::Mini: return ticket % 100 == drawn % 100 ? PrizeField::Mini : PrizeField::None;
    }
    return PrizeField::None;
}

}  // namespace tolvi
