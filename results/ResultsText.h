#pragma once
// Reading the text of published results, shared by every results file the programs take in (the
// data sets' CSV files and the publisher's per-draw files): rows of a CSV text, full-width forms,
// loosely matched headings and amounts in yen.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvi {

using CsvRow = std::vector<std::string>;

// Every row of `text` as its fields, by libcsv: quotes, doubled quotes, separators and line ends
// inside quotes, CR LF or LF. Blank lines give no row. RefusedError naming `name` when libcsv
// cannot read it.
std::vector<CsvRow> splitCsvRows(std::string_view text, const std::string& name);

// `utf8` with the full-width forms of ASCII (U+FF01-FF5E: ３, （, ，, Ａ, ...) and the ideographic
// space taken as the ASCII characters they stand for; everything else stays as it is. Japanese
// files mix both widths freely, and a person reads them as the same text.
std::string halfWidth(std::string_view utf8);

// `text` without the blanks (spaces, tabs) at its ends.
std::string_view trimBlanks(std::string_view text);

// What a heading is matched by: its letters with case, width, blanks and the separators that
// publishers put between words (_ - ・ and brackets, half or full width) taken away, so that
// 「セット（ストレート）」, 「セット(ストレート)」 and 「セットストレート」 are one heading.
std::string headingKey(std::string_view heading);

// A prize in whole yen: digits, optionally grouped by "," every three digits and followed by 円,
// or with the ".0" that a spreadsheet adds when it saved the column as decimals. Where nobody won,
// files leave the cell empty or write 該当なし or a dash: 0. Nothing when `text` is not an amount
// ("円", ".", "," or "1,2,3" alone, more than nine digits).
std::optional<std::int32_t> yenAmount(std::string_view text);

}  // namespace tolvi
