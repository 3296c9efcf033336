#include "app/Panel.h"

#include <QPainter>
#include <qdrawutil.h>

Panel::Panel(QWidget* parent, Bevel outer, Bevel inner) : QWidget(parent), outer_(outer), inner_(inner)
{
    setAutoFillBackground(true);
}

void Panel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QRect edge = rect();
    for (Bevel bevel : {outer_, inner_}) {
        if (bevel == Bevel::None)
            continue;
        qDrawShadePanel(&painter, edge, palette(), bevel == Bevel::Lowered, 1);
        edge.adjust(1, 1, -1, -1);
    }
}
