#include "app/PredictionCopy.h"

#include "app/Utf8Text.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QStringList>
#include <QWidget>

QStringList predictedNumbers(const QWidget* payoutPanel)
{
    QStringList numbers;
    // The Mini engine hides the candidates it did not fill.
    for (const char* name : {"Label17", "Label18", "Label19", "Label20"})
        if (const auto* label = payoutPanel->findChild<const QLabel*>(QLatin1String(name)); label && !label->isHidden())
            numbers << label->text().trimmed();
    return numbers;
}

QString predictionText(const QWidget* payoutPanel)
{
    const QStringList numbers = predictedNumbers(payoutPanel);
    const auto* heading = payoutPanel->findChild<const QLabel*>(QStringLiteral("Label16"));
    return (heading ? heading->text().simplified() : QString()) + text("：") + numbers.join(QLatin1Char(' '));
}

QAction* addPredictionCopy(QWidget* payoutPanel)
{
    auto* copy = new QAction(text("予想番号をコピー"), payoutPanel);
    copy->setObjectName(QStringLiteral("CopyPrediction"));
    copy->setShortcut(QKeySequence::Copy);
    // Only while the focus is inside the panel: elsewhere Ctrl+C is the focused control's own.
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(copy, &QAction::triggered, payoutPanel,
                     [payoutPanel] { QGuiApplication::clipboard()->setText(predictionText(payoutPanel)); });
    payoutPanel->addAction(copy);
    payoutPanel->setContextMenuPolicy(Qt::ActionsContextMenu);
    return copy;
}
