#pragma once
// Taking one draw's winning number and prizes out of a monthly results page.
//
// The page is raw Shift-JIS bytes and every position here is a byte position. The parse does
// not understand HTML: it walks from the draw key through bold elements by fixed counts, each
// step searching a 500-byte lower-cased window, so the pages must keep the layout the results
// server has always used.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvi {

enum class PageKind { Numbers3 = 3, Numbers4 = 4 };

// What one page gives for its draw, in record order: the winning number as it stands on the
// page (Shift-JIS, unfiltered, possibly empty) and the prizes as digits (straight, box,
// set-straight, set-box and, on a Numbers3 page, mini).
struct ParsedResults {
    std::string number;
    std::vector<std::string> prizes;
};

class ResultsPageParser {
public:
    // Bytes of each search window.
    static constexpr std::size_t kWindowBytes = 500;

    explicit ResultsPageParser(std::string_view page) : page_(page) { }

    // Byte offset (from 0) of the first occurrence of `key` (exact bytes), if any.
    std::optional<std::size_t> find(std::string_view key) const;

    // True when the page holds "</HTML" (exactly, upper case): the server sent it to the end.
    bool isComplete() const;

    // The draw's results for a page of `kind`, starting at the key found at `keyOffset`.
    // A marker missing from its window counts as found at position 0: a skip then moves on
    // by 2 bytes only, a prize becomes "0" and the number an empty text.
    ParsedResults parse(PageKind kind, std::size_t keyOffset) const;

private:
    // The page from 1-based byte position `e` on, at most kWindowBytes long, with A-Z lowered.
    std::string window(std::ptrdiff_t e) const;

    std::string_view page_;
};

}  // namespace tolvi
