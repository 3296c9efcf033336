#include "history/HistoryChecker.h"

#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "history/HistoryFile.h"

#include <algorithm>
#include <array>
#include <optional>

#include <sys/mman.h>

namespace tolvi {

namespace {

// The file's bytes without a copy in the program's own memory: mapped, so that the system reads
// them as the check walks through and may drop what it has passed, and a large file of garbage
// costs no more memory than a small one. Writers never cut the history in place (they rename a
// new file over it), so the mapping cannot lose pages under the check.
class MappedContent {
public:
    explicit MappedContent(const HistoryFile& file) : size_(std::size_t(file.size()))
    {
        if (size_ == 0)
            return;
        void* at = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, file.descriptor(), 0);
        if (at == MAP_FAILED) {
            copy_ = file.readAll();
            return;
        }
        data_ = at;
        ::madvise(data_, size_, MADV_SEQUENTIAL);
    }
    ~MappedContent()
    {
        if (data_)
            ::munmap(data_, size_);
    }
    MappedContent(const MappedContent&) = delete;
    MappedContent& operator=(const MappedContent&) = delete;

    std::string_view bytes() const
    {
        return data_ ? std::string_view(static_cast<const char*>(data_), size_) : std::string_view(copy_);
    }

private:
    std::size_t size_;
    void* data_ = nullptr;
    std::string copy_;
};

constexpr std::int64_t kRecord = std::int64_t(kRecordSize);

struct Field {
    int column;  // first column, counted from 1
    int width;
    const char* name;
};

constexpr std::array<Field, 9> kPrizeFields {{
    {10, 7, "Numbers3 ストレート金額"},
    {18, 7, "Numbers3 ボックス金額"},
    {26, 7, "Numbers3 セットストレート金額"},
    {34, 7, "Numbers3 セットボックス金額"},
    {42, 7, "Numbers3 ミニ金額"},
    {55, 7, "Numbers4 ストレート金額"},
    {63, 7, "Numbers4 ボックス金額"},
    {71, 7, "Numbers4 セットストレート金額"},
    {79, 7, "Numbers4 セットボックス金額"},
}};

constexpr std::array<int, 11> kSeparatorColumns {5, 9, 17, 25, 33, 41, 49, 54, 62, 70, 78};

std::string number(std::int64_t value)
{
    return formatInt(value, 0);
}

// The bytes as they can be shown on one line: printable ASCII as it is, anything else as \xNN.
std::string shown(std::string_view bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
            out += c;
        } else {
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 0x0F];
        }
    }
    return out + "\"";
}

bool allDigits(std::string_view text)
{
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return !text.empty();
}

std::string columns(int first, int width)
{
    return number(first) + "-" + number(first + width - 1) + " 桁目";
}

bool beforeInFile(const HistoryChecker::Problem& a, const HistoryChecker::Problem& b)
{
    return a.offset < b.offset;
}

// Keeps the first `kept` problems in file order and counts all of them: a file in another
// format has several problems in every record, and listing them all for 50 MB of it would take
// gigabytes.
class Collector {
public:
    Collector(HistoryChecker::Report& report, std::size_t kept) : report_(report), kept_(kept) { }

    void finish()
    {
        std::stable_sort(report_.problems.begin(), report_.problems.end(), beforeInFile);
        if (report_.problems.size() > kept_)
            report_.problems.resize(kept_);
    }

    void atRecord(HistoryChecker::Kind kind, std::int64_t record, const std::string& text)
    {
        const std::int64_t offset = (record - 1) * kRecord;
        add({kind, record, offset, "レコード " + number(record) + " (オフセット " + number(offset) + "): " + text});
    }

    void atOffset(HistoryChecker::Kind kind, std::int64_t offset, const std::string& text)
    {
        const std::int64_t record = offset / kRecord + 1;
        add({kind, record, offset, "レコード " + number(record) + " (オフセット " + number(offset) + "): " + text});
    }

    void onFile(HistoryChecker::Kind kind, const std::string& text) { add({kind, 0, 0, "ファイル全体: " + text}); }

private:
    void add(HistoryChecker::Problem problem)
    {
        ++report_.problemCount;
        report_.problems.push_back(std::move(problem));
        // Problems come almost in file order, so the ones beyond the first `kept_` can go now and then.
        const std::size_t size = report_.problems.size();
        if (size > kept_ && size - kept_ > std::max<std::size_t>(kept_, 64))
            finish();
    }

    HistoryChecker::Report& report_;
    std::size_t kept_;
};

// Fields of one draw record; returns its draw number when columns 1-4 hold one.
std::optional<std::int32_t> checkDrawRecord(std::string_view record, std::int64_t index, Collector& out)
{
    using Kind = HistoryChecker::Kind;
    auto column = [&](int first, int width) { return record.substr(std::size_t(first - 1), std::size_t(width)); };

    std::optional<std::int32_t> draw;
    const std::string_view drawText = column(1, 4);
    if (allDigits(drawText))
        draw = (drawText[0] - '0') * 1000 + (drawText[1] - '0') * 100 + (drawText[2] - '0') * 10 + (drawText[3] - '0');
    else
        out.atRecord(Kind::BadDrawNumber, index,
                     "回号 (" + columns(1, 4) + ") " + shown(drawText) + " が数字 4 桁ではありません。");

    std::string missing;
    for (const int c : kSeparatorColumns)
        if (record[std::size_t(c - 1)] != ',')
            missing += (missing.empty() ? "" : ", ") + number(c);
    if (!missing.empty())
        out.atRecord(Kind::BadSeparator, index, "区切りの \",\" があるべき桁 (" + missing + " 桁目) にありません。");

    const std::string_view winning = column(6, 3);
    if (!allDigits(winning) && winning != "---")
        out.atRecord(Kind::BadWinningNumber, index,
                     "Numbers3 の当選番号 (" + columns(6, 3) + ") " + shown(winning) +
                         " が数字 3 桁でも \"---\" でもありません。");

    const std::string_view numbers4 = column(50, 4);
    if (!allDigits(numbers4))
        out.atRecord(Kind::BadNumbers4Number, index,
                     "Numbers4 の当選番号 (" + columns(50, 4) + ") " + shown(numbers4) +
                         " が数字 4 桁ではありません。");

    for (const Field& field : kPrizeFields) {
        const std::string_view prize = column(field.column, field.width);
        if (!allDigits(prize))
            out.atRecord(Kind::BadPrize, index,
                         std::string(field.name) + " (" + columns(field.column, field.width) + ") " + shown(prize) +
                             " が数字 7 桁ではありません。");
    }

    if (column(86, 2) != "\r\n")
        out.atRecord(Kind::BadLineEnd, index,
                     "行末 (86-87 桁目) " + shown(column(86, 2)) + " が CR LF ではありません。");
    return draw;
}

void checkEndMarkers(std::string_view content, Collector& out)
{
    const std::int64_t size = std::int64_t(content.size());
    std::int64_t p = 0;
    while (p < size) {
        if (content[std::size_t(p)] != kEndOfFileByte) {
            ++p;
            continue;
        }
        std::int64_t end = p;
        while (end + 1 < size && content[std::size_t(end + 1)] == kEndOfFileByte)
            ++end;
        const std::int64_t run = end - p + 1;
        if (end == size - 1 && run > 1)
            out.atOffset(HistoryChecker::Kind::MisplacedEndMarker, p,
                         "0x1A が " + number(run) +
                             " バイト続いてファイルが終わっています。0x1A はファイルの最後の "
                             "1 バイトにだけ置けます。");
        else if (end < size - 1)
            out.atOffset(HistoryChecker::Kind::MisplacedEndMarker, p,
                         "0x1A (" + number(run) + " バイト) の後にまだ " + number(size - 1 - end) +
                             " バイトあります。0x1A はファイルの最後の 1 バイトにだけ置けます。");
        p = end + 1;
    }
}

// What diagnose() needs of the file's lines (split at LF, a last piece without one left out).
struct LineCounts {
    std::size_t lines = 0;
    std::size_t withoutCarriageReturn = 0;  // 86 bytes ending in no CR: a record without its CR
    std::size_t records = 0;                // 87 bytes ending in CR
    std::string_view first;
};

LineCounts countLines(std::string_view content)
{
    LineCounts counts;
    for (std::size_t start = 0, end; (end = content.find('\n', start)) != std::string_view::npos; start = end + 1) {
        const std::string_view line = content.substr(start, end - start);
        const bool carriageReturn = !line.empty() && line.back() == '\r';
        if (counts.lines++ == 0)
            counts.first = line;
        counts.withoutCarriageReturn += line.size() == kRecordSize - 2 && !carriageReturn;
        counts.records += line.size() == kRecordSize - 1 && carriageReturn;
    }
    return counts;
}

bool looksLikeCsvHeader(std::string_view line)
{
    const bool letters = std::any_of(line.begin(), line.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) >= 0x80;
    });
    return letters && line.find(',') != std::string_view::npos && line.front() != ';';
}

// The faults that make a whole file wrong rather than a record or two.
std::vector<std::string> diagnose(std::string_view content, const HistoryChecker::Report& report)
{
    const LineCounts lines = countLines(content);
    if (lines.lines > 0 && lines.withoutCarriageReturn * 2 > lines.lines)
        return {"行の終わりが LF だけで、CR がありません (1 行 86 バイト)。結果データは CR LF で終わる 87 バイトです。"
                "直し方: 各行の終わりを CR LF にします (例: perl -pi -e 's/\\r?\\n/\\r\\n/' Numbers.dat)。"};
    if (lines.lines > 0 && lines.records * 2 <= lines.lines) {
        const std::string kind = looksLikeCsvHeader(lines.first) ? "CSV ファイル" : "テキストファイル";
        return {"87 バイトの結果データが並んだ履歴ファイルではなく、" + kind +
                "のようです (1 行目: " + shown(lines.first.substr(0, 60)) +
                ")。直し方: 当せん結果の CSV なら、このファイルを別の名前 "
                "(例: results.csv) にしてから tolvi import results.csv で取り込むと、履歴ファイルが作られます。"};
    }
    const std::int64_t tail = std::int64_t(content.size()) % kRecord;
    if (tail > 1 && report.records > 0)
        return {"ファイルが結果データの途中で切れています (最後の " + number(tail) + " バイト)。直し方: 切れた最後の " +
                number(tail) + " バイトを取り除き (例: truncate -s " + number(report.records * kRecord) +
                " Numbers.dat)、その回の結果を入力し直します。"};
    return {};
}

}  // namespace

HistoryChecker::Report HistoryChecker::check(std::string_view content, std::size_t keptProblems)
{
    Report report;
    Collector out(report, keptProblems);
    const std::int64_t size = std::int64_t(content.size());
    const std::int64_t records = size / kRecord;
    const std::int64_t tail = size % kRecord;
    report.records = records;

    if (records == 0)
        out.onFile(Kind::NoRecords, "結果データが 1 件もありません (長さ " + number(size) +
                                        " バイト)。次の回号を決められないため、追記できません。");

    std::optional<std::int32_t> previous;
    std::int64_t previousIndex = 0;
    for (std::int64_t k = 0; k < records; ++k) {
        const std::string_view record = content.substr(std::size_t(k * kRecord), kRecordSize);
        const std::int64_t index = k + 1;
        if (record[0] == ';') {
            ++report.comments;
            continue;
        }
        const std::optional<std::int32_t> draw = checkDrawRecord(record, index, out);
        if (draw && previous && *draw != *previous + 1)
            out.atRecord(Kind::DrawNotRising, index,
                         "回号 " + formatInt(*draw, 0, 4) + " が前の結果データ (レコード " + number(previousIndex) +
                             ") の回号 " + formatInt(*previous, 0, 4) + " の次 (" + formatInt(*previous + 1, 0, 4) +
                             ") ではありません。");
        previous = draw;
        previousIndex = index;
    }

    if (tail == 1 && content.back() != kEndOfFileByte)
        out.atOffset(Kind::StrayBytes, records * kRecord,
                     "最後の結果データの後に余分な 1 バイト " + shown(content.substr(std::size_t(records * kRecord))) +
                         " があります (0x1A だけが置けます)。追記はこのバイトの後に書かれ、位置がずれます。");
    else if (tail > 1)
        out.atOffset(Kind::CutOffTail, records * kRecord,
                     "最後の " + number(tail) +
                         " バイトは 87 バイトに足りない、途中で切れた結果データです (ファイルの長さ " + number(size) +
                         " バイトが 87 の倍数でも 87 の倍数 + 1 でもありません)。");

    checkEndMarkers(content, out);

    if (records > 0) {
        const std::int64_t last = records - 1;
        const std::string_view record = content.substr(std::size_t(last * kRecord), kRecordSize);
        if (record[0] == ';') {
            out.atRecord(Kind::LastIsComment, records,
                         "最後のレコードがコメントレコードです。次の回号を決められないため、追記できません。");
        } else if (previous && previousIndex == records) {
            report.lastDraw = *previous;
            if (*previous >= 9999)
                out.atRecord(Kind::NoNextDrawNumber, records,
                             "最後の回号 " + formatInt(*previous, 0, 4) +
                                 " の次は 4 桁の回号欄に収まらないため、追記できません。");
        }
    }
    // In file order, so that a reader can walk the file along the list.
    out.finish();
    if (!report.problems.empty())
        report.causes = diagnose(content, report);
    return report;
}

HistoryChecker::Report HistoryChecker::checkFile(const std::filesystem::path& path, std::size_t keptProblems)
{
    try {
        const HistoryFile file = HistoryFile::openExisting(path);
        return check(MappedContent(file).bytes(), keptProblems);
    } catch (const IoError& openFailure) {
        // A file that can still be read is checked all the same; that it cannot be opened for
        // writing stops both the programs' readers and the append, so it comes first.
        std::error_code ignored;
        if (!std::filesystem::is_regular_file(path, ignored))
            throw;
        std::optional<HistoryFile> readable;
        try {
            readable.emplace(HistoryFile::openForReading(path));
        } catch (const IoError&) {
            throw openFailure;
        }
        Report report = check(MappedContent(*readable).bytes(), keptProblems);
        report.problems.insert(
            report.problems.begin(),
            {Kind::CannotOpen, 0, 0,
             "ファイル全体: " + std::string(openFailure.what()) +
                 "。書き込み用に開けないため、結果の入力や取り込みで追記できません (予想には読み込めます)。"});
        ++report.problemCount;
        if (report.problems.size() > keptProblems)
            report.problems.pop_back();
        return report;
    }
}

}  // namespace tolvi
