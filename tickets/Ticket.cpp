#include "tickets/Ticket.h"

#include "base/Errors.h"
#include "history/DrawCalendar.h"
#include "tickets/Settlement.h"

namespace tolvi {

const char* originKey(TicketOrigin origin)
{
    switch (origin) {
    case TicketOrigin::Typed: return "typed";
    case TicketOrigin::Imported: return "imported";
    case TicketOrigin::Prediction: return "prediction";
    }
    return "typed";
}

const char* originName(TicketOrigin origin)
{
    switch (origin) {
    case TicketOrigin::Typed: return "入力";
    case TicketOrigin::Imported: return "取り込み";
    case TicketOrigin::Prediction: return "予想";
    }
    return "入力";
}

bool isOldTicket(const Ticket& ticket, const std::string& todayIso)
{
    const std::optional<Date> today = parseIsoDate(todayIso);
    return today && ticket.firstDraw >= 1 && claimDeadline(ticket.firstDraw) < *today;
}

std::string oldDrawQuestion(const Ticket& ticket)
{
    return "第" + std::to_string(ticket.firstDraw) + "回 (" + japaneseDate(drawDate(ticket.firstDraw)) +
           ") は 1 年以上前に抽せんされ、当せん金の支払期間が過ぎています。";
}

void checkTicket(const Ticket& ticket, const std::string& todayIso, bool confirmedOld)
{
    const GameDescription& game = describe(ticket.game);
    const BetKindDescription& kind = describe(ticket.kind);
    if (!game.sells(ticket.kind))
        throw RefusedError(std::string(game.name) + "に" + kind.name + "はありません。");
    if (ticket.number < 0 || ticket.number >= game.numberSpace)
        throw RefusedError(std::string(game.name) + "の数字は " + std::to_string(game.digits) + " けたです。");
    if ((ticket.kind == BetKind::Box || ticket.kind == BetKind::Set) && allDigitsSame(ticket.game, ticket.number))
        throw RefusedError(game.numberText(ticket.number) + " のようにすべて同じ数字では" + kind.name +
                           "は買えません。ストレートで記録してください。");
    if (ticket.kuchi < 1 || ticket.kuchi > kMaxKuchi)
        throw RefusedError("口数は 1～" + std::to_string(kMaxKuchi) + " 口です。");
    if (ticket.draws < 1 || ticket.draws > kMaxDraws)
        throw RefusedError("継続回数は 1～" + std::to_string(kMaxDraws) + " 回です。");
    if (ticket.firstDraw < 1)
        throw RefusedError("回号は 1 以上です。");
    if (!confirmedOld && isOldTicket(ticket, todayIso))
        throw RefusedError(oldDrawQuestion(ticket) + "記録するには確認が要ります (tolvi tickets では --yes)。");
}

std::string describeTicket(const Ticket& ticket)
{
    const GameDescription& game = describe(ticket.game);
    std::string text = std::string(game.name) + " " + game.numberText(ticket.number) + " " +
                       describe(ticket.kind).name + " " + std::to_string(ticket.kuchi) + "口 第" +
                       std::to_string(ticket.firstDraw) + "回";
    if (ticket.draws > 1)
        text += "～第" + std::to_string(ticket.lastDraw()) + "回";
    return text;
}

}  // namespace tolvi
