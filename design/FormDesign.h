#pragma once
// Every control of the main window at its design values, in one table for both editions: the
// window builds itself from it, and the command-line tool takes the design captions of the
// controls a run writes from the same rows. Plain data, without the toolkit: faces are named
// abstractly and mapped to installed fonts by the program, colours are RGB values, geometry is
// in pixels relative to the parent.

#include "design/WindowDesign.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace tolvi {

// The faces the window was designed with.
enum class FontFace {
    PGothic,         // "ＭＳ Ｐゴシック", the window's default
    Gothic,          // "ＭＳ ゴシック", fixed pitch
    PMincho,         // "ＭＳ Ｐ明朝"
    HeiseiMinchoW7,  // "ＤＦ平成明朝体W7", a heavy Mincho
    Gyosho,          // "@ＤＦ行書体", a brush script
    TokuGothic,      // "ＤＨＰ特太ゴシック体", an extra-bold proportional Gothic
    JSGothic,        // "ＪＳゴシック", fixed pitch
};

struct DesignFont {
    FontFace face = FontFace::PGothic;
    int pixelHeight = 12;  // character height
    bool bold = false;
};

struct Rgb {
    unsigned char red = 0, green = 0, blue = 0;
};

struct DesignRect {
    int left = 0, top = 0, width = 0, height = 0;
};

enum class ControlKind {
    Label,       // drawn on its parent's surface, below every sibling that is a control of its own
    Picture,     // a bitmap stretched to its box, drawn like a label
    Button,      // a push button
    Edit,        // one line of text
    CheckBox,    // a box with its caption beside it
    Panel,       // holds the rows that name it as their parent
    Bevel,       // a sunken frame, drawn like a label
    ReportView,  // a read-only list in columns, with grid lines and whole-row selection
};

enum class TextAlign { Left, Centre, Right };

// How the keyboard and the mouse reach a control.
enum class Focus {
    Tab,    // a tab stop, and focused by a click
    Click,  // no tab stop, focused by a click only
    Never,  // lies under another control: neither reaches it
};

enum class BevelEdge { None, Raised, Lowered };

struct ColumnDesign {
    const char* caption = "";
    int width = 0;
    TextAlign align = TextAlign::Left;
};

// Every control of either edition's window, by its object name; ClientArea is the window's
// client area, the parent of the controls placed directly on the window (no row of its own).
// clang-format off
#define TOLVI_FORM_CONTROLS(X) \
    X(ClientArea) X(Label4) X(Label5) X(Label6) X(Label7) X(Label8) X(Label9) X(Label43) X(ListView) \
    X(EditNum) X(PatnView) X(Button2) X(Panel1) X(Image1) X(Image2) X(Button1) X(GetPanel) X(Label10) \
    X(Label11) X(Label12) X(Label13) X(Label14) X(Label15) X(Label16) X(Label17) X(Label18) X(Label19) \
    X(Label20) X(Button3) X(Panel2) X(GetPanel2) X(Label24) X(Label26) X(Label25) X(Label23) X(Label27) \
    X(Button4) X(OptnPanel) X(Label31) X(MismatchChk) X(OptSetBut) X(EditPanel) X(Bevel1) X(Bevel2) \
    X(Label28) X(Label29) X(Label30) X(Label32) X(Label33) X(Label34) X(Label35) X(Label36) X(Label38) \
    X(Label39) X(Label40) X(Label41) X(Label42) X(Label37) X(Num3Edit) X(EdtSetBut) X(EdtExtBut) \
    X(Num3Edit1) X(Num3Edit2) X(Num3Edit3) X(Num3Edit4) X(Num3Edit5) X(Num4Edit1) X(Num4Edit2) X(Num4Edit3) \
    X(Num4Edit4) X(Num4Edit) X(EdtAutoBut)
// clang-format on

#define TOLVI_ENUM_VALUE(name) name,
enum class Control { TOLVI_FORM_CONTROLS(TOLVI_ENUM_VALUE) };
#define TOLVI_COUNT_ONE(name) +1
inline constexpr std::size_t kControlCount = 0 TOLVI_FORM_CONTROLS(TOLVI_COUNT_ONE);
#undef TOLVI_COUNT_ONE
#undef TOLVI_ENUM_VALUE

// The control's object name: "Label4", "ClientArea".
const char* controlName(Control control);
// The control of that object name; std::invalid_argument when no window has one of that name.
Control controlNamed(std::string_view name);

// What the window is doing, as far as it decides which commands and buttons can be used.
enum class WindowState {
    Idle,            // nothing open over the list: every command
    PanelOpen,       // the payout, the options or the entry panel is open over the list
    Retrieving,      // the entry panel fills itself from the monthly pages; "中止" stops that
    RetrievingFile,  // the entry panel fills itself from the publisher's file, which nothing stops
    Updating,        // the update's progress dialog is up
};
inline constexpr std::array kWindowStates {WindowState::Idle, WindowState::PanelOpen, WindowState::Retrieving,
                                           WindowState::RetrievingFile, WindowState::Updating};

// When a command, a button or an edit can be used. A control on a closed panel cannot be reached
// whatever its availability: the panel governs it.
enum class Availability {
    Always,      // ending, the local pages, the controls that close a panel
    Idle,        // a command that opens a panel, starts a run or writes the history
    NotFilling,  // a field or button of the entry panel: not while a retrieval fills the panel
    Stoppable,   // "中止": also stops a retrieval that can be stopped
};

// The one table of window states: whether a control or menu item of that availability can be
// used in that state.
bool allowed(Availability availability, WindowState state);

// What an edition's window has in place of the row's values: `absent`, no such control at all.
struct EditionDifference {
    bool absent = false;
    std::optional<DesignRect> rect {};
    const char* caption = nullptr;
    std::optional<DesignFont> font {};
    std::optional<bool> handCursor {};
    bool startsHidden = false;
    const char* picture = nullptr;
};

// By edition, in the order of kEditions (see editionIndex()).
using EditionDifferences = std::array<EditionDifference, kEditions.size()>;

constexpr std::size_t editionIndex(Edition edition)
{
    return std::size_t(edition);
}
static_assert([] {
    for (std::size_t i = 0; i < kEditions.size(); ++i)
        if (editionIndex(kEditions[i]) != i)
            return false;
    return true;
}());

struct ControlDesign {
    Control id = Control::ClientArea;
    const char* name = "";  // the object name, controlName(id): set by formDesign()
    ControlKind kind = ControlKind::Label;
    Control parent = Control::ClientArea;  // ClientArea, or a panel in an earlier row
    DesignRect rect {};                    // a label that sizes itself: the box of its design text
    const char* caption = "";              // text of a label, button, edit or check box
    std::optional<DesignFont> font {};     // without one, the parent's
    std::optional<Rgb> colour {};          // of the text
    std::optional<Rgb> background {};
    const char* hint = nullptr;
    TextAlign align = TextAlign::Left;  // of a label's text
    bool autoSize = true;               // a label's width follows its text
    Focus focus = Focus::Tab;           // buttons, edits, check boxes, report views
    bool handCursor = false;
    int maxLength = 0;     // of an edit; 0 sets none of the design's own
    bool checked = false;  // a check box's state
    bool startsHidden = false;
    bool startsClosed = false;                 // a panel over the list: disabled and hidden until opened
    BevelEdge outerBevel = BevelEdge::Raised;  // of a panel
    BevelEdge innerBevel = BevelEdge::None;
    const char* picture = nullptr;                     // which of the program's pictures: "logo", "banner"
    std::vector<ColumnDesign> columns {};              // of a report view
    Availability availability = Availability::Always;  // of a button, edit or check box
    EditionDifferences editions {};                    // applied by formDesign(edition)
};

// The menu bar's menus and commands.
enum class MenuItem {
    Main,
    N1,
    EditMenu,
    ImportMenu,
    UpdateMenu,
    GraphMenu,
    AnalysisMenu,
    RestoreMenu,
    TicketsMenu,
    Exit1,
    Setting,
    Option,
    Help,
    Saport,  // the last
};
inline constexpr std::size_t kMenuItemCount = std::size_t(MenuItem::Saport) + 1;

struct MenuDesign {
    MenuItem id = MenuItem::Main;
    const char* name = "";  // the object name; a menu's own entry in its parent is name + "Action"
    const char* caption = "";
    bool isMenu = false;                               // holds the items that name it, rather than being a command
    std::optional<MenuItem> menu {};                   // the menu holding it; none: on the menu bar itself
    const char* shortcut = nullptr;                    // "F5", "Ctrl+Q"
    bool applicationWide = false;                      // the shortcut works in the program's other windows too
    Availability availability = Availability::Always;  // an item in a menu that is off is off as well
};

// The menu bar in the order its entries are made (every menu before its items).
const std::vector<MenuDesign>& menuDesign();

// The window itself: the size of its client area, and the font of every control without one.
struct FormFrame {
    int clientWidth = 0;
    int clientHeight = 0;
    DesignFont font {};
};

const FormFrame& formFrame(Edition edition);

// The controls of the edition's window in the order they are made (which is their stacking
// order among siblings; every parent comes before its children), the edition's differences
// applied and the rows absent from it left out.
const std::vector<ControlDesign>& formDesign(Edition edition);

// The row of the control in the edition's window; nullptr when the edition has no such control.
const ControlDesign* controlDesign(Edition edition, Control control);
const ControlDesign* controlDesign(Edition edition, std::string_view name);

}  // namespace tolvi
