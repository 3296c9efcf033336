#include "design/WindowDesign.h"

namespace tolvi {

const EditionInfo& editionInfo(Edition edition)
{
    static const EditionInfo numbers3 {Edition::Numbers3, "Tolvi Numbers3", "Tolvi Numbers3 Ver1.6c", "TolviNumbers3"};
    static const EditionInfo mini {Edition::Mini, "Tolvi NumbersMini", "Tolvi NumbersMini Ver1.6c", "TolviNumbersMini"};
    return edition == Edition::Mini ? mini : numbers3;
}

const std::vector<RunControl>& runLabels(Edition edition)
{
    using enum RunControl;
    static const std::vector<RunControl> numbers3 {Label4,  Label5,  Label6,  Label7,  Label8,  Label9,
                                                   Label10, Label14, Label16, Label17, Label18, Label19,
                                                   Label20, Label23, Label26, Label27};
    static const std::vector<RunControl> mini = [] {
        std::vector<RunControl> labels = numbers3;
        labels.push_back(Label43);
        return labels;
    }();
    return edition == Edition::Mini ? mini : numbers3;
}

std::string designCaption(Edition edition, RunControl label)
{
    using enum RunControl;
    switch (label) {
    case Label4: return "ｽﾄﾚｰﾄ的中数：";
    case Label5: return "ﾎﾞｯｸｽ的中数：";
    case Label6: return edition == Edition::Mini ? "ミニ的中数：" : "ﾐﾆ   的中数：";
    case Label7: case Label8: case Label9: return "金額：";
    case Label10: case Label14: return "0";
    case Label16: return "次回抽選の予想番号";
    case Label17: case Label18: case Label19: case Label20: return "000";
    case Label23: return "あたり";
    case Label26: return "888";
    case Label27: return "ストレート＆ボックス";
    case Label43: return edition == Edition::Mini ? "Label43" : "";
    case GetPanel: case GetPanel2: return "";
    }
    return {};
}

}  // namespace tolvi
