#include "results/PublisherFiles.h"

#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "base/StrToInt.h"
#include "results/ResultsText.h"
#include "transport/ShiftJis.h"
#include "history/HistoryAppender.h"

#include <algorithm>
#include <array>
#include <optional>

namespace tolvi {

namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;
using std::chrono::year_month_day;

constexpr std::string_view kNobodyWon = "該当なし";
constexpr std::string_view kNoResult = "---";

// One non-blank line of a file: where it is, as written, and its cells read as half-width text
// without blanks around them.
struct Line {
    std::size_t number = 0;
    std::string text;
    std::vector<std::string> cells;
};

// At most this many bytes of a line are quoted in a message: enough to recognise it, while a
// line of garbage does not fill the error box.
constexpr std::size_t kQuotedBytes = 80;

std::string inBrackets(std::string_view text)
{
    if (text.size() <= kQuotedBytes)
        return "「" + std::string(text) + "」";
    std::size_t end = kQuotedBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;  // not in the middle of a UTF-8 character
    return "「" + std::string(text.substr(0, end)) + "…」";
}

// The file's non-blank lines; CR LF, LF and a lone CR each end a line.
std::vector<Line> readLines(std::string_view bytes, const std::string& name)
{
    std::string text = textFileToUtf8(bytes);
    for (std::size_t at = text.find('\r'); at != std::string::npos; at = text.find('\r', at)) {
        if (at + 1 < text.size() && text[at + 1] == '\n')
            text.erase(at, 1);
        else
            text[at] = '\n';
    }
    std::vector<Line> lines;
    std::size_t number = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line(text.data() + start, end - start);
        start = end + 1;
        ++number;
        Line read {number, std::string(trimBlanks(line)), {}};
        for (const CsvRow& row : splitCsvRows(line, name))
            for (const std::string& cell : row)
                read.cells.emplace_back(trimBlanks(halfWidth(cell)));
        if (std::any_of(read.cells.begin(), read.cells.end(), [](const std::string& c) { return !c.empty(); }))
            lines.push_back(std::move(read));
    }
    return lines;
}

[[noreturn]] void refuse(const std::string& name, const Line& line, const std::string& what)
{
    throw RefusedError(name + " の " + std::to_string(line.number) + " 行目 " + inBrackets(line.text) + ": " + what +
                       "。");
}

// The leading digits of `text`, taken off it.
std::string_view takeDigits(std::string_view& text)
{
    std::size_t n = 0;
    while (n < text.size() && text[n] >= '0' && text[n] <= '9')
        ++n;
    const std::string_view digits = text.substr(0, n);
    text.remove_prefix(n);
    return digits;
}

bool takePrefix(std::string_view& text, std::string_view prefix)
{
    if (!text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

// The draw of a title cell 第N回ナンバーズ (anything may follow), or nothing for another cell.
std::optional<std::int32_t> titleDraw(std::string_view cell, const std::string& name, const Line& line)
{
    if (!takePrefix(cell, "第"))
        return std::nullopt;
    std::string_view digits = takeDigits(cell);
    if (digits.empty() || !cell.starts_with("回ナンバーズ"))
        return std::nullopt;
    while (digits.size() > 1 && digits.front() == '0')
        digits.remove_prefix(1);
    if (digits.size() > 4 || digits == "0")
        refuse(name, line, "回号 " + std::string(digits) + " は 1 から " + std::to_string(kLastDrawNumber) +
                               " までの回号ではありません");
    return strToInt(digits);
}

// A small number written with at most `most` digits (a month, a day, a year of an era).
std::optional<unsigned> smallNumber(std::string_view digits, std::size_t most)
{
    if (digits.empty() || digits.size() > most)
        return std::nullopt;
    return unsigned(strToInt(digits));
}

// 令和8年9月17日, 令和元年5月1日, 平成16年7月1日 or 2026年9月17日, a weekday may follow: the
// date, or nothing when `cell` is not a date or names no day of the calendar.
std::optional<year_month_day> readDate(std::string_view cell)
{
    struct Era {
        std::string_view name;
        int yearBeforeFirst;
    };
    static constexpr Era kEras[] = {{"令和", 2018}, {"平成", 1988}};
    int yearBase = 0;
    std::size_t yearDigits = 4;
    for (const Era& era : kEras)
        if (takePrefix(cell, era.name)) {
            yearBase = era.yearBeforeFirst;
            yearDigits = 2;
        }
    std::optional<unsigned> inEra = yearBase != 0 && takePrefix(cell, "元") ? std::optional<unsigned>(1)
                                                                              : smallNumber(takeDigits(cell), yearDigits);
    if (!inEra || (yearBase == 0 && *inEra < 1000) || !takePrefix(cell, "年"))
        return std::nullopt;
    const std::optional<unsigned> m = smallNumber(takeDigits(cell), 2);
    if (!m || !takePrefix(cell, "月"))
        return std::nullopt;
    const std::optional<unsigned> d = smallNumber(takeDigits(cell), 2);
    if (!d || !takePrefix(cell, "日") || !(cell.empty() || cell.starts_with("(")))
        return std::nullopt;
    const year_month_day date {year(yearBase + int(*inEra)), month(*m), day(*d)};
    return date.ok() ? std::optional(date) : std::nullopt;
}

// Whether `cell` means to be a date (a person would read it as one), right or wrong.
bool looksLikeDate(std::string_view cell)
{
    return cell.find("年") != std::string_view::npos && cell.find("月") != std::string_view::npos;
}

struct Prize {
    std::string_view heading;  // as the publisher writes it, half-width
    std::size_t index;         // in GameResult::prizes
};

constexpr std::array<Prize, 5> kPrizes {{
    {"ストレート", 0}, {"ボックス", 1}, {"セット(ストレート)", 2}, {"セット(ボックス)", 3}, {"ミニ", 4}}};

struct Game {
    std::string_view name;      // "ナンバーズ3", as the section's heading starts
    std::size_t digits;         // of its winning number
    std::size_t prizes;         // the first this many of kPrizes
};

constexpr std::array<Game, 2> kGames {{{"ナンバーズ3", 3, 5}, {"ナンバーズ4", 4, 4}}};

// What a section of one game has given so far.
struct Section {
    const Game* game = nullptr;
    std::optional<std::string> number;                     // as written: digits or "---"
    std::array<std::optional<std::int32_t>, 5> prizes {};
};

class DrawFileReader {
public:
    explicit DrawFileReader(const std::string& name) : name_(name) {}

    PublishedDraw read(const std::vector<Line>& lines)
    {
        Section* section = nullptr;
        for (const Line& line : lines) {
            const std::string& first = line.cells.front();
            if (const std::optional<std::int32_t> draw = titleDraw(first, name_, line)) {
                readTitle(line, *draw);
            } else if (first.ends_with("抽せん数字") || first.ends_with("抽選数字")) {
                section = &sectionOf(line);
                for (std::size_t i = 1; i < line.cells.size(); ++i)
                    if (!line.cells[i].empty()) {
                        setNumber(*section, line, line.cells[i]);
                        break;
                    }
            } else if (section) {
                readPrize(*section, line);
            }
            // Lines before the first section other than the title (a file mark, the payment
            // period) say nothing the history keeps.
        }
        return finish();
    }

private:
    void readTitle(const Line& line, std::int32_t draw)
    {
        if (draw_ && *draw_ != draw)
            refuse(name_, line, "第" + std::to_string(*draw_) + "回の結果のファイルに別の回号があります");
        draw_ = draw;
        for (std::size_t i = 1; i < line.cells.size(); ++i) {
            const std::string& cell = line.cells[i];
            if (!looksLikeDate(cell))
                continue;
            const std::optional<year_month_day> date = readDate(cell);
            if (!date)
                refuse(name_, line, inBrackets(cell) + "は抽せん日として読めません");
            if (date_ && *date_ != *date)
                refuse(name_, line, "抽せん日が二つあり、食い違っています");
            date_ = date;
        }
    }

    Section& sectionOf(const Line& line)
    {
        const std::string key = headingKey(line.cells.front());
        for (std::size_t g = 0; g < kGames.size(); ++g) {
            if (key == headingKey(std::string(kGames[g].name) + "抽せん数字") ||
                key == headingKey(std::string(kGames[g].name) + "抽選数字")) {
                sections_[g].game = &kGames[g];
                return sections_[g];
            }
        }
        refuse(name_, line, "ナンバーズ3、ナンバーズ4 のどちらの見出しでもありません");
    }

    void setNumber(Section& section, const Line& line, const std::string& number)
    {
        const bool noResult = section.game->digits == 3 && number == kNoResult;
        if (!noResult && (number.size() != section.game->digits || !isAllDigits(number)))
            refuse(name_, line, inBrackets(number) + "は" + std::string(section.game->name) + " の " +
                                    std::to_string(section.game->digits) + " 桁の当せん数字ではありません");
        if (section.number && *section.number != number)
            refuse(name_, line, std::string(section.game->name) + " の当せん数字が「" + *section.number + "」と「" +
                                    number + "」で食い違っています");
        section.number = number;
    }

    void readPrize(Section& section, const Line& line)
    {
        const std::string key = headingKey(line.cells.front());
        const auto prize = std::find_if(kPrizes.begin(), kPrizes.begin() + section.game->prizes,
                                        [&](const Prize& p) { return headingKey(p.heading) == key; });
        if (prize == kPrizes.begin() + section.game->prizes)
            refuse(name_, line, "ここには " + std::string(section.game->name) + " の賞の行 (ストレート、ボックス、…) があるはずですが、見出し" +
                                    inBrackets(line.cells.front()) + "は知らないものです");

        std::optional<std::int32_t> amount, count;
        bool nobodyWon = false;
        for (std::size_t i = 1; i < line.cells.size(); ++i) {
            const std::string& cell = line.cells[i];
            if (cell == kNobodyWon) {
                nobodyWon = true;
            } else if (cell.ends_with("円")) {
                const bool hasDigits = cell.find_first_of("0123456789") != std::string::npos;
                const std::optional<std::int32_t> value = hasDigits ? yenAmount(cell) : std::nullopt;
                if (!value)
                    refuse(name_, line, inBrackets(cell) + "は金額ではありません");
                // 87,100円 without quotes comes as the cells 87 and 100円: never take it as 100 yen.
                const std::string_view before = std::string_view(cell).substr(0, cell.size() - std::string_view("円").size());
                const std::string& previous = line.cells[i - 1];
                if (i > 1 && before.size() == 3 && isAllDigits(before) && previous.size() <= 3 &&
                    isAllDigits(previous))
                    refuse(name_, line, "金額が「" + previous + "」と" + inBrackets(cell) +
                                            "に分かれています (区切りの「,」は引用符の中でなければ読めません)");
                if (amount && *amount != *value)
                    refuse(name_, line, "金額が二つあり、食い違っています");
                amount = value;
            } else if (cell.ends_with("口")) {
                std::string digits;
                for (const char c : std::string_view(cell).substr(0, cell.size() - std::string_view("口").size()))
                    if (c != ',')
                        digits += c;
                if (digits.empty() || digits.size() > 9 || !isAllDigits(digits))
                    refuse(name_, line, inBrackets(cell) + "は当せん口数ではありません");
                if (count && *count != strToInt(digits))
                    refuse(name_, line, "口数が二つあり、食い違っています");
                count = strToInt(digits);
            } else if (prize->index == 0 && isAllDigits(cell)) {
                setNumber(section, line, cell);  // the straight line repeats the winning number
            }
        }
        const bool noWinner = nobodyWon || (count && *count == 0);
        if (amount && *amount > 0 && noWinner)
            refuse(name_, line, "当せんなし (該当なし、0口) なのに金額があります");
        if (count && *count > 0 && amount.value_or(0) == 0)
            refuse(name_, line, std::string(amount ? "金額が 0円 です" : "金額 (…円) がありません") + " (当せん口数は " +
                                    std::to_string(*count) + "口)");
        if (!amount && !noWinner)
            refuse(name_, line, "金額 (…円) がありません");
        const std::int32_t value = amount.value_or(0);
        std::optional<std::int32_t>& stored = section.prizes[prize->index];
        if (stored && *stored != value)
            refuse(name_, line, inBrackets(prize->heading) + "の行がもう一つあり、金額が食い違っています");
        stored = value;
    }

    PublishedDraw finish() const
    {
        if (!draw_)
            throw RefusedError(name_ + ": 「第N回ナンバーズ」で始まる行がありません。ナンバーズの当せん結果のファイルではないようです。");
        if (!date_)
            throw RefusedError(name_ + ": 第" + std::to_string(*draw_) + "回の抽せん日がありません。");
        PublishedDraw published;
        published.draw = *draw_;
        published.date = *date_;
        for (std::size_t g = 0; g < kGames.size(); ++g) {
            const Game& game = kGames[g];
            const Section& section = sections_[g];
            const std::string where = name_ + ": " + std::string(game.name);
            if (!section.game)
                throw RefusedError(where + " の「" + std::string(game.name) + "抽せん数字」の行がありません。");
            if (!section.number)
                throw RefusedError(where + " の当せん数字がありません。");
            for (std::size_t i = 0; i < game.prizes; ++i)
                if (!section.prizes[kPrizes[i].index])
                    throw RefusedError(where + " の「" + std::string(kPrizes[i].heading) +
                                       "」の行がありません (ファイルが途中で切れているかもしれません)。");
            GameResult& result = g == 0 ? published.numbers3 : published.numbers4;
            result.number = *section.number == kNoResult ? kNoNumbers3Result : strToInt(*section.number);
            for (std::size_t i = 0; i < game.prizes; ++i)
                result.prizes[kPrizes[i].index] = *section.prizes[kPrizes[i].index];
        }
        return published;
    }

    const std::string& name_;
    std::optional<std::int32_t> draw_;
    std::optional<year_month_day> date_;
    std::array<Section, kGames.size()> sections_ {};
};

}  // namespace

std::string publisherDrawFileName(std::int32_t draw)
{
    if (draw < 1 || draw > kLastDrawNumber)
        throw RefusedError("回号 " + std::to_string(draw) + " は 1 から " + std::to_string(kLastDrawNumber) +
                           " までの回号ではありません。");
    return "A100" + formatInt(draw, 0, 4) + ".CSV";
}

PublishedDraw parsePublisherDrawFile(std::string_view bytes, const std::string& name)
{
    return DrawFileReader(name).read(readLines(bytes, name));
}

std::vector<std::int32_t> parsePublisherList(std::string_view bytes, const std::string& name)
{
    std::vector<std::int32_t> draws;
    for (const Line& line : readLines(bytes, name)) {
        const std::optional<std::int32_t> draw = titleDraw(line.cells.front(), name, line);
        if (draw && std::find(draws.begin(), draws.end(), *draw) == draws.end())
            draws.push_back(*draw);
    }
    if (draws.empty())
        throw RefusedError(name + ": 「第N回ナンバーズ」で始まる行がありません。ナンバーズの結果ファイルの一覧ではないようです。");
    return draws;
}

}  // namespace tolvi
