#include "app/PanelKeys.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QWidget>

void PanelKeys::add(QWidget* panel, QAbstractButton* button)
{
    closers_.push_back({panel, button});
    // A key that the focused control leaves alone goes on to its parents: the innermost panel
    // sees it first.
    panel->installEventFilter(this);
}

bool PanelKeys::focusOpenPanel() const
{
    for (auto it = closers_.rbegin(); it != closers_.rend(); ++it) {
        if (it->panel->isEnabled() && it->panel->isVisible()) {
            it->button->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return false;
}

bool PanelKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        for (const Closer& closer : closers_) {
            if (closer.panel != watched)
                continue;
            // A retrieval in progress disables "中止": Escape then waits, as the mouse must.
            if (closer.button->isEnabled() && closer.button->isVisible()) {
                closer.button->click();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
