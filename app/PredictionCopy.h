#pragma once
// "予想番号をコピー": the predicted numbers of the payout panel on the clipboard, from the panel's
// context menu or with Ctrl+C while the focus is on the panel (its "OK", after a run), so that
// they can be pasted into a note or a message.

#include <QString>
#include <QStringList>

class QAction;
class QWidget;

// Adds the command to `payoutPanel` (GetPanel) and its context menu.
QAction* addPredictionCopy(QWidget* payoutPanel);

// The predicted numbers the panel shows, in their order.
QStringList predictedNumbers(const QWidget* payoutPanel);

// The heading of the prediction (Label16, which names the draw) and the predicted numbers the
// panel shows, in their order: "次回 7055回抽選予想番号：755 196 626 205".
QString predictionText(const QWidget* payoutPanel);
// The predicted numbers alone, as the panel writes them ("755").
QStringList predictedNumbers(const QWidget* payoutPanel);
