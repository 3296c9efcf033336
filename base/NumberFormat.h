#pragma once
// The number formats every shown number goes through.
//
// The window's formats are written like "%4.0d" or "%10.0n", but they are not C's printf
// formats: with precision 0, printf writes nothing for the value 0, while these always write
// at least one digit. Never hand such a format string to printf; call these functions.

#include <cstdint>
#include <string>

namespace tolvi {

// "%W.Pd": at least P digits (zero-padded), always at least one digit, right-aligned with
// blanks in at least W characters. "%Wd" is formatInt(v, W, 0).
std::string formatInt(std::int64_t value, int width, int precision = 0);

// "%W.0n": thousands grouped by `separator`, no decimals, right-aligned in at least W characters.
std::string formatGrouped(std::int64_t value, int width, const std::string& separator);

// `value` rounded to `decimals` places ("0.051", "-1.5"), for the analyses' shares and
// p-values; NaN and infinities are written "-".
std::string formatFixed(double value, int decimals);

// The thousands separator of the user's locale (LC_NUMERIC from the environment); "," where
// the locale defines no grouping, as the C and POSIX locales do.
std::string userGroupSeparator();

}  // namespace tolvi
