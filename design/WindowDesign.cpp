#include "design/WindowDesign.h"

#include "design/FormDesign.h"

#include <array>

namespace tolvi {

const std::vector<RunControl>& runLabels(Edition edition)
{
    // The labels among the controls a run writes that the edition's window has, in the order of
    // RunControl.
    auto labelsOf = [](Edition of) {
        std::vector<RunControl> labels;
        for (const RunControl control : kRunControls) {
            const ControlDesign* row = controlDesign(of, controlName(control));
            if (row && row->kind == ControlKind::Label)
                labels.push_back(control);
        }
        return labels;
    };
    static const std::array<std::vector<RunControl>, kEditions.size()> labels = [&] {
        std::array<std::vector<RunControl>, kEditions.size()> byEdition;
        for (const Edition of : kEditions)
            byEdition[std::size_t(of)] = labelsOf(of);
        return byEdition;
    }();
    return labels[std::size_t(edition)];
}

std::string designCaption(Edition edition, RunControl label)
{
    const ControlDesign* row = controlDesign(edition, controlName(label));
    return row ? row->caption : "";
}

}  // namespace tolvi
