#pragma once
// What the windows of pictures (the charts, the analyses) share: the row of "画像として保存" and
// "閉じる" under their pages, and saving the page shown as a PNG where the user chooses.

#include <QString>

#include <functional>

class QHBoxLayout;
class QWidget;

// The two buttons, right-aligned, named Save<name>Button and Close<name>Button. Return presses
// the focused one and Escape "閉じる", which closes `window`; "画像として保存" calls `save`.
QHBoxLayout* pictureButtons(QWidget* window, const QString& name, const std::function<void()>& save);

// Asks where to save the page (suggesting `fileName` in the folder last chosen), then `write`s it
// there; a file that cannot be written is told in a box titled `title`.
void savePictureAs(QWidget* window, const QString& title, const QString& fileName,
                   const std::function<bool(const QString& path)>& write);
