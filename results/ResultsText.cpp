#include "results/ResultsText.h"

#include "base/Errors.h"
#include "base/StrToInt.h"

#include <csv.h>

#include <algorithm>
#include <memory>

namespace tolvi {

namespace {

// Digits, with "," between every three from the right if there is one at all ("1,2,3" is no
// amount: a separator in the wrong place more likely marks two cells run together).
bool isGroupedDigits(std::string_view text)
{
    const auto allDigits = [](std::string_view part) {
        return !part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    const std::size_t first = text.find(',');
    if (first == std::string_view::npos)
        return allDigits(text);
    if (first > 3 || !allDigits(text.substr(0, first)))
        return false;
    for (std::size_t at = first; at < text.size(); at += 4)
        if (text[at] != ',' || at + 4 > text.size() || !allDigits(text.substr(at + 1, 3)))
            return false;
    return true;
}

}  // namespace

std::vector<CsvRow> splitCsvRows(std::string_view text, const std::string& name)
{
    struct Collector {
        std::vector<CsvRow> rows;
        CsvRow current;
    } collector;
    const auto onField = [](void* data, std::size_t size, void* user) {
        static_cast<Collector*>(user)->current.emplace_back(static_cast<const char*>(data), size);
    };
    const auto onRow = [](int, void* user) {
        auto* c = static_cast<Collector*>(user);
        c->rows.push_back(std::move(c->current));
        c->current.clear();
    };
    csv_parser parser {};
    if (csv_init(&parser, CSV_APPEND_NULL) != 0)
        throw RefusedError(name + " を読めません: メモリが足りません。");
    const std::unique_ptr<csv_parser, void (*)(csv_parser*)> release(&parser, csv_free);
    if (csv_parse(&parser, text.data(), text.size(), onField, onRow, &collector) != text.size() ||
        csv_fini(&parser, onField, onRow, &collector) != 0)
        throw RefusedError(name + " を CSV として読めません: " + csv_strerror(csv_error(&parser)));
    return std::move(collector.rows);
}

std::string halfWidth(std::string_view utf8)
{
    std::string text;
    text.reserve(utf8.size());
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (i + 2 < utf8.size()) {
            // U+FF01-FF3F are EF BC 81-BF, U+FF40-FF5E are EF BD 80-9E; U+3000 is E3 80 80.
            if (byte(i) == 0xEF && byte(i + 1) == 0xBC && byte(i + 2) >= 0x81 && byte(i + 2) <= 0xBF) {
                text += char(0x21 + (byte(i + 2) - 0x81));
                i += 2;
                continue;
            }
            if (byte(i) == 0xEF && byte(i + 1) == 0xBD && byte(i + 2) >= 0x80 && byte(i + 2) <= 0x9E) {
                text += char(0x60 + (byte(i + 2) - 0x80));
                i += 2;
                continue;
            }
            if (byte(i) == 0xE3 && byte(i + 1) == 0x80 && byte(i + 2) == 0x80) {
                text += ' ';
                i += 2;
                continue;
            }
        }
        text += utf8[i];
    }
    return text;
}

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::string headingKey(std::string_view heading)
{
    static constexpr std::string_view kDropped[] = {" ", "\t", "_", "-", "(", ")", "\u30FB"};
    const std::string narrow = halfWidth(heading);
    std::string_view rest = narrow;
    std::string key;
    while (!rest.empty()) {
        const auto dropped = std::find_if(std::begin(kDropped), std::end(kDropped),
                                          [&](std::string_view d) { return rest.starts_with(d); });
        if (dropped != std::end(kDropped)) {
            rest.remove_prefix(dropped->size());
            continue;
        }
        const char c = rest.front();
        key += c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
        rest.remove_prefix(1);
    }
    return key;
}

std::optional<std::int32_t> yenAmount(std::string_view text)
{
    static constexpr std::string_view kNobodyWon[] = {"", "-", "\uFF0D", "\u2015", "\u2014", "該当なし", "なし"};
    if (std::find(std::begin(kNobodyWon), std::end(kNobodyWon), text) != std::end(kNobodyWon))
        return 0;
    if (text.ends_with("円"))
        text.remove_suffix(std::string_view("円").size());
    if (const std::size_t point = text.find('.'); point != std::string_view::npos && point + 1 < text.size() &&
                                                  text.find_first_not_of('0', point + 1) == std::string_view::npos)
        text = text.substr(0, point);
    if (!isGroupedDigits(text))
        return std::nullopt;
    std::string digits;
    for (const char c : text)
        if (c != ',')
            digits += c;
    if (digits.size() > 9)
        return std::nullopt;
    return strToInt(digits);
}

}  // namespace tolvi
