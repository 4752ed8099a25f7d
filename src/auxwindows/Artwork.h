// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRectF>
#include <QWidget>
#include <functional>

class QPainter;

// The program's pictures are drawn, not loaded: they stay sharp at any screen
// scale and nothing has to be shipped beside the executable.
namespace Artwork {

// The welcome scene: a drive cabinet feeding a motor, with the output wave
// running across a light floor where the greeting sits.
void paintWelcome(QPainter& painter, const QRectF& area);

// The program's own icon: a stylised drive front with a sine wave on its display.
void paintToolIcon(QPainter& painter, const QRectF& area);

} // namespace Artwork

// A picture control: paints itself with one of the Artwork functions, centred
// and square, so it can sit in a layout like any other control.
class PictureBox : public QWidget
{
    Q_OBJECT
public:
    using Painter = std::function<void(QPainter&, const QRectF&)>;

    // preferredSide is measured in text lines, so the picture grows with the font.
    PictureBox(Painter painter, qreal preferredLines, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Painter m_painter;
    qreal m_preferredLines;
};
