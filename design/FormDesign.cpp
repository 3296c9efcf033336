#include "design/FormDesign.h"

#include <algorithm>

namespace tolvi {

namespace {

constexpr Rgb kAqua {0x00, 0xFF, 0xFF};
constexpr Rgb kFuchsia {0xFF, 0x00, 0xFF};
constexpr Rgb kYellow {0xFF, 0xFF, 0x00};
constexpr Rgb kNavy {0x00, 0x00, 0x80};
constexpr Rgb kWhite {0xFF, 0xFF, 0xFF};
constexpr Rgb kRed {0xFF, 0x00, 0x00};
constexpr Rgb kBlue {0x00, 0x00, 0xFF};
constexpr Rgb kBlack {0x00, 0x00, 0x00};

// Both editions' controls in the order they are made. A row that differs in the Mini edition
// says how in `mini`; a row of one edition only says so in `presence`.
std::vector<ControlDesign> designRows()
{
    using enum ControlKind;
    using enum TextAlign;
    using enum Focus;
    using enum BevelEdge;
    using enum Presence;
    using F = FontFace;
    const DesignFont gothic12 {F::Gothic, 12};
    const DesignFont gothic13 {F::Gothic, 13};
    const DesignFont bold13 {F::PGothic, 13, true};
    const DesignFont bold16 {F::PGothic, 16, true};
    const DesignFont bold21 {F::PGothic, 21, true};
    const DesignFont bold27 {F::PGothic, 27, true};
    const DesignFont heiseiMincho21 {F::HeiseiMinchoW7, 21, true};
    const DesignFont titleFont {F::TokuGothic, 19};
    const DesignFont groupFont {F::JSGothic, 16, true};
    const DesignFont numberFont {F::TokuGothic, 19};
    const DesignFont prizeFont {F::JSGothic, 13};
    // The Mini edition moves the list, the side panel and the two large panels one pixel down.
    auto oneDown = [](DesignRect rect) {
        ++rect.top;
        return MiniDifference {.rect = rect};
    };
    // The Mini edition keeps the hand cursor for "予想" and "インターネットから参照" only.
    const MiniDifference arrow {.handCursor = false};

    // One control a row or two, as a table.
    // clang-format off
    return {
        // The summary of the last run, under the list.
        {.name = "Label4", .kind = Label, .parent = kClientArea, .rect = {10, 160, 78, 12}, .caption = "ｽﾄﾚｰﾄ的中数：",
         .font = gothic12, .mini = MiniDifference {.startsHidden = true}},
        {.name = "Label5", .kind = Label, .parent = kClientArea, .rect = {10, 180, 78, 12}, .caption = "ﾎﾞｯｸｽ的中数：",
         .font = gothic12, .mini = MiniDifference {.startsHidden = true}},
        {.name = "Label6", .kind = Label, .parent = kClientArea, .rect = {10, 200, 78, 12}, .caption = "ﾐﾆ   的中数：",
         .font = gothic12,
         .mini = MiniDifference {.rect = DesignRect {26, 168, 78, 13}, .caption = "ミニ的中数：", .font = gothic13}},
        {.name = "Label7", .kind = Label, .parent = kClientArea, .rect = {136, 160, 36, 12}, .caption = "金額：",
         .font = gothic12, .mini = MiniDifference {.startsHidden = true}},
        {.name = "Label8", .kind = Label, .parent = kClientArea, .rect = {136, 180, 36, 12}, .caption = "金額：",
         .font = gothic12, .mini = MiniDifference {.startsHidden = true}},
        {.name = "Label9", .kind = Label, .parent = kClientArea, .rect = {136, 200, 36, 12}, .caption = "金額：",
         .font = gothic12, .mini = MiniDifference {.rect = DesignRect {68, 192, 39, 13}, .font = gothic13}},
        // The Mini engine's count of tickets staked, beneath the side panel.
        {.name = "Label43", .kind = Label, .parent = kClientArea, .rect = {288, 136, 39, 12}, .caption = "Label43",
         .presence = MiniOnly},
        {.name = "ListView", .kind = ReportView, .parent = kClientArea, .rect = {6, 0, 250, 150}, .font = gothic12,
         .focus = Click,
         .columns = {{"抽選", 50, Left}, {"当選番号", 80, Centre}, {"結果", 100, Left}},
         .mini = oneDown({6, 0, 250, 150})},
        // EditNum, PatnView and Button2 lie under the side panel: never seen, never reached.
        {.name = "EditNum", .kind = Edit, .parent = kClientArea, .rect = {304, 140, 25, 20}, .caption = "4",
         .focus = Never},
        {.name = "PatnView", .kind = ReportView, .parent = kClientArea, .rect = {280, 48, 57, 49}, .focus = Never,
         .columns = {{"No", 50, Left}, {"ｽﾄﾚｰﾄ", 45, Right}, {"", 60, Right}, {"ﾎﾞｯｸｽ", 45, Right},
                     {"", 60, Right}, {"ﾐﾆ", 45, Right}, {"", 60, Right}, {"回収率", 70, Right}},
         .mini = MiniDifference {.rect = DesignRect {272, 8, 89, 129}}},
        {.name = "Button2", .kind = Button, .parent = kClientArea, .rect = {296, 180, 65, 25}, .caption = "要素評価",
         .focus = Never, .mini = MiniDifference {.rect = DesignRect {296, 144, 65, 25}}},

        // The side panel.
        {.name = "Panel1", .kind = Panel, .parent = kClientArea, .rect = {260, 0, 113, 211},
         .mini = oneDown({260, 0, 113, 211})},
        {.name = "Image1", .kind = Picture, .parent = "Panel1", .rect = {8, 10, 97, 111}, .picture = "logo",
         .mini = MiniDifference {.picture = "logo-mini"}},
        {.name = "Image2", .kind = Picture, .parent = "Panel1", .rect = {8, 120, 97, 31},
         .hint = "http://www.tolvi-numbers.example/", .picture = "banner"},
        {.name = "Button1", .kind = Button, .parent = "Panel1", .rect = {8, 160, 97, 41}, .caption = "予想",
         .font = DesignFont {F::PMincho, 24, true}, .colour = kBlack, .hint = "次回抽選の当たり予想をします。",
         .handCursor = true},

        // The payout panel, over the list and the summary: one pixel taller than the 211 of the
        // first design, whose last row of the bottom labels (10,200, 12 high) showed below it.
        {.name = "GetPanel", .kind = Panel, .parent = kClientArea, .rect = {6, 0, 251, 212}, .startsClosed = true},
        {.name = "Label10", .kind = Label, .parent = "GetPanel", .rect = {16, 30, 189, 21}, .caption = "0",
         .font = bold21, .background = kAqua, .hint = "過去からの回収金額の合計です。", .align = Right,
         .autoSize = false},
        {.name = "Label11", .kind = Label, .parent = "GetPanel", .rect = {8, 10, 227, 12},
         .caption = "ｽﾄﾚｰﾄとﾎﾞｯｸｽ両方購入した時の回収総金額",
         .mini = MiniDifference {.rect = DesignRect {8, 10, 175, 12}, .caption = "ﾐﾆでのみ購入した時の回収総金額"}},
        {.name = "Label12", .kind = Label, .parent = "GetPanel", .rect = {16, 60, 85, 16}, .caption = "総合回収率",
         .font = bold16},
        {.name = "Label13", .kind = Label, .parent = "GetPanel", .rect = {216, 40, 17, 16}, .caption = "円",
         .font = bold16},
        {.name = "Label14", .kind = Label, .parent = "GetPanel", .rect = {112, 60, 89, 26}, .caption = "0",
         .font = bold27, .colour = kFuchsia, .background = kAqua, .hint = "過去からのトータル回収率です。",
         .align = Right, .autoSize = false},
        {.name = "Label15", .kind = Label, .parent = "GetPanel", .rect = {208, 60, 28, 27}, .caption = "％",
         .font = bold27},
        {.name = "Label16", .kind = Label, .parent = "GetPanel", .rect = {16, 90, 153, 16},
         .caption = "次回抽選の予想番号", .font = bold16},
        // The Numbers3 edition shows its prediction in a 2 × 2 grid.
        {.name = "Label17", .kind = Label, .parent = "GetPanel", .rect = {24, 110, 45, 27}, .caption = "000",
         .font = bold27, .background = kWhite, .presence = Numbers3Only},
        {.name = "Label18", .kind = Label, .parent = "GetPanel", .rect = {88, 110, 45, 27}, .caption = "000",
         .font = bold27, .background = kWhite, .presence = Numbers3Only},
        {.name = "Label19", .kind = Label, .parent = "GetPanel", .rect = {24, 150, 45, 27}, .caption = "000",
         .font = bold27, .background = kWhite, .presence = Numbers3Only},
        {.name = "Label20", .kind = Label, .parent = "GetPanel", .rect = {88, 150, 45, 27}, .caption = "000",
         .font = bold27, .background = kWhite, .presence = Numbers3Only},
        {.name = "Button3", .kind = Button, .parent = "GetPanel", .rect = {160, 180, 75, 25}, .caption = "OK",
         .font = bold13, .hint = "回収率画面を消します。", .handCursor = true, .mini = arrow},
        // The Mini edition shows its prediction in one row inside a bevelled frame.
        {.name = "Panel2", .kind = Panel, .parent = "GetPanel", .rect = {8, 112, 233, 65}, .outerBevel = Lowered,
         .innerBevel = Raised, .presence = MiniOnly},
        {.name = "Label17", .kind = Label, .parent = "Panel2", .rect = {8, 18, 45, 27}, .caption = "000",
         .font = bold27, .background = kWhite, .presence = MiniOnly},
        {.name = "Label18", .kind = Label, .parent = "Panel2", .rect = {64, 18, 45, 27}, .caption = "000",
         .font = bold27, .background = kWhite, .presence = MiniOnly},
        {.name = "Label19", .kind = Label, .parent = "Panel2", .rect = {120, 18, 45, 27}, .caption = "000",
         .font = bold27, .background = kWhite, .presence = MiniOnly},
        {.name = "Label20", .kind = Label, .parent = "Panel2", .rect = {176, 18, 45, 27}, .caption = "000",
         .font = bold27, .background = kWhite, .presence = MiniOnly},

        // The hit panel, over the whole payout panel.
        {.name = "GetPanel2", .kind = Panel, .parent = "GetPanel", .rect = {0, 0, 251, 212}, .background = kYellow,
         .startsClosed = true},
        {.name = "Label24", .kind = Label, .parent = "GetPanel2", .rect = {16, 40, 228, 37}, .caption = "予想的中！！",
         .font = DesignFont {F::HeiseiMinchoW7, 37, true}, .colour = kRed},
        {.name = "Label26", .kind = Label, .parent = "GetPanel2", .rect = {8, 106, 147, 96}, .caption = "888",
         .font = DesignFont {F::Gyosho, 96, true}, .colour = kAqua},
        {.name = "Label25", .kind = Label, .parent = "GetPanel2", .rect = {144, 100, 44, 12}, .caption = "回　予想"},
        {.name = "Label23", .kind = Label, .parent = "GetPanel2", .rect = {64, 90, 58, 21}, .caption = "あたり",
         .font = bold21, .colour = kBlue},
        {.name = "Label27", .kind = Label, .parent = "GetPanel2", .rect = {8, 20, 187, 21},
         .caption = "ストレート＆ボックス", .font = heiseiMincho21, .colour = kFuchsia},
        {.name = "Button4", .kind = Button, .parent = "GetPanel2", .rect = {160, 180, 75, 25}, .caption = "OK",
         .font = bold13, .handCursor = true, .mini = arrow},

        // The options panel, over the list and the side panel.
        {.name = "OptnPanel", .kind = Panel, .parent = kClientArea, .rect = {6, 0, 369, 211}, .startsClosed = true,
         .mini = oneDown({6, 0, 369, 211})},
        // A title bar along the panel's top edge, inside its bevel.
        {.name = "Label31", .kind = Label, .parent = "OptnPanel", .rect = {1, 1, 367, 19},
         .caption = "オプション設定情報", .font = titleFont, .colour = kWhite, .background = kNavy, .align = Centre,
         .autoSize = false},
        {.name = "MismatchChk", .kind = CheckBox, .parent = "OptnPanel", .rect = {32, 30, 145, 17},
         .caption = "一字違いを表示する。", .checked = true},
        {.name = "OptSetBut", .kind = Button, .parent = "OptnPanel", .rect = {272, 170, 75, 25}, .caption = "設定",
         .handCursor = true, .mini = arrow},

        // The entry panel: Numbers3 on the left, Numbers4 on the right.
        {.name = "EditPanel", .kind = Panel, .parent = kClientArea, .rect = {6, 0, 369, 211},
         .font = DesignFont {F::PGothic, 13}, .startsClosed = true, .mini = oneDown({6, 0, 369, 211})},
        {.name = "Bevel1", .kind = Bevel, .parent = "EditPanel", .rect = {8, 24, 169, 153}},
        {.name = "Bevel2", .kind = Bevel, .parent = "EditPanel", .rect = {188, 24, 173, 153}},
        {.name = "Label28", .kind = Label, .parent = "EditPanel", .rect = {1, 1, 367, 19},
         .caption = "第9999回　結果データの入力", .font = titleFont, .colour = kWhite, .background = kNavy,
         .align = Centre, .autoSize = false},
        {.name = "Label29", .kind = Label, .parent = "EditPanel", .rect = {16, 52, 52, 13}, .caption = "当選番号"},
        {.name = "Label30", .kind = Label, .parent = "EditPanel", .rect = {12, 76, 61, 13}, .caption = "ｽﾄﾚｰﾄ金額"},
        {.name = "Label32", .kind = Label, .parent = "EditPanel", .rect = {12, 96, 59, 13}, .caption = "ﾎﾞｯｸｽ金額"},
        {.name = "Label33", .kind = Label, .parent = "EditPanel", .rect = {12, 116, 73, 13}, .caption = "S ｽﾄﾚｰﾄ金額"},
        {.name = "Label34", .kind = Label, .parent = "EditPanel", .rect = {12, 136, 71, 13}, .caption = "S ﾎﾞｯｸｽ金額"},
        {.name = "Label35", .kind = Label, .parent = "EditPanel", .rect = {12, 158, 39, 13}, .caption = "ﾐﾆ金額"},
        {.name = "Label36", .kind = Label, .parent = "EditPanel", .rect = {192, 76, 61, 13}, .caption = "ｽﾄﾚｰﾄ金額"},
        {.name = "Label38", .kind = Label, .parent = "EditPanel", .rect = {192, 136, 71, 13}, .caption = "S ﾎﾞｯｸｽ金額"},
        {.name = "Label39", .kind = Label, .parent = "EditPanel", .rect = {192, 116, 73, 13}, .caption = "S ｽﾄﾚｰﾄ金額"},
        {.name = "Label40", .kind = Label, .parent = "EditPanel", .rect = {192, 96, 59, 13}, .caption = "ﾎﾞｯｸｽ金額"},
        {.name = "Label41", .kind = Label, .parent = "EditPanel", .rect = {12, 28, 75, 16}, .caption = "Numbers3",
         .font = groupFont},
        {.name = "Label42", .kind = Label, .parent = "EditPanel", .rect = {192, 28, 75, 16}, .caption = "Numbers4",
         .font = groupFont},
        {.name = "Label37", .kind = Label, .parent = "EditPanel", .rect = {196, 52, 52, 13}, .caption = "当選番号"},
        {.name = "Num3Edit", .kind = Edit, .parent = "EditPanel", .rect = {88, 44, 65, 27}, .caption = "000",
         .font = numberFont, .maxLength = 3},
        {.name = "EdtSetBut", .kind = Button, .parent = "EditPanel", .rect = {220, 180, 63, 25}, .caption = "入力",
         .handCursor = true, .mini = arrow},
        {.name = "EdtExtBut", .kind = Button, .parent = "EditPanel", .rect = {292, 180, 63, 25}, .caption = "中止",
         .handCursor = true, .mini = arrow},
        {.name = "Num3Edit1", .kind = Edit, .parent = "EditPanel", .rect = {92, 72, 61, 21}, .caption = "0",
         .font = prizeFont, .maxLength = 7},
        {.name = "Num3Edit2", .kind = Edit, .parent = "EditPanel", .rect = {92, 92, 61, 21}, .caption = "0",
         .font = prizeFont, .maxLength = 7},
        {.name = "Num3Edit3", .kind = Edit, .parent = "EditPanel", .rect = {92, 112, 61, 21}, .caption = "0",
         .font = prizeFont, .maxLength = 7},
        {.name = "Num3Edit4", .kind = Edit, .parent = "EditPanel", .rect = {92, 132, 61, 21}, .caption = "0",
         .font = prizeFont, .maxLength = 7},
        {.name = "Num3Edit5", .kind = Edit, .parent = "EditPanel", .rect = {92, 152, 61, 21}, .caption = "0",
         .font = prizeFont, .maxLength = 7},
        {.name = "Num4Edit1", .kind = Edit, .parent = "EditPanel", .rect = {272, 72, 61, 21}, .caption = "0",
         .font = prizeFont, .maxLength = 7},
        {.name = "Num4Edit2", .kind = Edit, .parent = "EditPanel", .rect = {272, 92, 61, 21}, .caption = "0",
         .font = prizeFont, .maxLength = 7},
        {.name = "Num4Edit3", .kind = Edit, .parent = "EditPanel", .rect = {272, 112, 61, 21}, .caption = "0",
         .font = prizeFont, .maxLength = 7},
        {.name = "Num4Edit4", .kind = Edit, .parent = "EditPanel", .rect = {272, 132, 61, 21}, .caption = "0",
         .font = prizeFont, .maxLength = 7},
        {.name = "Num4Edit", .kind = Edit, .parent = "EditPanel", .rect = {268, 44, 65, 27}, .caption = "0000",
         .font = numberFont, .maxLength = 4},
        {.name = "EdtAutoBut", .kind = Button, .parent = "EditPanel", .rect = {10, 180, 166, 25},
         .caption = "インターネットから参照", .handCursor = true},
    };
    // clang-format on
}

std::vector<ControlDesign> editionRows(Edition edition)
{
    const bool mini = edition == Edition::Mini;
    std::vector<ControlDesign> rows;
    for (ControlDesign& row : designRows()) {
        if (row.presence == (mini ? Presence::Numbers3Only : Presence::MiniOnly))
            continue;
        if (mini && row.mini) {
            const MiniDifference& difference = *row.mini;
            if (difference.rect)
                row.rect = *difference.rect;
            if (difference.caption)
                row.caption = difference.caption;
            if (difference.font)
                row.font = difference.font;
            if (difference.handCursor)
                row.handCursor = *difference.handCursor;
            if (difference.picture)
                row.picture = difference.picture;
            row.startsHidden = row.startsHidden || difference.startsHidden;
        }
        row.mini.reset();
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace

const FormFrame& formFrame(Edition edition)
{
    static const FormFrame numbers3 {381, 215, DesignFont {FontFace::PGothic, 12}};
    static const FormFrame mini {379, 214, DesignFont {FontFace::PGothic, 12}};
    return edition == Edition::Mini ? mini : numbers3;
}

const std::vector<ControlDesign>& formDesign(Edition edition)
{
    static const std::vector<ControlDesign> numbers3 = editionRows(Edition::Numbers3);
    static const std::vector<ControlDesign> mini = editionRows(Edition::Mini);
    return edition == Edition::Mini ? mini : numbers3;
}

const ControlDesign* controlDesign(Edition edition, std::string_view name)
{
    const std::vector<ControlDesign>& rows = formDesign(edition);
    const auto it = std::find_if(rows.begin(), rows.end(), [&](const ControlDesign& row) { return row.name == name; });
    return it == rows.end() ? nullptr : &*it;
}

}  // namespace tolvi
