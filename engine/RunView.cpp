#include "engine/RunView.h"

#include <array>

namespace tolvi {

std::string_view controlName(RunControl control)
{
    static constexpr std::array<std::string_view, kRunControlCount> kNames {
        "Label4", "Label5", "Label6", "Label7", "Label8", "Label9", "Label10", "Label14", "Label16",
        "Label17", "Label18", "Label19", "Label20", "Label23", "Label26", "Label27", "Label43",
        "GetPanel", "GetPanel2"};
    return kNames[std::size_t(control)];
}

}  // namespace tolvi
