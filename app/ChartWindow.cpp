#include "app/ChartWindow.h"

#include "app/PictureButtons.h"
#include "app/Utf8Text.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

QLineSeries* lineSeries(const QString& name, QList<QPointF> points, const QColor& colour, qreal width = 2)
{
    auto* series = new QLineSeries;
    series->setName(name);
    series->replace(points);
    QPen pen(colour);
    pen.setWidthF(width);
    series->setPen(pen);
    return series;
}

// An axis from `low` to a round number at or above `high`.
QValueAxis* valueAxis(const QString& title, double low, double high, const char* format)
{
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setRange(low, high);
    axis->setLabelFormat(QString::fromLatin1(format));
    axis->applyNiceNumbers();
    return axis;
}

// The draw numbers of the replay, from the first to the last draw exactly, with ticks at round
// numbers (1, 2 or 5 times a power of ten) about eight to the axis.
QValueAxis* drawAxis(const tolvi::RunStatistics& s)
{
    const double first = s.draw.empty() ? 0 : s.draw.front();
    const double last = s.draw.empty() ? 1 : std::max(s.draw.back(), s.draw.front() + 1);
    auto* axis = new QValueAxis;
    axis->setTitleText(text("抽選回"));
    axis->setRange(first, last);
    axis->setLabelFormat(QStringLiteral("%d"));
    const double rough = (last - first) / 8;
    const double power = std::pow(10.0, std::floor(std::log10(rough > 0 ? rough : 1)));
    double step = power;
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        step = factor * power;
        if (step >= rough)
            break;
    }
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(std::max(step, 1.0));
    return axis;
}

QChart* newChart(const QString& title)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setAnimationOptions(QChart::NoAnimation);
    return chart;
}

void attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y)
{
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

}  // namespace

ChartWindow::ChartWindow(tolvi::RunStatistics statistics, tolvi::Edition edition, const QString& title, QWidget* parent)
    : QWidget(parent, Qt::Window), statistics_(std::move(statistics)), edition_(edition), title_(title)
{
    setObjectName(QStringLiteral("ChartWindow"));
    setWindowTitle(text("グラフ - ") + title);
    resize(820, 560);
    // Smaller, the axis labels crowd into each other and the legend covers the lines.
    setMinimumSize(640, 440);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("ChartTabs"));

    auto* payback = new QWidget;
    auto* paybackLayout = new QVBoxLayout(payback);
    auto* paybackView = new QChartView(paybackChart());
    paybackView->setRenderHint(QPainter::Antialiasing);
    paybackLayout->addWidget(paybackView, 1);
    auto* band = new QLabel(bandMeaning());
    band->setWordWrap(true);
    paybackLayout->addWidget(band);
    tabs_->addTab(payback, text("回収率の推移"));

    auto* hitsView = new QChartView(hitsChart());
    hitsView->setRenderHint(QPainter::Antialiasing);
    tabs_->addTab(hitsView, text("的中の記録"));

    auto* digits = new QWidget;
    auto* digitsLayout = new QVBoxLayout(digits);
    digitsRange_ = new QComboBox;
    digitsRange_->setObjectName(QStringLiteral("DigitsRange"));
    digitsRange_->addItems({text("全回"), text("最近の 100 回")});
    digitsLayout->addWidget(digitsRange_, 0, Qt::AlignLeft);
    digitsView_ = new QChartView(digitsChart(false));
    digitsLayout->addWidget(digitsView_, 1);
    connect(digitsRange_, &QComboBox::currentIndexChanged, this, &ChartWindow::showDigits);
    tabs_->addTab(digits, text("数字の出現頻度"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addLayout(pictureButtons(this, QStringLiteral("Chart"), [this] { saveClicked(); }));
}

QChart* ChartWindow::paybackChart() const
{
    const tolvi::RunStatistics& s = statistics_;
    QList<QPointF> actual, chance, low, high;
    double top = 100;
    // The first draws' rates swing wildly on a few yen spent; the scale follows the rest.
    const std::size_t settled = s.draw.size() / 20;
    for (std::size_t i = 0; i < s.draw.size(); ++i) {
        if (s.spend[i] <= 0)
            continue;
        const double spend = double(s.spend[i]) / 100.0;
        const double x = s.draw[i];
        actual.append({x, double(s.won[i]) / spend});
        chance.append({x, s.expected[i] / spend});
        low.append({x, s.bandLow[i] / spend});
        high.append({x, s.bandHigh[i] / spend});
        if (i >= settled)
            top = std::max({top, actual.back().y(), high.back().y()});
    }
    QChart* chart = newChart(text("回収率の推移 (購入金額に対する回収金額)"));
    auto* x = drawAxis(s);
    auto* y = valueAxis(text("回収率 (％)"), 0, std::min(top * 1.1, 400.0), "%d");
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);

    QLineSeries* bandTop = lineSeries(QString(), high, Qt::transparent);
    QLineSeries* bandBottom = lineSeries(QString(), low, Qt::transparent);
    auto* bandArea = new QAreaSeries(bandTop, bandBottom);
    // An area series draws its edges but does not own them.
    bandTop->setParent(bandArea);
    bandBottom->setParent(bandArea);
    bandArea->setName(text("偶然の範囲 (90％)"));
    bandArea->setBrush(QColor(0x90, 0x98, 0xA8, 0x70));
    bandArea->setPen(Qt::NoPen);
    attach(chart, bandArea, x, y);
    attach(chart, lineSeries(text("偶然の期待値"), chance, QColor(0x55, 0x5B, 0x6E), 1.5), x, y);
    attach(chart, lineSeries(text("予想を買った場合"), actual, QColor(0xD8, 0x1B, 0x60)), x, y);
    return chart;
}

QChart* ChartWindow::hitsChart() const
{
    const tolvi::RunStatistics& s = statistics_;
    struct Kind {
        const char* name;
        const std::vector<int>* hits;
        QColor colour;
    };
    std::vector<Kind> kinds;
    for (const tolvi::BetKind kind : tolvi::describe(edition_).countedHits) {
        switch (kind) {
        case tolvi::BetKind::Straight:
            kinds.push_back({"ストレート (◎)", &s.straightHits, QColor(0xD8, 0x1B, 0x60)});
            break;
        case tolvi::BetKind::Box: kinds.push_back({"ボックス (○)", &s.boxHits, QColor(0x1E, 0x88, 0xE5)}); break;
        case tolvi::BetKind::Mini: kinds.push_back({"ミニ (▲)", &s.miniHits, QColor(0x43, 0xA0, 0x47)}); break;
        case tolvi::BetKind::Set: break;  // no run counts set hits
        }
    }

    QChart* chart = newChart(text("的中の記録 (それまでの的中数の合計)"));
    int most = 1;
    std::vector<QList<QPointF>> lines(kinds.size());
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        int sum = 0;
        for (std::size_t i = 0; i < s.draw.size(); ++i) {
            sum += (*kinds[k].hits)[i];
            lines[k].append({double(s.draw[i]), double(sum)});
        }
        most = std::max(most, sum);
    }
    auto* x = drawAxis(s);
    auto* y = valueAxis(text("的中数 (本)"), 0, most, "%d");
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (std::size_t k = 0; k < kinds.size(); ++k)
        attach(chart, lineSeries(text(kinds[k].name), lines[k], kinds[k].colour), x, y);
    return chart;
}

QChart* ChartWindow::digitsChart(bool lastHundred) const
{
    const auto& counts = lastHundred ? statistics_.digitsLast100 : statistics_.digitsAll;
    // The places the edition predicts, from its first place down to the units.
    static constexpr const char* kPlaceNames[] = {"一の位", "十の位", "百の位", "千の位"};
    const tolvi::EditionDescription& edition = tolvi::describe(edition_);
    std::vector<const char*> places;
    for (int fromUnits = edition.predictedDigits - 1; fromUnits >= 0; --fromUnits)
        places.push_back(kPlaceNames[fromUnits]);
    QChart* chart = newChart(lastHundred ? text("数字の出現頻度 (最近の 100 回)") : text("数字の出現頻度 (全回)"));
    auto* series = new QBarSeries;
    int most = 1;
    for (std::size_t place = 0; place < counts.size() && place < places.size(); ++place) {
        auto* set = new QBarSet(text(places[place]));
        for (const int count : counts[place]) {
            set->append(count);
            most = std::max(most, count);
        }
        series->append(set);
    }
    auto* x = new QBarCategoryAxis;
    x->setTitleText(text("数字"));
    for (int digit = 0; digit < 10; ++digit)
        x->append(QString::number(digit));
    auto* y = valueAxis(text("出た回数"), 0, most, "%d");
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    attach(chart, series, x, y);
    return chart;
}

void ChartWindow::showDigits(int choice)
{
    QChart* previous = digitsView_->chart();
    digitsView_->setChart(digitsChart(choice == 1));
    delete previous;
}

QChartView* ChartWindow::currentView() const
{
    QWidget* page = tabs_->currentWidget();
    if (auto* view = qobject_cast<QChartView*>(page))
        return view;
    return page->findChild<QChartView*>();
}

QString ChartWindow::bandMeaning()
{
    return text("灰色の帯は「偶然の範囲」: 予想と同じ回に同じ口数を、でたらめな番号で買った 1,000 人のうち、"
                "中ほどの 90％ "
                "の回収率が入る範囲です。帯は回ごとの範囲なので、線がどこかで帯の外に出ても、それだけでは偶然より多く当"
                "たったとは言えません。偶然と比べた判定は メイン → 分析… の「予想の判定」にあります。");
}

QString ChartWindow::drawRange() const
{
    const auto& draws = statistics_.draw;
    if (draws.empty())
        return text("抽選の記録なし");
    // The digit chart of the last 100 draws counts only those.
    const bool lastHundred = tabs_->currentIndex() == 2 && digitsRange_->currentIndex() == 1;
    const std::size_t first = lastHundred && draws.size() > 100 ? draws.size() - 100 : 0;
    return text("第%1回～第%2回 (%3 回)").arg(draws[first]).arg(draws.back()).arg(draws.size() - first);
}

QImage ChartWindow::picture() const
{
    // Seen on its own, the picture says what it shows: the program and edition, the view, the
    // draws it covers and, for the return, what the grey band means.
    const QPixmap chart = currentView()->grab();
    const int width = chart.width();
    const int margin = 12;
    QFont headingFont = font();
    headingFont.setBold(true);
    headingFont.setPixelSize(16);
    QFont noteFont = font();
    noteFont.setPixelSize(13);
    const QString heading = title_ + text(" — ") + tabs_->tabText(tabs_->currentIndex());
    const QString range = drawRange();
    const QString note = tabs_->currentIndex() == 0 ? bandMeaning() : QString();
    const QRect textBox(margin, 0, width - 2 * margin, 10000);
    const int headingHeight = QFontMetrics(headingFont).height();
    const int rangeHeight = QFontMetrics(noteFont).height();
    const int noteHeight =
        note.isEmpty() ? 0 : QFontMetrics(noteFont).boundingRect(textBox, Qt::TextWordWrap, note).height() + margin;
    const int top = margin + headingHeight + rangeHeight + margin / 2;

    QImage image(width, top + chart.height() + noteHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    painter.setFont(headingFont);
    painter.drawText(QRect(margin, margin, textBox.width(), headingHeight), Qt::AlignLeft, heading);
    painter.setFont(noteFont);
    painter.drawText(QRect(margin, margin + headingHeight, textBox.width(), rangeHeight), Qt::AlignLeft, range);
    painter.drawPixmap(0, top, chart);
    if (!note.isEmpty())
        painter.drawText(QRect(margin, top + chart.height() + margin / 2, textBox.width(), noteHeight),
                         Qt::TextWordWrap, note);
    return image;
}

bool ChartWindow::saveCurrentView(const QString& path) const
{
    return picture().save(path, "PNG");
}

void ChartWindow::saveClicked()
{
    savePictureAs(this, title_, tabs_->tabText(tabs_->currentIndex()) + ".png",
                  [this](const QString& path) { return saveCurrentView(path); });
}
