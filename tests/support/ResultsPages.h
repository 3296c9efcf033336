#pragma once
// Monthly results pages as the lottery's results server writes them, in Shift-JIS, for the
// tests to serve.
//
// One draw's block lists the draw (回号), its date in bold, the winning number in bold (on a
// Numbers3 page followed by the Mini number in bold), a bold header row of four cells, and one
// row per prize with the prize in bold, ending in "円".

#include <string>
#include <vector>

namespace tolvi::test {

struct DrawResult {
    int draw = 0;
    std::string date;                 // "2005年7月1日"
    std::string number;               // as shown: "123" or "4567"
    std::vector<std::string> prizes;  // as shown, in record order: "93,400円", "-円" ...
};

struct PageStyle {
    bool upperCaseTags = false;    // "<B>" and "</B>" as some of the server's pages have them
    std::size_t leadingBytes = 0;  // Shift-JIS bytes of notices before the results, for a long page
    bool complete = true;          // false: the page stops before its last line
};

// A Numbers3 (kind 3) or Numbers4 (kind 4) page for one month, `draws` in the order given.
std::string resultsPage(int kind, const std::string& month, const std::vector<DrawResult>& draws,
                        const PageStyle& style = {});

// A complete page without any draw, exactly `bytes` long (at least 60): what the server
// answers for a month it has nothing for yet.
std::string emptyPage(std::size_t bytes);

// Typical results of one draw on each kind of page, every prize different.
DrawResult numbers3Draw(int draw, const std::string& number);
DrawResult numbers4Draw(int draw, const std::string& number);

}  // namespace tolvi::test
