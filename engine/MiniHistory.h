#pragma once
// The history as every replay pass of the Mini edition sees it: the draw records in file order
// with the fields a pass uses, and the three rank tables as they stand before each draw record.
// None of it depends on the pass, so a factor evaluation builds it once and replays it a
// thousand times instead of re-reading and re-tallying the file for every rank pattern.

#include "history/DrawRecord.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace tolvi {

class MiniHistory {
public:
    // The winning number's tens or units digit of a record without a result ("---"); it equals
    // no rank table digit.
    static constexpr std::uint8_t kNoDigit = 10;

    // The history file's bytes as read (HistoryReader::readContent()), comment records included.
    // Never throws on the records' content: a draw record whose draw number or winning number
    // does not convert stops the draw list there, and its error is raised by throwStopError()
    // when a pass reaches it.
    explicit MiniHistory(std::string content);

    // Draw records in the list: those before the end of the file or before the record that does
    // not convert. Draw i (counted from 0) was preceded by i draw records.
    std::size_t drawCount() const { return draws_.size(); }

    // The digit at `rank` in the rank table of `position` (0 hundreds, 1 tens, 2 units), built
    // from the tallies of the draws before draw i, for i = 0 .. drawCount(). Entry drawCount()
    // is built after the last draw: the tables of the prediction for the next draw.
    const std::uint8_t* rankColumn(int position, int rank) const
    {
        return ranks_.data() + std::size_t(position * 10 + rank) * columnStride_;
    }
    int rankDigit(std::size_t draw, int position, int rank) const { return rankColumn(position, rank)[draw]; }

    // Tens and units digit of each draw's winning number, kNoDigit for "---".
    const std::uint8_t* winningTens() const { return tens_.data(); }
    const std::uint8_t* winningUnits() const { return units_.data(); }
    // The mini prize (columns 42-48) of each draw, and 0 where that field is not an integer;
    // miniPrizeBroken() marks those with 1.
    const std::int32_t* miniPrizes() const { return prizes_.data(); }
    const std::uint8_t* miniPrizeBroken() const { return prizeBroken_.data(); }
    bool anyMiniPrizeBroken() const { return anyPrizeBroken_; }

    DrawRecord record(std::size_t draw) const;
    std::int32_t drawNumber(std::size_t draw) const { return draws_[draw].number; }

    // Raises the conversion error of draw i's mini prize, exactly as reading it raises it.
    [[noreturn]] void throwPrizeError(std::size_t draw) const;

    // Whether the draw list ends at a record that does not convert rather than at the end of
    // the file, and that record's conversion error.
    bool stopsWithError() const { return stopError_ != nullptr; }
    [[noreturn]] void throwStopError() const;

private:
    struct Draw {
        std::size_t recordIndex;
        std::int32_t number;
    };

    std::string content_;  // the file's bytes: record i at i * 87
    std::vector<Draw> draws_;
    std::vector<std::uint8_t> ranks_;  // [position * 10 + rank][draw]
    std::size_t columnStride_ = 1;     // room for every record plus the prediction
    std::vector<std::uint8_t> tens_, units_;
    std::vector<std::int32_t> prizes_;
    std::vector<std::uint8_t> prizeBroken_;
    bool anyPrizeBroken_ = false;
    std::exception_ptr stopError_;
};

}  // namespace tolvi
