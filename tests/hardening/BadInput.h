// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Hexedit.h"
#include "Tab.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QObject>
#include <QTest>

// How a text gets into a box: typed key by key (through the box's key
// filter), or pasted over the whole box at once.
enum class Entry
{
    Typed,
    Pasted
};
Q_DECLARE_METATYPE(Entry)

// The classes of bad text that every entry is given.
struct BadText
{
    const char* name;
    QString text;
};

inline QList<BadText> badTexts()
{
    return {
        {"empty", QString()},
        {"letters", QStringLiteral("abc")},
        {"huge number", QStringLiteral("99999999999999999999")},
        {"negative", QStringLiteral("-5")},
        {"many points", QStringLiteral("1.2.3")},
        {"full-width digits", QString::fromUtf8("５０")},
        {"10000 digits", QString(10000, u'7')},
        {"10000 letters", QString(10000, u'x')},
        {"blank and sign", QStringLiteral(" +5")},
        {"exponent", QStringLiteral("1e3")},
    };
}

// Long text arrives by pasting; nobody types ten thousand keys, and a box
// that takes them all re-lays its whole line at every key. Typed rows use a
// long run of keys instead.
inline QString asTyped(const QString& text)
{
    return text.left(300);
}

// Key presses for a text; typing nothing means pressing Backspace.
inline void typeKeys(QWidget* widget, const QString& text)
{
    if (text.isEmpty())
        QTest::keyClick(widget, Qt::Key_Backspace);
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, char(c.unicode()));
        else // what a keyboard with an input method sends for a wide character
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Replaces what the box holds, the way a user does: everything selected,
// then typed over or pasted over.
inline void enter(QLineEdit* box, const QString& text, Entry how)
{
    box->selectAll();
    if (how == Entry::Typed) {
        typeKeys(box, text);
        return;
    }
    QGuiApplication::clipboard()->setText(text);
    QTest::keySequence(box, QKeySequence::Paste);
}

// What is wrong with a frame that went out on the wire, or an empty text.
// Run commands carry at most 400.00 Hz; a parameter write stays within the
// limits the catalogue gives the parameter; addresses are 0..31 (255 for the
// parameter window, whose address box takes any byte).
inline QString wireProblem(const QByteArray& frame)
{
    const auto* bytes = reinterpret_cast<const quint8*>(frame.constData());
    if (frame.size() < 8 || Hexedit::Crc16(bytes, frame.size()) != 0)
        return QStringLiteral("not a whole frame");
    const quint16 reg = quint16(bytes[2] << 8 | bytes[3]);
    switch (bytes[1]) {
    case 3:
        return bytes[0] <= 31 ? QString() : QStringLiteral("read from address %1").arg(bytes[0]);
    case 16: {
        if (reg != 0x2000 || frame.size() != 13)
            return QStringLiteral("control write not at 0x2000");
        const int setpoint = bytes[9] << 8 | bytes[10];
        if (setpoint > 40000)
            return QStringLiteral("set-point %1 above 400.00 Hz").arg(setpoint);
        return bytes[0] <= 31 ? QString() : QStringLiteral("command to address %1").arg(bytes[0]);
    }
    case 6: {
        const int row = Tab::CatalogueRow(reg >> 8, reg & 0xFF);
        const std::optional<double> scale = Tab::ParamScale(row);
        if (!scale)
            return QStringLiteral("write to a parameter without a scale");
        const double value = (bytes[4] << 8 | bytes[5]) * *scale;
        const double min = Tab::LeadingNumber(Tab::ParamMin(row));
        const double max = Tab::LeadingNumber(Tab::ParamMax(row));
        if (value < min - 1e-9 || value > max + 1e-9)
            return QStringLiteral("value %1 outside %2..%3").arg(value).arg(min).arg(max);
        return {};
    }
    default:
        return QStringLiteral("function %1").arg(bytes[1]);
    }
}

class tst_badinput : public QObject
{
    Q_OBJECT

private slots:
    // main window and settings window (tst_badinput.cpp)
    void frequencyAndRhythm_data();
    void frequencyAndRhythm();
    void addressLists_data();
    void addressLists();
    void settingsPortBox_data();
    void settingsPortBox();
    // parameter and password windows (tst_badinput_windows.cpp)
    void parameterValue_data();
    void parameterValue();
    void parameterAddress_data();
    void parameterAddress();
    void passwordBoxes_data();
    void passwordBoxes();
};
