#pragma once
// Checking tickets against the history: every ticket draw that the history holds is settled from
// that draw's record alone; the history stays the one source of results and is only read.

#include "history/DrawCalendar.h"
#include "history/DrawRecord.h"
#include "tickets/Ticket.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tolvi {

// What one draw of a ticket came to. A draw whose record has no winning number ("---") has no
// result; one the history does not hold yet is pending: neither is a loss.
enum class DrawStatus { Won, Lost, NoResult, Pending };

const char* statusKey(DrawStatus status);   // "won", "lost", "no_result", "pending"
const char* statusName(DrawStatus status);  // "当せん", "はずれ", "結果なし", "未抽せん"

// The draws of a history by number, for settling: built once, then looked up per ticket draw.
class DrawIndex {
public:
    DrawIndex() = default;
    // Every draw record of the history file's `content` (comments skipped). ConversionError for a
    // record whose draw number is not a number.
    explicit DrawIndex(std::string_view content);
    const DrawRecord* find(std::int32_t draw) const;
    std::int32_t lastDraw() const { return std::int32_t(records_.size()) - 1; }

private:
    std::vector<std::optional<DrawRecord>> records_;  // by draw number
};

struct DrawResult {
    std::int32_t draw = 0;
    DrawStatus status = DrawStatus::Pending;
    PrizeField field = PrizeField::None;
    std::int64_t prize = 0;  // yen for all the ticket's 口 on this draw
};

// Every draw of `ticket`, first to last.
std::vector<DrawResult> settle(const Ticket& ticket, const DrawIndex& index);

// The last day a prize of draw `draw` can be claimed: the same date a year after the draw (28
// February for a draw on 29 February).
Date claimDeadline(std::int32_t draw);
// Days from `today` to the deadline of `draw`: negative once it has passed.
int daysToClaim(std::int32_t draw, Date today);
// Wins with fewer days than this left to claim them are flagged.
inline constexpr int kClaimWarningDays = 30;

}  // namespace tolvi
