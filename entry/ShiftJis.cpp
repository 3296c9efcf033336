#include "entry/ShiftJis.h"

#include <algorithm>
#include <cerrno>
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

}  // namespace

std::string toShiftJis(std::string_view utf8)
{
    return convert("CP932", "UTF-8", utf8, "?", utf8Length);
}

std::string fromShiftJis(std::string_view sjis)
{
    return convert("UTF-8", "CP932", sjis, "\xEF\xBF\xBD", oneByte);
}

}  // namespace tolvi
