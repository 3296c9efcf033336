#include "engine/Numbers3Scoring.h"

namespace tolvi {

std::string numbers3ResultText(std::string_view candidate, const CandidateScore& score)
{
    static constexpr const char* kBlank = "　";
    if (score.isHit()) {
        return std::string(candidate) + (score.straight ? "◎" : kBlank) + (score.box ? "○" : kBlank) +
               (score.mini ? "▲" : kBlank);
    }
    if (score.oneDigitOff)
        return std::string(candidate) + "一桁違い";
    return {};
}

}  // namespace tolvi
