#pragma once
// The draws of one game as the analyses read them: the winning number and its straight prize of
// every record with a result for that game, in file order, and the part of them a view covers.

#include "games/Games.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tolvi {

struct Draw {
    std::int32_t drawNumber = 0;
    int number = 0;                  // 0 .. numberSpace-1
    std::int32_t straightPrize = 0;  // yen per 口; 0 when the record has none
};

struct DrawSeries {
    Game game = Game::Numbers3;
    std::vector<Draw> draws;
};

// Every record of `content` (the history file's bytes) with a winning number of `game`; comment
// records and draws before the game began are left out. A draw number that is not a number
// raises ConversionError, as everywhere else.
DrawSeries drawsOf(std::string_view content, Game game);
// The same from the history file at `path` (IoError when it cannot be read).
DrawSeries loadDraws(const std::filesystem::path& path, Game game);

// Which draws a view covers: all of them, those from a draw number on, or the last N.
struct DrawRange {
    enum class Kind { All, Since, Last };
    Kind kind = Kind::All;
    std::int32_t value = 0;  // the first draw number (Since) or N (Last)

    static DrawRange all() { return {}; }
    static DrawRange since(std::int32_t drawNumber) { return {Kind::Since, drawNumber}; }
    static DrawRange last(std::int32_t count) { return {Kind::Last, count}; }
};

std::span<const Draw> select(const DrawSeries& series, DrawRange range);
// "第1回～第6500回 (6,500 回)", or "対象の回がありません" for none.
std::string rangeText(std::span<const Draw> draws);

}  // namespace tolvi
