#pragma once
// The keyboard on the panels that open over the main window's list, and on the chart window: the
// button that closes a panel (its "OK", "設定", or "中止" in the entry panel) takes the focus when
// the panel opens, and Escape pressed anywhere in the panel presses that button, as long as it can
// be pressed. Space presses a focused button by itself; Return and Enter are left to the window
// (TMainForm::eventFilter, the chart window's default buttons).

#include <QObject>

#include <vector>

class QAbstractButton;
class QWidget;

class PanelKeys : public QObject {
public:
    explicit PanelKeys(QObject* parent) : QObject(parent) { }

    // `button` closes or cancels `panel`. A panel inside another is added after it.
    void add(QWidget* panel, QAbstractButton* button);

    // Gives the focus to the button of the innermost open panel (enabled and shown, the hit panel
    // over the payout panel); false when none is open.
    bool focusOpenPanel() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Closer {
        QWidget* panel;
        QAbstractButton* button;
    };
    std::vector<Closer> closers_;
};
