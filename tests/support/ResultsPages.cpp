#include "support/ResultsPages.h"

#include "transport/ShiftJis.h"

#include <stdexcept>

namespace tolvi::test {

namespace {

const char* const kNumbers3Labels[] = {"ストレート", "ボックス", "セット（ストレート）", "セット（ボックス）", "ミニ"};
const char* const kNumbers4Labels[] = {"ストレート", "ボックス", "セット（ストレート）", "セット（ボックス）"};

}  // namespace

std::string resultsPage(int kind, const std::string& month, const std::vector<DrawResult>& draws,
                        const PageStyle& style)
{
    const std::string b = style.upperCaseTags ? "<B>" : "<b>";
    const std::string eb = style.upperCaseTags ? "</B>" : "</b>";
    const std::string game = kind == 3 ? "ナンバーズ3" : "ナンバーズ4";
    std::string html =
        "<HTML>\r\n<HEAD>\r\n<META http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n"
        "<TITLE>" +
        game + " 当せん番号案内 " + month +
        "</TITLE>\r\n</HEAD>\r\n<BODY BGCOLOR=\"#FFFFFF\">\r\n"
        "<H1>" +
        game + " 抽せん結果 " + month + "</H1>\r\n";
    if (style.leadingBytes > 0) {
        html += "<DIV class=\"notice\">\r\n";
        const std::string line =
            "<P>当せん金の支払期限は抽せん日の翌日から1年です。お早めにお受け取りください。</P>\r\n";
        const std::size_t lineBytes = toShiftJis(line).size();
        for (std::size_t bytes = toShiftJis(html).size(); bytes < style.leadingBytes; bytes += lineBytes)
            html += line;
        html += "</DIV>\r\n";
    }
    for (const DrawResult& draw : draws) {
        html += "<TABLE class=\"result\" border=\"1\">\r\n";
        html += "<TR><TH>回号</TH><TD>第" + std::to_string(draw.draw) + "回</TD><TH>抽せん日</TH><TD>" + b + draw.date +
                eb + "</TD></TR>\r\n";
        html += "<TR><TH>当せん番号</TH><TD>" + b + draw.number + eb + "</TD>";
        if (kind == 3)
            html += "<TH>ミニ</TH><TD>" + b + draw.number.substr(draw.number.size() >= 2 ? draw.number.size() - 2 : 0) +
                    eb + "</TD>";
        html += "</TR>\r\n";
        html += "<TR><TH>" + b + "等級" + eb + "</TH><TH>" + b + "口数" + eb + "</TH><TH>" + b + "当せん金額" + eb +
                "</TH><TH>" + b + "備考" + eb + "</TH></TR>\r\n";
        const auto* labels = kind == 3 ? kNumbers3Labels : kNumbers4Labels;
        for (std::size_t i = 0; i < draw.prizes.size(); ++i)
            html += "<TR><TD>" + std::string(labels[i % (kind == 3 ? 5 : 4)]) + "</TD><TD>" +
                    std::to_string(17 * (i + 1)) + "口</TD><TD>" + b + draw.prizes[i] + eb + "</TD><TD></TD></TR>\r\n";
        html += "</TABLE>\r\n<BR>\r\n";
    }
    html += "<P>※抽せん結果は念のため公式の発表でご確認ください。</P>\r\n";
    if (style.complete)
        html += "</BODY>\r\n</HTML>\r\n";
    return toShiftJis(html);
}

std::string emptyPage(std::size_t bytes)
{
    const std::string head = "<HTML><HEAD><TITLE>Not Found</TITLE></HEAD><BODY>";
    const std::string tail = "</BODY></HTML>\r\n";
    if (bytes < head.size() + tail.size())
        throw std::invalid_argument("emptyPage: too short");
    return head + std::string(bytes - head.size() - tail.size(), ' ') + tail;
}

DrawResult numbers3Draw(int draw, const std::string& number)
{
    return {draw, "2005年7月1日", number, {"93,400円", "15,500円", "54,400円", "7,700円", "9,300円"}};
}

DrawResult numbers4Draw(int draw, const std::string& number)
{
    return {draw, "2005年7月1日", number, {"1,051,700円", "43,800円", "547,800円", "21,900円"}};
}

}  // namespace tolvi::test
