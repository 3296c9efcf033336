#include "results/ResultsCsv.h"

#include "base/Errors.h"
#include "history/HistoryAppender.h"
#include "transport/ShiftJis.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using tolvi::GameResult;
using tolvi::parseResultsCsv;
namespace fs = std::filesystem;

namespace {

struct LayoutCase {
    const char* what;
    std::string bytes;
    std::map<std::int32_t, GameResult> numbers3, numbers4;
};

GameResult game(std::int32_t number, std::array<std::int32_t, 5> prizes)
{
    return {number, prizes};
}

}  // namespace

TEST(ResultsCsv, ReadsEveryLayoutByItsHeaderNames)
{
    const LayoutCase cases[] = {
        {"English headers in another order, extra columns, LF",
         "draw_date,mini_payout,draw_no,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout\n"
         "1994-10-07,11900,1,191,119800,39900,79800,19900\n",
         {{1, game(191, {119800, 39900, 79800, 19900, 11900})}},
         {}},
        {"Japanese headers, byte order mark, CR LF, a number without its leading zeros, empty prizes",
         "\xEF\xBB\xBF回号,当せん番号,ストレート_口数,ストレート_金額,ボックス_金額,セットS_金額,セットB_金額,ミニ_"
         "金額,曜日\r\n"
         "15,19,9,62000,10300,36100,5100,6200,火曜日\r\n"
         "16,555,1,55500,,,,5500,水曜日\r\n",
         {{15, game(19, {62000, 10300, 36100, 5100, 6200})}, {16, game(555, {55500, 0, 0, 0, 5500})}},
         {}},
        {"Shift-JIS download layout: title line, 第N回, grouped amounts in quotes, newest first",
         tolvi::toShiftJis(
             "ナンバーズ３４,データダウンロードサービス,,,\r\n"
             "回別,抽選日,当せん番号,ストレート金額,ボックス金額,セットストレート金額,セットボックス金額,ミニ金額\r\n"
             "第4903回,2018/04/20(金),955,\"111,200\",\"37,000\",\"74,100\",\"18,500\",\"11,100\"\r\n"
             "第4902回,04/19(木),159,\"98,600\",\"16,400\",\"57,500\",\"8,200\",\"9,800\"\r\n"),
         {{4902, game(159, {98600, 16400, 57500, 8200, 9800})},
          {4903, game(955, {111200, 37000, 74100, 18500, 11100})}},
         {}},
        {"header names written other ways: case, blanks, full width, brackets",
         "Draw No,当選番号,ストレート金額,ボックス金額,セット(ストレート)金額,セット（ボックス）金額,ＭＩＮＩ Payout\n"
         "2,402,45600,7600,26600,3800,4500\n",
         {{2, game(402, {45600, 7600, 26600, 3800, 4500})}},
         {}},
        {"no mini prize column: Numbers4 results; a quad's prizes nobody won are 0; decimals saved by a spreadsheet",
         "draw_no,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout\n"
         "3,97,1516600.0,126300.0,821400.00,63100\n"
         "4,7777,900000,,該当なし,-\n",
         {},
         {{3, game(97, {1516600, 126300, 821400, 63100, 0})}, {4, game(7777, {900000, 0, 0, 0, 0})}}},
        {"the export's layout: both games; an empty Numbers3 number is a draw without a result",
         "draw_no,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout,mini_payout,"
         "n4_winning_number,n4_straight_payout,n4_box_payout,n4_set_straight_payout,n4_set_box_payout\n"
         "7,,0,0,0,0,0,0012,1,2,3,4\n",
         {{7, game(tolvi::kNoNumbers3Result, {0, 0, 0, 0, 0})}},
         {{7, game(12, {1, 2, 3, 4, 0})}}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.what);
        const tolvi::ResultsSource source = parseResultsCsv(c.bytes, "x.csv");
        EXPECT_EQ(source.numbers3, c.numbers3);
        EXPECT_EQ(source.numbers4, c.numbers4);
    }
}

TEST(ResultsCsv, RefusesWhatItCannotReadWithTheRowAndColumn)
{
    const std::string header =
        "draw_no,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout,mini_payout\n";
    const std::pair<std::string, std::string> cases[] = {
        {"", "は空のファイルです"},
        {"\r\n\n", "は空のファイルです"},
        {"just,some,text\n1,2,3\n", "見出しの行"},
        {"draw_no,winning_number,straight_payout,set_straight_payout,set_box_payout,mini_payout\n", "「box_payout」"},
        {header + "1,191,12a,0,0,0,0\n", "2 行目: 「straight_payout」の値「12a」は金額ではありません"},
        {header + "1,191,100.5,0,0,0,0\n", "「straight_payout」の値「100.5」は金額ではありません"},
        {header + "1,1234,0,0,0,0,0\n", "「winning_number」の値「1234」は 3 桁の当せん番号ではありません"},
        {header + "x1,191,0,0,0,0,0\n", "「draw_no」の値「x1」は回号ではありません"},
        {header + "1,191,0,0,0\n", "「set_box_payout」がありません"},
        {header + "1,191,0,0,0,0,0\n1,192,0,0,0,0,0\n", "3 行目: 第1回がもう一度あり"},
        // A cell without a digit is no amount; only empty, 該当なし and a dash mean nobody won.
        {header + "1,191,.,0,0,0,0\n", "「straight_payout」の値「.」は金額ではありません"},
        {header + "1,191,円,0,0,0,0\n", "「円」は金額ではありません"},
        {header + "1,191,.000,0,0,0,0\n", "「.000」は金額ではありません"},
        {header + "1,191,\",\",0,0,0,0\n", "「,」は金額ではありません"},
        {header + "1,191,\"1,2,3\",0,0,0,0\n", "「1,2,3」は金額ではありません"},
        {"draw_no,winning_number,Draw No,straight_payout,box_payout,set_straight_payout,set_box_payout,mini_payout\n",
         "1 行目: 見出し「Draw No」の列が、同じ項目の列としてほかにもあります"},
        // Quoted at most 80 characters, control bytes escaped.
        {header + "1,191,\"a\nb" + std::string(200, 'x') + "\",0,0,0,0\n", "「a\\x0Ab" + std::string(77, 'x') + "…」"},
    };
    for (const auto& [bytes, message] : cases) {
        SCOPED_TRACE(bytes);
        try {
            parseResultsCsv(bytes, "x.csv");
            ADD_FAILURE() << "accepted";
        } catch (const tolvi::RefusedError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("x.csv", 0), 0u) << e.what();
        }
    }
}

// The excerpts of the other public layouts say the same as the shipped results file.
TEST(ResultsCsv, PublicSamplesAgreeWithTheShippedResults)
{
    const fs::path source(TOLVI_SOURCE_DIR);
    const tolvi::ResultsSource shipped =
        parseResultsCsv(tolvi::test::readFileBytes(source / "data/numbers3-results.csv"), "numbers3-results.csv");
    ASSERT_EQ(shipped.numbers3.size(), 7054u);
    for (const char* sample : {"japanese-headers-utf8.csv", "japanese-headers-shiftjis.csv"}) {
        SCOPED_TRACE(sample);
        const tolvi::ResultsSource read =
            parseResultsCsv(tolvi::test::readFileBytes(source / "tests/data/import" / sample), sample);
        ASSERT_EQ(read.numbers3.size(), 20u);
        for (const auto& [draw, result] : read.numbers3)
            EXPECT_EQ(result, shipped.numbers3.at(draw)) << draw;
    }
}
