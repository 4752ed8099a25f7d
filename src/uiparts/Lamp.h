// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QWidget>

// Colour values as the program keeps them: 24 bits, red in the low byte,
// green in the middle, blue in the high byte (255 red, 62580 the status green).
namespace ColourValue {
inline constexpr quint32 Red = 255;
inline constexpr quint32 Green = 62580;
inline constexpr quint32 Black = 0;
inline constexpr quint32 LampGreen = 65280;
inline QColor toColor(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}
inline quint32 fromColor(const QColor& c)
{
    return quint32(c.red()) | quint32(c.green()) << 8 | quint32(c.blue()) << 16;
}
} // namespace ColourValue

// A filled indicator shape (the status, traffic and attribute lamps).
class Lamp : public QWidget
{
    Q_OBJECT
public:
    enum class Form
    {
        Circle,
        Rectangle
    };
    explicit Lamp(Form form = Form::Circle, QWidget* parent = nullptr);

    quint32 fillColour() const { return m_colour; }
    void setFillColour(quint32 value);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Form m_form;
    quint32 m_colour = ColourValue::Black;
};
