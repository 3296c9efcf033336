#include "app/TicketWindow.h"

#include "app/Utf8Text.h"
#include "base/NumberFormat.h"
#include "history/HistoryFile.h"
#include "history/HistoryReader.h"
#include "settings/SettingsFile.h"
#include "tickets/TicketLedger.h"
#include "tickets/TicketReport.h"
#include "tickets/TicketSummary.h"

#include <QAbstractTableModel>
#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <map>
#include <unordered_map>

namespace {

QString yen(std::int64_t amount)
{
    return QString::fromStdString(tolvi::formatGrouped(amount, 0, tolvi::userGroupSeparator())) + text("円");
}

QString rateText(std::int64_t won, std::int64_t spent)
{
    return spent > 0 ? QString::number(double(won) * 100.0 / double(spent), 'f', 1) + QStringLiteral("%")
                     : QStringLiteral("-");
}

}  // namespace

// One row per ticket, its cells made when shown: the ledger may hold thousands.
class TicketTableModel : public QAbstractTableModel {
public:
    struct Row {
        const tolvi::Ticket* ticket;
        std::vector<tolvi::DrawResult> results;
    };

    void setRows(std::vector<Row> rows)
    {
        beginResetModel();
        today_ = tolvi::japanNow().date;
        rows_ = std::move(rows);
        endResetModel();
    }
    const std::vector<Row>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(rows_.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 10; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static const char* const names[] = {"番号", "ゲーム", "数字", "種類",     "口数",
                                            "回号", "金額",   "結果", "当せん金", "支払期限"};
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
            return {};
        return text(names[section]);
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const Row& row = rows_[std::size_t(index.row())];
        const tolvi::Ticket& t = *row.ticket;
        if (role == Qt::ToolTipRole)
            return QString::fromStdString(t.note);
        if (role == Qt::TextAlignmentRole)
            return index.column() == 4 || index.column() == 6 || index.column() == 8
                       ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                       : QVariant();
        if (role == Qt::ForegroundRole && index.column() == 9 && urgent(row))
            return QColor(Qt::red);
        if (role != Qt::DisplayRole)
            return {};
        const tolvi::GameDescription& game = tolvi::describe(t.game);
        switch (index.column()) {
        case 0: return QString::number(t.id);
        case 1: return text(game.name);
        case 2: return QString::fromStdString(game.numberText(t.number));
        case 3: return text(tolvi::describe(t.kind).name);
        case 4: return QString::number(t.kuchi);
        case 5:
            return t.draws == 1 ? text("第%1回").arg(t.firstDraw)
                                : text("第%1回～第%2回").arg(t.firstDraw).arg(t.lastDraw());
        case 6: return yen(t.price());
        case 7: return outcome(row);
        case 8: return yen(won(row));
        case 9: return deadline(row);
        }
        return {};
    }

    static std::int64_t won(const Row& row)
    {
        std::int64_t sum = 0;
        for (const tolvi::DrawResult& r : row.results)
            sum += r.prize;
        return sum;
    }

private:
    // "当せん" for one draw; "当せん 1・はずれ 3・未抽せん 1" over several.
    static QString outcome(const Row& row)
    {
        std::map<tolvi::DrawStatus, int> counts;
        for (const tolvi::DrawResult& r : row.results)
            ++counts[r.status];
        QStringList parts;
        for (const auto& [status, count] : counts)
            parts << (row.results.size() == 1
                          ? text(tolvi::statusName(status))
                          : text(tolvi::statusName(status)) + QStringLiteral(" ") + QString::number(count));
        return parts.join(text("・"));
    }

    // The nearest deadline of a win still to be claimed, with the days left when under 30.
    std::optional<int> daysLeft(const Row& row, std::int32_t& draw) const
    {
        const tolvi::Date today = today_;
        std::optional<int> nearest;
        for (const tolvi::DrawResult& r : row.results)
            if (r.status == tolvi::DrawStatus::Won && r.prize > 0) {
                const int left = tolvi::daysToClaim(r.draw, today);
                if (left >= 0 && (!nearest || left < *nearest)) {
                    nearest = left;
                    draw = r.draw;
                }
            }
        return nearest;
    }
    bool urgent(const Row& row) const
    {
        std::int32_t draw = 0;
        const std::optional<int> left = daysLeft(row, draw);
        return left && *left < tolvi::kClaimWarningDays;
    }
    QString deadline(const Row& row) const
    {
        std::int32_t draw = 0;
        const std::optional<int> left = daysLeft(row, draw);
        if (!left) {
            const bool expired = std::any_of(row.results.begin(), row.results.end(), [](const tolvi::DrawResult& r) {
                return r.status == tolvi::DrawStatus::Won;
            });
            return expired ? text("期限切れ") : QString();
        }
        const QString date = QString::fromStdString(tolvi::japaneseDate(tolvi::claimDeadline(draw)));
        return *left < tolvi::kClaimWarningDays ? date + text(" (あと %1 日)").arg(*left) : date;
    }

    std::vector<Row> rows_;
    tolvi::Date today_ {};
};

TicketWindow::TicketWindow(std::filesystem::path historyPath, const QString& title, QWidget* parent)
    : QWidget(parent, Qt::Window), historyPath_(tolvi::HistoryFile::fullPath(historyPath)), title_(title)
{
    setObjectName(QStringLiteral("TicketWindow"));
    setWindowTitle(text("購入記録 - ") + title);
    resize(860, 600);
    auto* layout = new QVBoxLayout(this);
    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("TicketNotice"));
    notice_->setWordWrap(true);
    notice_->hide();
    layout->addWidget(notice_);
    tabs_ = new QTabWidget(this);
    auto* ticketsTab = new QWidget;
    auto* balanceTab = new QWidget;
    tabs_->addTab(ticketsTab, text("券"));
    tabs_->addTab(balanceTab, text("収支"));
    layout->addWidget(tabs_);
    buildTicketsTab(ticketsTab);
    buildBalanceTab(balanceTab);
    auto* close = new QPushButton(text("閉じる"), this);
    close->setObjectName(QStringLiteral("TicketClose"));
    close->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);
    layout->addLayout(bottom);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
        if (tab == 1 && !balanceShown_)
            showBalance();
    });
    refresh();
}

TicketWindow::~TicketWindow() = default;

void TicketWindow::buildTicketsTab(QWidget* tab)
{
    auto* layout = new QVBoxLayout(tab);
    auto* filters = new QHBoxLayout;
    monthFilter_ = new QComboBox(tab);
    monthFilter_->setObjectName(QStringLiteral("TicketMonth"));
    gameFilter_ = new QComboBox(tab);
    gameFilter_->setObjectName(QStringLiteral("TicketGameFilter"));
    gameFilter_->addItem(text("すべて"), -1);
    for (const tolvi::Game game : tolvi::kGames)
        gameFilter_->addItem(text(tolvi::describe(game).name), int(game));
    auto* monthLabel = new QLabel(text("月(&M):"), tab);
    monthLabel->setBuddy(monthFilter_);
    auto* gameLabel = new QLabel(text("ゲーム(&G):"), tab);
    gameLabel->setBuddy(gameFilter_);
    filters->addWidget(monthLabel);
    filters->addWidget(monthFilter_);
    filters->addWidget(gameLabel);
    filters->addWidget(gameFilter_);
    filters->addStretch();
    layout->addLayout(filters);

    table_ = new QTableView(tab);
    table_->setObjectName(QStringLiteral("TicketTable"));
    model_ = new TicketTableModel;
    model_->setParent(table_);
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    // Column widths from the first rows: the ledger may hold thousands of the same shape.
    table_->verticalHeader()->setResizeContentsPrecision(100);
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_);
    totals_ = new QLabel(tab);
    totals_->setObjectName(QStringLiteral("TicketTotals"));
    layout->addWidget(totals_);

    auto* form = new QGroupBox(text("券"), tab);
    auto* fields = new QHBoxLayout(form);
    game_ = new QComboBox(form);
    game_->setObjectName(QStringLiteral("TicketGame"));
    for (const tolvi::Game game : tolvi::kGames)
        game_->addItem(text(tolvi::describe(game).name), int(game));
    number_ = new QLineEdit(form);
    number_->setObjectName(QStringLiteral("TicketNumber"));
    number_->setMaxLength(4);
    number_->setPlaceholderText(text("数字"));
    kind_ = new QComboBox(form);
    kind_->setObjectName(QStringLiteral("TicketKind"));
    kuchi_ = new QSpinBox(form);
    kuchi_->setObjectName(QStringLiteral("TicketKuchi"));
    kuchi_->setRange(1, tolvi::kMaxKuchi);
    kuchi_->setSuffix(text("口"));
    draw_ = new QSpinBox(form);
    draw_->setObjectName(QStringLiteral("TicketDraw"));
    draw_->setRange(1, 9999);
    draw_->setPrefix(text("第"));
    draw_->setSuffix(text("回から"));
    draw_->setValue(tolvi::lastDrawHeld(tolvi::japanNow()) + 1);
    draws_ = new QSpinBox(form);
    draws_->setObjectName(QStringLiteral("TicketDraws"));
    draws_->setRange(1, tolvi::kMaxDraws);
    draws_->setSuffix(text("回"));
    note_ = new QLineEdit(form);
    note_->setObjectName(QStringLiteral("TicketNote"));
    note_->setPlaceholderText(text("メモ"));
    for (QWidget* field : std::initializer_list<QWidget*> {game_, number_, kind_, kuchi_, draw_, draws_, note_})
        fields->addWidget(field);
    layout->addWidget(form);
    auto* buttons = new QHBoxLayout;
    const auto button = [&](const char* caption, const char* name, void (TicketWindow::*handler)()) {
        auto* b = new QPushButton(text(caption), tab);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, handler);
        buttons->addWidget(b);
    };
    button("追加(&A)", "TicketAdd", &TicketWindow::addClicked);
    button("変更(&C)", "TicketChange", &TicketWindow::changeClicked);
    button("削除(&D)", "TicketDelete", &TicketWindow::deleteClicked);
    buttons->addStretch();
    layout->addLayout(buttons);

    gameChosen();
    connect(game_, &QComboBox::currentIndexChanged, this, &TicketWindow::gameChosen);
    connect(monthFilter_, &QComboBox::currentIndexChanged, this, &TicketWindow::applyFilter);
    connect(gameFilter_, &QComboBox::currentIndexChanged, this, &TicketWindow::applyFilter);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &TicketWindow::rowChosen);
}

void TicketWindow::buildBalanceTab(QWidget* tab)
{
    auto* layout = new QVBoxLayout(tab);
    period_ = new QComboBox(tab);
    period_->setObjectName(QStringLiteral("LedgerPeriod"));
    period_->addItems({text("月ごと"), text("年ごと")});
    auto* top = new QHBoxLayout;
    auto* label = new QLabel(text("集計(&P):"), tab);
    label->setBuddy(period_);
    top->addWidget(label);
    top->addWidget(period_);
    top->addStretch();
    layout->addLayout(top);
    balanceTable_ = new QTableWidget(0, 5, tab);
    balanceTable_->setObjectName(QStringLiteral("LedgerTable"));
    balanceTable_->setHorizontalHeaderLabels(
        {text("期間"), text("購入額"), text("当せん額"), text("回収率"), text("未抽せん・結果なし")});
    balanceTable_->verticalHeader()->hide();
    balanceTable_->verticalHeader()->setDefaultSectionSize(balanceTable_->fontMetrics().height() + 6);
    balanceTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    balanceTable_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(balanceTable_, 1);
    chart_ = new QChartView(tab);
    chart_->setObjectName(QStringLiteral("LedgerChart"));
    chart_->setRenderHint(QPainter::Antialiasing);
    layout->addWidget(chart_, 2);
    balanceTotals_ = new QLabel(tab);
    balanceTotals_->setObjectName(QStringLiteral("LedgerTotals"));
    balanceTotals_->setWordWrap(true);
    layout->addWidget(balanceTotals_);
    connect(period_, &QComboBox::currentIndexChanged, this, &TicketWindow::showBalance);
}

void TicketWindow::refresh()
{
    try {
        const std::filesystem::path ledger = tolvi::TicketLedger::pathIn(historyPath_.parent_path());
        std::error_code missing;
        tickets_ = std::filesystem::exists(ledger, missing) ? tolvi::TicketLedger(ledger).tickets()
                                                            : std::vector<tolvi::Ticket> {};
        index_ = tolvi::drawIndexOf(historyPath_);
    } catch (const std::exception& error) {
        QMessageBox::critical(this, title_, QString::fromUtf8(error.what()));
    }
    // The months that hold a draw of some ticket, newest first.
    const QString chosen = monthFilter_->currentData().toString();
    std::map<std::string, bool, std::greater<>> months;
    std::unordered_map<std::int32_t, bool> seen;
    for (const tolvi::Ticket& ticket : tickets_)
        for (std::int32_t draw = ticket.firstDraw; draw <= ticket.lastDraw(); ++draw)
            if (!seen[draw])
                seen[draw] = months[tolvi::isoDate(tolvi::drawDate(draw)).substr(0, 7)] = true;
    const QSignalBlocker block(monthFilter_);
    monthFilter_->clear();
    monthFilter_->addItem(text("すべて"), QString());
    for (const auto& [month, _] : months)
        monthFilter_->addItem(QString::fromStdString(month), QString::fromStdString(month));
    monthFilter_->setCurrentIndex(std::max(0, monthFilter_->findData(chosen)));
    applyFilter();
    balanceShown_ = false;
    if (tabs_->currentIndex() == 1)
        showBalance();
}

void TicketWindow::showNewDraws(std::int32_t first, std::int32_t last, const QString& wins)
{
    refresh();
    if (wins.isEmpty())
        return;
    notice_->setText((first == last ? text("第%1回が追加されました。\n").arg(first)
                                    : text("第%1回～第%2回が追加されました。\n").arg(first).arg(last)) +
                     wins.trimmed());
    notice_->show();
}

void TicketWindow::applyFilter()
{
    const QString month = monthFilter_->currentData().toString();
    const int game = gameFilter_->currentData().toInt();
    std::vector<TicketTableModel::Row> rows;
    std::int64_t spent = 0, won = 0;
    // The newest tickets first: those are the ones a player looks for after a draw.
    for (auto it = tickets_.rbegin(); it != tickets_.rend(); ++it) {
        const tolvi::Ticket& ticket = *it;
        if (game >= 0 && int(ticket.game) != game)
            continue;
        TicketTableModel::Row row {&ticket, tolvi::settle(ticket, index_)};
        if (!month.isEmpty()) {
            // Only the draws of that month count towards the totals.
            std::erase_if(row.results, [&](const tolvi::DrawResult& r) {
                return QString::fromStdString(tolvi::isoDate(tolvi::drawDate(r.draw))).left(7) != month;
            });
            if (row.results.empty())
                continue;
        }
        spent +=
            std::int64_t(tolvi::describe(ticket.game).ticketPrice) * ticket.kuchi * std::int64_t(row.results.size());
        won += TicketTableModel::won(row);
        rows.push_back(std::move(row));
    }
    model_->setRows(std::move(rows));
    table_->resizeColumnsToContents();
    totals_->setText(text("表示中の券 %1 枚: 購入 %2、当せん %3 (回収率 %4)")
                         .arg(model_->rowCount())
                         .arg(yen(spent), yen(won), rateText(won, spent)));
}

void TicketWindow::showBalance()
{
    balanceShown_ = true;
    const tolvi::LedgerSummary summary = tolvi::summarize(
        tickets_, index_, period_->currentIndex() == 1 ? tolvi::LedgerPeriod::Year : tolvi::LedgerPeriod::Month);
    balanceTable_->setRowCount(int(summary.periods.size()));
    for (int i = 0; i < int(summary.periods.size()); ++i) {
        const tolvi::PeriodTotals& p = summary.periods[std::size_t(summary.periods.size()) - 1 - std::size_t(i)];
        const QStringList cells {QString::fromStdString(p.period), yen(p.spent), yen(p.won), rateText(p.won, p.spent),
                                 yen(p.unsettled)};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c > 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            balanceTable_->setItem(i, c, item);
        }
    }
    const tolvi::LedgerTotals& t = summary.total;
    balanceTotals_->setText(
        text("抽せん済みの回: 購入 %1、当せん %2 (回収率 %3)。同じ券をでたらめな数字で買った場合の期待値は %4、"
             "1,000 人のうち 9 割は %5～%6 の間です。")
            .arg(yen(t.spent), yen(t.won), rateText(t.won, t.spent), yen(std::llround(t.expected)),
                 yen(std::llround(t.bandLow)), yen(std::llround(t.bandHigh))));

    // The cumulative return, in yen won per draw settled, beside chance.
    auto* chart = new QChart;
    chart->setTitle(text("当せん金の累計と偶然の範囲"));
    auto* won = new QLineSeries;
    won->setName(text("当せん金の累計"));
    auto* expected = new QLineSeries;
    expected->setName(text("期待値"));
    auto* low = new QLineSeries;
    auto* high = new QLineSeries;
    for (const tolvi::LedgerPoint& point : summary.curve) {
        won->append(point.draw, double(point.won));
        expected->append(point.draw, point.expected);
        low->append(point.draw, point.bandLow);
        high->append(point.draw, point.bandHigh);
    }
    auto* band = new QAreaSeries(high, low);
    band->setName(text("でたらめに買う 1,000 人の 9 割"));
    band->setColor(QColor(200, 200, 200, 160));
    band->setBorderColor(QColor(200, 200, 200));
    chart->addSeries(band);
    chart->addSeries(expected);
    chart->addSeries(won);
    chart->createDefaultAxes();
    for (QAbstractAxis* axis : chart->axes())
        if (auto* values = qobject_cast<QValueAxis*>(axis))
            values->setLabelFormat(QStringLiteral("%.0f"));
    chart_->setChart(chart);  // the view owns it and deletes the previous one
}

void TicketWindow::gameChosen()
{
    const auto game = tolvi::Game(game_->currentData().toInt());
    const QVariant kept = kind_->currentData();
    kind_->clear();
    for (const tolvi::BetKind kind : tolvi::describe(game).betKinds)
        kind_->addItem(text(tolvi::describe(kind).name), int(kind));
    kind_->setCurrentIndex(std::max(0, kind_->findData(kept)));
    number_->setMaxLength(tolvi::describe(game).digits);
}

void TicketWindow::rowChosen()
{
    const QModelIndex current = table_->currentIndex();
    if (!current.isValid())
        return;
    const tolvi::Ticket& t = *model_->rows()[std::size_t(current.row())].ticket;
    game_->setCurrentIndex(game_->findData(int(t.game)));
    number_->setText(QString::fromStdString(tolvi::describe(t.game).numberText(t.number)));
    kind_->setCurrentIndex(kind_->findData(int(t.kind)));
    kuchi_->setValue(t.kuchi);
    draw_->setValue(t.firstDraw);
    draws_->setValue(t.draws);
    note_->setText(QString::fromStdString(t.note));
}

bool TicketWindow::formTicket(tolvi::Ticket& ticket)
{
    ticket.game = tolvi::Game(game_->currentData().toInt());
    const std::optional<int> number = tolvi::describe(ticket.game).parseNumber(number_->text().toStdString());
    if (!number) {
        QMessageBox::warning(this, title_,
                             text("%1の数字は %2 けたで入力してください。")
                                 .arg(text(tolvi::describe(ticket.game).name))
                                 .arg(tolvi::describe(ticket.game).digits));
        number_->setFocus();
        return false;
    }
    ticket.number = *number;
    ticket.kind = tolvi::BetKind(kind_->currentData().toInt());
    ticket.kuchi = kuchi_->value();
    ticket.firstDraw = draw_->value();
    ticket.draws = draws_->value();
    ticket.note = note_->text().toStdString();
    const tolvi::JapanTime now = tolvi::japanNow();
    if (ticket.recordedAt.empty())
        ticket.recordedAt = tolvi::isoDate(now.date) + "T" + tolvi::clockTime(now);
    // An old draw is asked about; every other refusal is the core's message.
    const bool old = tolvi::isOldTicket(ticket, tolvi::isoDate(now.date));
    if (old && QMessageBox::question(this, title_,
                                     QString::fromStdString(tolvi::oldDrawQuestion(ticket)) + text("記録しますか?"),
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return false;
    tolvi::checkTicket(ticket, tolvi::isoDate(now.date), old);
    return true;
}

void TicketWindow::changeLedger(const std::function<void()>& change)
{
    for (;;) {
        try {
            change();
            refresh();
            return;
        } catch (const tolvi::LedgerBusyError& busy) {
            if (QMessageBox::warning(this, title_, QString::fromUtf8(busy.what()),
                                     QMessageBox::Retry | QMessageBox::Cancel,
                                     QMessageBox::Retry) != QMessageBox::Retry)
                return;
        } catch (const std::exception& error) {
            QMessageBox::critical(this, title_, QString::fromUtf8(error.what()));
            return;
        }
    }
}

void TicketWindow::addClicked()
{
    changeLedger([this] {
        tolvi::Ticket ticket;
        if (formTicket(ticket))
            tolvi::TicketLedger(tolvi::TicketLedger::pathIn(historyPath_.parent_path())).add(ticket);
    });
}

std::optional<tolvi::Ticket> TicketWindow::chosenTicket(const QString& forWhat)
{
    const QModelIndex current = table_->currentIndex();
    if (!current.isValid()) {
        QMessageBox::information(this, title_, forWhat + text("券を一覧で選んでください。"));
        return std::nullopt;
    }
    return *model_->rows()[std::size_t(current.row())].ticket;
}

void TicketWindow::changeClicked()
{
    std::optional<tolvi::Ticket> chosen = chosenTicket(text("変更する"));
    if (!chosen)
        return;
    tolvi::Ticket& ticket = *chosen;
    changeLedger([&] {
        if (formTicket(ticket))
            tolvi::TicketLedger(tolvi::TicketLedger::pathIn(historyPath_.parent_path())).update(ticket);
    });
}

void TicketWindow::deleteClicked()
{
    const std::optional<tolvi::Ticket> chosen = chosenTicket(text("削除する"));
    if (!chosen)
        return;
    const tolvi::Ticket& ticket = *chosen;
    if (QMessageBox::question(this, title_,
                              text("番号 %1 (%2) を削除しますか?")
                                  .arg(ticket.id)
                                  .arg(QString::fromStdString(tolvi::describeTicket(ticket))),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    changeLedger(
        [&] { tolvi::TicketLedger(tolvi::TicketLedger::pathIn(historyPath_.parent_path())).remove(ticket.id); });
}

int TicketWindow::recordPrediction(QWidget* parent, const std::filesystem::path& historyPath,
                                   const std::filesystem::path& settingsPath, const QString& title,
                                   std::span<const tolvi::BetKind> kinds, const QStringList& numbers)
{
    constexpr std::string_view kSection = "Tickets";
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("RecordPredictionDialog"));
    dialog.setWindowTitle(text("予想を購入記録に追加 - ") + title);
    auto* form = new QFormLayout(&dialog);
    auto* kind = new QComboBox(&dialog);
    kind->setObjectName(QStringLiteral("RecordKind"));
    for (const tolvi::BetKind k : kinds)
        kind->addItem(text(tolvi::describe(k).name), QString::fromLatin1(tolvi::describe(k).key));
    const std::optional<std::string> keptKind = tolvi::SettingsFile::loadValue(settingsPath, kSection, "Kind");
    kind->setCurrentIndex(std::max(0, kind->findData(QString::fromStdString(keptKind.value_or("")))));
    auto* kuchi = new QSpinBox(&dialog);
    kuchi->setObjectName(QStringLiteral("RecordKuchi"));
    kuchi->setRange(1, tolvi::kMaxKuchi);
    kuchi->setSuffix(text("口"));
    kuchi->setValue(
        QString::fromStdString(tolvi::SettingsFile::loadValue(settingsPath, kSection, "Kuchi").value_or("1")).toInt());
    form->addRow(text("予想番号:"), new QLabel(numbers.join(QLatin1Char(' ')), &dialog));
    form->addRow(text("種類(&K):"), kind);
    form->addRow(text("口数(&N):"), kuchi);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    tolvi::SettingsFile::saveValue(settingsPath, kSection, "Kind", kind->currentData().toString().toStdString());
    tolvi::SettingsFile::saveValue(settingsPath, kSection, "Kuchi", std::to_string(kuchi->value()));

    const tolvi::JapanTime now = tolvi::japanNow();
    const tolvi::GameDescription& game = tolvi::describe(tolvi::Game::Numbers3);
    std::vector<tolvi::Ticket> tickets;
    for (const QString& shown : numbers) {
        tolvi::Ticket ticket;
        ticket.kind = *tolvi::betKindOfKey(kind->currentData().toString().toStdString());
        const std::string digits = shown.trimmed().rightJustified(game.digits, QLatin1Char('0')).toStdString();
        ticket.number = game.parseNumber(digits).value_or(-1);
        ticket.kuchi = kuchi->value();
        ticket.firstDraw = tolvi::HistoryReader::lastDrawNumber(historyPath) + 1;
        ticket.recordedAt = tolvi::isoDate(now.date) + "T" + tolvi::clockTime(now);
        ticket.origin = tolvi::TicketOrigin::Prediction;
        // All or nothing: a box on a triple refuses the whole prediction with its reason.
        tolvi::checkTicket(ticket, tolvi::isoDate(now.date), false);
        tickets.push_back(ticket);
    }
    tolvi::TicketLedger(tolvi::TicketLedger::pathIn(tolvi::HistoryFile::fullPath(historyPath).parent_path()))
        .add(tickets);
    return int(tickets.size());
}
