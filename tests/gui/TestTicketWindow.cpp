// The purchase ledger window as a user opens it from the menu and records a ticket.

#include "gui/GuiTestBase.h"

#include "app/PredictionCopy.h"
#include "app/TicketWindow.h"
#include "history/DrawCalendar.h"
#include "tickets/Settlement.h"
#include "tickets/TicketLedger.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimer>

using tolvi::Edition;
using tolvi::guitest::GuiFixture;
using tolvi::guitest::MessageBoxWatcher;
using tolvi::guitest::u;

class TestTicketWindow : public QObject {
    Q_OBJECT

private slots:
    // A ticket on the history's last draw is settled as soon as it is added; one on the next
    // draw waits for it.
    void addsATicketAndSeesItSettled()
    {
        const std::string history = tolvi::guitest::sampleHistory();
        const tolvi::DrawIndex index(history);
        const std::int32_t last = index.lastDraw();
        const tolvi::DrawRecord& record = *index.find(last);
        const tolvi::GameDescription& n3 = tolvi::describe(tolvi::Game::Numbers3);
        const int drawn = *n3.winningNumber(record);
        const QString won = QString::number(2 * n3.prize(record, tolvi::PrizeField::Straight));
        qputenv("TOLVI_NOW", QByteArray::fromStdString(tolvi::isoDate(tolvi::drawDate(last)) + "T21:00"));
        for (const Edition edition : {Edition::Numbers3, Edition::Mini}) {
            GuiFixture f(edition, tolvi::guitest::withHistory(history));
            MessageBoxWatcher boxes;
            QVERIFY(f.trigger("TicketsMenu"));
            auto* window = f.form().findChild<TicketWindow*>(QStringLiteral("TicketWindow"));
            QVERIFY(window && window->isVisible() && !window->isModal());
            auto* table = window->findChild<QTableView*>(QStringLiteral("TicketTable"));
            QCOMPARE(table->model()->rowCount(), 0);

            const auto widget = [&](const char* name) {
                return window->findChild<QWidget*>(QString::fromLatin1(name));
            };
            const auto setSpin = [&](const char* name, int value) {
                auto* spin = qobject_cast<QSpinBox*>(widget(name));
                spin->selectAll();
                QTest::keyClicks(spin, QString::number(value));
                QTest::keyClick(spin, Qt::Key_Tab);
            };
            QTest::keyClicks(widget("TicketNumber"), QString::fromStdString(n3.numberText(drawn)));
            setSpin("TicketKuchi", 2);
            setSpin("TicketDraw", last);
            setSpin("TicketDraws", 2);
            QTest::mouseClick(widget("TicketAdd"), Qt::LeftButton);

            QCOMPARE(table->model()->rowCount(), 1);
            const auto cell = [&](int column) { return table->model()->index(0, column).data().toString(); };
            QCOMPARE(cell(7), u("当せん 1・未抽せん 1"));
            QCOMPARE(cell(8).remove(QLatin1Char(',')), won + u("円"));
            QCOMPARE(cell(9), QString::fromStdString(tolvi::japaneseDate(tolvi::claimDeadline(last))));
            QVERIFY(boxes.boxes().isEmpty());
        }
    }

    // The payout panel's command records the predicted numbers on the next draw, bought as the
    // user chose, which the next time offers again.
    void recordsThePredictionAsChosenOnce()
    {
        const std::int32_t last = tolvi::DrawIndex(tolvi::guitest::sampleHistory()).lastDraw();
        qputenv("TOLVI_NOW", QByteArray::fromStdString(tolvi::isoDate(tolvi::drawDate(last)) + "T21:00"));
        for (const Edition edition : {Edition::Numbers3, Edition::Mini}) {
            GuiFixture f(edition, tolvi::guitest::withHistory(tolvi::guitest::sampleHistory()));
            QVERIFY(tolvi::guitest::predict(f));
            const QStringList numbers = predictedNumbers(f.widget("GetPanel"));
            for (int round = 0; round < 2; ++round) {
                QString offered;
                QTimer::singleShot(0, [&] {
                    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                    QVERIFY(dialog);
                    auto* kind = dialog->findChild<QComboBox*>(QStringLiteral("RecordKind"));
                    offered = kind->currentText();
                    kind->setCurrentIndex(kind->count() - 1);
                    dialog->findChild<QSpinBox*>(QStringLiteral("RecordKuchi"))->setValue(3);
                    dialog->accept();
                });
                MessageBoxWatcher boxes;
                f.action("RecordPrediction")->trigger();
                QCOMPARE(offered, round == 0 && edition == Edition::Numbers3 ? u("ストレート") : u("ミニ"));
                QCOMPARE(boxes.boxes().size(), 1);
                QCOMPARE(boxes.boxes()[0].icon, QMessageBox::Information);
            }
            const std::vector<tolvi::Ticket> tickets = tolvi::TicketLedger(f.dir().file("tickets.sqlite")).tickets();
            QCOMPARE(int(tickets.size()), 2 * numbers.size());
            QCOMPARE(tickets[0].firstDraw, last + 1);
            QCOMPARE(tickets[0].kind, tolvi::BetKind::Mini);
            QCOMPARE(tickets[0].kuchi, 3);
            QCOMPARE(tickets[0].origin, tolvi::TicketOrigin::Prediction);
            QCOMPARE(tickets[0].number % 100, numbers[0].toInt() % 100);
        }
    }
};

QTEST_MAIN(TestTicketWindow)
#include "TestTicketWindow.moc"
