#include "history/DrawRecord.h"

#include "history/StrToInt.h"

namespace tolvi {

DrawRecord::DrawRecord(std::string_view block) : text_(block.substr(0, block.find('\0'))) {}

std::string_view DrawRecord::column(int first, int width) const
{
    const std::size_t start = std::size_t(first - 1);
    if (start >= text_.size())
        return {};
    return std::string_view(text_).substr(start, std::size_t(width));
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
