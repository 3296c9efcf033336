#pragma once
// How one Numbers3 candidate scores against one winning number.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tolvi {

struct CandidateScore {
    bool straight = false;
    bool box = false;
    bool mini = false;
    bool oneDigitOff = false;
    bool isHit() const { return straight || box || mini; }
};

namespace detail {

// How many bytes two three-byte texts have in common, counted with repetition and regardless of
// position, from the nine equalities "candidate byte i = winning byte j" (bit 3 i + j): each
// candidate byte takes the first winning byte equal to it that no earlier one took. Equal
// bytes make complete groups, so this is the most pairs that can be formed.
constexpr std::array<std::uint8_t, 512> commonCounts()
{
    std::array<std::uint8_t, 512> counts {};
    for (unsigned equal = 0; equal < 512; ++equal) {
        bool used[3] = {false, false, false};
        int common = 0;
        for (unsigned i = 0; i < 3; ++i) {
            for (unsigned j = 0; j < 3; ++j) {
                if (!used[j] && (equal >> (3 * i + j)) & 1u) {
                    used[j] = true;
                    ++common;
                    break;
                }
            }
        }
        counts[equal] = std::uint8_t(common);
    }
    return counts;
}
inline constexpr std::array<std::uint8_t, 512> kCommonCounts = commonCounts();

}  // namespace detail

// `candidate` is three digits; `winning` is the record's columns 6-8 as stored ("---" allowed).
// The one-digit-off test is made only when `mismatch` is set.
//
// Six orderings of the candidate equal the winning number exactly when all three bytes are in
// common; blanking one position of each (the one-digit-off test) leaves an equal pair exactly
// when at least two are. Every draw record scores every candidate, so this stays inline and
// without branches on the digits, which are random.
inline CandidateScore scoreNumbers3(std::string_view candidate, std::string_view winning, bool mismatch)
{
    CandidateScore score;
    if (winning.size() != 3 || candidate.size() != 3)
        return score;
    unsigned equal = 0;
    for (unsigned i = 0; i < 3; ++i)
        for (unsigned j = 0; j < 3; ++j)
            equal |= unsigned(candidate[i] == winning[j]) << (3 * i + j);
    const unsigned common = detail::kCommonCounts[equal];
    constexpr unsigned kTens = 1u << 4, kUnits = 1u << 8, kHundreds = 1u << 0;
    score.mini = (equal & (kTens | kUnits)) == (kTens | kUnits);
    score.straight = score.mini && (equal & kHundreds) != 0;
    score.box = common == 3;
    score.oneDigitOff = mismatch && common >= 2;
    return score;
}

// The "結果" column: the candidate followed by ◎/○/▲ (or a full-width blank each), or by
// "一桁違い". Empty when the score makes no row.
std::string numbers3ResultText(std::string_view candidate, const CandidateScore& score);

}  // namespace tolvi
