#include "entry/ResultsCsv.h"

#include "entry/ResultsText.h"
#include "entry/ShiftJis.h"
#include "base/Errors.h"
#include "history/HistoryAppender.h"
#include "base/StrToInt.h"

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

namespace tolvi {

namespace {

enum class Field {
    Draw, Number, Straight, Box, SetStraight, SetBox, Mini,
    N4Number, N4Straight, N4Box, N4SetStraight, N4SetBox,
};
constexpr std::size_t kFieldCount = 12;

// Header names of each field as the public files write them; they are matched loosely (see
// headingKey), so that 「セット(ストレート)金額」 or 「Draw No」 find their column too.
struct FieldNames {
    Field field;
    std::array<std::string_view, 3> names;
};
constexpr std::array<FieldNames, kFieldCount> kFieldNames {{
    {Field::Draw, {"draw_no", "回号", "回別"}},
    {Field::Number, {"winning_number", "当せん番号", "当選番号"}},
    {Field::Straight, {"straight_payout", "ストレート_金額", "ストレート金額"}},
    {Field::Box, {"box_payout", "ボックス_金額", "ボックス金額"}},
    {Field::SetStraight, {"set_straight_payout", "セットS_金額", "セットストレート金額"}},
    {Field::SetBox, {"set_box_payout", "セットB_金額", "セットボックス金額"}},
    {Field::Mini, {"mini_payout", "ミニ_金額", "ミニ金額"}},
    {Field::N4Number, {"n4_winning_number"}},
    {Field::N4Straight, {"n4_straight_payout"}},
    {Field::N4Box, {"n4_box_payout"}},
    {Field::N4SetStraight, {"n4_set_straight_payout"}},
    {Field::N4SetBox, {"n4_set_box_payout"}},
}};

// Title lines may stand before the header; a header further down than this is not looked for.
constexpr std::size_t kHeaderSearchRows = 10;

using Row = CsvRow;

using Columns = std::array<std::optional<std::size_t>, kFieldCount>;

Columns findColumns(const Row& header)
{
    Columns columns;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string cell = headingKey(header[i]);
        for (const FieldNames& field : kFieldNames) {
            auto& column = columns[std::size_t(field.field)];
            const auto named = [&](std::string_view name) { return !name.empty() && headingKey(name) == cell; };
            if (!column && std::any_of(field.names.begin(), field.names.end(), named))
                column = i;
        }
    }
    return columns;
}

bool has(const Columns& columns, Field field)
{
    return columns[std::size_t(field)].has_value();
}

// What one row of a source holds, where to find it and how to say where a fault is.
class RowReader {
public:
    RowReader(const std::string& name, const Columns& columns, const Row& header)
        : name_(name), columns_(columns), header_(header)
    {
    }

    void start(const Row& row, std::size_t rowNumber)
    {
        row_ = &row;
        rowNumber_ = rowNumber;
    }

    // The cell of `field` with blanks, quotes' leftovers and thousands separators kept.
    std::string_view cell(Field field) const
    {
        const std::size_t column = *columns_[std::size_t(field)];
        if (column >= row_->size())
            fail(field, "がありません (列が足りません)");
        return trimBlanks((*row_)[column]);
    }

    // 4903, "第4903回".
    std::int32_t drawNumber() const
    {
        std::string_view text = cell(Field::Draw);
        text = withoutAffix(text, "第", "回");
        if (!isAllDigits(text) || text.size() > 4 || strToInt(text) == 0)
            fail(Field::Draw, "の値「" + std::string(cell(Field::Draw)) + "」は回号ではありません");
        return strToInt(text);
    }

    // Up to `digits` digits; a number that lost its leading zeros is the same number.
    std::int32_t winningNumber(Field field, std::size_t digits, bool mayBeMissing) const
    {
        const std::string_view text = cell(field);
        if (mayBeMissing && (text.empty() || text == "---"))
            return kNoNumbers3Result;
        if (!isAllDigits(text) || text.size() > digits)
            fail(field, "の値「" + std::string(text) + "」は " + std::to_string(digits) + " 桁の当せん番号ではありません");
        return strToInt(text);
    }

    // Yen, as yenAmount() reads it: an empty cell, 該当なし or a dash is 0 (nobody won).
    std::int32_t prize(Field field) const
    {
        const std::string_view text = cell(field);
        const std::optional<std::int32_t> amount = yenAmount(text);
        if (!amount)
            fail(field, "の値「" + std::string(text) + "」は金額ではありません");
        return *amount;
    }

    [[noreturn]] void fail(Field field, const std::string& what) const
    {
        throw RefusedError(name_ + " の " + std::to_string(rowNumber_) + " 行目: 「" +
                           header_[*columns_[std::size_t(field)]] + "」" + what + "。");
    }

private:
    static std::string_view withoutAffix(std::string_view text, std::string_view prefix, std::string_view suffix)
    {
        if (!prefix.empty() && text.substr(0, prefix.size()) == prefix)
            text.remove_prefix(prefix.size());
        if (!suffix.empty() && text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix)
            text.remove_suffix(suffix.size());
        return text;
    }

    const std::string& name_;
    const Columns& columns_;
    const Row& header_;
    const Row* row_ = nullptr;
    std::size_t rowNumber_ = 0;
};

// The prize columns of each game, in the record's order.
constexpr std::array<Field, 5> kNumbers3Prizes {Field::Straight, Field::Box, Field::SetStraight, Field::SetBox, Field::Mini};
constexpr std::array<Field, 4> kNumbers4Prizes {Field::Straight, Field::Box, Field::SetStraight, Field::SetBox};
constexpr std::array<Field, 4> kExtraNumbers4Prizes {Field::N4Straight, Field::N4Box, Field::N4SetStraight,
                                                     Field::N4SetBox};

GameResult readGame(const RowReader& reader, Field number, std::span<const Field> prizes, std::size_t digits,
                    bool mayBeMissing)
{
    GameResult result;
    result.number = reader.winningNumber(number, digits, mayBeMissing);
    for (std::size_t i = 0; i < prizes.size(); ++i)
        result.prizes[i] = reader.prize(prizes[i]);
    return result;
}

void requireColumns(const std::string& name, const Columns& columns, std::span<const Field> fields)
{
    for (const Field field : fields) {
        if (has(columns, field))
            continue;
        std::string headers;
        for (const std::string_view header : kFieldNames[std::size_t(field)].names)
            if (!header.empty())
                headers += (headers.empty() ? "「" : "、「") + std::string(header) + "」";
        throw RefusedError(name + ": " + headers + " のどの列もありません。");
    }
}

void store(std::map<std::int32_t, GameResult>& draws, std::int32_t draw, const GameResult& result,
           const std::string& name, std::size_t rowNumber)
{
    const auto [place, added] = draws.emplace(draw, result);
    if (!added && place->second != result)
        throw RefusedError(name + " の " + std::to_string(rowNumber) + " 行目: 第" + std::to_string(draw) +
                           "回がもう一度あり、結果が前の行と違います。");
}

}  // namespace

ResultsSource parseResultsCsv(std::string_view bytes, const std::string& name)
{
    const std::vector<Row> rows = splitCsvRows(textFileToUtf8(bytes), name);
    if (rows.empty())  // blank lines give no row
        throw RefusedError(name + " は空のファイルです。当せん結果の CSV ファイルを指定してください。");

    std::size_t headerIndex = 0;
    Columns columns;
    for (; headerIndex < std::min(rows.size(), kHeaderSearchRows); ++headerIndex) {
        columns = findColumns(rows[headerIndex]);
        if (has(columns, Field::Draw) && has(columns, Field::Number))
            break;
    }
    if (headerIndex >= std::min(rows.size(), kHeaderSearchRows))
        throw RefusedError(name + ": 見出しの行 (回号と当せん番号の列、または draw_no と winning_number の列) が"
                                  "見つかりません。当せん結果の CSV ファイルではないようです。");
    requireColumns(name, columns, kNumbers4Prizes);

    // A mini prize makes it a Numbers3 source; without one the results are Numbers4's.
    const bool numbers3 = has(columns, Field::Mini);
    const bool alsoNumbers4 = numbers3 && has(columns, Field::N4Number);
    if (alsoNumbers4)
        requireColumns(name, columns, kExtraNumbers4Prizes);

    ResultsSource source;
    source.name = name;
    const Row& header = rows[headerIndex];
    RowReader reader(name, columns, header);
    for (std::size_t i = headerIndex + 1; i < rows.size(); ++i) {
        const Row& row = rows[i];
        const auto blank = [](const std::string& cell) { return cell.find_first_not_of(" \t") == std::string::npos; };
        if (std::all_of(row.begin(), row.end(), blank))
            continue;
        const std::size_t rowNumber = i + 1;
        reader.start(row, rowNumber);
        const std::int32_t draw = reader.drawNumber();
        if (numbers3)
            store(source.numbers3, draw, readGame(reader, Field::Number, kNumbers3Prizes, 3, true), name, rowNumber);
        else
            store(source.numbers4, draw, readGame(reader, Field::Number, kNumbers4Prizes, 4, false), name, rowNumber);
        if (alsoNumbers4)
            store(source.numbers4, draw, readGame(reader, Field::N4Number, kExtraNumbers4Prizes, 4, false), name,
                  rowNumber);
    }
    return source;
}

}  // namespace tolvi
