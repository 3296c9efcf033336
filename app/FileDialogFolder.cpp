#include "app/FileDialogFolder.h"

#include "app/Utf8Text.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString& lastFolder()
{
    static QString folder;
    return folder;
}

}  // namespace

QString fileDialogFolder()
{
    // The XDG user folder when user-dirs.dirs names one, else ~/Downloads.
    const QString home = QDir::homePath();
    const QString candidates[] = {lastFolder(), QStandardPaths::writableLocation(QStandardPaths::DownloadLocation),
                                  QDir(home).filePath(text("ダウンロード")),
                                  QDir(home).filePath(QStringLiteral("Downloads"))};
    for (const QString& folder : candidates)
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    return home;
}

void rememberFileDialogChoice(const QString& chosenFile)
{
    if (!chosenFile.isEmpty())
        lastFolder() = QFileInfo(chosenFile).absolutePath();
}
