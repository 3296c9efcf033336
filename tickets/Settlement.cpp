#include "tickets/Settlement.h"

#include "history/HistoryFile.h"

namespace tolvi {

const char* statusKey(DrawStatus status)
{
    switch (status) {
    case DrawStatus::Won: return "won";
    case DrawStatus::Lost: return "lost";
    case DrawStatus::NoResult: return "no_result";
    case DrawStatus::Pending: return "pending";
    }
    return "pending";
}

const char* statusName(DrawStatus status)
{
    switch (status) {
    case DrawStatus::Won: return "当せん";
    case DrawStatus::Lost: return "はずれ";
    case DrawStatus::NoResult: return "結果なし";
    case DrawStatus::Pending: return "未抽せん";
    }
    return "未抽せん";
}

DrawIndex::DrawIndex(std::string_view content)
{
    for (std::size_t at = 0; at + kRecordSize <= content.size(); at += kRecordSize) {
        const DrawRecord record(content.substr(at, kRecordSize));
        if (record.isComment())
            continue;
        const std::int32_t draw = record.drawNumber();
        if (draw < 1)
            continue;
        if (std::size_t(draw) >= records_.size())
            records_.resize(std::size_t(draw) + 1);
        records_[std::size_t(draw)] = record;
    }
}

const DrawRecord* DrawIndex::find(std::int32_t draw) const
{
    if (draw < 1 || std::size_t(draw) >= records_.size() || !records_[std::size_t(draw)])
        return nullptr;
    return &*records_[std::size_t(draw)];
}

std::vector<DrawResult> settle(const Ticket& ticket, const DrawIndex& index)
{
    const GameDescription& game = describe(ticket.game);
    std::vector<DrawResult> results;
    results.reserve(std::size_t(ticket.draws));
    for (std::int32_t draw = ticket.firstDraw; draw <= ticket.lastDraw(); ++draw) {
        DrawResult result;
        result.draw = draw;
        if (const DrawRecord* record = index.find(draw)) {
            const std::optional<int> drawn = game.winningNumber(*record);
            if (!drawn) {
                result.status = DrawStatus::NoResult;
            } else {
                result.field = prizeWon(ticket.game, ticket.kind, ticket.number, *drawn);
                result.status = result.field == PrizeField::None ? DrawStatus::Lost : DrawStatus::Won;
                result.prize = std::int64_t(game.prize(*record, result.field)) * ticket.kuchi;
            }
        }
        results.push_back(result);
    }
    return results;
}

Date claimDeadline(std::int32_t draw)
{
    const Date held = drawDate(draw);
    const Date later = held + std::chrono::years(1);
    return later.ok() ? later : Date(later.year(), later.month(), std::chrono::day(28));
}

int daysToClaim(std::int32_t draw, Date today)
{
    return int((std::chrono::sys_days(claimDeadline(draw)) - std::chrono::sys_days(today)).count());
}

}  // namespace tolvi
