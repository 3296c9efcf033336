#include "design/WindowDesign.h"

#include "design/FormDesign.h"

namespace tolvi {

const EditionInfo& editionInfo(Edition edition)
{
    static const EditionInfo numbers3 {Edition::Numbers3, "Tolvi Numbers3", "Tolvi Numbers3 Ver1.6c", "TolviNumbers3",
                                       BetGame::Numbers3};
    static const EditionInfo mini {Edition::Mini, "Tolvi NumbersMini", "Tolvi NumbersMini Ver1.6c", "TolviNumbersMini",
                                   BetGame::Mini};
    return edition == Edition::Mini ? mini : numbers3;
}

const std::vector<RunControl>& runLabels(Edition edition)
{
    // The labels among the controls a run writes that the edition's window has, in the order of
    // RunControl.
    auto labelsOf = [](Edition of) {
        std::vector<RunControl> labels;
        for (std::size_t i = 0; i < kRunControlCount; ++i) {
            const auto control = RunControl(i);
            const ControlDesign* row = controlDesign(of, controlName(control));
            if (row && row->kind == ControlKind::Label)
                labels.push_back(control);
        }
        return labels;
    };
    static const std::vector<RunControl> numbers3 = labelsOf(Edition::Numbers3);
    static const std::vector<RunControl> mini = labelsOf(Edition::Mini);
    return edition == Edition::Mini ? mini : numbers3;
}

std::string designCaption(Edition edition, RunControl label)
{
    const ControlDesign* row = controlDesign(edition, controlName(label));
    return row ? row->caption : "";
}

}  // namespace tolvi
