#pragma once
// The lottery publisher's own results files: one small CSV file per draw (A100NNNN.CSV), and the
// list file numbers.csv that names the draws it has files for.
//
// A per-draw file is read by its headings and the suffixes of its cells, never by line or column
// positions: its title line 第N回ナンバーズ with the draw's date, then a section per game opened by
// its 「…抽せん数字」 line and holding one line per prize (amounts end in 円, winner counts in 口).
// Full-width and half-width forms are the same text, Shift-JIS or UTF-8, CR LF or LF, blank
// lines, extra cells and lines before the first section do no harm. What could be misread is
// refused: a missing or unknown heading where a prize line belongs, a value given twice with two
// meanings, a winning number of the wrong number of digits, a file that ends before its last
// prize line.

#include "results/ResultsCsv.h"  // GameResult

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tolvi {

// One draw as the publisher's per-draw file A100NNNN.CSV gives it.
struct PublishedDraw {
    std::int32_t draw = 0;
    std::chrono::year_month_day date;   // the draw's date, from the era date (令和 N = 2018 + N, 平成 N = 1988 + N)
    GameResult numbers3;                // number, and prizes straight, box, set-straight, set-box, mini
    GameResult numbers4;                // number, and prizes straight, box, set-straight, set-box (prizes[4] = 0)
};

// The file's name for `draw`: "A100" + the draw number in 4 digits + ".CSV" (A1007073.CSV).
// RefusedError for a draw number outside 1-9999.
std::string publisherDrawFileName(std::int32_t draw);

// Reads one per-draw file (Shift-JIS bytes as published). RefusedError naming `name` and what is wrong
// (a missing or changed heading, a field that is not what it should be, a truncated file, ...).
// The date may be written in the era calendar (令和8年9月17日, 令和元年, 平成16年7月1日) or as
// 2026年9月17日. A Numbers3 number written "---" is a draw without a Numbers3 result
// (kNoNumbers3Result); its prize lines must still be there. An amount of 該当なし, or a line whose
// count is 0口 or 該当なし and that gives no amount, is 0.
PublishedDraw parsePublisherDrawFile(std::string_view bytes, const std::string& name);

// The draw numbers listed in the publisher's list file numbers.csv (lines beginning 第NNNN回ナンバーズ),
// in the order listed (newest first), each once. Other lines are ignored. RefusedError naming
// `name` when it lists none, or lists a draw number outside 1-9999.
std::vector<std::int32_t> parsePublisherList(std::string_view bytes, const std::string& name);

}  // namespace tolvi
