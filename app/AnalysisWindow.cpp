#include "app/AnalysisWindow.h"

#include "app/PictureButtons.h"
#include "app/Utf8Text.h"
#include "base/NumberFormat.h"
#include "history/HistoryReader.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kGridDraws = 100;  // the 出目表 shows the last 100 draws of the range

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

QString pText(double p)
{
    return p < 0.001 ? text("0.001 未満") : qs(tolvi::formatFixed(p, 3));
}

QTableWidget* newTable(const QStringList& headers)
{
    auto* table = new QTableWidget(0, int(headers.size()));
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return table;
}

void addRow(QTableWidget* table, const QStringList& cells)
{
    const int row = table->rowCount();
    table->insertRow(row);
    for (int column = 0; column < cells.size(); ++column)
        table->setItem(row, column, new QTableWidgetItem(cells[column]));
}

QChartView* newChartView()
{
    auto* view = new QChartView(new QChart);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

void replaceChart(QChartView* view, QChart* chart)
{
    QChart* previous = view->chart();
    view->setChart(chart);
    delete previous;
}

// Bars and a line over the same categories: the line's x is the category's index.
QChart* barsWithLine(const QString& title, QBarSeries* bars, QLineSeries* line, const QStringList& categories,
                     const QString& yTitle, double top)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* x = new QBarCategoryAxis;
    x->append(categories);
    auto* y = new QValueAxis;
    y->setTitleText(yTitle);
    y->setRange(0, std::max(top, 1.0) * 1.1);
    y->setLabelFormat(QStringLiteral("%d"));
    y->applyNiceNumbers();
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* series : {static_cast<QAbstractSeries*>(bars), static_cast<QAbstractSeries*>(line)}) {
        chart->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    }
    return chart;
}

// Blue below 1 (paid less than its neighbours: popular), red above, white at 1.
QColor ratioColour(double ratio)
{
    if (std::isnan(ratio))
        return QColor(0xE0, 0xE0, 0xE0);
    const double t = std::clamp((ratio - 1.0) / 0.6, -1.0, 1.0);
    const int fade = int(255 * (1 - std::fabs(t)));
    return t < 0 ? QColor(fade, fade, 255) : QColor(255, fade, fade);
}

}  // namespace

AnalysisWindow::AnalysisWindow(tolvi::Edition edition, const std::filesystem::path& history, const QString& title,
                               std::function<tolvi::RunStatistics()> replay, QWidget* parent)
    : QWidget(parent, Qt::Window), title_(title), edition_(edition),
      content_(tolvi::HistoryReader::readContent(history)), replay_(std::move(replay))
{
    for (std::size_t i = 0; i < tolvi::kGames.size(); ++i)
        series_[i] = tolvi::drawsOf(content_, tolvi::kGames[i]);

    setObjectName(QStringLiteral("AnalysisWindow"));
    setWindowTitle(text("分析 - ") + title);
    resize(900, 640);
    setMinimumSize(700, 480);

    game_ = new QComboBox;
    game_->setObjectName(QStringLiteral("AnalysisGame"));
    for (const tolvi::Game game : tolvi::kGames)
        game_->addItem(text(tolvi::describe(game).name));
    game_->setCurrentIndex(int(std::find(tolvi::kGames.begin(), tolvi::kGames.end(), tolvi::describe(edition).game) -
                               tolvi::kGames.begin()));
    range_ = new QComboBox;
    range_->setObjectName(QStringLiteral("AnalysisRange"));
    range_->addItems({text("全回"), text("最近の 1,000 回"), text("最近の 100 回"), text("指定した回から")});
    since_ = new QSpinBox;
    since_->setObjectName(QStringLiteral("AnalysisSince"));
    since_->setPrefix(text("第"));
    since_->setSuffix(text("回から"));
    since_->setRange(1, 99999);
    since_->setEnabled(false);
    auto* gameLabel = new QLabel(text("ゲーム(&G):"));
    gameLabel->setBuddy(game_);
    auto* rangeLabel = new QLabel(text("範囲(&R):"));
    rangeLabel->setBuddy(range_);
    auto* choices = new QHBoxLayout;
    for (QWidget* widget :
         {static_cast<QWidget*>(gameLabel), static_cast<QWidget*>(game_), static_cast<QWidget*>(rangeLabel),
          static_cast<QWidget*>(range_), static_cast<QWidget*>(since_)})
        choices->addWidget(widget);
    choices->addStretch(1);

    pages_ = new QTabWidget;
    pages_->setObjectName(QStringLiteral("AnalysisPages"));
    grid_ = newTable({});
    pages_->addTab(grid_, text("出目表"));
    counts_ = newTable({});
    pages_->addTab(counts_, text("出現回数"));
    skips_ = newChartView();
    pages_->addTab(skips_, text("遅れ"));
    sums_ = newChartView();
    pages_->addTab(sums_, text("合計値"));
    shapes_ = newTable({text("項目"), text("回数・割合"), text("偶然なら"), text("p 値")});
    pages_->addTab(shapes_, text("形・引っ張り・ペア"));
    auto* popularity = new QWidget;
    auto* popularityLayout = new QVBoxLayout(popularity);
    popularityTable_ = newTable({text("種類"), text("番号の数"), text("出た回数"), text("当せん金の比 (平均)"),
                                 text("95％ 区間"), text("1 口の期待値 (ストレート)")});
    popularityLayout->addWidget(popularityTable_, 1);
    heatMap_ = new QLabel;
    heatMap_->setObjectName(QStringLiteral("PopularityHeatMap"));
    popularityLayout->addWidget(heatMap_, 0, Qt::AlignHCenter);
    prediction_ = new QLabel;
    prediction_->setObjectName(QStringLiteral("PredictionKinds"));
    prediction_->setWordWrap(true);
    popularityLayout->addWidget(prediction_);
    auto* note = new QLabel(text(tolvi::kPopularityNote));
    note->setWordWrap(true);
    popularityLayout->addWidget(note);
    pages_->addTab(popularity, text("人気度"));
    auto* testsPage = new QWidget;
    auto* testsLayout = new QVBoxLayout(testsPage);
    testsSummary_ = new QLabel;
    testsSummary_->setWordWrap(true);
    testsLayout->addWidget(testsSummary_);
    tests_ = newTable({text("検定"), text("p 値"), text("補正後の p 値 (Holm)"), text("判定")});
    testsLayout->addWidget(tests_, 1);
    pages_->addTab(testsPage, text("検定"));
    auto* verdictPage = new QWidget;
    auto* verdictLayout = new QVBoxLayout(verdictPage);
    verdictChart_ = newChartView();
    verdictLayout->addWidget(verdictChart_, 1);
    verdictText_ = new QLabel;
    verdictText_->setObjectName(QStringLiteral("VerdictText"));
    verdictText_->setWordWrap(true);
    verdictLayout->addWidget(verdictText_);
    pages_->addTab(verdictPage, text("予想の判定"));
    // The replay takes a moment: only when the page is looked at.
    connect(pages_, &QTabWidget::currentChanged, this, [this] {
        if (pages_->currentWidget() == verdictChart_->parentWidget())
            fillVerdict();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(pages_, 1);
    layout->addLayout(pictureButtons(this, QStringLiteral("Analysis"), [this] { saveClicked(); }));

    connect(game_, &QComboBox::currentIndexChanged, this, &AnalysisWindow::recompute);
    connect(range_, &QComboBox::currentIndexChanged, this, [this](int choice) {
        since_->setEnabled(choice == 3);
        recompute();
    });
    connect(since_, &QSpinBox::editingFinished, this, &AnalysisWindow::recompute);
    recompute();
}

tolvi::DrawRange AnalysisWindow::chosenRange() const
{
    switch (range_->currentIndex()) {
    case 1: return tolvi::DrawRange::last(1000);
    case 2: return tolvi::DrawRange::last(100);
    case 3: return tolvi::DrawRange::since(since_->value());
    default: return tolvi::DrawRange::all();
    }
}

void AnalysisWindow::recompute()
{
    const tolvi::DrawSeries& series = series_[std::size_t(game_->currentIndex())];
    const std::span<const tolvi::Draw> draws = tolvi::select(series, chosenRange());
    analysis_ = tolvi::analyzeDraws(series.game, draws);
    popularity_ = tolvi::analyzePopularity(series, chosenRange());
    fillGrid(draws);
    fillCounts();
    replaceChart(skips_, skipsChart());
    replaceChart(sums_, sumChart());
    fillShapes();
    fillPopularity();
    fillTests();
    if (pages_->currentWidget() == verdictChart_->parentWidget())
        fillVerdict();
}

void AnalysisWindow::fillVerdict()
{
    if (!replay_)
        return;
    if (!statistics_) {
        try {
            statistics_ = replay_();
        } catch (const std::exception& error) {
            // The analyses above stand without it; the page says why it is empty.
            verdictText_->setText(text("予想を再現できませんでした: ") + QString::fromUtf8(error.what()));
            return;
        }
    }
    verdict_ =
        tolvi::judgePrediction(*statistics_, edition_, content_, tolvi::firstIndexIn(*statistics_, chosenRange()));
    QList<QPointF> rate, expected, low, high;
    double top = 100;
    for (std::size_t i = 0; i < verdict_.drawNumbers.size(); ++i) {
        const double x = verdict_.drawNumbers[i];
        rate.append({x, verdict_.rate[i]});
        expected.append({x, verdict_.expectedRate[i]});
        low.append({x, verdict_.bandLow[i]});
        high.append({x, verdict_.bandHigh[i]});
        // The first draws swing wildly on a few yen spent; the scale follows the rest.
        if (i >= verdict_.drawNumbers.size() / 20)
            top = std::max({top, verdict_.rate[i], verdict_.bandHigh[i]});
    }
    auto* chart = new QChart;
    chart->setTitle(text("回収率の推移 (範囲の初めから)"));
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* x = new QValueAxis;
    x->setTitleText(text("抽選回"));
    x->setLabelFormat(QStringLiteral("%d"));
    if (!rate.isEmpty())
        x->setRange(rate.front().x(), std::max(rate.back().x(), rate.front().x() + 1));
    auto* y = new QValueAxis;
    y->setTitleText(text("回収率 (％)"));
    y->setRange(0, std::min(top * 1.1, 400.0));
    y->setLabelFormat(QStringLiteral("%d"));
    y->applyNiceNumbers();
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    auto* bandTop = new QLineSeries;
    bandTop->replace(high);
    auto* bandBottom = new QLineSeries;
    bandBottom->replace(low);
    auto* band = new QAreaSeries(bandTop, bandBottom);
    bandTop->setParent(band);
    bandBottom->setParent(band);
    band->setName(text("偶然の範囲 (回ごとの 90％)"));
    band->setBrush(QColor(0x90, 0x98, 0xA8, 0x70));
    band->setPen(Qt::NoPen);
    auto* chance = new QLineSeries;
    chance->setName(text("偶然の期待値"));
    chance->replace(expected);
    chance->setPen(QPen(QColor(0x55, 0x5B, 0x6E), 1.5));
    auto* actual = new QLineSeries;
    actual->setName(text("予想を買った場合"));
    actual->replace(rate);
    actual->setPen(QPen(QColor(0xD8, 0x1B, 0x60), 2));
    for (QAbstractSeries* series : {static_cast<QAbstractSeries*>(band), static_cast<QAbstractSeries*>(chance),
                                    static_cast<QAbstractSeries*>(actual)}) {
        chart->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    }
    replaceChart(verdictChart_, chart);
    verdictText_->setText(qs(tolvi::verdictCaption(verdict_)));
}

void AnalysisWindow::fillGrid(std::span<const tolvi::Draw> draws)
{
    const tolvi::Game game = analysis_.game;
    const int places = tolvi::describe(game).digits;
    QStringList headers {text("回")};
    for (int place = 0; place < places; ++place)
        headers << qs(tolvi::placeName(game, place));
    grid_->clear();
    grid_->setColumnCount(int(headers.size()));
    grid_->setHorizontalHeaderLabels(headers);
    const std::span<const tolvi::Draw> shown = draws.last(std::min(draws.size(), std::size_t(kGridDraws)));
    grid_->setRowCount(int(shown.size()));
    // Newest first, each digit tinted by its value so that runs and repeats stand out.
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const tolvi::Draw& draw = shown[shown.size() - 1 - i];
        grid_->setItem(int(i), 0, new QTableWidgetItem(QString::number(draw.drawNumber)));
        for (int place = 0; place < places; ++place) {
            const int digit = tolvi::digitAt(game, draw.number, place);
            auto* item = new QTableWidgetItem(QString::number(digit));
            item->setTextAlignment(Qt::AlignCenter);
            item->setBackground(QColor::fromHsv(digit * 36, 60, 255));
            grid_->setItem(int(i), place + 1, item);
        }
    }
}

void AnalysisWindow::fillCounts()
{
    QStringList headers {text("位")};
    for (int digit = 0; digit < 10; ++digit)
        headers << QString::number(digit);
    headers << text("p 値");
    counts_->clear();
    counts_->setRowCount(0);
    counts_->setColumnCount(int(headers.size()));
    counts_->setHorizontalHeaderLabels(headers);
    for (std::size_t place = 0; place < analysis_.positions.size(); ++place) {
        QStringList cells {qs(tolvi::placeName(analysis_.game, int(place)))};
        for (const long count : analysis_.positions[place])
            cells << QString::number(count);
        cells << pText(analysis_.positionTests[place].p);
        addRow(counts_, cells);
    }
    addRow(counts_, {text("偶然なら各"), qs(tolvi::formatFixed(double(analysis_.draws) / 10, 1))});
}

QChart* AnalysisWindow::skipsChart() const
{
    auto* bars = new QBarSeries;
    double top = 9;
    for (std::size_t place = 0; place < analysis_.digitAbsences.size(); ++place) {
        auto* set = new QBarSet(qs(tolvi::placeName(analysis_.game, int(place))));
        for (const tolvi::Absence& absence : analysis_.digitAbsences[place]) {
            set->append(double(absence.current));
            top = std::max(top, double(absence.current));
        }
        bars->append(set);
    }
    // Under chance a digit comes with probability 1/10 a draw: on average 9 draws stay between.
    auto* line = new QLineSeries;
    line->setName(text("偶然の場合の平均 (9 回)"));
    line->setPen(QPen(QColor(0x55, 0x5B, 0x6E), 2, Qt::DashLine));
    for (int digit = 0; digit < 10; ++digit)
        line->append(digit, 9);
    QStringList digits;
    for (int digit = 0; digit < 10; ++digit)
        digits << QString::number(digit);
    return barsWithLine(text("遅れ (最後に出てからの回数)"), bars, line, digits, text("回"), top);
}

QChart* AnalysisWindow::sumChart() const
{
    auto* set = new QBarSet(text("出た回数"));
    auto* line = new QLineSeries;
    line->setName(text("偶然の場合 (正確な分布)"));
    line->setPen(QPen(QColor(0xD8, 0x1B, 0x60), 2));
    QStringList sums;
    double top = 1;
    for (std::size_t s = 0; s < analysis_.sums.size(); ++s) {
        set->append(double(analysis_.sums[s]));
        line->append(double(s), analysis_.sumExpected[s]);
        sums << QString::number(s);
        top = std::max({top, double(analysis_.sums[s]), analysis_.sumExpected[s]});
    }
    auto* bars = new QBarSeries;
    bars->append(set);
    return barsWithLine(text("合計値 (数字の合計) の分布"), bars, line, sums, text("回"), top);
}

void AnalysisWindow::fillShapes()
{
    const tolvi::DrawAnalysis& a = analysis_;
    const tolvi::ExactModel& model = tolvi::exactModel(a.game);
    const double pairs = double(std::max(a.repeatDraws, 1L));
    const auto percent = [](double share) { return qs(tolvi::formatFixed(100 * share, 2)) + text("％"); };
    shapes_->setRowCount(0);
    for (std::size_t s = 0; s < a.shapes.size(); ++s)
        addRow(shapes_, {qs(model.shapeNames[s]), QString::number(a.shapes[s]),
                         qs(tolvi::formatFixed(a.shapeExpected[s], 1)), s == 0 ? pText(a.shapeTest.p) : QString()});
    const QString half = qs(tolvi::formatFixed(double(a.draws) / 2, 1));
    for (std::size_t p = 0; p < a.odd.size(); ++p) {
        const QString place = qs(tolvi::placeName(a.game, int(p)));
        addRow(shapes_, {place + text(" 奇数"), QString::number(a.odd[p]), half, pText(a.oddTests[p].p)});
        addRow(shapes_, {place + text(" 大 (5-9)"), QString::number(a.high[p]), half, pText(a.highTests[p].p)});
    }
    addRow(shapes_, {text("引っ張り (前回の数字をひとつ以上含む)"), percent(double(a.repeatAny) / pairs),
                     percent(a.repeatExpected), pText(a.repeatTest.p)});
    for (std::size_t p = 0; p < a.samePlace.size(); ++p)
        addRow(shapes_,
               {qs(tolvi::placeName(a.game, int(p))) + text(" 引っ張り (同じ数字)"),
                percent(double(a.samePlace[p]) / pairs), percent(model.samePlace), pText(a.samePlaceTests[p].p)});
    const auto pairRow = [&](const std::string& name, std::span<const long> counts, double p) {
        const auto most = std::max_element(counts.begin(), counts.end());
        addRow(shapes_, {qs(name) + text(" 最多 ") + qs(tolvi::formatInt(most - counts.begin(), 2, 2)),
                         QString::number(*most), qs(tolvi::formatFixed(double(a.draws) / 100, 1)), pText(p)});
    };
    for (const tolvi::PairCounts& pair : a.pairs)
        pairRow(pair.name, pair.counts, pair.test.p);
    pairRow("ミニ (下2桁)", a.mini, a.miniTest.p);
}

void AnalysisWindow::fillPopularity()
{
    popularityTable_->setRowCount(0);
    for (const tolvi::KindPopularity& k : popularity_.kinds)
        addRow(popularityTable_,
               {text(tolvi::describe(k.kind).name), QString::number(k.numbers), QString::number(k.draws),
                k.hasMean() ? qs(tolvi::formatFixed(k.meanRatio, 3)) : text("—"),
                k.hasInterval() ? qs(tolvi::formatFixed(k.low, 3)) + text("～") + qs(tolvi::formatFixed(k.high, 3))
                                : text("—"),
                k.hasMean() ? qs(tolvi::formatFixed(k.expectedReturn, 1)) + text(" 円 / ") +
                                  QString::number(popularity_.ticketPrice) + text(" 円")
                            : text("—")});
    // Every number as one cell, 100 to a row: Numbers3 10 rows, Numbers4 100.
    const int numbers = int(popularity_.ratioByNumber.size());
    const int rows = numbers / 100, cell = rows > 10 ? 2 : 8;
    QImage image(100 * cell, rows * cell, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int number = 0; number < numbers; ++number)
        painter.fillRect(number % 100 * cell, number / 100 * cell, cell, cell,
                         ratioColour(popularity_.ratioByNumber[std::size_t(number)]));
    painter.end();
    heatMap_->setPixmap(QPixmap::fromImage(image));

    QStringList placed;
    const tolvi::GameDescription& game = tolvi::describe(popularity_.game);
    for (const QString& shown : predicted_) {
        const std::optional<int> number = game.parseNumber(shown.toStdString());
        if (!number)
            continue;
        QStringList kinds;
        for (const tolvi::KindPopularity& k : popularity_.kinds)
            if (tolvi::isOfKind(popularity_.game, *number, k.kind))
                kinds << text(tolvi::describe(k.kind).name) + text(" ") + qs(tolvi::formatFixed(k.meanRatio, 3));
        placed << shown + text(" (") + kinds.join(text("、")) + text(")");
    }
    if (predicted_.isEmpty())
        prediction_->setText(text("予想をすると、その番号がどの種類に入るかをここに示します。"));
    else if (placed.isEmpty())
        prediction_->setText(text("いまの予想番号 (") + predicted_.join(text(" ")) + text(") は") + text(game.name) +
                             text("の番号ではありません。"));
    else
        prediction_->setText(text("いまの予想番号: ") + placed.join(text("  ")));
    heatMap_->setToolTip(
        text("000 から順に 1 行 100 番号。青: 当せん金が前後の回より安い (人気)、赤: 高い、灰: 出ていない"));
}

void AnalysisWindow::showPrediction(const QStringList& numbers)
{
    predicted_ = numbers;
    fillPopularity();
}

void AnalysisWindow::fillTests()
{
    tests_->setRowCount(0);
    long significant = 0;
    for (const tolvi::TestResult& test : analysis_.tests) {
        addRow(tests_, {qs(test.name), pText(test.test.p), pText(test.pHolm), text(tolvi::verdictWords(test.pHolm))});
        significant += test.pHolm < tolvi::kSignificance;
    }
    testsSummary_->setText(text("%1 個の検定をまとめて見ています。偶然だけでも、そのままの p 値が 0.05 "
                                "未満になる検定はおよそ 20 個に 1 個あるため、"
                                "判定は Holm の方法で %1 個分補正した p 値に従います。補正後に 0.05 未満: %2 個。")
                               .arg(analysis_.tests.size())
                               .arg(significant));
}

QString AnalysisWindow::pageNote() const
{
    const QWidget* page = pages_->currentWidget();
    if (page == skips_)
        return text("破線は偶然の場合の平均の遅れ (9 回): どの数字も 1 回に 1/10 の確率で出るとき、次に出るまでに平均 "
                    "9 回あきます。");
    if (page == sums_)
        return text("線は、どの番号も同じ確率で出る場合の正確な回数 (すべての番号を数えた分布) です。");
    if (page == verdictChart_->parentWidget())
        return text(
            "灰色の帯: 予想と同じ回に同じ口数を、でたらめな番号で買った 1,000 人のうち、中ほどの 90％ の回収率が"
            "入る範囲です。回ごとの範囲なので、線が一時的に帯の外に出ることは偶然でもよくあります。");
    // The tests and the popularity carry their explanations on the page itself.
    return {};
}

QImage AnalysisWindow::picture() const
{
    const QPixmap page = pages_->currentWidget()->grab();
    const int margin = 12, width = page.width();
    QFont headingFont = font();
    headingFont.setBold(true);
    headingFont.setPixelSize(16);
    QFont noteFont = font();
    noteFont.setPixelSize(13);
    const QString heading = title_ + text(" — 分析: ") + pages_->tabText(pages_->currentIndex());
    // The verdict is on the edition's prediction, over the draws it was replayed on.
    const bool onVerdict = pages_->currentWidget() == verdictChart_->parentWidget();
    const QString range = onVerdict ? text(tolvi::describe(tolvi::describe(edition_).game).name) + text("  第") +
                                          QString::number(verdict_.firstDraw) + text("回～第") +
                                          QString::number(verdict_.lastDraw) + text("回 (") +
                                          QString::number(verdict_.draws) + text(" 回)")
                                    : game_->currentText() + text("  ") + qs(analysis_.range);
    const QString note = pageNote();
    const QRect box(margin, 0, width - 2 * margin, 10000);
    const int headingHeight = QFontMetrics(headingFont).height(), lineHeight = QFontMetrics(noteFont).height();
    const int noteHeight =
        note.isEmpty() ? 0 : QFontMetrics(noteFont).boundingRect(box, Qt::TextWordWrap, note).height() + margin;
    const int top = margin + headingHeight + lineHeight + margin / 2;
    QImage image(width, top + page.height() + noteHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(headingFont);
    painter.drawText(QRect(margin, margin, box.width(), headingHeight), Qt::AlignLeft, heading);
    painter.setFont(noteFont);
    painter.drawText(QRect(margin, margin + headingHeight, box.width(), lineHeight), Qt::AlignLeft, range);
    painter.drawPixmap(0, top, page);
    if (!note.isEmpty())
        painter.drawText(QRect(margin, top + page.height() + margin / 2, box.width(), noteHeight), Qt::TextWordWrap,
                         note);
    return image;
}

bool AnalysisWindow::saveCurrentPage(const QString& path) const
{
    return picture().save(path, "PNG");
}

void AnalysisWindow::saveClicked()
{
    savePictureAs(this, title_, text("分析-") + pages_->tabText(pages_->currentIndex()) + QStringLiteral(".png"),
                  [this](const QString& path) { return saveCurrentPage(path); });
}
