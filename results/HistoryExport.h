#pragma once
// The history as a CSV file that other programs, and an import, can read.

#include <filesystem>
#include <string>
#include <string_view>

namespace tolvi {

// The header line of an export: the English names of the Numbers3 results files, then the
// Numbers4 fields with an n4_ prefix.
inline constexpr std::string_view kExportHeader =
    "draw_no,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout,mini_payout,"
    "n4_winning_number,n4_straight_payout,n4_box_payout,n4_set_straight_payout,n4_set_box_payout";

// One line for each draw record of `content` (the history file's bytes), in file order, after
// the header; LF line ends. Comment records are left out; a draw without a Numbers3 result has an
// empty winning number. Winning numbers keep their leading zeros, amounts are plain yen.
// ConversionError for a record whose fields are not numbers.
std::string exportHistoryCsv(std::string_view content);

// Writes `csv` to the file `output`, which is replaced whole (a new file beside it, renamed over
// it). Only a regular file is replaced: a folder, device, FIFO, a dangling symlink or the history
// `historyPath` itself is refused (RefusedError); a symlink to a regular file is written through
// and the returned note says so (empty otherwise). IoError when it cannot be written; then the
// old file is as it was.
std::string writeExportFile(const std::filesystem::path& output, std::string_view csv,
                            const std::filesystem::path& historyPath);

}  // namespace tolvi
