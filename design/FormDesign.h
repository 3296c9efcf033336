#pragma once
// Every control of the main window at its design values, in one table for both editions: the
// window builds itself from it, and the command-line tool takes the design captions of the
// controls a run writes from the same rows. Plain data, without the toolkit: faces are named
// abstractly and mapped to installed fonts by the program, colours are RGB values, geometry is
// in pixels relative to the parent.

#include "design/WindowDesign.h"

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

enum class Presence { Both, Numbers3Only, MiniOnly };

struct ColumnDesign {
    const char* caption = "";
    int width = 0;
    TextAlign align = TextAlign::Left;
};

// What the Mini edition's window has in place of the row's values.
struct MiniDifference {
    std::optional<DesignRect> rect {};
    const char* caption = nullptr;
    std::optional<DesignFont> font {};
    std::optional<bool> handCursor {};
    bool startsHidden = false;
    const char* picture = nullptr;
};

struct ControlDesign {
    const char* name = "";  // the object name
    ControlKind kind = ControlKind::Label;
    const char* parent = "";            // kClientArea, or a panel in an earlier row
    DesignRect rect {};                 // a label that sizes itself: the box of its design text
    const char* caption = "";           // text of a label, button, edit or check box
    std::optional<DesignFont> font {};  // without one, the parent's
    std::optional<Rgb> colour {};       // of the text
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
    const char* picture = nullptr;         // which of the program's pictures: "logo", "banner"
    std::vector<ColumnDesign> columns {};  // of a report view
    Presence presence = Presence::Both;
    std::optional<MiniDifference> mini {};  // applied by formDesign(Edition::Mini)
};

// The parent of the controls placed directly on the window: its client area below the menu bar.
inline constexpr const char* kClientArea = "ClientArea";

// The window itself: the size of its client area, and the font of every control without one.
struct FormFrame {
    int clientWidth = 0;
    int clientHeight = 0;
    DesignFont font {};
};

const FormFrame& formFrame(Edition edition);

// The controls of the edition's window in the order they are made (which is their stacking
// order among siblings; every parent comes before its children), the Mini edition's differences
// applied and the other edition's controls left out.
const std::vector<ControlDesign>& formDesign(Edition edition);

// The row of `name` in the edition's window; nullptr when the edition has no such control.
const ControlDesign* controlDesign(Edition edition, std::string_view name);

}  // namespace tolvi
