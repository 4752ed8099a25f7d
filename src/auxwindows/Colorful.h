// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QRectF>
#include <QWidget>

// A colour indicator: a filled oval over the whole control. Its fill is the
// `color` property, a click turns it blue, and its outline turns white while it
// has the keyboard focus and black when it loses it.
//
// Colours are the program's 24-bit colour values: red in the low byte, green in
// the middle, blue in the high byte (65535 yellow, 16711680 blue).
class Colorful : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(quint32 color READ color WRITE setColor NOTIFY colorChanged)
public:
    static constexpr quint32 Yellow = 65535;
    static constexpr quint32 Blue = 16711680;
    static constexpr quint32 White = 16777215;
    static constexpr quint32 Black = 0;

    explicit Colorful(QWidget* parent = nullptr);

    quint32 color() const { return m_fill; }
    void setColor(quint32 value);

    quint32 outlineColor() const { return m_outline; }
    int outlineWidth() const { return m_outlineWidth; }

    // Where the oval is drawn: inset by half the outline width on every side, so
    // the whole outline stays inside the control.
    QRectF shapeRect() const;

    static QColor toQColor(quint32 value);
    static quint32 fromQColor(const QColor& color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void Colorful_Click();
    void Colorful_GotFocus();
    void Colorful_LostFocus();

signals:
    void colorChanged(quint32 value);
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    quint32 m_fill = Yellow;
    quint32 m_outline = Black;
    int m_outlineWidth = 5;
    bool m_pressed = false;
};
