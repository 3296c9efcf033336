#include "app/PictureButtons.h"

#include "app/FileDialogFolder.h"
#include "app/PanelKeys.h"
#include "app/Utf8Text.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>

QHBoxLayout* pictureButtons(QWidget* window, const QString& name, const std::function<void()>& save)
{
    auto* saveButton = new QPushButton(text("画像として保存"));
    saveButton->setObjectName(QStringLiteral("Save") + name + QStringLiteral("Button"));
    QObject::connect(saveButton, &QPushButton::clicked, window, save);
    auto* closeButton = new QPushButton(text("閉じる"));
    closeButton->setObjectName(QStringLiteral("Close") + name + QStringLiteral("Button"));
    QObject::connect(closeButton, &QPushButton::clicked, window, &QWidget::close);
    // Return presses the focused button, Escape "閉じる".
    saveButton->setAutoDefault(true);
    closeButton->setAutoDefault(true);
    (new PanelKeys(window))->add(window, closeButton);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(saveButton);
    buttons->addWidget(closeButton);
    return buttons;
}

void savePictureAs(QWidget* window, const QString& title, const QString& fileName,
                   const std::function<bool(const QString& path)>& write)
{
    const QString path = QFileDialog::getSaveFileName(
        window, text("画像として保存"), QDir(fileDialogFolder()).filePath(fileName), text("PNG 画像 (*.png)"));
    if (path.isEmpty())
        return;
    rememberFileDialogChoice(path);
    if (!write(path)) {
        QMessageBox box(QMessageBox::Critical, title, path + text(" に書き込めません。"), QMessageBox::Ok, window);
        box.exec();
    }
}
