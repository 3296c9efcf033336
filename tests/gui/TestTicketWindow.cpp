// The purchase ledger window as a user opens it from the menu and records a ticket.

#include "gui/GuiTestBase.h"

#include "app/TicketWindow.h"
#include "history/DrawCalendar.h"
#include "tickets/Settlement.h"

#include <QAbstractItemModel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

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

            const auto widget = [&](const char* name) { return window->findChild<QWidget*>(QString::fromLatin1(name)); };
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
};

QTEST_MAIN(TestTicketWindow)
#include "TestTicketWindow.moc"
