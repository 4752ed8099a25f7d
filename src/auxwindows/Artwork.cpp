// SPDX-License-Identifier: GPL-3.0-or-later
#include "Artwork.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

// A sine of `periods` full waves across `box`, shifted by `phase` radians.
QPainterPath sineWave(const QRectF& box, qreal periods, qreal phase)
{
    QPainterPath path;
    const int steps = 160;
    for (int i = 0; i <= steps; ++i) {
        const qreal t = qreal(i) / steps;
        const qreal x = box.left() + t * box.width();
        const qreal y = box.center().y() - qSin(t * periods * 2 * M_PI + phase) * box.height() / 2;
        if (i == 0)
            path.moveTo(x, y);
        else
            path.lineTo(x, y);
    }
    return path;
}

void paintCabinet(QPainter& p, const QRectF& body)
{
    const qreal unit = body.width() / 10;
    QLinearGradient steel(body.topLeft(), body.topRight());
    steel.setColorAt(0, QColor(0xd9, 0xdd, 0xe2));
    steel.setColorAt(1, QColor(0xa9, 0xb1, 0xba));
    p.setPen(QPen(QColor(0x3a, 0x44, 0x50), unit * 0.25));
    p.setBrush(steel);
    p.drawRoundedRect(body, unit * 0.6, unit * 0.6);

    // Display with a set-point on it, the first thing a technician looks at.
    const QRectF display(body.left() + unit, body.top() + unit, body.width() - 2 * unit, unit * 3);
    p.setBrush(QColor(0x10, 0x18, 0x10));
    p.drawRoundedRect(display, unit * 0.3, unit * 0.3);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(qMax(1, int(display.height() * 0.6)));
    p.setFont(font);
    p.setPen(QColor(0x40, 0xf0, 0x60));
    p.drawText(display, Qt::AlignCenter, QStringLiteral("50.00"));

    // Keypad: run in green, stop in red, the rest neutral.
    p.setPen(QPen(QColor(0x3a, 0x44, 0x50), unit * 0.12));
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 3; ++col) {
            QColor key(0x6c, 0x76, 0x82);
            if (row == 1 && col == 0)
                key = QColor(0x2e, 0xa0, 0x48);
            if (row == 1 && col == 2)
                key = QColor(0xd0, 0x30, 0x30);
            p.setBrush(key);
            const QPointF centre(body.left() + unit * (2.5 + col * 2.5),
                                 display.bottom() + unit * (1.6 + row * 2));
            p.drawEllipse(centre, unit * 0.7, unit * 0.7);
        }
    }

    // Ventilation slots near the foot.
    p.setPen(QPen(QColor(0x4a, 0x54, 0x60), unit * 0.3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 5; ++i) {
        const qreal y = body.bottom() - unit * (1.2 + i * 0.9);
        p.drawLine(QPointF(body.left() + unit * 2, y), QPointF(body.right() - unit * 2, y));
    }
}

void paintMotor(QPainter& p, const QRectF& body)
{
    const qreal unit = body.height() / 10;
    QLinearGradient paint(body.topLeft(), body.bottomLeft());
    paint.setColorAt(0, QColor(0x4f, 0x7c, 0xac));
    paint.setColorAt(1, QColor(0x2b, 0x4a, 0x6e));
    p.setPen(QPen(QColor(0x1d, 0x2c, 0x3c), unit * 0.25));
    p.setBrush(paint);
    p.drawRoundedRect(body, unit * 1.5, unit * 1.5);

    p.setPen(QPen(QColor(0x1d, 0x2c, 0x3c, 160), unit * 0.3));
    for (int i = 1; i < 8; ++i) {
        const qreal x = body.left() + body.width() * i / 8;
        p.drawLine(QPointF(x, body.top() + unit), QPointF(x, body.bottom() - unit));
    }

    // Shaft and foot.
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), unit * 0.2));
    p.setBrush(QColor(0xb0, 0xb0, 0xb0));
    p.drawRect(QRectF(body.right(), body.center().y() - unit, unit * 2.5, unit * 2));
    p.setBrush(QColor(0x33, 0x3d, 0x48));
    p.drawRect(QRectF(body.left() + unit, body.bottom(), body.width() - 2 * unit, unit * 1.2));
}

} // namespace

namespace Artwork {

void paintWelcome(QPainter& p, const QRectF& area)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = area.width();
    const qreal h = area.height();
    const qreal floorTop = area.top() + h * 0.72;

    QLinearGradient sky(area.topLeft(), QPointF(area.left(), floorTop));
    sky.setColorAt(0, QColor(0x16, 0x2c, 0x46));
    sky.setColorAt(1, QColor(0x5a, 0x86, 0xb2));
    p.fillRect(QRectF(area.topLeft(), QPointF(area.right(), floorTop)), sky);

    // The floor stays light so the red greeting on it reads well.
    QLinearGradient floor(QPointF(area.left(), floorTop), area.bottomLeft());
    floor.setColorAt(0, QColor(0xe6, 0xeb, 0xf0));
    floor.setColorAt(1, QColor(0xfa, 0xfb, 0xfc));
    p.fillRect(QRectF(QPointF(area.left(), floorTop), area.bottomRight()), floor);

    // Three output phases, 120 degrees apart.
    const QRectF waveBox(area.left(), area.top() + h * 0.12, w, h * 0.26);
    const QColor phases[] = {QColor(0xff, 0xd2, 0x4a, 200), QColor(0x6a, 0xe0, 0x8a, 200),
                             QColor(0xff, 0x7a, 0x5c, 200)};
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(phases[i], qMax<qreal>(1.0, h * 0.012), Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(sineWave(waveBox, 2.5, i * 2 * M_PI / 3));
    }

    const QRectF cabinet(area.left() + w * 0.08, area.top() + h * 0.22, h * 0.3, h * 0.5);
    // The motor stands on its foot, which is 0.12 of its body height.
    const QRectF motor(area.left() + w * 0.62, floorTop - h * 0.224, w * 0.22, h * 0.2);

    // Cable from the drive's foot to the motor.
    QPainterPath cable;
    cable.moveTo(cabinet.center().x(), cabinet.bottom());
    cable.cubicTo(QPointF(cabinet.center().x(), floorTop + h * 0.06),
                  QPointF(motor.center().x(), floorTop + h * 0.06),
                  QPointF(motor.center().x(), floorTop));
    p.setPen(
        QPen(QColor(0x22, 0x22, 0x22), qMax<qreal>(1.0, h * 0.01), Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cable);

    paintCabinet(p, cabinet);
    paintMotor(p, motor);
    p.restore();
}

void paintToolIcon(QPainter& p, const QRectF& area)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(area.width(), area.height());
    const QRectF box(area.center().x() - side / 2, area.center().y() - side / 2, side, side);
    const qreal unit = side / 16;

    QLinearGradient steel(box.topLeft(), box.bottomRight());
    steel.setColorAt(0, QColor(0xe4, 0xe8, 0xec));
    steel.setColorAt(1, QColor(0x9a, 0xa4, 0xae));
    const QRectF body = box.adjusted(unit, unit, -unit, -unit);
    p.setPen(QPen(QColor(0x2d, 0x36, 0x40), unit * 0.5));
    p.setBrush(steel);
    p.drawRoundedRect(body, unit * 2, unit * 2);

    const QRectF display(body.left() + unit * 1.5, body.top() + unit * 1.5, body.width() - unit * 3,
                         body.height() * 0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x0e, 0x1a, 0x12));
    p.drawRoundedRect(display, unit, unit);
    p.setPen(QPen(QColor(0x40, 0xf0, 0x60), unit * 0.7, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(sineWave(display.adjusted(unit, unit * 1.2, -unit, -unit * 1.2), 1.5, 0));

    const qreal keyY = display.bottom() + (body.bottom() - display.bottom()) / 2;
    p.setPen(QPen(QColor(0x2d, 0x36, 0x40), unit * 0.3));
    p.setBrush(QColor(0x2e, 0xa0, 0x48));
    p.drawEllipse(QPointF(body.left() + body.width() * 0.3, keyY), unit * 1.4, unit * 1.4);
    p.setBrush(QColor(0xd0, 0x30, 0x30));
    p.drawEllipse(QPointF(body.left() + body.width() * 0.7, keyY), unit * 1.4, unit * 1.4);
    p.restore();
}

} // namespace Artwork

PictureBox::PictureBox(Painter painter, qreal preferredLines, QWidget* parent)
    : QWidget(parent), m_painter(std::move(painter)), m_preferredLines(preferredLines)
{
    // Grown beyond its preferred size the picture would only push the text apart.
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
}

QSize PictureBox::sizeHint() const
{
    const int side = qRound(fontMetrics().height() * m_preferredLines);
    return {side, side};
}

QSize PictureBox::minimumSizeHint() const
{
    const int side = qRound(fontMetrics().height() * m_preferredLines / 2);
    return {side, side};
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_painter(painter, QRectF(rect()));
}
