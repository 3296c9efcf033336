#include "app/HistoryHint.h"

#include "history/DataFolder.h"

#include "app/Utf8Text.h"

#include <QFile>

#include <system_error>

namespace fs = std::filesystem;

QString missingHistoryNote(const QString& errorText, const fs::path& historyPath, tolvi::Edition edition)
{
    std::error_code error;
    const fs::path full = fs::absolute(historyPath, error);
    if (error || fs::exists(full, error) || !errorText.contains(QFile::decodeName(full.c_str())))
        return {};
    const fs::path data = tolvi::userDataFolder();
    if (data.empty() || fs::equivalent(data, full.parent_path(), error))
        return {};
    // The names the desktop entries give the programs (Name[ja] in app/desktop/*.desktop.in).
    const char* const menuEntry = tolvi::describe(edition).menuEntry;
    return text("\n\nインストールしたプログラムの履歴は、データフォルダ %1/ にあります。"
                "デスクトップのメニューの「%2」から起動すると、そのフォルダの履歴を使います。")
        .arg(QFile::decodeName(data.c_str()), text(menuEntry));
}
