// SPDX-License-Identifier: GPL-3.0-or-later
#include "Colorful.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
// Only the low three bytes carry a colour; anything above would read back as a
// different value than the one painted.
constexpr quint32 kColourMask = 0xFFFFFF;
} // namespace

Colorful::Colorful(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Colorful"));
    setAccessibleName(QStringLiteral("Colorful"));
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void Colorful::setColor(quint32 value)
{
    value &= kColourMask;
    if (value == m_fill)
        return;
    m_fill = value;
    update();
    emit colorChanged(m_fill);
}

QRectF Colorful::shapeRect() const
{
    // A control smaller than its own outline gets an empty oval, never a
    // negative size.
    const qreal half = m_outlineWidth / 2.0;
    const QRectF inner(contentsRect());
    return {inner.left() + half, inner.top() + half, qMax<qreal>(0, inner.width() - 2 * half),
            qMax<qreal>(0, inner.height() - 2 * half)};
}

QColor Colorful::toQColor(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

quint32 Colorful::fromQColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return quint32(rgb.red()) | (quint32(rgb.green()) << 8) | (quint32(rgb.blue()) << 16);
}

QSize Colorful::sizeHint() const
{
    const int line = fontMetrics().height();
    return {line * 3, line * 2};
}

QSize Colorful::minimumSizeHint() const
{
    const int line = fontMetrics().height();
    return {line, line};
}

void Colorful::Colorful_Click()
{
    setColor(Blue);
    emit clicked();
}

void Colorful::Colorful_GotFocus()
{
    m_outline = White;
    update();
}

void Colorful::Colorful_LostFocus()
{
    m_outline = Black;
    update();
}

void Colorful::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(toQColor(m_outline), m_outlineWidth));
    painter.setBrush(toQColor(m_fill));
    painter.drawEllipse(shapeRect());
}

void Colorful::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void Colorful::mouseReleaseEvent(QMouseEvent* event)
{
    // A click is a press and release of the left button on the control, as with
    // a button: sliding off before letting go cancels it.
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        Colorful_Click();
}

void Colorful::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    Colorful_GotFocus();
}

void Colorful::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    Colorful_LostFocus();
}
