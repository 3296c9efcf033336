#include "engine/RunView.h"

namespace tolvi {

std::string_view controlName(RunControl control)
{
    switch (control) {
    case RunControl::StraightHits: return "Label4";
    case RunControl::BoxHits: return "Label5";
    case RunControl::MiniHits: return "Label6";
    case RunControl::StraightAmount: return "Label7";
    case RunControl::BoxAmount: return "Label8";
    case RunControl::MiniAmount: return "Label9";
    case RunControl::PayoutTotal: return "Label10";
    case RunControl::PaybackRate: return "Label14";
    case RunControl::NextDrawCaption: return "Label16";
    case RunControl::Candidate1: return "Label17";
    case RunControl::Candidate2: return "Label18";
    case RunControl::Candidate3: return "Label19";
    case RunControl::Candidate4: return "Label20";
    case RunControl::HitDrawNumber: return "Label23";
    case RunControl::HitWinningNumber: return "Label26";
    case RunControl::HitKind: return "Label27";
    case RunControl::TicketsBought: return "Label43";
    case RunControl::PayoutPanel: return "GetPanel";
    case RunControl::HitPanel: return "GetPanel2";
    }
    return {};
}

}  // namespace tolvi
