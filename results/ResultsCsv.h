#pragma once
// Lottery results in the CSV layouts that public data sets use, read into draws by draw number.
//
// Columns are found by their header names, never by position, so extra columns and other
// column orders do no harm. Three families of headers are known (resultsColumnNames): English
// ones, Japanese ones and the download layout with a title line before its header (回別 written
// 第4903回). A source with a mini prize column holds Numbers3 results (and,
// with n4_ columns, the Numbers4 results of the same draws); one without holds Numbers4 results.

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>

namespace tolvi {

// One game's result of one draw, as the history file stores it.
struct GameResult {
    std::int32_t number = 0;                 // Numbers3 may be kNoNumbers3Result ("---")
    std::array<std::int32_t, 5> prizes {};   // straight, box, set-straight, set-box, mini (Numbers4: no mini)

    bool operator==(const GameResult&) const = default;
};

struct ResultsSource {
    std::string name;                                 // the file or address, for messages
    std::map<std::int32_t, GameResult> numbers3;      // by draw number
    std::map<std::int32_t, GameResult> numbers4;
};

// The header names a column is found by, in each of the three layouts; Numbers4's columns (n4_)
// have English names only. In the order of the export's columns: draw, number, the five prizes.
struct ResultsColumnNames {
    std::string_view english, japanese, download;
};
std::span<const ResultsColumnNames> resultsColumnNames();

// Reads `bytes` (UTF-8 with or without a byte order mark, or code page 932; CR LF or LF; rows in
// any order). Winning numbers that lost their leading zeros are read as numbers (16 is 016); an
// empty prize is 0; amounts may hold thousands separators and 円. An empty Numbers3 number, or
// "---", is a draw without a Numbers3 result. RefusedError, naming `name`, the row and the
// column, for a missing header or column, a value that is not what its column holds, or one draw
// given twice with different results.
ResultsSource parseResultsCsv(std::string_view bytes, const std::string& name);

}  // namespace tolvi
