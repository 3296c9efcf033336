#include "engine/Numbers3Scoring.h"

#include <algorithm>
#include <array>

namespace tolvi {

namespace {

using Triple = std::array<char, 3>;

Triple toTriple(std::string_view text)
{
    return {text[0], text[1], text[2]};
}

// True when one of the six orderings of `c` equals `w`: the same bytes with repetition.
bool isOrdering(Triple c, Triple w)
{
    std::sort(c.begin(), c.end());
    std::sort(w.begin(), w.end());
    return c == w;
}

// Nine tests: blank position p of the winning number and position q of the candidate, then
// compare every ordering. Holds when the two share at least two digits, counted with repetition.
bool isOneDigitOff(const Triple& c, const Triple& w)
{
    for (std::size_t p = 0; p < 3; ++p) {
        for (std::size_t q = 0; q < 3; ++q) {
            Triple blankedW = w;
            Triple blankedC = c;
            blankedW[p] = ' ';
            blankedC[q] = ' ';
            if (isOrdering(blankedC, blankedW))
                return true;
        }
    }
    return false;
}

}  // namespace

CandidateScore scoreNumbers3(std::string_view candidate, std::string_view winning, bool mismatch)
{
    CandidateScore score;
    if (winning.size() != 3 || candidate.size() != 3)
        return score;
    const Triple c = toTriple(candidate);
    const Triple w = toTriple(winning);
    score.straight = c == w;
    score.box = isOrdering(c, w);
    score.mini = c[1] == w[1] && c[2] == w[2];
    score.oneDigitOff = mismatch && isOneDigitOff(c, w);
    return score;
}

std::string numbers3ResultText(std::string_view candidate, const CandidateScore& score)
{
    static constexpr const char* kBlank = "　";
    if (score.isHit()) {
        return std::string(candidate) + (score.straight ? "◎" : kBlank) + (score.box ? "○" : kBlank)
               + (score.mini ? "▲" : kBlank);
    }
    if (score.oneDigitOff)
        return std::string(candidate) + "一桁違い";
    return {};
}

}  // namespace tolvi
