// SPDX-License-Identifier: GPL-3.0-or-later
#include "Lamp.h"

#include <QPainter>

Lamp::Lamp(Form form, QWidget* parent) : QWidget(parent), m_form(form)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void Lamp::setFillColour(quint32 value)
{
    if (m_colour == value)
        return;
    m_colour = value;
    update();
}

QSize Lamp::sizeHint() const
{
    // Follows the font so the lamp keeps its proportions at any scaling.
    const int side = fontMetrics().height() + 4;
    return m_form == Form::Circle ? QSize(side, side) : QSize(side * 2, side);
}

void Lamp::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette().color(QPalette::WindowText), 1));
    p.setBrush(ColourValue::toColor(m_colour));
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    if (m_form == Form::Circle)
        p.drawEllipse(r);
    else
        p.drawRect(r);
}
