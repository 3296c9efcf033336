#include "engine/Numbers3Scoring.h"

#include <array>

namespace tolvi {

namespace {

using Triple = std::array<char, 3>;

Triple toTriple(std::string_view text)
{
    return {text[0], text[1], text[2]};
}

// How many bytes the two have in common, counted with repetition and regardless of position.
// Six orderings of the candidate equal the winning number exactly when all three are in common;
// blanking one position of each (the one-digit-off test) leaves an equal pair exactly when at
// least two are.
int commonCount(const Triple& c, const Triple& w)
{
    bool used[3] = {false, false, false};
    int common = 0;
    for (const char digit : c) {
        for (std::size_t j = 0; j < 3; ++j) {
            if (!used[j] && w[j] == digit) {
                used[j] = true;
                ++common;
                break;
            }
        }
    }
    return common;
}

}  // namespace

CandidateScore scoreNumbers3(std::string_view candidate, std::string_view winning, bool mismatch)
{
    CandidateScore score;
    if (winning.size() != 3 || candidate.size() != 3)
        return score;
    const Triple c = toTriple(candidate);
    const Triple w = toTriple(winning);
    const int common = commonCount(c, w);
    score.straight = c == w;
    score.box = common == 3;
    score.mini = c[1] == w[1] && c[2] == w[2];
    score.oneDigitOff = mismatch && common >= 2;
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
