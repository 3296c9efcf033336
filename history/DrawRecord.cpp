#include "history/DrawRecord.h"

#include "base/StrToInt.h"

#include <algorithm>

namespace tolvi {

DrawRecord::DrawRecord(std::string_view block)
{
    const std::string_view text = block.substr(0, std::min(block.find('\0'), text_.size()));
    text.copy(text_.data(), text.size());
    length_ = std::uint8_t(text.size());
}

std::string_view DrawRecord::column(int first, int width) const
{
    const std::size_t start = std::size_t(first - 1);
    if (start >= length_)
        return {};
    return text().substr(start, std::size_t(width));
}

namespace {

// A field of nothing but `width` digits, as every well-formed record holds, read without the
// general conversion (which gives the same value, and the error for anything else).
std::int32_t fieldValue(std::string_view field, std::size_t width)
{
    if (field.size() == width) {
        std::int32_t value = 0;
        std::size_t i = 0;
        for (; i < width && field[i] >= '0' && field[i] <= '9'; ++i)
            value = value * 10 + (field[i] - '0');
        if (i == width)
            return value;
    }
    return strToInt(field);
}

}  // namespace

std::int32_t DrawRecord::drawNumber() const
{
    return fieldValue(column(kDrawNumberColumn, 4), 4);
}

std::int32_t DrawRecord::prize(int firstColumn) const
{
    return fieldValue(column(firstColumn, 7), 7);
}

}  // namespace tolvi
