#include "entry/ResultEntry.h"

#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "base/StrToInt.h"
#include "history/HistoryAppender.h"
#include "transport/ShiftJis.h"

#include <array>

namespace tolvi {

namespace {

// The prizes' fields, in tab order.
constexpr std::array<EntryField, 9> kPrizeFields {EntryField::Num3Edit1, EntryField::Num3Edit2, EntryField::Num3Edit3,
                                                  EntryField::Num3Edit4, EntryField::Num3Edit5, EntryField::Num4Edit1,
                                                  EntryField::Num4Edit2, EntryField::Num4Edit3, EntryField::Num4Edit4};

// The widest prize the record's seven-digit field holds. The edits stop the user at seven
// characters, but texts filled in from the results pages are not bound by that.
constexpr std::size_t kPrizeDigits = 7;

bool isDigitsOfLength(std::string_view bytes, std::size_t length)
{
    return bytes.size() == length && !checkNumEditData(bytes);
}

}  // namespace

std::string entryPanelTitle(std::int32_t drawNumber)
{
    return "第" + formatInt(drawNumber, 4) + "回　結果データの入力";
}

bool checkNumEditData(std::string_view text)
{
    for (const char c : text)
        if (c < '0' || c > '9')
            return true;
    return false;
}

std::optional<EntryRefusal> findRefusal(const EntryFields& fields)
{
    // Full-width digits count as the digits they are; lengths and digits are then counted in the
    // bytes the program works in, so any other double-byte character is two bytes and no digit.
    EntryFields bytes;
    for (std::size_t i = 0; i < kEntryFieldCount; ++i)
        bytes[i] = toShiftJis(withAsciiDigits(fields[i]));

    if (!isDigitsOfLength(bytes[EntryField::Num3Edit], 3))
        return EntryRefusal {kNumbers3Message, EntryField::Num3Edit};
    if (!isDigitsOfLength(bytes[EntryField::Num4Edit], 4))
        return EntryRefusal {kNumbers4Message, EntryField::Num4Edit};
    for (const EntryField field : kPrizeFields)
        if (bytes[field].empty())
            return EntryRefusal {kPrizeMessage, field};
    for (const EntryField field : kPrizeFields)
        if (checkNumEditData(bytes[field]))
            return EntryRefusal {kPrizeMessage, field};
    for (const EntryField field : kPrizeFields)
        if (bytes[field].size() > kPrizeDigits)
            return EntryRefusal {kPrizeMessage, field};
    return std::nullopt;
}

std::optional<std::string> validateEntry(const EntryFields& fields)
{
    if (std::optional<EntryRefusal> refusal = findRefusal(fields))
        return std::move(refusal->message);
    return std::nullopt;
}

std::string appendEntry(const std::filesystem::path& historyPath, const EntryFields& fields)
{
    if (const std::optional<std::string> refusal = validateEntry(fields))
        throw RefusedError(*refusal);

    // Every field now holds only digits, which withAsciiDigits() makes plain ASCII ones.
    const auto value = [&fields](EntryField field) { return strToInt(withAsciiDigits(fields[field])); };
    HistoryAppender::Draw draw;
    draw.numbers3 = value(EntryField::Num3Edit);
    for (std::size_t i = 0; i < draw.numbers3Prizes.size(); ++i)
        draw.numbers3Prizes[i] = value(kPrizeFields[i]);
    draw.numbers4 = value(EntryField::Num4Edit);
    for (std::size_t i = 0; i < draw.numbers4Prizes.size(); ++i)
        draw.numbers4Prizes[i] = value(kPrizeFields[draw.numbers3Prizes.size() + i]);
    return HistoryAppender(historyPath).append(draw);
}

}  // namespace tolvi
