#include "history/HistoryStream.h"

#include <cstring>

namespace tolvi {

namespace {
constexpr std::size_t kBlocksPerRead = 752;  // about 64 KiB
}

HistoryStream::HistoryStream(const std::filesystem::path& path)
    : file_(HistoryFile::openForReading(path)), buffer_(kBlocksPerRead * kRecordSize, '\0')
{ }

bool HistoryStream::next(std::string_view& block)
{
    if (end_ - begin_ < kRecordSize && !atEnd_) {
        const std::size_t left = end_ - begin_;
        std::memmove(buffer_.data(), buffer_.data() + begin_, left);
        begin_ = 0;
        end_ = left;
        // Read until the buffer is full or a read finds the end, so that a file that grows
        // meanwhile is read up to where it ends, as a single whole read would.
        const std::size_t got = file_.readInto(offset_, buffer_.data() + end_, buffer_.size() - end_);
        end_ += got;
        offset_ += std::int64_t(got);
        atEnd_ = end_ < buffer_.size();
    }
    if (end_ - begin_ < kRecordSize)
        return false;
    block = std::string_view(buffer_).substr(begin_, kRecordSize);
    begin_ += kRecordSize;
    return true;
}

}  // namespace tolvi
