#include "design/WindowDesign.h"

namespace tolvi {

const EditionInfo& editionInfo(Edition edition)
{
    static const EditionInfo numbers3 {Edition::Numbers3, "Tolvi Numbers3", "Tolvi Numbers3 Ver1.6c", "TolviNumbers3"};
    static const EditionInfo mini {Edition::Mini, "Tolvi NumbersMini", "Tolvi NumbersMini Ver1.6c", "TolviNumbersMini"};
    return edition == Edition::Mini ? mini : numbers3;
}

const std::vector<std::string>& runLabelNames(Edition edition)
{
    static const std::vector<std::string> numbers3 {
        "Label4", "Label5", "Label6", "Label7", "Label8", "Label9", "Label10", "Label14", "Label16",
        "Label17", "Label18", "Label19", "Label20", "Label23", "Label26", "Label27"};
    static const std::vector<std::string> mini = [] {
        std::vector<std::string> names = numbers3;
        names.push_back("Label43");
        return names;
    }();
    return edition == Edition::Mini ? mini : numbers3;
}

std::string designCaption(Edition edition, std::string_view label)
{
    if (label == "Label4") return "ｽﾄﾚｰﾄ的中数：";
    if (label == "Label5") return "ﾎﾞｯｸｽ的中数：";
    if (label == "Label6") return edition == Edition::Mini ? "ミニ的中数：" : "ﾐﾆ   的中数：";
    if (label == "Label7" || label == "Label8" || label == "Label9") return "金額：";
    if (label == "Label10" || label == "Label14") return "0";
    if (label == "Label16") return "次回抽選の予想番号";
    if (label == "Label17" || label == "Label18" || label == "Label19" || label == "Label20") return "000";
    if (label == "Label23") return "あたり";
    if (label == "Label26") return "888";
    if (label == "Label27") return "ストレート＆ボックス";
    if (label == "Label43" && edition == Edition::Mini) return "Label43";
    return {};
}

}  // namespace tolvi
