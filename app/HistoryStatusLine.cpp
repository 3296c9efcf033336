#include "app/HistoryStatusLine.h"

#include "app/Utf8Text.h"
#include "history/DrawCalendar.h"
#include "history/HistoryFile.h"
#include "history/HistoryReader.h"
#include "results/ResultsUpdate.h"

#include <QLabel>
#include <QVBoxLayout>

HistoryStatusLine::HistoryStatusLine(QWidget* parent) : QStatusBar(parent), nextDraw_(new QLabel), notice_(new QLabel)
{
    setObjectName(QStringLiteral("HistoryStatusLine"));
    setSizeGripEnabled(false);
    nextDraw_->setObjectName(QStringLiteral("NextDrawLabel"));
    notice_->setObjectName(QStringLiteral("HistoryNotice"));
    notice_->setWordWrap(true);
    notice_->hide();
    auto* lines = new QWidget;
    auto* layout = new QVBoxLayout(lines);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(nextDraw_);
    layout->addWidget(notice_);
    addWidget(lines, 1);
}

void HistoryStatusLine::refresh(const std::filesystem::path& historyPath, bool sayWhenBehind)
{
    notice_->clear();
    notice_->hide();
    nextDraw_->clear();
    std::int32_t last = 0;
    tolvi::JapanTime now;
    try {
        const std::optional<std::int32_t> found =
            tolvi::HistoryReader::lastDrawIn(tolvi::HistoryReader::readContent(historyPath));
        if (!found)
            return;
        last = *found;
        now = tolvi::japanNow();
    } catch (const std::exception&) {
        return;
    }
    // What the last update found, for whoever wonders where the results come from.
    const std::filesystem::path folder = tolvi::HistoryFile::fullPath(historyPath).parent_path();
    setToolTip(QString::fromStdString(tolvi::describeUpdateStatus(folder)).trimmed());
    const std::int32_t next = last + 1;
    nextDraw_->setText(text("次回の予想: 第") + QString::number(next) + text("回 ") +
                       QString::fromStdString(tolvi::japaneseMonthDay(tolvi::drawDate(next))));
    const std::int32_t lastHeld = tolvi::lastDrawHeld(now);
    if (sayWhenBehind && last < lastHeld) {
        notice_->show();
        notice_->setText(text("履歴は第") + QString::number(last) + text("回 (") +
                         QString::fromStdString(tolvi::japaneseDate(tolvi::drawDate(last))) +
                         text(") までです。最新は第") + QString::number(lastHeld) +
                         text("回です。メイン →「最新の結果に更新」で追加できます。"));
    }
}
