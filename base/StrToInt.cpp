#include "base/StrToInt.h"

#include "base/Errors.h"

#include <limits>
#include <string>

namespace tolvi {

std::int32_t strToInt(std::string_view text)
{
    auto fail = [&]() -> ConversionError {
        std::string message = "'";
        message.append(text);
        message += "' は正しい整数値ではありません";
        return ConversionError(message);
    };
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        throw fail();
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            throw fail();
        value = value * 10 + (c - '0');
        if (value > std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1)
            throw fail();
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        throw fail();
    return std::int32_t(value);
}

bool isAllDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

}  // namespace tolvi
