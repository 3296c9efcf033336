#pragma once
// "購入記録": the user's tickets beside the main window, settled against the history — filtered by
// month and game, added, changed and deleted with the same checks as `tolvi tickets` — and the
// 収支 view: spending and winnings by month or year, and the player's cumulative return beside
// the exact expectation and the band of random buyers of the same tickets. Non-modal; the
// handlers only read the form and call the core (tickets/).

#include "tickets/Settlement.h"
#include "tickets/Ticket.h"

#include <QStringList>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <vector>

class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class QTableWidget;
class QTabWidget;
class TicketTableModel;

class TicketWindow : public QWidget {
    Q_OBJECT

public:
    // The ledger beside `historyPath`. `title` is the application's, for captions and boxes.
    TicketWindow(std::filesystem::path historyPath, const QString& title, QWidget* parent = nullptr);
    ~TicketWindow() override;

    // Reads the ledger and the history again and shows them.
    void refresh();
    // "予想を購入記録に追加…": the predicted `numbers` (Numbers3, or the mini's two digits) as
    // tickets on the draw after the history's last, bought in one of `kinds` with some 口: the
    // user confirms both, and they are remembered in the settings file at `settingsPath` for the
    // next time. Returns how many tickets were recorded (0 when cancelled).
    static int recordPrediction(QWidget* parent, const std::filesystem::path& historyPath,
                                const std::filesystem::path& settingsPath, const QString& title,
                                std::span<const tolvi::BetKind> kinds, const QStringList& numbers);

    // After an update or an entry added draws `first`..`last`: refreshed, with what the tickets
    // won on them above the list.
    void showNewDraws(std::int32_t first, std::int32_t last, const QString& wins);

private:
    void buildTicketsTab(QWidget* tab);
    void buildBalanceTab(QWidget* tab);
    void applyFilter();
    void showBalance();
    void gameChosen();
    void rowChosen();
    // The form as a ticket; false (after saying why) when a field cannot be one.
    bool formTicket(tolvi::Ticket& ticket);
    // The ticket of the list's current row; nothing, after asking for one, without a row.
    std::optional<tolvi::Ticket> chosenTicket(const QString& forWhat);
    void addClicked();
    void changeClicked();
    void deleteClicked();
    // Runs a change of the ledger, offering a retry while another program holds it; every other
    // error is shown in the standard box.
    void changeLedger(const std::function<void()>& change);

    std::filesystem::path historyPath_;
    QString title_;
    std::vector<tolvi::Ticket> tickets_;
    tolvi::DrawIndex index_;
    bool balanceShown_ = false;

    QTabWidget* tabs_ = nullptr;
    QLabel* notice_ = nullptr;
    QComboBox* monthFilter_ = nullptr;
    QComboBox* gameFilter_ = nullptr;
    QTableView* table_ = nullptr;
    TicketTableModel* model_ = nullptr;
    QLabel* totals_ = nullptr;
    QComboBox* game_ = nullptr;
    QLineEdit* number_ = nullptr;
    QComboBox* kind_ = nullptr;
    QSpinBox* kuchi_ = nullptr;
    QSpinBox* draw_ = nullptr;
    QSpinBox* draws_ = nullptr;
    QLineEdit* note_ = nullptr;
    QComboBox* period_ = nullptr;
    QTableWidget* balanceTable_ = nullptr;
    QChartView* chart_ = nullptr;
    QLabel* balanceTotals_ = nullptr;
};
