#include "engine/NumberFormat.h"

#include <locale>

namespace tolvi {

namespace {

std::string digitsOf(std::int64_t value)
{
    // Works on the unsigned magnitude so that the smallest int64 has no overflow.
    std::uint64_t magnitude = value < 0 ? std::uint64_t(0) - std::uint64_t(value) : std::uint64_t(value);
    std::string digits;
    do {
        digits.insert(digits.begin(), char('0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    return digits;
}

std::string padLeft(std::string text, int width)
{
    if (width > 0 && text.size() < std::size_t(width))
        text.insert(0, std::size_t(width) - text.size(), ' ');
    return text;
}

}  // namespace

std::string formatInt(std::int64_t value, int width, int precision)
{
    std::string digits = digitsOf(value);
    if (precision > 0 && digits.size() < std::size_t(precision))
        digits.insert(0, std::size_t(precision) - digits.size(), '0');
    if (value < 0)
        digits.insert(0, 1, '-');
    return padLeft(std::move(digits), width);
}

std::string formatGrouped(std::int64_t value, int width, const std::string& separator)
{
    const std::string digits = digitsOf(value);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0)
            grouped += separator;
        grouped += digits[i];
    }
    if (value < 0)
        grouped.insert(0, 1, '-');
    return padLeft(std::move(grouped), width);
}

std::string userGroupSeparator()
{
    try {
        const std::locale user("");
        const auto& punct = std::use_facet<std::numpunct<char>>(user);
        if (!punct.grouping().empty() && punct.grouping()[0] > 0)
            return std::string(1, punct.thousands_sep());
    } catch (const std::exception&) {
        // An unknown locale name in the environment: fall back like the C locale.
    }
    return ",";
}

}  // namespace tolvi
