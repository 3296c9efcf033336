#include "results/PublisherFiles.h"

#include "base/Errors.h"
#include "history/HistoryAppender.h"
#include "transport/ShiftJis.h"

#include <gtest/gtest.h>

#include <functional>

using namespace std::chrono;
using tolvi::PublishedDraw;

namespace {

// Draw 7073 as the publisher wrote it (here in UTF-8; the cases convert it as they need).
const std::string k7073 =
    "A50\r\n第7073回ナンバーズ,数字選択式全国自治宝くじ,令和8年9月17日,東京 宝くじドリーム館\r\n"
    "支払期間,令和8年9月18日から令和9年9月17日まで\r\n"
    "ナンバーズ３抽せん数字,188\r\nストレート,188,62口,87100円\r\nボックス,253口,29000円\r\n"
    "セット（ストレート）,162口,58000円\r\nセット（ボックス）,419口,14500円\r\nミニ,下２ケタ,468口,8700円\r\n"
    "ナンバーズ４抽せん数字,6916\r\nストレート,6916,18口,986400円\r\nボックス,153口,82200円\r\n"
    "セット（ストレート）,51口,534300円\r\nセット（ボックス）,680口,41100円\r\n";

// `text` with every occurrence of each pair's first text replaced by its second, in order.
std::string edited(std::string text, std::initializer_list<std::pair<std::string_view, std::string_view>> edits)
{
    for (const auto& [from, to] : edits) {
        EXPECT_NE(text.find(from), std::string::npos) << from;
        for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
    }
    return text;
}

struct Case {
    const char* what;
    std::string bytes;
    std::string refusal;                              // a part of the message; empty: the file is read
    std::function<void(PublishedDraw&)> change = {};  // what differs from draw 7073
};

}  // namespace

TEST(PublisherFiles, ReadsByHeadingsAndRefusesWhatCouldBeMisread)
{
    const Case cases[] = {
        {"as published: Shift-JIS, CR LF", tolvi::toShiftJis(k7073), ""},
        {"a Heisei date", tolvi::toShiftJis(edited(k7073, {{"7073", "1340"}, {"令和8年9月17日", "平成16年7月1日"}})),
         "", [](PublishedDraw& d) { d.draw = 1340, d.date = 2004y / July / 1; }},
        {"nobody won: 該当なし amounts, 0口 without an amount; 令和元年",
         edited(k7073, {{"令和8年", "令和元年"},
                        {"253口,29000円", "該当なし,該当なし"},
                        {"419口,14500円", "0口"},
                        {"6916,18口,986400円", "6916,0口,該当なし"}}),
         "",
         [](PublishedDraw& d) {
             d.date = 2019y / September / 17, d.numbers3.prizes[1] = d.numbers3.prizes[3] = 0, d.numbers4.prizes[0] = 0;
         }},
        {"UTF-8 with a mark, LF, blank lines, full width, grouped amounts, extra cells, a Gregorian date",
         "\xEF\xBB\xBF" + edited(k7073, {{"令和8年9月17日", "2026年9月17日(木)"},
                                         {"188\r\n", "１８８\r\n"},
                                         {"\r\n", "\n\n"},
                                         {"87100円", "\"87,100円\",x"},
                                         {"ボックス,", "ボックス　,"}}),
         ""},
        {"Numbers3 without a result, written as the history writes it",
         edited(k7073, {{"数字,188", "数字,---"},
                        {"188,62口,87100円", "---,該当なし"},
                        {"253口,29000円", "該当なし"},
                        {"162口,58000円", "該当なし"},
                        {"419口,14500円", "該当なし"},
                        {"468口,8700円", "該当なし"}}),
         "",
         [](PublishedDraw& d) {
             d.numbers3 = {tolvi::kNoNumbers3Result, {}};
         }},
        {"a renamed prize line", edited(k7073, {{"ストレート,188", "ストレート賞,188"}}), "5 行目 「ストレート賞,188"},
        {"a truncated file", k7073.substr(0, k7073.size() - 5), "680口,41100」: 金額"},
        {"a file cut off at a line end", k7073.substr(0, k7073.find("セット（ボックス）,680")),
         "「セット(ボックス)」の行がありません"},
        {"a missing section", k7073.substr(0, k7073.find("ナンバーズ４")), "「ナンバーズ4抽せん数字」の行がありません"},
        {"a number of the wrong number of digits", edited(k7073, {{"6916\r\n", "916\r\n"}}),
         "「916」はナンバーズ4 の 4 桁"},
        {"two winning numbers", edited(k7073, {{"ストレート,188", "ストレート,189"}}), "「188」と「189」で食い違って"},
        {"a count of 0 with an amount", edited(k7073, {{"62口", "0口"}}), "0口) なのに金額"},
        {"winners without an amount", edited(k7073, {{"29000円", "0円"}}), "金額が 0円 です (当せん口数は 253口)"},
        {"a grouped amount without quotes", edited(k7073, {{"29000円", "29,000円"}}), "「29」と「000円」に分かれて"},
        {"a date that is no day", edited(k7073, {{"9月17日", "2月30日"}}), "抽せん日として読めません"},
        {"garbage", "<html>\x82\xA0\xFF</html>", "「第N回ナンバーズ」で始まる行がありません"},
    };
    PublishedDraw expected7073 {7073,
                                2026y / September / 17,
                                {188, {87100, 29000, 58000, 14500, 8700}},
                                {6916, {986400, 82200, 534300, 41100, 0}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.refusal.empty()) {
            try {
                tolvi::parsePublisherDrawFile(c.bytes, "A1007073.CSV");
                ADD_FAILURE() << "not refused";
            } catch (const tolvi::RefusedError& e) {
                EXPECT_NE(std::string(e.what()).find("A1007073.CSV"), std::string::npos) << e.what();
                EXPECT_NE(std::string(e.what()).find(c.refusal), std::string::npos) << e.what();
            }
            continue;
        }
        PublishedDraw expected = expected7073;
        if (c.change)
            c.change(expected);
        const PublishedDraw read = tolvi::parsePublisherDrawFile(c.bytes, "A1007073.CSV");
        EXPECT_EQ(read.draw, expected.draw);
        EXPECT_EQ(read.date, expected.date);
        EXPECT_EQ(read.numbers3, expected.numbers3);
        EXPECT_EQ(read.numbers4, expected.numbers4);
    }
}

TEST(PublisherFiles, ListsTheDrawsOfTheListFileInItsOrder)
{
    EXPECT_EQ(tolvi::publisherDrawFileName(7073), "A1007073.CSV");
    EXPECT_EQ(tolvi::publisherDrawFileName(12), "A1000012.CSV");
    const std::string list = "ナンバーズ,結果\r\n第7073回ナンバーズ,A1007073.CSV\r\n\r\n第７０７２回ナンバーズ\r\n"
                             "第7073回ナンバーズ\r\n第7071回ロト6\r\n第7071回ナンバーズ,x\r\n";
    EXPECT_EQ(tolvi::parsePublisherList(tolvi::toShiftJis(list), "numbers.csv"),
              (std::vector<std::int32_t> {7073, 7072, 7071}));
    EXPECT_THROW(tolvi::parsePublisherList("<html></html>", "numbers.csv"), tolvi::RefusedError);
    EXPECT_THROW(tolvi::parsePublisherList("第12345回ナンバーズ\n", "numbers.csv"), tolvi::RefusedError);
}
