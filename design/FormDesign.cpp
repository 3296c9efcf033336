#include "design/FormDesign.h"

#include <algorithm>
#include <stdexcept>
#include <string>

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

// The differences of one edition's window.
EditionDifferences in(Edition edition, EditionDifference difference)
{
    EditionDifferences differences {};
    differences[editionIndex(edition)] = difference;
    return differences;
}

// A control of one edition's window only.
EditionDifferences only(Edition edition)
{
    EditionDifferences differences {};
    for (const Edition other : kEditions)
        differences[editionIndex(other)].absent = other != edition;
    return differences;
}

// Every edition's controls in the order they are made. A row that differs in an edition says how
// in `editions`, under that edition's key, and so does a row that an edition's window lacks.
std::vector<ControlDesign> designRows()
{
    using enum Control;
    using enum ControlKind;
    using enum TextAlign;
    using enum Focus;
    using enum BevelEdge;
    using enum Availability;
    using enum Edition;
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
        return in(Mini, {.rect = rect});
    };
    // The Mini edition keeps the hand cursor for "予想" and "インターネットから参照" only.
    const EditionDifferences arrow = in(Mini, {.handCursor = false});

    // One control a row or two, as a table.
    // clang-format off
    return {
        // The summary of the last run, under the list.
        {.id = Label4, .kind = Label, .parent = ClientArea, .rect = {10, 160, 78, 12}, .caption = "ｽﾄﾚｰﾄ的中数：",
         .font = gothic12, .editions = in(Mini, {.startsHidden = true})},
        {.id = Label5, .kind = Label, .parent = ClientArea, .rect = {10, 180, 78, 12}, .caption = "ﾎﾞｯｸｽ的中数：",
         .font = gothic12, .editions = in(Mini, {.startsHidden = true})},
        {.id = Label6, .kind = Label, .parent = ClientArea, .rect = {10, 200, 78, 12}, .caption = "ﾐﾆ   的中数：",
         .font = gothic12,
         .editions = in(Mini, {.rect = DesignRect {26, 168, 78, 13}, .caption = "ミニ的中数：", .font = gothic13})},
        {.id = Label7, .kind = Label, .parent = ClientArea, .rect = {136, 160, 36, 12}, .caption = "金額：",
         .font = gothic12, .editions = in(Mini, {.startsHidden = true})},
        {.id = Label8, .kind = Label, .parent = ClientArea, .rect = {136, 180, 36, 12}, .caption = "金額：",
         .font = gothic12, .editions = in(Mini, {.startsHidden = true})},
        {.id = Label9, .kind = Label, .parent = ClientArea, .rect = {136, 200, 36, 12}, .caption = "金額：",
         .font = gothic12, .editions = in(Mini, {.rect = DesignRect {68, 192, 39, 13}, .font = gothic13})},
        // The Mini engine's count of tickets staked, beneath the side panel.
        {.id = Label43, .kind = Label, .parent = ClientArea, .rect = {288, 136, 39, 12}, .caption = "Label43",
         .editions = only(Mini)},
        {.id = ListView, .kind = ReportView, .parent = ClientArea, .rect = {6, 0, 250, 150}, .font = gothic12,
         .focus = Click,
         .columns = {{"抽選", 50, Left}, {"当選番号", 80, Centre}, {"結果", 100, Left}},
         .editions = oneDown({6, 0, 250, 150})},
        // EditNum, PatnView and Button2 lie under the side panel: never seen, never reached.
        {.id = EditNum, .kind = Edit, .parent = ClientArea, .rect = {304, 140, 25, 20}, .caption = "4",
         .focus = Never},
        {.id = PatnView, .kind = ReportView, .parent = ClientArea, .rect = {280, 48, 57, 49}, .focus = Never,
         .columns = {{"No", 50, Left}, {"ｽﾄﾚｰﾄ", 45, Right}, {"", 60, Right}, {"ﾎﾞｯｸｽ", 45, Right},
                     {"", 60, Right}, {"ﾐﾆ", 45, Right}, {"", 60, Right}, {"回収率", 70, Right}},
         .editions = in(Mini, {.rect = DesignRect {272, 8, 89, 129}})},
        {.id = Button2, .kind = Button, .parent = ClientArea, .rect = {296, 180, 65, 25}, .caption = "要素評価",
         .focus = Never, .editions = in(Mini, {.rect = DesignRect {296, 144, 65, 25}})},

        // The side panel.
        {.id = Panel1, .kind = Panel, .parent = ClientArea, .rect = {260, 0, 113, 211},
         .editions = oneDown({260, 0, 113, 211})},
        {.id = Image1, .kind = Picture, .parent = Panel1, .rect = {8, 10, 97, 111}, .picture = "logo",
         .editions = in(Mini, {.picture = "logo-mini"})},
        {.id = Image2, .kind = Picture, .parent = Panel1, .rect = {8, 120, 97, 31},
         .hint = "http://www.tolvi-numbers.example/", .picture = "banner"},
        {.id = Button1, .kind = Button, .parent = Panel1, .rect = {8, 160, 97, 41}, .caption = "予想",
         .font = DesignFont {F::PMincho, 24, true}, .colour = kBlack, .hint = "次回抽選の当たり予想をします。",
         .handCursor = true, .availability = Idle},

        // The payout panel, over the list and the summary: one pixel taller than the 211 of the
        // first design, whose last row of the bottom labels (10,200, 12 high) showed below it.
        {.id = GetPanel, .kind = Panel, .parent = ClientArea, .rect = {6, 0, 251, 212}, .startsClosed = true},
        {.id = Label10, .kind = Label, .parent = GetPanel, .rect = {16, 30, 189, 21}, .caption = "0",
         .font = bold21, .background = kAqua, .hint = "過去からの回収金額の合計です。", .align = Right,
         .autoSize = false},
        {.id = Label11, .kind = Label, .parent = GetPanel, .rect = {8, 10, 227, 12},
         .caption = "ｽﾄﾚｰﾄとﾎﾞｯｸｽ両方購入した時の回収総金額",
         .editions = in(Mini, {.rect = DesignRect {8, 10, 175, 12}, .caption = "ﾐﾆでのみ購入した時の回収総金額"})},
        {.id = Label12, .kind = Label, .parent = GetPanel, .rect = {16, 60, 85, 16}, .caption = "総合回収率",
         .font = bold16},
        {.id = Label13, .kind = Label, .parent = GetPanel, .rect = {216, 40, 17, 16}, .caption = "円",
         .font = bold16},
        {.id = Label14, .kind = Label, .parent = GetPanel, .rect = {112, 60, 89, 26}, .caption = "0",
         .font = bold27, .colour = kFuchsia, .background = kAqua, .hint = "過去からのトータル回収率です。",
         .align = Right, .autoSize = false},
        {.id = Label15, .kind = Label, .parent = GetPanel, .rect = {208, 60, 28, 27}, .caption = "％",
         .font = bold27},
        {.id = Label16, .kind = Label, .parent = GetPanel, .rect = {16, 90, 153, 16},
         .caption = "次回抽選の予想番号", .font = bold16},
        // The Numbers3 edition shows its prediction in a 2 × 2 grid.
        {.id = Label17, .kind = Label, .parent = GetPanel, .rect = {24, 110, 45, 27}, .caption = "000",
         .font = bold27, .background = kWhite, .editions = only(Numbers3)},
        {.id = Label18, .kind = Label, .parent = GetPanel, .rect = {88, 110, 45, 27}, .caption = "000",
         .font = bold27, .background = kWhite, .editions = only(Numbers3)},
        {.id = Label19, .kind = Label, .parent = GetPanel, .rect = {24, 150, 45, 27}, .caption = "000",
         .font = bold27, .background = kWhite, .editions = only(Numbers3)},
        {.id = Label20, .kind = Label, .parent = GetPanel, .rect = {88, 150, 45, 27}, .caption = "000",
         .font = bold27, .background = kWhite, .editions = only(Numbers3)},
        {.id = Button3, .kind = Button, .parent = GetPanel, .rect = {160, 180, 75, 25}, .caption = "OK",
         .font = bold13, .hint = "回収率画面を消します。", .handCursor = true, .editions = arrow},
        // The Mini edition shows its prediction in one row inside a bevelled frame.
        {.id = Panel2, .kind = Panel, .parent = GetPanel, .rect = {8, 112, 233, 65}, .outerBevel = Lowered,
         .innerBevel = Raised, .editions = only(Mini)},
        {.id = Label17, .kind = Label, .parent = Panel2, .rect = {8, 18, 45, 27}, .caption = "000",
         .font = bold27, .background = kWhite, .editions = only(Mini)},
        {.id = Label18, .kind = Label, .parent = Panel2, .rect = {64, 18, 45, 27}, .caption = "000",
         .font = bold27, .background = kWhite, .editions = only(Mini)},
        {.id = Label19, .kind = Label, .parent = Panel2, .rect = {120, 18, 45, 27}, .caption = "000",
         .font = bold27, .background = kWhite, .editions = only(Mini)},
        {.id = Label20, .kind = Label, .parent = Panel2, .rect = {176, 18, 45, 27}, .caption = "000",
         .font = bold27, .background = kWhite, .editions = only(Mini)},

        // The hit panel, over the whole payout panel.
        {.id = GetPanel2, .kind = Panel, .parent = GetPanel, .rect = {0, 0, 251, 212}, .background = kYellow,
         .startsClosed = true},
        {.id = Label24, .kind = Label, .parent = GetPanel2, .rect = {16, 40, 228, 37}, .caption = "予想的中！！",
         .font = DesignFont {F::HeiseiMinchoW7, 37, true}, .colour = kRed},
        {.id = Label26, .kind = Label, .parent = GetPanel2, .rect = {8, 106, 147, 96}, .caption = "888",
         .font = DesignFont {F::Gyosho, 96, true}, .colour = kAqua},
        {.id = Label25, .kind = Label, .parent = GetPanel2, .rect = {144, 100, 44, 12}, .caption = "回　予想"},
        {.id = Label23, .kind = Label, .parent = GetPanel2, .rect = {64, 90, 58, 21}, .caption = "あたり",
         .font = bold21, .colour = kBlue},
        {.id = Label27, .kind = Label, .parent = GetPanel2, .rect = {8, 20, 187, 21},
         .caption = "ストレート＆ボックス", .font = heiseiMincho21, .colour = kFuchsia},
        {.id = Button4, .kind = Button, .parent = GetPanel2, .rect = {160, 180, 75, 25}, .caption = "OK",
         .font = bold13, .handCursor = true, .editions = arrow},

        // The options panel, over the list and the side panel.
        {.id = OptnPanel, .kind = Panel, .parent = ClientArea, .rect = {6, 0, 369, 211}, .startsClosed = true,
         .editions = oneDown({6, 0, 369, 211})},
        // A title bar along the panel's top edge, inside its bevel.
        {.id = Label31, .kind = Label, .parent = OptnPanel, .rect = {1, 1, 367, 19},
         .caption = "オプション設定情報", .font = titleFont, .colour = kWhite, .background = kNavy, .align = Centre,
         .autoSize = false},
        {.id = MismatchChk, .kind = CheckBox, .parent = OptnPanel, .rect = {32, 30, 145, 17},
         .caption = "一字違いを表示する。", .checked = true},
        {.id = OptSetBut, .kind = Button, .parent = OptnPanel, .rect = {272, 170, 75, 25}, .caption = "設定",
         .handCursor = true, .editions = arrow},

        // The entry panel: Numbers3 on the left, Numbers4 on the right.
        {.id = EditPanel, .kind = Panel, .parent = ClientArea, .rect = {6, 0, 369, 211},
         .font = DesignFont {F::PGothic, 13}, .startsClosed = true, .editions = oneDown({6, 0, 369, 211})},
        {.id = Bevel1, .kind = Bevel, .parent = EditPanel, .rect = {8, 24, 169, 153}},
        {.id = Bevel2, .kind = Bevel, .parent = EditPanel, .rect = {188, 24, 173, 153}},
        {.id = Label28, .kind = Label, .parent = EditPanel, .rect = {1, 1, 367, 19},
         .caption = "第9999回　結果データの入力", .font = titleFont, .colour = kWhite, .background = kNavy,
         .align = Centre, .autoSize = false},
        {.id = Label29, .kind = Label, .parent = EditPanel, .rect = {16, 52, 52, 13}, .caption = "当選番号"},
        {.id = Label30, .kind = Label, .parent = EditPanel, .rect = {12, 76, 61, 13}, .caption = "ｽﾄﾚｰﾄ金額"},
        {.id = Label32, .kind = Label, .parent = EditPanel, .rect = {12, 96, 59, 13}, .caption = "ﾎﾞｯｸｽ金額"},
        {.id = Label33, .kind = Label, .parent = EditPanel, .rect = {12, 116, 73, 13}, .caption = "S ｽﾄﾚｰﾄ金額"},
        {.id = Label34, .kind = Label, .parent = EditPanel, .rect = {12, 136, 71, 13}, .caption = "S ﾎﾞｯｸｽ金額"},
        {.id = Label35, .kind = Label, .parent = EditPanel, .rect = {12, 158, 39, 13}, .caption = "ﾐﾆ金額"},
        {.id = Label36, .kind = Label, .parent = EditPanel, .rect = {192, 76, 61, 13}, .caption = "ｽﾄﾚｰﾄ金額"},
        {.id = Label38, .kind = Label, .parent = EditPanel, .rect = {192, 136, 71, 13}, .caption = "S ﾎﾞｯｸｽ金額"},
        {.id = Label39, .kind = Label, .parent = EditPanel, .rect = {192, 116, 73, 13}, .caption = "S ｽﾄﾚｰﾄ金額"},
        {.id = Label40, .kind = Label, .parent = EditPanel, .rect = {192, 96, 59, 13}, .caption = "ﾎﾞｯｸｽ金額"},
        {.id = Label41, .kind = Label, .parent = EditPanel, .rect = {12, 28, 75, 16}, .caption = "Numbers3",
         .font = groupFont},
        {.id = Label42, .kind = Label, .parent = EditPanel, .rect = {192, 28, 75, 16}, .caption = "Numbers4",
         .font = groupFont},
        {.id = Label37, .kind = Label, .parent = EditPanel, .rect = {196, 52, 52, 13}, .caption = "当選番号"},
        {.id = Num3Edit, .kind = Edit, .parent = EditPanel, .rect = {88, 44, 65, 27}, .caption = "000",
         .font = numberFont, .maxLength = 3, .availability = NotFilling},
        {.id = EdtSetBut, .kind = Button, .parent = EditPanel, .rect = {220, 180, 63, 25}, .caption = "入力",
         .handCursor = true, .availability = NotFilling, .editions = arrow},
        {.id = EdtExtBut, .kind = Button, .parent = EditPanel, .rect = {292, 180, 63, 25}, .caption = "中止",
         .handCursor = true, .availability = Stoppable, .editions = arrow},
        {.id = Num3Edit1, .kind = Edit, .parent = EditPanel, .rect = {92, 72, 61, 21}, .caption = "0",
         .font = prizeFont, .maxLength = 7, .availability = NotFilling},
        {.id = Num3Edit2, .kind = Edit, .parent = EditPanel, .rect = {92, 92, 61, 21}, .caption = "0",
         .font = prizeFont, .maxLength = 7, .availability = NotFilling},
        {.id = Num3Edit3, .kind = Edit, .parent = EditPanel, .rect = {92, 112, 61, 21}, .caption = "0",
         .font = prizeFont, .maxLength = 7, .availability = NotFilling},
        {.id = Num3Edit4, .kind = Edit, .parent = EditPanel, .rect = {92, 132, 61, 21}, .caption = "0",
         .font = prizeFont, .maxLength = 7, .availability = NotFilling},
        {.id = Num3Edit5, .kind = Edit, .parent = EditPanel, .rect = {92, 152, 61, 21}, .caption = "0",
         .font = prizeFont, .maxLength = 7, .availability = NotFilling},
        {.id = Num4Edit1, .kind = Edit, .parent = EditPanel, .rect = {272, 72, 61, 21}, .caption = "0",
         .font = prizeFont, .maxLength = 7, .availability = NotFilling},
        {.id = Num4Edit2, .kind = Edit, .parent = EditPanel, .rect = {272, 92, 61, 21}, .caption = "0",
         .font = prizeFont, .maxLength = 7, .availability = NotFilling},
        {.id = Num4Edit3, .kind = Edit, .parent = EditPanel, .rect = {272, 112, 61, 21}, .caption = "0",
         .font = prizeFont, .maxLength = 7, .availability = NotFilling},
        {.id = Num4Edit4, .kind = Edit, .parent = EditPanel, .rect = {272, 132, 61, 21}, .caption = "0",
         .font = prizeFont, .maxLength = 7, .availability = NotFilling},
        {.id = Num4Edit, .kind = Edit, .parent = EditPanel, .rect = {268, 44, 65, 27}, .caption = "0000",
         .font = numberFont, .maxLength = 4, .availability = NotFilling},
        {.id = EdtAutoBut, .kind = Button, .parent = EditPanel, .rect = {10, 180, 166, 25},
         .caption = "インターネットから参照", .handCursor = true, .availability = NotFilling},
    };
    // clang-format on
}

std::vector<ControlDesign> editionRows(Edition edition)
{
    std::vector<ControlDesign> rows;
    for (ControlDesign& row : designRows()) {
        const EditionDifference& difference = row.editions[editionIndex(edition)];
        if (difference.absent)
            continue;
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
        row.name = controlName(row.id);
        row.editions = {};
        rows.push_back(std::move(row));
    }
    return rows;
}

#define TOLVI_NAME_TEXT(name) #name,
constexpr std::array<const char*, kControlCount> kControlNames {TOLVI_FORM_CONTROLS(TOLVI_NAME_TEXT)};
#undef TOLVI_NAME_TEXT

}  // namespace

const char* controlName(Control control)
{
    return kControlNames.at(std::size_t(control));
}

Control controlNamed(std::string_view name)
{
    const auto it = std::find(kControlNames.begin(), kControlNames.end(), name);
    if (it == kControlNames.end())
        throw std::invalid_argument("no control is named " + std::string(name));
    return Control(it - kControlNames.begin());
}

bool allowed(Availability availability, WindowState state)
{
    // A command, a button or an edit is used only where its row says yes.
    // clang-format off
    constexpr std::array<std::array<bool, kWindowStates.size()>, 4> kAllowed {{
        //              Idle   PanelOpen Retrieving RetrievingFile Updating
        /* Always     */ {true, true,     true,      true,          true},
        /* Idle       */ {true, false,    false,     false,         false},
        /* NotFilling */ {true, true,     false,     false,         true},
        /* Stoppable  */ {true, true,     true,      false,         true},
    }};
    // clang-format on
    return kAllowed.at(std::size_t(availability)).at(std::size_t(state));
}

const std::vector<MenuDesign>& menuDesign()
{
    using enum MenuItem;
    using enum Availability;
    // clang-format off
    static const std::vector<MenuDesign> rows {
        {.id = Main, .name = "Main", .caption = "メイン", .isMenu = true},
        {.id = N1, .name = "N1", .caption = "予想", .menu = Main, .shortcut = "F5", .availability = Idle},
        {.id = EditMenu, .name = "EditMenu", .caption = "結果入力", .menu = Main, .availability = Idle},
        // An import writes the history as an entry does, so it follows the entry's command rules.
        {.id = ImportMenu, .name = "ImportMenu", .caption = "結果の取り込み…", .menu = Main, .availability = Idle},
        {.id = UpdateMenu, .name = "UpdateMenu", .caption = "最新の結果に更新", .menu = Main, .availability = Idle},
        {.id = GraphMenu, .name = "GraphMenu", .caption = "グラフ…", .menu = Main, .availability = Idle},
        {.id = AnalysisMenu, .name = "AnalysisMenu", .caption = "分析…", .menu = Main, .availability = Idle},
        {.id = RestoreMenu, .name = "RestoreMenu", .caption = "バックアップから戻す…", .menu = Main,
         .availability = Idle},
        // The ledger never writes the history: it opens in every state.
        {.id = TicketsMenu, .name = "TicketsMenu", .caption = "購入記録…", .menu = Main},
        // From the chart window too, which is a window of its own.
        {.id = Exit1, .name = "Exit1", .caption = "終了", .menu = Main, .shortcut = "Ctrl+Q", .applicationWide = true},
        {.id = Setting, .name = "Setting", .caption = "設定", .isMenu = true, .availability = Idle},
        {.id = Option, .name = "Option", .caption = "オプション設定", .menu = Setting},
        {.id = Help, .name = "Help", .caption = "ヘルプ"},
        {.id = Saport, .name = "Saport", .caption = "サポート"},
    };
    // clang-format on
    return rows;
}

const FormFrame& formFrame(Edition edition)
{
    static const FormFrame numbers3 {381, 215, DesignFont {FontFace::PGothic, 12}};
    static const FormFrame mini {379, 214, DesignFont {FontFace::PGothic, 12}};
    switch (edition) {
    case Edition::Numbers3: return numbers3;
    case Edition::Mini: return mini;
    }
    throw std::invalid_argument("unknown edition");
}

const std::vector<ControlDesign>& formDesign(Edition edition)
{
    static const auto tables = [] {
        std::array<std::vector<ControlDesign>, kEditions.size()> byEdition;
        for (const Edition each : kEditions)
            byEdition[editionIndex(each)] = editionRows(each);
        return byEdition;
    }();
    return tables.at(editionIndex(edition));
}

const ControlDesign* controlDesign(Edition edition, Control control)
{
    const std::vector<ControlDesign>& rows = formDesign(edition);
    const auto it = std::find_if(rows.begin(), rows.end(), [&](const ControlDesign& row) { return row.id == control; });
    return it == rows.end() ? nullptr : &*it;
}

const ControlDesign* controlDesign(Edition edition, std::string_view name)
{
    return controlDesign(edition, controlNamed(name));
}

}  // namespace tolvi
