#include "app/FormBuilder.h"

#include "app/DesignFonts.h"
#include "app/Panel.h"
#include "app/ReportModel.h"
#include "app/Utf8Text.h"
#include "design/FormDesign.h"

#include <QCheckBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTableView>

#include <stdexcept>
#include <string>

namespace {

using tolvi::ControlDesign;

// Labels, pictures and frames are drawn on their parent's own surface: they lie below every
// sibling that is a control of its own, whatever the order they were made in.
const char* const kGraphicControl = "tolviGraphicControl";

QColor colour(tolvi::Rgb rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

Qt::Alignment horizontal(tolvi::TextAlign align)
{
    switch (align) {
    case tolvi::TextAlign::Centre: return Qt::AlignHCenter;
    case tolvi::TextAlign::Right: return Qt::AlignRight;
    case tolvi::TextAlign::Left: break;
    }
    return Qt::AlignLeft;
}

Panel::Bevel bevel(tolvi::BevelEdge edge)
{
    switch (edge) {
    case tolvi::BevelEdge::Raised: return Panel::Bevel::Raised;
    case tolvi::BevelEdge::Lowered: return Panel::Bevel::Lowered;
    case tolvi::BevelEdge::None: break;
    }
    return Panel::Bevel::None;
}

// The colour of an enabled control's text; a disabled one keeps the greyed text of the style.
void setTextColour(QWidget* widget, const QColor& textColour)
{
    QPalette pal = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::WindowText, textColour);
        pal.setColor(group, QPalette::ButtonText, textColour);
        pal.setColor(group, QPalette::Text, textColour);
    }
    widget->setPalette(pal);
}

void setBackgroundColour(QWidget* widget, const QColor& background)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, background);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

// What every kind of control takes the same way: name, place, font, colours, hint, focus, cursor.
void applyCommon(QWidget* widget, const ControlDesign& row)
{
    widget->setObjectName(text(row.name));
    widget->setGeometry(row.rect.left, row.rect.top, row.rect.width, row.rect.height);
    if (row.font)
        widget->setFont(DesignFonts::font(*row.font));
    if (row.colour)
        setTextColour(widget, colour(*row.colour));
    if (row.background)
        setBackgroundColour(widget, colour(*row.background));
    if (row.hint)
        widget->setToolTip(text(row.hint));
    if (row.focus == tolvi::Focus::Click)
        widget->setFocusPolicy(Qt::ClickFocus);
    else if (row.focus == tolvi::Focus::Never)
        widget->setFocusPolicy(Qt::NoFocus);
    if (row.handCursor)
        widget->setCursor(Qt::PointingHandCursor);
}

QWidget* makeLabel(QWidget* parent, const ControlDesign& row)
{
    auto* label = new QLabel(text(row.caption), parent);
    label->setAlignment(horizontal(row.align) | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    label->setProperty(kGraphicControl, true);
    applyCommon(label, row);
    // The design sizes fit the design faces; where an installed face draws the text wider, the
    // label grows to show all of it, as it does whenever its text changes.
    if (row.autoSize && label->sizeHint().width() > row.rect.width)
        label->resize(label->sizeHint().width(), row.rect.height);
    return label;
}

QWidget* makePicture(QWidget* parent, const ControlDesign& row)
{
    auto* picture = new QLabel(parent);
    applyCommon(picture, row);
    picture->setPixmap(QPixmap(QStringLiteral(":/images/%1.png").arg(text(row.picture))));
    picture->setScaledContents(true);
    picture->setProperty(kGraphicControl, true);
    return picture;
}

QWidget* makeButton(QWidget* parent, const ControlDesign& row)
{
    auto* button = new QPushButton(text(row.caption), parent);
    button->setAutoDefault(false);
    applyCommon(button, row);
    return button;
}

QWidget* makeEdit(QWidget* parent, const ControlDesign& row)
{
    auto* edit = new QLineEdit(text(row.caption), parent);
    if (row.maxLength > 0)
        edit->setMaxLength(row.maxLength);
    applyCommon(edit, row);
    return edit;
}

QWidget* makeCheckBox(QWidget* parent, const ControlDesign& row)
{
    auto* box = new QCheckBox(text(row.caption), parent);
    applyCommon(box, row);
    box->setChecked(row.checked);
    return box;
}

QWidget* makePanel(QWidget* parent, const ControlDesign& row)
{
    auto* panel = new Panel(parent, bevel(row.outerBevel), bevel(row.innerBevel));
    applyCommon(panel, row);
    return panel;
}

QWidget* makeBevel(QWidget* parent, const ControlDesign& row)
{
    auto* frame = new QFrame(parent);
    applyCommon(frame, row);
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setProperty(kGraphicControl, true);
    return frame;
}

QWidget* makeReportView(QWidget* parent, const ControlDesign& row)
{
    QStringList headers;
    QList<Qt::Alignment> alignments;
    for (const tolvi::ColumnDesign& column : row.columns) {
        headers << (*column.caption ? text(column.caption) : QString());
        alignments << horizontal(column.align);
    }
    auto* view = new QTableView(parent);
    // The model lives as long as its view; a run fills it through the window's run view.
    view->setModel(new ReportModel(headers, alignments, view));
    applyCommon(view, row);
    view->setShowGrid(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTabKeyNavigation(false);
    view->setWordWrap(false);
    view->setCornerButtonEnabled(false);
    view->verticalHeader()->hide();
    // Fixed row heights keep emptying and refilling a long list cheap.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    const QFont rowFont = row.font ? DesignFonts::font(*row.font) : parent->font();
    view->verticalHeader()->setDefaultSectionSize(QFontMetrics(rowFont).height() + 3);
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setStretchLastSection(false);
    view->horizontalHeader()->setSectionsClickable(false);
    view->horizontalHeader()->setMinimumSectionSize(1);
    for (int column = 0; column < int(row.columns.size()); ++column) {
        view->horizontalHeader()->setSectionResizeMode(column, QHeaderView::Interactive);
        view->setColumnWidth(column, row.columns[std::size_t(column)].width);
    }
    return view;
}

QWidget* make(QWidget* parent, const ControlDesign& row)
{
    switch (row.kind) {
    case tolvi::ControlKind::Label: return makeLabel(parent, row);
    case tolvi::ControlKind::Picture: return makePicture(parent, row);
    case tolvi::ControlKind::Button: return makeButton(parent, row);
    case tolvi::ControlKind::Edit: return makeEdit(parent, row);
    case tolvi::ControlKind::CheckBox: return makeCheckBox(parent, row);
    case tolvi::ControlKind::Panel: return makePanel(parent, row);
    case tolvi::ControlKind::Bevel: return makeBevel(parent, row);
    case tolvi::ControlKind::ReportView: return makeReportView(parent, row);
    }
    return nullptr;
}

// Puts the labels and frames of `parent` below its other children, keeping their own order.
void lowerGraphicControls(QWidget* parent)
{
    const QObjectList children = parent->children();
    for (auto it = children.crbegin(); it != children.crend(); ++it)
        if (auto* widget = qobject_cast<QWidget*>(*it); widget && widget->property(kGraphicControl).toBool())
            widget->lower();
}

}  // namespace

ReportModel* FormControls::reportModel(tolvi::Control control) const
{
    auto* model = dynamic_cast<ReportModel*>(get<QTableView>(control)->model());
    if (!model)
        throw std::logic_error(std::string("the list ") + tolvi::controlName(control) + " has no report model");
    return model;
}

FormControls FormBuilder::build(QWidget* client, tolvi::Edition edition)
{
    const std::vector<ControlDesign>& rows = tolvi::formDesign(edition);
    FormControls made;
    made.widgets_[std::size_t(tolvi::Control::ClientArea)] = client;
    std::vector<QWidget*> containers {client};
    for (const ControlDesign& row : rows) {
        QWidget* parent = made.find(row.parent);
        if (!parent)
            throw std::logic_error(std::string("the parent of ") + row.name + " is not made before it");
        // The window keeps one control of each name: a table with two rows of a name for one
        // edition would leave the handlers with the wrong one.
        if (made.find(row.id))
            throw std::logic_error(std::string("two rows make ") + row.name);
        QWidget* control = make(parent, row);
        if (row.kind == tolvi::ControlKind::Panel)
            containers.push_back(control);
        made.widgets_[std::size_t(row.id)] = control;
    }

    // Once everything is made: a panel is closed by disabling it, then hiding it.
    for (const ControlDesign& row : rows) {
        QWidget* control = made.find(row.id);
        if (row.startsClosed)
            control->setEnabled(false);
        if (row.startsClosed || row.startsHidden)
            control->hide();
    }
    for (QWidget* container : containers)
        lowerGraphicControls(container);
    return made;
}
