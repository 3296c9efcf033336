#include "app/UpdateRunner.h"

#include "app/Utf8Text.h"

#include <QPointer>
#include <QProgressDialog>

#include <atomic>

tolvi::UpdateReport runUpdateWithProgress(QWidget* parent, const QString& title,
                                          const std::filesystem::path& historyPath,
                                          const tolvi::UpdateSettings& settings)
{
    QProgressDialog progress(text("最新の結果を確かめています…"), text("中止"), 0, 0, parent);
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);

    std::atomic<bool> cancel {false};
    QObject::connect(&progress, &QProgressDialog::canceled, [&cancel, &progress] {
        cancel = true;
        progress.setLabelText(text("中止しています (取得中のファイルの後で止まります)…"));
    });

    QPointer<QProgressDialog> dialog(&progress);
    tolvi::UpdateHooks hooks;
    hooks.cancel = &cancel;
    hooks.progress = [dialog](const tolvi::UpdateProgress& step) {
        const QString text = QString::fromStdString(step.step);
        const int done = int(step.done), total = int(step.total);
        QMetaObject::invokeMethod(
            dialog,
            [dialog, text, done, total] {
                if (!dialog || dialog->wasCanceled())
                    return;
                dialog->setMaximum(total);
                dialog->setValue(done - 1);
                dialog->setLabelText(text);
            },
            Qt::QueuedConnection);
    };
    progress.show();
    return runBesideEventLoop([&] { return tolvi::updateHistory(historyPath, settings, hooks); });
}
