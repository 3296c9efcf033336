#include "results/ResultsCsv.h"

#include "results/ResultsText.h"

#include "transport/ShiftJis.h"
#include "base/Errors.h"
#include "history/HistoryAppender.h"
#include "base/StrToInt.h"

#include <csv.h>

#include <algorithm>
#include <exception>
#include <memory>
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
// In the order of Field.
constexpr std::array<ResultsColumnNames, kFieldCount> kFieldNames {{
    {"draw_no", "回号", "回別"},
    {"winning_number", "当せん番号", "当選番号"},
    {"straight_payout", "ストレート_金額", "ストレート金額"},
    {"box_payout", "ボックス_金額", "ボックス金額"},
    {"set_straight_payout", "セットS_金額", "セットストレート金額"},
    {"set_box_payout", "セットB_金額", "セットボックス金額"},
    {"mini_payout", "ミニ_金額", "ミニ金額"},
    {"n4_winning_number", {}, {}},
    {"n4_straight_payout", {}, {}},
    {"n4_box_payout", {}, {}},
    {"n4_set_straight_payout", {}, {}},
    {"n4_set_box_payout", {}, {}},
}};

// Every name of a column, empty ones left out.
std::vector<std::string_view> namesOf(const ResultsColumnNames& column)
{
    std::vector<std::string_view> names;
    for (const std::string_view name : {column.english, column.japanese, column.download})
        if (!name.empty())
            names.push_back(name);
    return names;
}

// Title lines may stand before the header; a header further down than this is not looked for.
constexpr std::size_t kHeaderSearchRows = 10;
// Cells of a row before the header that are looked at; a line of a million commas is no header.
constexpr std::size_t kWidestHeader = 256;

using Row = std::vector<std::string>;

// A cell as messages quote it: at most 80 characters, control bytes (a NUL would end the
// message where C code shows it) written as \xNN.
std::string quotedCell(std::string_view cell)
{
    constexpr std::size_t kLongest = 80;
    std::string text;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        const auto byte = static_cast<unsigned char>(cell[i]);
        if ((byte & 0xC0) != 0x80 && ++characters > kLongest) {
            text += "…";
            break;
        }
        if (byte < 0x20 || byte == 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0xF];
        } else {
            text += char(byte);
        }
    }
    return text;
}

using Columns = std::array<std::optional<std::size_t>, kFieldCount>;

// The columns `header` names, and the first column that names a field a second time (taking
// either silently could read the wrong one).
Columns findColumns(const Row& header, std::optional<std::size_t>& duplicate)
{
    Columns columns;
    duplicate.reset();
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string cell = headingKey(header[i]);
        for (std::size_t field = 0; field < kFieldCount; ++field) {
            auto& column = columns[field];
            const auto names = namesOf(kFieldNames[field]);
            const auto named = [&](std::string_view name) { return headingKey(name) == cell; };
            if (!std::any_of(names.begin(), names.end(), named))
                continue;
            if (!column)
                column = i;
            else if (!duplicate)
                duplicate = i;
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

    // `row` holds the cells up to the last column used; `width` is how many the row had.
    void start(const Row& row, std::size_t width, std::size_t rowNumber)
    {
        row_ = &row;
        width_ = width;
        rowNumber_ = rowNumber;
    }

    // The cell of `field` with blanks, quotes' leftovers and thousands separators kept.
    std::string_view cell(Field field) const
    {
        const std::size_t column = *columns_[std::size_t(field)];
        if (column >= width_)
            fail(field, "がありません (列が足りません)");
        std::string_view text = (*row_)[column];
        while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
            text.remove_prefix(1);
        while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
            text.remove_suffix(1);
        return text;
    }

    // 4903, "第4903回".
    std::int32_t drawNumber() const
    {
        std::string_view text = cell(Field::Draw);
        text = withoutAffix(text, "第", "回");
        if (!isAllDigits(text) || text.size() > 4 || strToInt(text) == 0)
            fail(Field::Draw, "の値「" + quotedCell(cell(Field::Draw)) + "」は回号ではありません");
        return strToInt(text);
    }

    // Up to `digits` digits; a number that lost its leading zeros is the same number.
    std::int32_t winningNumber(Field field, std::size_t digits, bool mayBeMissing) const
    {
        const std::string_view text = cell(field);
        if (mayBeMissing && (text.empty() || text == "---"))
            return kNoNumbers3Result;
        if (!isAllDigits(text) || text.size() > digits)
            fail(field, "の値「" + quotedCell(text) + "」は " + std::to_string(digits) + " 桁の当せん番号ではありません");
        return strToInt(text);
    }

    // Yen: digits, optionally grouped by "," every three digits and followed by 円, or with the
    // ".0" that a spreadsheet or a data-frame library adds when it saved the column as decimals.
    // Where nobody won (a triple's box prize), files leave the cell empty or write 該当なし or a
    // dash: 0. Anything else without a digit ("円", ".", ",") is no amount.
    std::int32_t prize(Field field) const
    {
        const std::string_view text = cell(field);
        const std::optional<std::int32_t> amount = yenAmount(text);
        if (!amount)
            fail(field, "の値「" + quotedCell(text) + "」は金額ではありません");
        return *amount;
    }

    [[noreturn]] void fail(Field field, const std::string& what) const
    {
        throw RefusedError(name_ + " の " + std::to_string(rowNumber_) + " 行目: 「" +
                           quotedCell(header_[*columns_[std::size_t(field)]]) + "」" + what + "。");
    }

private:
    // "1234" or "1,234": separators, if any, between every group of three digits.
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
    std::size_t width_ = 0;
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
        for (const std::string_view header : namesOf(kFieldNames[std::size_t(field)]))
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

// Reads the rows of a source as libcsv hands over their cells (quotes, doubled quotes,
// separators and line ends inside quotes, CR LF or LF; blank lines give no row) and turns each
// into draws as soon as it ends. Only the rows before the header and, after it, the cells of the
// columns used are kept, so memory stays near the size of the input however its rows look.
class SourceReader {
public:
    explicit SourceReader(const std::string& name) : name_(name) { source_.name = name; }

    ResultsSource read(std::string_view text)
    {
        csv_parser parser {};
        if (csv_init(&parser, CSV_APPEND_NULL) != 0)
            throw RefusedError(name_ + " を読めません: メモリが足りません。");
        const std::unique_ptr<csv_parser, void (*)(csv_parser*)> release(&parser, csv_free);
        // libcsv grows a field by this much at a time (128 bytes by default, which makes a long
        // cell slow to read).
        csv_set_blk_size(&parser, std::size_t(1) << 16);
        // In pieces, so that a fault found in a row (an exception cannot pass libcsv's C frames)
        // ends the reading soon after.
        constexpr std::size_t kPiece = std::size_t(1) << 16;
        for (std::size_t at = 0; at < text.size() && !failure_; at += kPiece) {
            const std::string_view piece = text.substr(at, kPiece);
            if (csv_parse(&parser, piece.data(), piece.size(), onField, onRow, this) != piece.size())
                refuseCsv(parser);
        }
        if (!failure_ && csv_fini(&parser, onField, onRow, this) != 0)
            refuseCsv(parser);
        if (failure_)
            std::rethrow_exception(failure_);
        if (rowNumber_ == 0)  // blank lines give no row
            throw RefusedError(name_ + " は空のファイルです。当せん結果の CSV ファイルを指定してください。");
        if (!reader_)
            refuseNoHeader();
        return std::move(source_);
    }

private:
    static void onField(void* data, std::size_t size, void* user)
    {
        auto* self = static_cast<SourceReader*>(user);
        const std::string_view cell(static_cast<const char*>(data), size);
        if (cell.find_first_not_of(" \t") != std::string_view::npos)
            self->blank_ = false;
        if (!self->reader_ && self->row_.size() < kWidestHeader)
            self->row_.emplace_back(cell);
        else if (self->width_ < self->row_.size())
            self->row_[self->width_].assign(cell);
        ++self->width_;
    }

    static void onRow(int, void* user)
    {
        auto* self = static_cast<SourceReader*>(user);
        if (self->failure_)
            return;
        try {
            ++self->rowNumber_;
            if (!self->reader_)
                self->lookForHeader();
            else if (!self->blank_)
                self->readRow();
        } catch (...) {
            self->failure_ = std::current_exception();
        }
        self->width_ = 0;
        self->blank_ = true;
        if (!self->reader_)
            self->row_.clear();
    }

    void lookForHeader()
    {
        std::optional<std::size_t> duplicate;
        columns_ = findColumns(row_, duplicate);
        if (!has(columns_, Field::Draw) || !has(columns_, Field::Number)) {
            if (rowNumber_ >= kHeaderSearchRows)
                refuseNoHeader();
            return;
        }
        if (duplicate)
            throw RefusedError(name_ + " の " + std::to_string(rowNumber_) + " 行目: 見出し「" + quotedCell(row_[*duplicate]) +
                               "」の列が、同じ項目の列としてほかにもあります。どちらの列を読むか決められません。");
        requireColumns(name_, columns_, kNumbers4Prizes);
        // A mini prize makes it a Numbers3 source; without one the results are Numbers4's.
        numbers3_ = has(columns_, Field::Mini);
        alsoNumbers4_ = numbers3_ && has(columns_, Field::N4Number);
        if (alsoNumbers4_)
            requireColumns(name_, columns_, kExtraNumbers4Prizes);
        header_ = std::move(row_);
        std::size_t used = 0;
        for (const auto& column : columns_)
            if (column)
                used = std::max(used, *column + 1);
        row_.assign(used, std::string());
        reader_.emplace(name_, columns_, header_);
    }

    void readRow()
    {
        reader_->start(row_, width_, rowNumber_);
        const std::int32_t draw = reader_->drawNumber();
        if (numbers3_)
            store(source_.numbers3, draw, readGame(*reader_, Field::Number, kNumbers3Prizes, 3, true), name_, rowNumber_);
        else
            store(source_.numbers4, draw, readGame(*reader_, Field::Number, kNumbers4Prizes, 4, false), name_, rowNumber_);
        if (alsoNumbers4_)
            store(source_.numbers4, draw, readGame(*reader_, Field::N4Number, kExtraNumbers4Prizes, 4, false), name_,
                  rowNumber_);
        for (std::string& cell : row_)
            cell.clear();
    }

    [[noreturn]] void refuseCsv(csv_parser& parser) const
    {
        if (failure_)
            std::rethrow_exception(failure_);
        throw RefusedError(name_ + " を CSV として読めません: " + csv_strerror(csv_error(&parser)));
    }

    [[noreturn]] void refuseNoHeader() const
    {
        throw RefusedError(name_ + ": 見出しの行 (回号と当せん番号の列、または draw_no と winning_number の列) が"
                                   "見つかりません。当せん結果の CSV ファイルではないようです。");
    }

    const std::string& name_;
    ResultsSource source_;
    Row row_;                // before the header the whole row, after it the cells up to the last used column
    std::size_t width_ = 0;  // cells of the current row so far
    bool blank_ = true;      // no cell of the current row holds more than blanks
    std::size_t rowNumber_ = 0;
    Row header_;
    Columns columns_;
    bool numbers3_ = false;
    bool alsoNumbers4_ = false;
    std::optional<RowReader> reader_;  // once the header is found
    std::exception_ptr failure_;
};

}  // namespace

std::span<const ResultsColumnNames> resultsColumnNames()
{
    return kFieldNames;
}

ResultsSource parseResultsCsv(std::string_view bytes, const std::string& name)
{
    return SourceReader(name).read(textFileToUtf8(bytes));
}

}  // namespace tolvi
