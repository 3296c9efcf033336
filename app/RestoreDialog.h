#pragma once
// メイン → バックアップから戻す…: the copies of the history that the writes kept in backups/,
// newest first, and a confirmation before one is put back.

#include "history/HistoryBackups.h"

#include <QDialog>

class QListWidget;

class RestoreDialog : public QDialog {
    Q_OBJECT
public:
    // Lets the user choose one of `backups` and confirm it: its number (1 = newest), or 0 when
    // there is none or the user cancelled. Says so when there is no copy yet.
    static std::size_t choose(const tolvi::HistoryBackups& backups, const QString& title, QWidget* parent);

private:
    RestoreDialog(const std::vector<tolvi::HistoryBackup>& backups, const QString& title, QWidget* parent);

    QListWidget* list_ = nullptr;
};
