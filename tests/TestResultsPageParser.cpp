// The results page parser, the digit filter, the draw key and the page names of the walk.

#include "entry/FilterNumText.h"
#include "entry/ResultEntry.h"
#include "entry/ResultRetrieval.h"
#include "entry/ResultsMonthWalk.h"
#include "entry/ResultsPageParser.h"
#include "support/ResultsPages.h"
#include "transport/ShiftJis.h"

#include <gtest/gtest.h>

using namespace tolvi;
using tolvi::test::DrawResult;
using tolvi::test::numbers3Draw;
using tolvi::test::numbers4Draw;
using tolvi::test::PageStyle;
using tolvi::test::resultsPage;

namespace {

ParsedResults parseDraw(const std::string& page, PageKind kind, int draw)
{
    const ResultsPageParser parser(page);
    const auto at = parser.find(toShiftJis("第" + std::to_string(draw) + "回"));
    EXPECT_TRUE(at.has_value()) << "draw " << draw << " not on the page";
    return parser.parse(kind, at.value_or(0));
}

}  // namespace

TEST(FilterNumText, KeepsDigitsAndPointsInTheirOrder)
{
    EXPECT_EQ(filterNumText("93,400"), "93400");
    EXPECT_EQ(filterNumText("1,051,700"), "1051700");
    EXPECT_EQ(filterNumText("1.5"), "1.5");
    EXPECT_EQ(filterNumText(" 999"), "999");
    EXPECT_EQ(filterNumText(toShiftJis("9,300円")), "9300");
    EXPECT_EQ(filterNumText("<b>1</b> 2"), "12");
}

TEST(FilterNumText, TextWithoutAnyDigitGivesZero)
{
    EXPECT_EQ(filterNumText(""), "0");
    EXPECT_EQ(filterNumText("-"), "0");
    EXPECT_EQ(filterNumText("."), "0");
    EXPECT_EQ(filterNumText(toShiftJis("該当なし")), "0");
}

TEST(DrawKey, IsTheDrawNumberWithoutBlanksOrLeadingZeros)
{
    // The panel's title pads "第 999回"; the pages never do.
    EXPECT_EQ(drawKey(999), toShiftJis("第999回"));
    EXPECT_EQ(drawKey(7), toShiftJis("第7回"));
    EXPECT_EQ(drawKey(1235), toShiftJis("第1235回"));
    EXPECT_EQ(drawKey(12345), toShiftJis("第12345回"));
}

TEST(ResultsMonthWalk, StartsAtNumbers3OfYear17Month7)
{
    ResultsMonthWalk walk;
    EXPECT_EQ(walk.pageName(), "num3-h1707.html");
    EXPECT_EQ(walk.address("results.example"), "http://results.example/numbers/num3-h1707.html");
    EXPECT_EQ(walk.address("127.0.0.1:8080"), "http://127.0.0.1:8080/numbers/num3-h1707.html");
    walk.toNumbers4();
    EXPECT_EQ(walk.pageName(), "num4-h1707.html");
}

TEST(ResultsMonthWalk, DecemberIsFollowedByJanuaryOfTheNextYear)
{
    ResultsMonthWalk walk;
    std::vector<std::string> names;
    for (int i = 0; i < 7; ++i) {
        walk.toNextMonth();
        names.push_back(walk.pageName());
    }
    EXPECT_EQ(names,
              (std::vector<std::string> {"num3-h1708.html", "num3-h1709.html", "num3-h1710.html", "num3-h1711.html",
                                         "num3-h1712.html", "num3-h1801.html", "num3-h1802.html"}));
    EXPECT_EQ(walk.month(), (PageMonth {18, 2}));
}

TEST(PageMonth, CountsYearsAsThePageNamesDoAndCarriesOnPastTheEra)
{
    using namespace std::chrono;
    EXPECT_EQ(PageMonth::of(year(2005) / July), (PageMonth {17, 7}));
    EXPECT_EQ(PageMonth::of(year(2006) / January), (PageMonth {18, 1}));
    EXPECT_EQ(PageMonth::of(year(2019) / April), (PageMonth {31, 4}));
    EXPECT_EQ(PageMonth::of(year(2020) / January), (PageMonth {32, 1}));
    EXPECT_LT((PageMonth {17, 12}), (PageMonth {18, 1}));
    EXPECT_GT((PageMonth {18, 2}), (PageMonth {18, 1}));
    // The walk's first month is never after the current month.
    EXPECT_LE((PageMonth {17, 7}), PageMonth::current());
}

TEST(ResultsPageParser, Numbers3PageGivesTheNumberAndFivePrizesOfTheKeyedDraw)
{
    const std::string page = resultsPage(3, "2005年7月",
                                         {{1232, "2005年7月4日", "081", {"1円", "2円", "3円", "4円", "5円"}},
                                          numbers3Draw(1233, "402"),
                                          {1234, "2005年7月6日", "999", {"6円", "7円", "8円", "9円", "10円"}}});
    const ParsedResults parsed = parseDraw(page, PageKind::Numbers3, 1233);
    EXPECT_EQ(parsed.number, "402");
    EXPECT_EQ(parsed.prizes, (std::vector<std::string> {"93400", "15500", "54400", "7700", "9300"}));
}

TEST(ResultsPageParser, Numbers4PageGivesTheNumberAndFourPrizesOfTheKeyedDraw)
{
    const std::string page = resultsPage(
        4, "2005年7月", {numbers4Draw(1233, "0815"), {1234, "2005年7月6日", "7777", {"1円", "2円", "3円", "4円"}}});
    const ParsedResults parsed = parseDraw(page, PageKind::Numbers4, 1233);
    EXPECT_EQ(parsed.number, "0815");
    EXPECT_EQ(parsed.prizes, (std::vector<std::string> {"1051700", "43800", "547800", "21900"}));
    const ParsedResults last = parseDraw(page, PageKind::Numbers4, 1234);
    EXPECT_EQ(last.number, "7777");
    EXPECT_EQ(last.prizes, (std::vector<std::string> {"1", "2", "3", "4"}));
}

TEST(ResultsPageParser, UpperCaseBoldTagsParseLikeLowerCase)
{
    const std::vector<DrawResult> draws {numbers3Draw(1500, "123")};
    PageStyle upper;
    upper.upperCaseTags = true;
    const std::string upperPage = resultsPage(3, "2005年9月", draws, upper);
    ASSERT_NE(upperPage.find("<B>"), std::string::npos);
    ASSERT_EQ(upperPage.find("<b>"), std::string::npos);
    const ParsedResults parsed = parseDraw(upperPage, PageKind::Numbers3, 1500);
    EXPECT_EQ(parsed.number, "123");
    EXPECT_EQ(parsed.prizes, (std::vector<std::string> {"93400", "15500", "54400", "7700", "9300"}));
}

TEST(ResultsPageParser, PrizeWithoutDigitsGivesZeroAndSeparatorsFallAway)
{
    const std::string page = resultsPage(
        3, "2005年8月", {{1240, "2005年8月1日", "555", {"1,234,567円", "-円", "該当なし円", "12,345円", "0円"}}});
    const ParsedResults parsed = parseDraw(page, PageKind::Numbers3, 1240);
    EXPECT_EQ(parsed.number, "555");
    EXPECT_EQ(parsed.prizes, (std::vector<std::string> {"1234567", "0", "0", "12345", "0"}));
}

TEST(ResultsPageParser, KeyIsMatchedExactlySoDraw999IsNotFoundInDraw1999)
{
    const std::string page = resultsPage(3, "2005年8月", {numbers3Draw(1999, "111")});
    EXPECT_FALSE(ResultsPageParser(page).find(toShiftJis("第999回")).has_value());
    EXPECT_TRUE(ResultsPageParser(page).find(toShiftJis("第1999回")).has_value());
}

TEST(ResultsPageParser, MissingMarkersCountAsPositionZero)
{
    // The key with no bold element after it: every skip moves 2 bytes, the number has no
    // "</b>" before it, no prize has "円</b>".
    const std::string page = toShiftJis("<HTML><BODY>第1300回 抽せんは中止されました。</BODY></HTML>");
    const ParsedResults parsed = parseDraw(page, PageKind::Numbers3, 1300);
    EXPECT_EQ(parsed.number, "");
    EXPECT_EQ(parsed.prizes, (std::vector<std::string>(5, "0")));
    const ParsedResults four = parseDraw(page, PageKind::Numbers4, 1300);
    EXPECT_EQ(four.number, "");
    EXPECT_EQ(four.prizes, (std::vector<std::string>(4, "0")));
}

TEST(ResultsPageParser, EachSearchLooksOnly500BytesAhead)
{
    // The straight prize's window starts at its first digit: "12", the blanks, then the
    // 6 bytes of "円</b>", which must end within 500 bytes to be seen.
    auto straightOf = [](std::size_t blanks) {
        DrawResult draw = numbers4Draw(1400, "1234");
        draw.prizes[0] = "12" + std::string(blanks, ' ') + "円";
        return parseDraw(resultsPage(4, "2005年8月", {draw}), PageKind::Numbers4, 1400).prizes[0];
    };
    EXPECT_EQ(straightOf(0), "12");
    EXPECT_EQ(straightOf(492), "12");
    EXPECT_EQ(straightOf(493), "0");
}

TEST(ResultsPageParser, OnlyUpperCaseHtmlEndMarksAPageComplete)
{
    EXPECT_TRUE(ResultsPageParser(resultsPage(3, "2005年7月", {numbers3Draw(1, "001")})).isComplete());
    PageStyle cut;
    cut.complete = false;
    EXPECT_FALSE(ResultsPageParser(resultsPage(3, "2005年7月", {numbers3Draw(1, "001")}, cut)).isComplete());
    EXPECT_FALSE(ResultsPageParser("<html><body></body></html>").isComplete());
    EXPECT_TRUE(ResultsPageParser("</HTML").isComplete());
}
