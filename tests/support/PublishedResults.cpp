#include "support/PublishedResults.h"

#include "base/NumberFormat.h"
#include "results/PublisherFiles.h"
#include "transport/ShiftJis.h"

namespace tolvi::test {

HistoryAppender::Draw publishedResults(int draw)
{
    HistoryAppender::Draw results;
    results.numbers3 = draw % 1000;
    results.numbers3Prizes = {90000 + draw, 20000, 50000, 10000, 8000};
    results.numbers4 = draw;
    results.numbers4Prizes = {900000 + draw, 80000, 500000, 40000};
    return results;
}

std::string publishedHistory(int first, int last)
{
    std::string bytes;
    for (int draw = first; draw <= last; ++draw)
        bytes += HistoryAppender::formatRecord(draw, publishedResults(draw)) + "\r\n";
    return bytes + "\x1A";
}

std::string publisherFile(int draw, const HistoryAppender::Draw& r)
{
    const Date date = drawDate(draw);
    // The winners and the amount of one prize line; nobody won a prize of 0.
    const auto paid = [](const char* winners, int amount) {
        return amount == 0 ? std::string("該当なし,該当なし")
                           : std::string(winners) + "," + std::to_string(amount) + "円";
    };
    const std::string n3 = formatInt(r.numbers3, 3, 3), n4 = formatInt(r.numbers4, 4, 4);
    const std::string text =
        "A50\r\n第" + std::to_string(draw) + "回ナンバーズ,数字選択式全国自治宝くじ,令和" +
        std::to_string(int(date.year()) - 2018) + "年" + std::to_string(unsigned(date.month())) + "月" +
        std::to_string(unsigned(date.day())) + "日,東京 宝くじドリーム館\r\n" + "ナンバーズ３抽せん数字," + n3 +
        "\r\nストレート," + n3 + "," + paid("62口", r.numbers3Prizes[0]) + "\r\nボックス," +
        paid("253口", r.numbers3Prizes[1]) + "\r\nセット（ストレート）," + paid("162口", r.numbers3Prizes[2]) +
        "\r\nセット（ボックス）," + paid("419口", r.numbers3Prizes[3]) + "\r\nミニ,下２ケタ," +
        paid("468口", r.numbers3Prizes[4]) + "\r\nナンバーズ４抽せん数字," + n4 + "\r\nストレート," + n4 + "," +
        paid("18口", r.numbers4Prizes[0]) + "\r\nボックス," + paid("153口", r.numbers4Prizes[1]) +
        "\r\nセット（ストレート）," + paid("51口", r.numbers4Prizes[2]) + "\r\nセット（ボックス）," +
        paid("680口", r.numbers4Prizes[3]) + "\r\n";
    return toShiftJis(text);
}

void PublishedSources::publish(int first, int last, const std::function<HistoryAppender::Draw(int)>& results)
{
    std::string list;
    for (int draw = last; draw >= first; --draw) {
        server.serve("/publisher/" + publisherDrawFileName(draw), HttpReply::page(publisherFile(draw, results(draw))));
        list += "第" + std::to_string(draw) + "回ナンバーズ," + publisherDrawFileName(draw) + "\r\n";
    }
    server.serve("/publisher/numbers.csv", HttpReply::page(toShiftJis(list)));
}
void PublishedSources::mirror(int first, int last, const std::function<void(int, HistoryAppender::Draw&)>& change)
{
    std::string n3 =
        "draw_no,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout,mini_payout\n";
    std::string n4 = "draw_no,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout\n";
    for (int draw = first; draw <= last; ++draw) {
        HistoryAppender::Draw r = publishedResults(draw);
        if (change)
            change(draw, r);
        n3 += std::to_string(draw) + "," + std::to_string(r.numbers3);
        for (int prize : r.numbers3Prizes)
            n3 += "," + std::to_string(prize);
        n4 += std::to_string(draw) + "," + std::to_string(r.numbers4);
        for (int prize : r.numbers4Prizes)
            n4 += "," + std::to_string(prize);
        n3 += "\n";
        n4 += "\n";
    }
    server.serve("/mirror/numbers3_results_v2.csv", HttpReply::page(n3));
    server.serve("/mirror/numbers4_results_v2.csv", HttpReply::page(n4));
}
UpdateSettings PublishedSources::settings(UpdateSource from) const
{
    UpdateSettings settings;
    settings.from = from;
    settings.publisherUrl = "http://" + server.host() + "/publisher";
    settings.mirrorUrl = "http://" + server.host() + "/mirror/";
    settings.publisherPause = std::chrono::milliseconds(0);
    settings.now = *parseJapanTime("2026-08-21T21:30");  // draw 7054 held at 18:45
    return settings;
}

}  // namespace tolvi::test
