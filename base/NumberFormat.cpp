#include "base/NumberFormat.h"

#include <cmath>
#include <locale>

namespace tolvi {

namespace {

// The decimal digits of |value|, most significant first, written backwards so that they end
// at `end`; returns where they begin. Works on the unsigned magnitude so that the smallest
// int64 has no overflow.
char* digitsBefore(char* end, std::int64_t value)
{
    std::uint64_t magnitude = value < 0 ? std::uint64_t(0) - std::uint64_t(value) : std::uint64_t(value);
    char* begin = end;
    do {
        *--begin = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    return begin;
}

std::string digitsOf(std::int64_t value)
{
    char buffer[24];
    char* end = buffer + sizeof buffer;
    return std::string(digitsBefore(end, value), end);
}

// `sign` + `body`, right-aligned with blanks in at least `width` characters.
std::string assemble(bool negative, const std::string& body, int width)
{
    const std::size_t length = body.size() + (negative ? 1 : 0);
    std::string text;
    if (width > 0 && length < std::size_t(width))
        text.assign(std::size_t(width) - length, ' ');
    if (negative)
        text += '-';
    text += body;
    return text;
}

}  // namespace

// Every shown number and every result row goes through here: one string, written in place.
std::string formatInt(std::int64_t value, int width, int precision)
{
    char buffer[24];
    char* const end = buffer + sizeof buffer;
    const char* const begin = digitsBefore(end, value);
    const std::size_t digits = std::size_t(end - begin);
    const std::size_t zeros = precision > 0 && digits < std::size_t(precision) ? std::size_t(precision) - digits : 0;
    const std::size_t length = (value < 0 ? 1 : 0) + zeros + digits;
    const std::size_t blanks = width > 0 && length < std::size_t(width) ? std::size_t(width) - length : 0;
    std::string text(blanks + length, ' ');
    char* out = text.data() + blanks;
    if (value < 0)
        *out++ = '-';
    for (std::size_t i = 0; i < zeros; ++i)
        *out++ = '0';
    for (const char* digit = begin; digit != end; ++digit)
        *out++ = *digit;
    return text;
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
    return assemble(value < 0, grouped, width);
}

std::string formatFixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return "-";
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    const std::int64_t scaled = std::llround(std::fabs(value) * double(scale));
    std::string text = (value < 0 && scaled != 0 ? "-" : "") + digitsOf(scaled / scale);
    if (decimals > 0)
        text += "." + formatInt(scaled % scale, decimals, decimals);
    return text;
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
