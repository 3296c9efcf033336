#include "app/MainUnit.h"

#include "app/DesignFonts.h"
#include "app/Panel.h"
#include "app/ReportModel.h"
#include "settings/SettingsFile.h"
#include "base/NumberFormat.h"
#include "entry/HistoryImport.h"
#include "entry/ResultEntry.h"
#include "history/HistoryReader.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QUrl>

#include <optional>

namespace {

using Face = DesignFonts::Face;

const QColor kAqua(0x00, 0xFF, 0xFF);
const QColor kFuchsia(0xFF, 0x00, 0xFF);
const QColor kYellow(0xFF, 0xFF, 0x00);
const QColor kNavy(0x00, 0x00, 0x80);
const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kBlue(0x00, 0x00, 0xFF);
const QColor kBlack(0x00, 0x00, 0x00);

// The history file, always relative to the current working directory.
const char* const kHistoryPath = "Numbers.dat";
// The address behind the banner.
const char* const kBannerAddress = "http://www.tolvi-numbers.example/";

// Labels and frames are drawn on their parent's own surface: they lie below every sibling
// that is a control of its own, whatever the order they were made in.
const char* const kGraphicControl = "tolviGraphicControl";
// Labels that fit their width to their text whenever it changes.
const char* const kAutoSize = "tolviAutoSize";

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// The colour of an enabled control's text; a disabled one keeps the greyed text of the style.
void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette pal = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::WindowText, colour);
        pal.setColor(group, QPalette::ButtonText, colour);
        pal.setColor(group, QPalette::Text, colour);
    }
    widget->setPalette(pal);
}

void setBackgroundColour(QWidget* widget, const QColor& colour)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, colour);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

// How a label differs from a plain one in its parent's font.
struct LabelDesign {
    std::optional<QFont> font;
    std::optional<QColor> colour;
    std::optional<QColor> background;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    bool autoSize = true;
    const char* hint = nullptr;

    LabelDesign& withFont(const QFont& f) { font = f; return *this; }
    LabelDesign& withColour(const QColor& c) { colour = c; return *this; }
    LabelDesign& withBackground(const QColor& c) { background = c; return *this; }
    // Fixed size, the text aligned inside the design box.
    LabelDesign& fixed(Qt::Alignment a) { alignment = a | Qt::AlignTop; autoSize = false; return *this; }
    LabelDesign& withHint(const char* h) { hint = h; return *this; }
};

LabelDesign withFont(const QFont& font)
{
    return LabelDesign().withFont(font);
}

QLabel* makeLabel(QWidget* parent, const char* name, QRect geometry, const char* caption, const LabelDesign& design = LabelDesign())
{
    auto* label = new QLabel(text(caption), parent);
    label->setObjectName(text(name));
    label->setGeometry(geometry);
    label->setAlignment(design.alignment);
    label->setTextFormat(Qt::PlainText);
    label->setProperty(kGraphicControl, true);
    label->setProperty(kAutoSize, design.autoSize);
    if (design.font)
        label->setFont(*design.font);
    if (design.colour)
        setTextColour(label, *design.colour);
    if (design.background)
        setBackgroundColour(label, *design.background);
    if (design.hint)
        label->setToolTip(text(design.hint));
    // The design sizes fit the design faces; where an installed face draws the text wider, the
    // label grows to show all of it, as it does whenever its text changes.
    if (design.autoSize && label->sizeHint().width() > geometry.width())
        label->resize(label->sizeHint().width(), geometry.height());
    return label;
}

QLabel* makeTitleBar(QWidget* parent, const char* name, const char* caption)
{
    // Aligned to the panel's top edge inside its bevel, the full width of the panel.
    return makeLabel(parent, name, QRect(1, 1, parent->width() - 2, 19), caption,
                     withFont(DesignFonts::font(Face::TokuGothic, 19)).withColour(kWhite).withBackground(kNavy).fixed(Qt::AlignHCenter));
}

QPushButton* makeButton(QWidget* parent, const char* name, QRect geometry, const char* caption, bool handCursor,
                        std::optional<QFont> font = {}, const char* hint = nullptr)
{
    auto* button = new QPushButton(text(caption), parent);
    button->setObjectName(text(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    if (handCursor)
        button->setCursor(Qt::PointingHandCursor);
    if (font)
        button->setFont(*font);
    if (hint)
        button->setToolTip(text(hint));
    return button;
}

QLineEdit* makeEdit(QWidget* parent, const char* name, QRect geometry, const char* caption, int maxLength, const QFont& font)
{
    auto* edit = new QLineEdit(text(caption), parent);
    edit->setObjectName(text(name));
    edit->setGeometry(geometry);
    edit->setMaxLength(maxLength);
    edit->setFont(font);
    return edit;
}

Panel* makePanel(QWidget* parent, const char* name, QRect geometry, Panel::Bevel outer = Panel::Bevel::Raised,
                 Panel::Bevel inner = Panel::Bevel::None)
{
    auto* panel = new Panel(parent, outer, inner);
    panel->setObjectName(text(name));
    panel->setGeometry(geometry);
    return panel;
}

// Panels over the list start closed.
void startClosed(QWidget* panel)
{
    panel->setEnabled(false);
    panel->hide();
}

QFrame* makeBevel(QWidget* parent, const char* name, QRect geometry)
{
    auto* bevel = new QFrame(parent);
    bevel->setObjectName(text(name));
    bevel->setGeometry(geometry);
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setProperty(kGraphicControl, true);
    return bevel;
}

QTableView* makeReportView(QWidget* parent, const char* name, QRect geometry, ReportModel* model,
                           const QList<int>& columnWidths)
{
    auto* view = new QTableView(parent);
    view->setObjectName(text(name));
    view->setGeometry(geometry);
    view->setModel(model);
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
    view->verticalHeader()->setDefaultSectionSize(QFontMetrics(parent->font()).height() + 3);
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setStretchLastSection(false);
    view->horizontalHeader()->setSectionsClickable(false);
    view->horizontalHeader()->setMinimumSectionSize(1);
    for (int column = 0; column < columnWidths.size(); ++column) {
        view->horizontalHeader()->setSectionResizeMode(column, QHeaderView::Interactive);
        view->setColumnWidth(column, columnWidths[column]);
    }
    return view;
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

TMainForm::TMainForm(tolvi::Edition edition, std::unique_ptr<tolvi::PredictionEngine> engine, QWidget* parent)
    : QMainWindow(parent),
      edition_(edition),
      info_(tolvi::editionInfo(edition)),
      engine_(std::move(engine)),
      settingsLocation_(QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString(),
                        tolvi::SettingsLocation::UserFolders::fromEnvironment()),
      settingsPath_(settingsLocation_.readPath()),
      programDir_(QCoreApplication::applicationDirPath()),
      resultsHost_(tolvi::defaultResultsHost())
{
    buildWindow();
    connectHandlers();
    registerRunLabels();
}

TMainForm::~TMainForm()
{
    FormDestroy();
}

QString TMainForm::applicationTitle() const
{
    return text(info_.applicationTitle);
}

void TMainForm::setHttpClient(std::unique_ptr<tolvi::HttpClient> client)
{
    httpClient_ = std::move(client);
}

// ---------------------------------------------------------------------------------------------
// The window at its design values.

void TMainForm::buildWindow()
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(applicationTitle());
    setFont(DesignFonts::font(Face::PGothic, 12));
    // A fixed single border: a close box and a minimise box, no maximise box, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    buildMenu();

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    if (edition_ == tolvi::Edition::Mini)
        client->setFixedSize(379, 214);
    else
        client->setFixedSize(381, 215);
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    buildMainControls(client);

    WkupTim = new QTimer(this);
    WkupTim->setObjectName(QStringLiteral("WkupTim"));
    WkupTim->setInterval(100);
    // Never sooner than the interval: a coarse timer may fire a few milliseconds early.
    WkupTim->setTimerType(Qt::PreciseTimer);
}

void TMainForm::buildMenu()
{
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    setMenuBar(MainMenu1);

    Main = MainMenu1->addMenu(text("メイン"));
    Main->setObjectName(QStringLiteral("Main"));
    Main->menuAction()->setObjectName(QStringLiteral("MainAction"));
    N1 = Main->addAction(text("予想"));
    N1->setObjectName(QStringLiteral("N1"));
    EditMenu = Main->addAction(text("結果入力"));
    EditMenu->setObjectName(QStringLiteral("EditMenu"));
    ImportMenu = Main->addAction(text("結果の取り込み…"));
    ImportMenu->setObjectName(QStringLiteral("ImportMenu"));
    Exit1 = Main->addAction(text("終了"));
    Exit1->setObjectName(QStringLiteral("Exit1"));

    Setting = MainMenu1->addMenu(text("設定"));
    Setting->setObjectName(QStringLiteral("Setting"));
    Setting->menuAction()->setObjectName(QStringLiteral("SettingAction"));
    Option = Setting->addAction(text("オプション設定"));
    Option->setObjectName(QStringLiteral("Option"));

    Help = MainMenu1->addAction(text("ヘルプ"));
    Help->setObjectName(QStringLiteral("Help"));
    Saport = MainMenu1->addAction(text("サポート"));
    Saport->setObjectName(QStringLiteral("Saport"));
}

void TMainForm::buildMainControls(QWidget* client)
{
    const bool mini = edition_ == tolvi::Edition::Mini;
    const int top = mini ? 1 : 0;
    const QFont gothic12 = DesignFonts::font(Face::Gothic, 12);

    QLabel* label4 = makeLabel(client, "Label4", {10, 160, 78, 12}, "ｽﾄﾚｰﾄ的中数：", withFont(gothic12));
    QLabel* label5 = makeLabel(client, "Label5", {10, 180, 78, 12}, "ﾎﾞｯｸｽ的中数：", withFont(gothic12));
    if (mini)
        makeLabel(client, "Label6", {26, 168, 78, 13}, "ミニ的中数：", withFont(DesignFonts::font(Face::Gothic, 13)));
    else
        makeLabel(client, "Label6", {10, 200, 78, 12}, "ﾐﾆ   的中数：", withFont(gothic12));
    QLabel* label7 = makeLabel(client, "Label7", {136, 160, 36, 12}, "金額：", withFont(gothic12));
    QLabel* label8 = makeLabel(client, "Label8", {136, 180, 36, 12}, "金額：", withFont(gothic12));
    if (mini)
        makeLabel(client, "Label9", {68, 192, 39, 13}, "金額：", withFont(DesignFonts::font(Face::Gothic, 13)));
    else
        makeLabel(client, "Label9", {136, 200, 36, 12}, "金額：", withFont(gothic12));
    if (mini) {
        // The Mini edition shows only its mini hits; the engine still writes these four.
        for (QLabel* hidden : {label4, label5, label7, label8})
            hidden->hide();
        // Beneath the side panel, like the controls below.
        makeLabel(client, "Label43", {288, 136, 39, 12}, "Label43");
    }

    resultModel_ = new ReportModel({text("抽選"), text("当選番号"), text("結果")},
                                   {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignLeft}, this);
    ListView = makeReportView(client, "ListView", {6, top, 250, 150}, resultModel_, {50, 80, 100});
    ListView->setFont(gothic12);
    ListView->verticalHeader()->setDefaultSectionSize(QFontMetrics(gothic12).height() + 3);
    ListView->setFocusPolicy(Qt::ClickFocus);

    // EditNum, PatnView and Button2 lie under the side panel: never seen, never reached.
    EditNum = makeEdit(client, "EditNum", {304, 140, 25, 20}, "4", 32767, font());
    EditNum->setFocusPolicy(Qt::NoFocus);

    statsModel_ = new ReportModel({text("No"), text("ｽﾄﾚｰﾄ"), QString(), text("ﾎﾞｯｸｽ"), QString(), text("ﾐﾆ"),
                                   QString(), text("回収率")},
                                  {Qt::AlignLeft, Qt::AlignRight, Qt::AlignRight, Qt::AlignRight, Qt::AlignRight,
                                   Qt::AlignRight, Qt::AlignRight, Qt::AlignRight},
                                  this);
    PatnView = makeReportView(client, "PatnView", mini ? QRect(272, 8, 89, 129) : QRect(280, 48, 57, 49),
                              statsModel_, {50, 45, 60, 45, 60, 45, 60, 70});
    PatnView->setFocusPolicy(Qt::NoFocus);

    Button2 = makeButton(client, "Button2", {296, mini ? 144 : 180, 65, 25}, "要素評価", false);
    Button2->setFocusPolicy(Qt::NoFocus);

    Panel1 = makePanel(client, "Panel1", {260, top, 113, 211});
    buildSidePanel();

    GetPanel = makePanel(client, "GetPanel", {6, 0, 251, 211});
    buildPayoutPanel();
    startClosed(GetPanel);

    OptnPanel = makePanel(client, "OptnPanel", {6, top, 369, 211});
    buildOptionsPanel();
    startClosed(OptnPanel);

    EditPanel = makePanel(client, "EditPanel", {6, top, 369, 211});
    EditPanel->setFont(DesignFonts::font(Face::PGothic, 13));
    buildEntryPanel();
    startClosed(EditPanel);

    lowerGraphicControls(client);

    // The tab order: "予想" first, then the panels' controls (reached only while a panel is open).
    QWidget* tabOrder[] = {Button1, Button4, MismatchChk, OptSetBut, entryEdits_[0], entryEdits_[1],
                           entryEdits_[2], entryEdits_[3], entryEdits_[4], entryEdits_[5], entryEdits_[6],
                           entryEdits_[7], entryEdits_[8], entryEdits_[9], entryEdits_[10], EdtSetBut,
                           EdtExtBut, EdtAutoBut};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void TMainForm::buildSidePanel()
{
    auto* image1 = new QLabel(Panel1);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setGeometry(8, 10, 97, 111);
    image1->setPixmap(QPixmap(QStringLiteral(":/images/logo.png")));
    image1->setScaledContents(true);
    image1->setProperty(kGraphicControl, true);

    auto* image2 = new QLabel(Panel1);
    image2->setObjectName(QStringLiteral("Image2"));
    image2->setGeometry(8, 120, 97, 31);
    image2->setPixmap(QPixmap(QStringLiteral(":/images/banner.png")));
    image2->setScaledContents(true);
    image2->setToolTip(text(kBannerAddress));
    image2->setProperty(kGraphicControl, true);

    QFont buttonFont = DesignFonts::font(Face::PMincho, 24, true);
    Button1 = makeButton(Panel1, "Button1", {8, 160, 97, 41}, "予想", true, buttonFont, "次回抽選の当たり予想をします。");
    setTextColour(Button1, kBlack);
    lowerGraphicControls(Panel1);
}

void TMainForm::buildPayoutPanel()
{
    const bool mini = edition_ == tolvi::Edition::Mini;
    const bool hand = !mini;
    makeLabel(GetPanel, "Label10", {16, 30, 189, 21}, "0",
              withFont(DesignFonts::font(Face::PGothic, 21, true)).withBackground(kAqua).fixed(Qt::AlignRight)
                  .withHint("過去からの回収金額の合計です。"));
    if (mini)
        makeLabel(GetPanel, "Label11", {8, 10, 175, 12}, "ﾐﾆでのみ購入した時の回収総金額");
    else
        makeLabel(GetPanel, "Label11", {8, 10, 227, 12}, "ｽﾄﾚｰﾄとﾎﾞｯｸｽ両方購入した時の回収総金額");
    const QFont bold16 = DesignFonts::font(Face::PGothic, 16, true);
    const QFont bold27 = DesignFonts::font(Face::PGothic, 27, true);
    makeLabel(GetPanel, "Label12", {16, 60, 85, 16}, "総合回収率", withFont(bold16));
    makeLabel(GetPanel, "Label13", {216, 40, 17, 16}, "円", withFont(bold16));
    makeLabel(GetPanel, "Label14", {112, 60, 89, 26}, "0",
              withFont(bold27).withColour(kFuchsia).withBackground(kAqua).fixed(Qt::AlignRight)
                  .withHint("過去からのトータル回収率です。"));
    makeLabel(GetPanel, "Label15", {208, 60, 28, 27}, "％", withFont(bold27));
    makeLabel(GetPanel, "Label16", {16, 90, 153, 16}, "次回抽選の予想番号", withFont(bold16));

    const LabelDesign predicted = withFont(bold27).withBackground(kWhite);
    if (!mini) {
        makeLabel(GetPanel, "Label17", {24, 110, 45, 27}, "000", predicted);
        makeLabel(GetPanel, "Label18", {88, 110, 45, 27}, "000", predicted);
        makeLabel(GetPanel, "Label19", {24, 150, 45, 27}, "000", predicted);
        makeLabel(GetPanel, "Label20", {88, 150, 45, 27}, "000", predicted);
    }
    Button3 = makeButton(GetPanel, "Button3", {160, 180, 75, 25}, "OK", hand, DesignFonts::font(Face::PGothic, 13, true),
                         "回収率画面を消します。");
    Button3->setFocusPolicy(Qt::ClickFocus);
    if (mini) {
        // The Mini edition shows its prediction in one row inside a bevelled frame.
        Panel* frame = makePanel(GetPanel, "Panel2", {8, 112, 233, 65}, Panel::Bevel::Lowered, Panel::Bevel::Raised);
        makeLabel(frame, "Label17", {8, 18, 45, 27}, "000", predicted);
        makeLabel(frame, "Label18", {64, 18, 45, 27}, "000", predicted);
        makeLabel(frame, "Label19", {120, 18, 45, 27}, "000", predicted);
        makeLabel(frame, "Label20", {176, 18, 45, 27}, "000", predicted);
    }

    GetPanel2 = makePanel(GetPanel, "GetPanel2", {0, 0, 251, 211});
    GetPanel2->setBackground(kYellow);
    buildHitPanel();
    startClosed(GetPanel2);
    lowerGraphicControls(GetPanel);
}

void TMainForm::buildHitPanel()
{
    const bool hand = edition_ != tolvi::Edition::Mini;
    makeLabel(GetPanel2, "Label24", {16, 40, 228, 37}, "予想的中！！", withFont(DesignFonts::font(Face::HeiseiMinchoW7, 37, true)).withColour(kRed));
    makeLabel(GetPanel2, "Label26", {8, 106, 147, 96}, "888", withFont(DesignFonts::font(Face::Gyosho, 96, true)).withColour(kAqua));
    makeLabel(GetPanel2, "Label25", {144, 100, 44, 12}, "回　予想");
    makeLabel(GetPanel2, "Label23", {64, 90, 58, 21}, "あたり", withFont(DesignFonts::font(Face::PGothic, 21, true)).withColour(kBlue));
    makeLabel(GetPanel2, "Label27", {8, 20, 187, 21}, "ストレート＆ボックス",
              withFont(DesignFonts::font(Face::HeiseiMinchoW7, 21, true)).withColour(kFuchsia));
    Button4 = makeButton(GetPanel2, "Button4", {160, 180, 75, 25}, "OK", hand, DesignFonts::font(Face::PGothic, 13, true));
    lowerGraphicControls(GetPanel2);
}

void TMainForm::buildOptionsPanel()
{
    makeTitleBar(OptnPanel, "Label31", "オプション設定情報");
    MismatchChk = new QCheckBox(text("一字違いを表示する。"), OptnPanel);
    MismatchChk->setObjectName(QStringLiteral("MismatchChk"));
    MismatchChk->setGeometry(32, 30, 145, 17);
    MismatchChk->setChecked(true);
    OptSetBut = makeButton(OptnPanel, "OptSetBut", {272, 170, 75, 25}, "設定", edition_ != tolvi::Edition::Mini);
    lowerGraphicControls(OptnPanel);
}

void TMainForm::buildEntryPanel()
{
    const bool hand = edition_ != tolvi::Edition::Mini;
    makeBevel(EditPanel, "Bevel1", {8, 24, 169, 153});
    makeBevel(EditPanel, "Bevel2", {188, 24, 173, 153});
    Label28 = makeTitleBar(EditPanel, "Label28", "第9999回　結果データの入力");
    makeLabel(EditPanel, "Label29", {16, 52, 52, 13}, "当選番号");
    makeLabel(EditPanel, "Label30", {12, 76, 61, 13}, "ｽﾄﾚｰﾄ金額");
    makeLabel(EditPanel, "Label32", {12, 96, 59, 13}, "ﾎﾞｯｸｽ金額");
    makeLabel(EditPanel, "Label33", {12, 116, 73, 13}, "S ｽﾄﾚｰﾄ金額");
    makeLabel(EditPanel, "Label34", {12, 136, 71, 13}, "S ﾎﾞｯｸｽ金額");
    makeLabel(EditPanel, "Label35", {12, 158, 39, 13}, "ﾐﾆ金額");
    makeLabel(EditPanel, "Label36", {192, 76, 61, 13}, "ｽﾄﾚｰﾄ金額");
    makeLabel(EditPanel, "Label38", {192, 136, 71, 13}, "S ﾎﾞｯｸｽ金額");
    makeLabel(EditPanel, "Label39", {192, 116, 73, 13}, "S ｽﾄﾚｰﾄ金額");
    makeLabel(EditPanel, "Label40", {192, 96, 59, 13}, "ﾎﾞｯｸｽ金額");
    const QFont groupFont = DesignFonts::font(Face::JSGothic, 16, true);
    makeLabel(EditPanel, "Label41", {12, 28, 75, 16}, "Numbers3", withFont(groupFont));
    makeLabel(EditPanel, "Label42", {192, 28, 75, 16}, "Numbers4", withFont(groupFont));
    makeLabel(EditPanel, "Label37", {196, 52, 52, 13}, "当選番号");

    const QFont numberFont = DesignFonts::font(Face::TokuGothic, 19);
    const QFont prizeFont = DesignFonts::font(Face::JSGothic, 13);
    entryEdits_[0] = makeEdit(EditPanel, "Num3Edit", {88, 44, 65, 27}, "000", 3, numberFont);
    EdtSetBut = makeButton(EditPanel, "EdtSetBut", {220, 180, 63, 25}, "入力", hand);
    EdtExtBut = makeButton(EditPanel, "EdtExtBut", {292, 180, 63, 25}, "中止", hand);
    const char* const num3Prizes[] = {"Num3Edit1", "Num3Edit2", "Num3Edit3", "Num3Edit4", "Num3Edit5"};
    for (int i = 0; i < 5; ++i)
        entryEdits_[std::size_t(1 + i)] = makeEdit(EditPanel, num3Prizes[i], {92, 72 + 20 * i, 61, 21}, "0", 7, prizeFont);
    const char* const num4Prizes[] = {"Num4Edit1", "Num4Edit2", "Num4Edit3", "Num4Edit4"};
    for (int i = 0; i < 4; ++i)
        entryEdits_[std::size_t(7 + i)] = makeEdit(EditPanel, num4Prizes[i], {272, 72 + 20 * i, 61, 21}, "0", 7, prizeFont);
    entryEdits_[6] = makeEdit(EditPanel, "Num4Edit", {268, 44, 65, 27}, "0000", 4, numberFont);
    EdtAutoBut = makeButton(EditPanel, "EdtAutoBut", {10, 180, 166, 25}, "インターネットから参照", true);
    for (std::size_t i = 0; i < entryEdits_.size(); ++i)
        entryMaxLengths_[i] = entryEdits_[i]->maxLength();
    lowerGraphicControls(EditPanel);
}

void TMainForm::connectHandlers()
{
    connect(Button1, &QPushButton::clicked, this, &TMainForm::Button1Click);
    connect(N1, &QAction::triggered, this, &TMainForm::N1Click);
    connect(Button2, &QPushButton::clicked, this, &TMainForm::Button2Click);
    connect(WkupTim, &QTimer::timeout, this, &TMainForm::WkupTimTimer);
    connect(Button3, &QPushButton::clicked, this, &TMainForm::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TMainForm::Button4Click);
    connect(Option, &QAction::triggered, this, &TMainForm::OptionClick);
    connect(OptSetBut, &QPushButton::clicked, this, &TMainForm::OptSetButClick);
    connect(EditMenu, &QAction::triggered, this, &TMainForm::EditMenuClick);
    connect(ImportMenu, &QAction::triggered, this, &TMainForm::ImportMenuClick);
    connect(EdtSetBut, &QPushButton::clicked, this, &TMainForm::EdtSetButClick);
    connect(EdtExtBut, &QPushButton::clicked, this, &TMainForm::EdtExtButClick);
    connect(EdtAutoBut, &QPushButton::clicked, this, &TMainForm::EdtAutoButClick);
    connect(Help, &QAction::triggered, this, &TMainForm::HelpClick);
    connect(Saport, &QAction::triggered, this, &TMainForm::SaportClick);
    connect(Exit1, &QAction::triggered, this, &TMainForm::Exit1Click);
}

void TMainForm::registerRunLabels()
{
    const std::vector<tolvi::RunControl>& controls = tolvi::runLabels(edition_);
    runLabels_.reserve(controls.size());
    for (const tolvi::RunControl control : controls) {
        const std::string name(tolvi::controlName(control));
        auto* label = findChild<QLabel*>(QString::fromStdString(name));
        Q_ASSERT(label);
        RunLabel entry;
        entry.label = label;
        entry.autoSize = label->property(kAutoSize).toBool();
        runLabels_.push_back(std::move(entry));
        runLabelIndex_.emplace(name, runLabels_.size() - 1);
    }
}

// ---------------------------------------------------------------------------------------------
// Message boxes and panels.

void TMainForm::guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        showErrorBox(QString::fromUtf8(error.what()), this);
    }
}

void TMainForm::showErrorBox(const QString& message, QWidget* parent)
{
    // Whatever a run showed before it failed stays shown, and is on screen before the box.
    flushRun(false);
    QMessageBox box(QMessageBox::Critical, applicationTitle(), message, QMessageBox::Ok, parent);
    box.exec();
}

void TMainForm::showPlainBox(const QString& message, QMessageBox::Icon icon)
{
    QMessageBox box(icon, applicationTitle(), message, QMessageBox::Ok, this);
    box.exec();
}

void TMainForm::showInformationBox(const QString& message)
{
    // Without a parent the box is centred on the screen rather than on the window.
    QMessageBox box(QMessageBox::Information, applicationTitle(), message, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void TMainForm::openPanelNow(QWidget* panel)
{
    panel->setEnabled(true);
    panel->show();
}

void TMainForm::closePanel(QWidget* panel)
{
    panel->setEnabled(false);
    panel->hide();
}

void TMainForm::setCommandsEnabled(bool enabled)
{
    Button1->setEnabled(enabled);
    N1->setEnabled(enabled);
    EditMenu->setEnabled(enabled);
    // An import writes the history as an entry does, so it follows the entry's command rules.
    ImportMenu->setEnabled(enabled);
    Setting->setEnabled(enabled);
    Setting->menuAction()->setEnabled(enabled);
}

// ---------------------------------------------------------------------------------------------
// Program start and end.

void TMainForm::FormCreate()
{
    created_ = true;
    guarded([this] { MismatchChk->setChecked(tolvi::SettingsFile::loadMismatch(settingsPath_)); });
    setWindowTitle(text(info_.windowCaption));
}

void TMainForm::FormDestroy()
{
    // Once, at the end; a window whose settings were never loaded has nothing of its own to save.
    if (destroyed_ || !created_)
        return;
    destroyed_ = true;
    try {
        // The usual place may move on to the user's own folder when the program's folder turns
        // out not to take the file; a path set from outside is written as it is.
        if (settingsPath_ == settingsLocation_.readPath())
            settingsLocation_.saveMismatch(MismatchChk->isChecked());
        else
            tolvi::SettingsFile::saveMismatch(settingsPath_, MismatchChk->isChecked());
    } catch (const std::exception& error) {
        // The window is going away: the box stands on its own.
        showErrorBox(QString::fromUtf8(error.what()), nullptr);
    }
}

void TMainForm::Exit1Click()
{
    close();
}

// ---------------------------------------------------------------------------------------------
// Prediction runs, deferred through WkupTim.

void TMainForm::armTimer(int tag)
{
    wkupTimTag_ = tag;
    // A pending run keeps its time: a second command before the tick changes only the mode.
    if (!WkupTim->isActive())
        WkupTim->start();
}

void TMainForm::Button1Click()
{
    armTimer(tolvi::kPredictionTag);
}

void TMainForm::N1Click()
{
    armTimer(tolvi::kPredictionTag);
}

void TMainForm::Button2Click()
{
    armTimer(tolvi::kFactorEvaluationTag);
}

void TMainForm::WkupTimTimer()
{
    WkupTim->stop();
    guarded([this] {
        tolvi::RunRequest request;
        request.tag = wkupTimTag_;
        request.mismatch = MismatchChk->isChecked();
        request.candidateCountText = EditNum->text().toStdString();
        request.historyPath = kHistoryPath;
        request.groupSeparator = tolvi::userGroupSeparator();

        struct RunScope {
            TMainForm* form;
            explicit RunScope(TMainForm* f) : form(f)
            {
                form->sinceFlush_.start();
                form->cheapCalls_ = 0;
            }
            ~RunScope()
            {
                form->flushRun(false);
                form->sinceFlush_.invalidate();
            }
        } scope(this);
        engine_->run(request, *this);
    });
}

void TMainForm::Button3Click()
{
    closePanel(GetPanel);
    setCommandsEnabled(true);
    Button1->setFocus();
}

void TMainForm::Button4Click()
{
    closePanel(GetPanel2);
}

// ---------------------------------------------------------------------------------------------
// The options panel.

void TMainForm::OptionClick()
{
    openPanelNow(OptnPanel);
    setCommandsEnabled(false);
    OptSetBut->setFocus();
}

void TMainForm::OptSetButClick()
{
    // Only closes: the box's state is read by the next run and saved at program end.
    closePanel(OptnPanel);
    setCommandsEnabled(true);
    Button1->setFocus();
}

// ---------------------------------------------------------------------------------------------
// The entry panel.

QLineEdit* TMainForm::entryEdit(std::string_view name) const
{
    for (std::size_t i = 0; i < tolvi::kEntryEditNames.size(); ++i)
        if (tolvi::kEntryEditNames[i] == name)
            return entryEdits_[i];
    return nullptr;
}

bool TMainForm::CheckNumEditData(const QLineEdit* edit) const
{
    return tolvi::checkNumEditData(edit->text().toStdString());
}

void TMainForm::openEntryPanel()
{
    const std::int32_t nextDraw = tolvi::HistoryReader::lastDrawNumber(kHistoryPath) + 1;
    Label28->setText(QString::fromStdString(tolvi::entryPanelTitle(nextDraw)));
    for (std::size_t i = 0; i < entryEdits_.size(); ++i) {
        entryEdits_[i]->setMaxLength(entryMaxLengths_[i]);
        entryEdits_[i]->clear();
    }
    openPanelNow(EditPanel);
    setCommandsEnabled(false);
    entryEdits_[0]->setFocus();
}

void TMainForm::EditMenuClick()
{
    guarded([this] { openEntryPanel(); });
}

void TMainForm::EdtSetButClick()
{
    guarded([this] {
        tolvi::EntryFields fields;
        for (std::size_t i = 0; i < entryEdits_.size(); ++i)
            fields[i] = entryEdits_[i]->text().toStdString();
        if (const std::optional<std::string> message = tolvi::validateEntry(fields)) {
            showPlainBox(QString::fromStdString(*message));
            return;
        }
        tolvi::appendEntry(kHistoryPath, fields);
        // Set up again for the following draw; the panel stays open.
        openEntryPanel();
    });
}

void TMainForm::EdtExtButClick()
{
    closePanel(EditPanel);
    setCommandsEnabled(true);
    Button1->setFocus();
}

void TMainForm::EdtAutoButClick()
{
    guarded([this] {
        // The panel cannot start a second retrieval or an entry while this one waits for the
        // network; its controls come back on every way out, errors included.
        std::vector<QWidget*> locked {EdtSetBut, EdtExtBut, EdtAutoBut};
        locked.insert(locked.end(), entryEdits_.begin(), entryEdits_.end());
        struct Unlock {
            const std::vector<QWidget*>& widgets;
            ~Unlock()
            {
                for (QWidget* widget : widgets)
                    widget->setEnabled(true);
            }
        } unlock {locked};
        for (QWidget* widget : locked)
            widget->setEnabled(false);

        std::unique_ptr<tolvi::HttpClient> ownClient;
        tolvi::HttpClient* client = httpClient_.get();
        if (!client) {
            ownClient = tolvi::makeCurlClient(resultsHost_);
            client = ownClient.get();
        }
        tolvi::RetrievalHooks hooks;
        hooks.processEvents = [] { QCoreApplication::processEvents(); };
        hooks.setField = [this](std::string_view name, const std::string& value) {
            QLineEdit* edit = entryEdit(name);
            if (!edit)
                return;
            const QString fieldText = QString::fromStdString(value);
            // A page value longer than the field is shown whole, never cut short to fit: "入力"
            // refuses what does not fit the record. Opening the panel restores the limit.
            if (fieldText.size() > edit->maxLength())
                edit->setMaxLength(int(fieldText.size()));
            edit->setText(fieldText);
        };
        const tolvi::RetrievalResult result = tolvi::retrieveResults(
            Label28->text().toStdString(), *client, resultsHost_, std::filesystem::current_path(), hooks);
        QString message = QString::fromStdString(result.message);
        message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        switch (result.kind) {
        case tolvi::MessageKind::None:
            break;
        case tolvi::MessageKind::Plain:
            showPlainBox(message);
            break;
        case tolvi::MessageKind::Information:
            showInformationBox(message);
            break;
        }
    });
}

// ---------------------------------------------------------------------------------------------
// Importing results files.

void TMainForm::ImportMenuClick()
{
    guarded([this] {
        // Several files at once, so that a Numbers3 file and its Numbers4 file come in together.
        QFileDialog dialog(this, text("取り込む当せん結果の CSV ファイル (Numbers3 と Numbers4 を一緒に選べます)"),
                           QDir::currentPath(), text("CSV ファイル (*.csv *.CSV *.txt);;すべてのファイル (*)"));
        dialog.setFileMode(QFileDialog::ExistingFiles);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        std::vector<std::string> sources;
        for (const QString& file : dialog.selectedFiles())
            sources.push_back(QFile::encodeName(file).toStdString());
        const tolvi::ImportSummary summary = tolvi::importFromSources(kHistoryPath, sources, false);
        showPlainBox(QString::fromStdString(tolvi::describeImport(summary)).trimmed(), QMessageBox::Information);
    });
}

// ---------------------------------------------------------------------------------------------
// The local pages.

void TMainForm::openLocalPage(const QString& fileName)
{
    const QString path = QDir(programDir_).filePath(fileName);
    // A missing page is not reported: the command simply does nothing.
    if (QFileInfo::exists(path))
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void TMainForm::HelpClick()
{
    openLocalPage(QStringLiteral("help.html"));
}

void TMainForm::SaportClick()
{
    openLocalPage(QStringLiteral("index.html"));
}

// ---------------------------------------------------------------------------------------------
// RunView.

TMainForm::RunLabel* TMainForm::runLabel(std::string_view name)
{
    // A run writes the same label over and over (Label43 for every record): skip the lookup.
    if (!lastLabelName_.empty() && name == lastLabelName_)
        return &runLabels_[lastLabelIndex_];
    const auto it = runLabelIndex_.find(name);
    if (it == runLabelIndex_.end())
        return nullptr;
    lastLabelName_ = it->first;
    lastLabelIndex_ = it->second;
    return &runLabels_[it->second];
}

QWidget* TMainForm::namedWidget(std::string_view name) const
{
    return findChild<QWidget*>(QString::fromUtf8(name.data(), qsizetype(name.size())));
}

void TMainForm::checkFlush(bool cheapCall)
{
    // Outside a run (nothing is timing it) everything goes on screen at once.
    if (!sinceFlush_.isValid()) {
        flushRun(false);
        return;
    }
    // Reading the clock costs more than collecting a caption: look at it every 32nd caption.
    if (cheapCall && (++cheapCalls_ & 31u) != 0)
        return;
    if (sinceFlush_.elapsed() >= 16)
        flushRun(true);
}

void TMainForm::clearResults()
{
    pendingResults_.clear();
    pendingClear_ = true;
    checkFlush(false);
}

void TMainForm::addResult(tolvi::ResultRow row)
{
    pendingResults_.push_back(std::move(row.caption));
    pendingResults_.push_back(std::move(row.winning));
    pendingResults_.push_back(std::move(row.result));
    checkFlush(false);
}

void TMainForm::addStats(tolvi::StatsRow row)
{
    for (std::string& cell : row)
        pendingStats_.push_back(std::move(cell));
    checkFlush(false);
}

void TMainForm::setText(tolvi::RunControl runControl, std::string newText)
{
    const std::string_view control = tolvi::controlName(runControl);
    if (RunLabel* label = runLabel(control)) {
        label->text = std::move(newText);
        label->textPending = true;
    } else {
        qWarning("TMainForm::setText: no label %.*s", int(control.size()), control.data());
    }
    checkFlush(true);
}

void TMainForm::setVisible(tolvi::RunControl runControl, bool visible)
{
    const std::string_view control = tolvi::controlName(runControl);
    if (RunLabel* label = runLabel(control)) {
        label->visible = visible;
        label->visiblePending = true;
    } else if (QWidget* widget = namedWidget(control)) {
        pendingActions_.push_back({visible ? PendingAction::Kind::Show : PendingAction::Kind::Hide, widget});
    } else {
        qWarning("TMainForm::setVisible: no control %.*s", int(control.size()), control.data());
    }
    checkFlush(true);
}

void TMainForm::openPanel(tolvi::RunControl runPanel)
{
    const std::string_view panel = tolvi::controlName(runPanel);
    if (QWidget* widget = namedWidget(panel))
        pendingActions_.push_back({PendingAction::Kind::OpenPanel, widget});
    else
        qWarning("TMainForm::openPanel: no panel %.*s", int(panel.size()), panel.data());
    checkFlush(false);
}

void TMainForm::disableCommands()
{
    pendingActions_.push_back({PendingAction::Kind::DisableCommands});
    checkFlush(false);
}

void TMainForm::flushRun(bool repaintList)
{
    if (pendingClear_) {
        resultModel_->replaceAll(pendingResults_);
        pendingClear_ = false;
    } else if (!pendingResults_.empty()) {
        resultModel_->append(pendingResults_);
    }
    if (!pendingStats_.empty())
        statsModel_->append(pendingStats_);

    for (RunLabel& entry : runLabels_) {
        if (entry.textPending) {
            entry.label->setText(QString::fromStdString(entry.text));
            if (entry.autoSize)
                entry.label->resize(entry.label->sizeHint().width(), entry.label->height());
            entry.textPending = false;
        }
        if (entry.visiblePending) {
            entry.label->setVisible(entry.visible);
            entry.visiblePending = false;
        }
    }

    for (const PendingAction& action : pendingActions_) {
        switch (action.kind) {
        case PendingAction::Kind::OpenPanel:
            openPanelNow(action.widget);
            break;
        case PendingAction::Kind::Show:
            action.widget->show();
            break;
        case PendingAction::Kind::Hide:
            action.widget->hide();
            break;
        case PendingAction::Kind::DisableCommands:
            setCommandsEnabled(false);
            break;
        }
    }
    pendingActions_.clear();

    if (repaintList)
        ListView->viewport()->repaint();
    if (sinceFlush_.isValid())
        sinceFlush_.restart();
}
