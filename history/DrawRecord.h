#pragma once
// One 87-byte record of the history file, read by fixed byte columns (counted from 1).

#include <array>
#include <cstdint>
#include <string_view>

namespace tolvi {

// First columns of the fields that the readers use.
inline constexpr int kDrawNumberColumn = 1;      // 4 bytes
inline constexpr int kWinningNumberColumn = 6;   // 3 bytes, or "---"
inline constexpr int kStraightPrizeColumn = 10;  // 7 bytes each
inline constexpr int kBoxPrizeColumn = 18;
inline constexpr int kMiniPrizeColumn = 42;
inline constexpr int kNumbers4Column = 50;  // 4 bytes
// Every prize field in the record's order: Numbers3 straight, box, set-straight, set-box and
// mini; Numbers4 straight, box, set-straight and set-box.
inline constexpr std::array<int, 5> kNumbers3PrizeColumns {kStraightPrizeColumn, kBoxPrizeColumn, 26, 34,
                                                           kMiniPrizeColumn};
inline constexpr std::array<int, 4> kNumbers4PrizeColumns {55, 63, 71, 79};
inline constexpr std::string_view kNoResult = "---";

class DrawRecord {
public:
    // `block` is one full record as read; the record's text ends at its first NUL byte.
    explicit DrawRecord(std::string_view block);

    std::string_view text() const { return {text_.data(), length_}; }
    bool isComment() const { return length_ != 0 && text_[0] == ';'; }

    // Bytes `first` .. `first + width - 1`, clipped to the text.
    std::string_view column(int first, int width) const;

    // Columns 1-4 as an integer (ConversionError when they are not one).
    std::int32_t drawNumber() const;
    // Columns 6-8 exactly as stored.
    std::string_view winningNumber() const { return column(kWinningNumberColumn, 3); }
    bool hasResult() const { return winningNumber() != kNoResult; }
    // The seven-byte prize field that starts at `firstColumn`, as an integer.
    std::int32_t prize(int firstColumn) const;

private:
    // Kept inline: a history holds thousands of records, read on every run.
    std::array<char, 87> text_ {};
    std::uint8_t length_ = 0;
};

}  // namespace tolvi
