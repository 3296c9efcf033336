#pragma once
// How one Numbers3 candidate scores against one winning number.

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

// `candidate` is three digits; `winning` is the record's columns 6-8 as stored ("---" allowed).
// The one-digit-off test is made only when `mismatch` is set.
CandidateScore scoreNumbers3(std::string_view candidate, std::string_view winning, bool mismatch);

// The "結果" column: the candidate followed by ◎/○/▲ (or a full-width blank each), or by
// "一桁違い". Empty when the score makes no row.
std::string numbers3ResultText(std::string_view candidate, const CandidateScore& score);

}  // namespace tolvi
