#include "app/RestoreDialog.h"

#include "app/Utf8Text.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

RestoreDialog::RestoreDialog(const std::vector<tolvi::HistoryBackup>& backups, const QString& title, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("RestoreDialog"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(
        text("戻すバックアップを選んでください (新しい順)。今の履歴ファイルも、戻す前にバックアップします。"), this);
    label->setWordWrap(true);
    layout->addWidget(label);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("BackupList"));
    for (const tolvi::HistoryBackup& backup : backups)
        list_->addItem(QString::fromStdString(tolvi::describeBackup(backup)));
    list_->setCurrentRow(0);
    list_->setMinimumWidth(list_->sizeHintForColumn(0) + 40);
    label->setBuddy(list_);
    layout->addWidget(list_);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(text("戻す"), QDialogButtonBox::AcceptRole);
    buttons->addButton(text("キャンセル"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // A double click or Return on a row chooses it, as in any list of choices.
    connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);
    layout->addWidget(buttons);
    list_->setFocus();
}

std::size_t RestoreDialog::choose(const tolvi::HistoryBackups& backups, const QString& title, QWidget* parent)
{
    const std::vector<tolvi::HistoryBackup> found = backups.list();
    if (found.empty()) {
        QMessageBox box(QMessageBox::Information, title,
                        text("バックアップはまだありません。結果を追加するたびに、その前の履歴ファイルが ") +
                            QString::fromStdString(backups.folder().string()) + text(" に保存されます。"),
                        QMessageBox::Ok, parent);
        box.exec();
        return 0;
    }
    RestoreDialog dialog(found, title, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.list_->currentRow() < 0)
        return 0;
    const std::size_t number = std::size_t(dialog.list_->currentRow()) + 1;
    QMessageBox confirm(QMessageBox::Question, title,
                        text("履歴ファイルを") + QString::fromStdString(tolvi::describeBackup(found[number - 1])) +
                            text("に戻しますか？"),
                        QMessageBox::Yes | QMessageBox::No, parent);
    confirm.button(QMessageBox::Yes)->setText(text("戻す"));
    confirm.button(QMessageBox::No)->setText(text("キャンセル"));
    confirm.setDefaultButton(QMessageBox::No);
    return confirm.exec() == QMessageBox::Yes ? number : 0;
}
