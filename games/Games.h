#pragma once
// The two games of the history file and how each is bought: its digits, its bet kinds with the
// prize fields of the history record that pay them, the ticket price and how a number is written.
// Everything that differs between Numbers3 and Numbers4 asks this description instead of
// branching on the game, so a switch over the games lives here and nowhere else.

#include "history/DrawRecord.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tolvi {

enum class Game { Numbers3, Numbers4 };
inline constexpr std::array kGames {Game::Numbers3, Game::Numbers4};

// The ways a ticket is bought. セット is half straight, half box: it pays the set-straight prize on
// an exact match and the set-box prize on another order. ミニ bets on the last two digits.
enum class BetKind { Straight, Box, Set, Mini };
inline constexpr std::array kBetKinds {BetKind::Straight, BetKind::Box, BetKind::Set, BetKind::Mini};

// What a ticket wins on one draw, per 口: which prize field of the record pays it, or none.
enum class PrizeField { None, Straight, Box, SetStraight, SetBox, Mini };

struct GameDescription {
    Game game;
    const char* name;  // "ナンバーズ3", as the lottery writes it
    const char* key;   // "n3": the tool's option and the JSON
    int digits;
    int numberSpace;                    // 10^digits
    std::span<const BetKind> betKinds;  // those sold for the game, in the lottery's order
    int ticketPrice;                    // yen per 口 and draw, of every kind
    int numberColumn;                   // of the winning number in the record, `digits` bytes
    std::span<const int> prizeColumns;  // straight, box, set-straight, set-box (and mini)

    // The number 0 .. numberSpace-1 with its leading zeros: 7 is "007" in Numbers3.
    std::string numberText(int number) const;
    // The number of `text` (exactly `digits` ASCII digits), or nothing.
    std::optional<int> parseNumber(std::string_view text) const;
    // The record's winning number, or nothing for a draw without one ("---", blanks).
    std::optional<int> winningNumber(const DrawRecord& record) const;
    // The prize in yen of `field` on the record, per 口; 0 for PrizeField::None.
    std::int32_t prize(const DrawRecord& record, PrizeField field) const;
    bool sells(BetKind kind) const;
};

const GameDescription& describe(Game game);

// The game whose key ("n3", "n4") is `key`, or nothing.
std::optional<Game> gameOfKey(std::string_view key);

struct BetKindDescription {
    BetKind kind;
    const char* name;  // "ストレート"
    const char* key;   // "straight": the tool's word and the JSON
};

const BetKindDescription& describe(BetKind kind);
std::optional<BetKind> betKindOfKey(std::string_view key);

// Which prize a ticket of `kind` on `ticket` wins when `drawn` comes out in `game`; None for a
// miss. The digits of both numbers are compared as the lottery does: a box wins on the same
// digits in any order, a mini on the last two digits.
PrizeField prizeWon(Game game, BetKind kind, int ticket, int drawn);

// True when every digit of `number` is the same (777): such a number has no box or set.
bool allDigitsSame(Game game, int number);

}  // namespace tolvi
