#include "history/DrawRecord.h"

#include "history/StrToInt.h"

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

std::int32_t DrawRecord::drawNumber() const
{
    return strToInt(column(kDrawNumberColumn, 4));
}

std::int32_t DrawRecord::prize(int firstColumn) const
{
    return strToInt(column(firstColumn, 7));
}

}  // namespace tolvi
