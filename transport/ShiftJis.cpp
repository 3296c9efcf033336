#include "transport/ShiftJis.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <stdexcept>

namespace tolvi {

namespace {

using SkipLength = std::size_t (*)(unsigned char);

// One conversion with iconv that writes `replacement` for whatever cannot be converted, skips
// that input character and goes on.
std::string convert(const char* to, const char* from, std::string_view input, std::string_view replacement,
                    SkipLength skipLength)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1))
        throw std::runtime_error(std::string("文字コードを変換できません: ") + from + " → " + to);
    std::string output;
    char buffer[4096];
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(cd, &in, &inLeft, &out, &outLeft);
        output.append(buffer, std::size_t(out - buffer));
        if (result == std::size_t(-1) && errno != E2BIG) {
            // EILSEQ or EINVAL: an unconvertible or cut-off sequence.
            output += replacement;
            const std::size_t skip = std::min(skipLength((unsigned char)*in), inLeft);
            in += skip;
            inLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return output;
}

std::size_t utf8Length(unsigned char lead)
{
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

std::size_t oneByte(unsigned char) { return 1; }

bool isUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        std::uint32_t point = lead;
        if (lead >= 0x80) {
            if (lead < 0xC2 || lead > 0xF4)
                return false;
            length = utf8Length(lead);
            if (i + length > text.size())
                return false;
            point = lead & (0x7F >> length);
            for (std::size_t k = 1; k < length; ++k) {
                const auto next = static_cast<unsigned char>(text[i + k]);
                if ((next & 0xC0) != 0x80)
                    return false;
                point = (point << 6) | (next & 0x3F);
            }
            // Over-long forms, surrogates and points past U+10FFFF are not UTF-8.
            static constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
            if (point < kSmallest[length] || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF)
                return false;
        }
        i += length;
    }
    return true;
}

}  // namespace

std::string toShiftJis(std::string_view utf8)
{
    return convert("CP932", "UTF-8", utf8, "?", utf8Length);
}

std::string fromShiftJis(std::string_view sjis)
{
    return convert("UTF-8", "CP932", sjis, "\xEF\xBF\xBD", oneByte);
}

std::string textFileToUtf8(std::string_view bytes)
{
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        return std::string(bytes.substr(kByteOrderMark.size()));
    if (isUtf8(bytes))
        return std::string(bytes);
    return fromShiftJis(bytes);
}

}  // namespace tolvi
