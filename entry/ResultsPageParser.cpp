#include "entry/ResultsPageParser.h"

#include "entry/FilterNumText.h"

namespace tolvi {

namespace {

constexpr std::string_view kBold = "<b>";
constexpr std::string_view kBoldEnd = "</b>";
constexpr std::string_view kYenBoldEnd = "\x89\x7e</b>";  // "円</b>" in Shift-JIS

// 1-based position of `marker` in `text`, 0 when it does not occur. The arithmetic below
// relies on the 0.
std::ptrdiff_t position(std::string_view text, std::string_view marker)
{
    const std::size_t at = text.find(marker);
    return at == std::string_view::npos ? 0 : std::ptrdiff_t(at) + 1;
}

// The bytes of `text` from 1-based position `from`, `count` of them; nothing for a count
// below 1 or a start past the end.
std::string_view copy(std::string_view text, std::ptrdiff_t from, std::ptrdiff_t count)
{
    if (from < 1)
        from = 1;
    if (count < 1 || std::size_t(from) > text.size())
        return {};
    return text.substr(std::size_t(from - 1), std::size_t(count));
}

}  // namespace

std::optional<std::size_t> ResultsPageParser::find(std::string_view key) const
{
    const std::size_t at = page_.find(key);
    if (at == std::string_view::npos)
        return std::nullopt;
    return at;
}

bool ResultsPageParser::isComplete() const
{
    return page_.find("</HTML") != std::string_view::npos;
}

std::string ResultsPageParser::window(std::ptrdiff_t e) const
{
    std::string w(copy(page_, e, std::ptrdiff_t(kWindowBytes)));
    // Only A-Z, byte by byte: the tags searched for are ASCII.
    for (char& c : w)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return w;
}

ParsedResults ResultsPageParser::parse(PageKind kind, std::size_t keyOffset) const
{
    ParsedResults result;
    std::ptrdiff_t e = std::ptrdiff_t(keyOffset) + 1;
    auto skipBold = [&](std::string_view w) { e += position(w, kBold) + 2; };

    // Past the first three bold tags after the key; the last window began just past the second,
    // whose element holds the winning number.
    std::string w;
    for (int i = 0; i < 3; ++i) {
        w = window(e);
        skipBold(w);
    }
    result.number = std::string(copy(w, 1, position(w, kBoldEnd) - 1));
    e += std::ptrdiff_t(result.number.size());

    const int skips = kind == PageKind::Numbers3 ? 5 : 4;
    for (int i = 0; i < skips; ++i)
        skipBold(window(e));

    // The straight prize stands directly after the last skipped tag.
    w = window(e);
    const std::ptrdiff_t length = position(w, kYenBoldEnd) - 1;
    result.prizes.push_back(filterNumText(copy(w, 1, length)));
    e += length + 2;

    // Each further prize is the text between the next bold tag and the next "円</b>".
    const int further = kind == PageKind::Numbers3 ? 4 : 3;
    for (int i = 0; i < further; ++i) {
        w = window(e);
        const std::ptrdiff_t from = position(w, kBold) + 3;
        const std::ptrdiff_t to = position(w, kYenBoldEnd);
        result.prizes.push_back(filterNumText(copy(w, from, to - from)));
        e += to + 2;
    }
    return result;
}

}  // namespace tolvi
