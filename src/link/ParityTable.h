// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SerialPort.h"

#include <QSerialPort>
#include <array>

// Parity as each side knows it: the letter of a settings text, the word the
// settings window and the status bar show, and what the serial device takes.
// The one table of it; SerialSettings hands out the letters and words, and
// DevicePort the device's values, so none of them can disagree with another.
namespace ParityTable {

struct Row
{
    SerialSettings::Parity parity;
    char letter;
    const char* name;
    QSerialPort::Parity device;
};

inline constexpr std::array<Row, 5> kRows{{
    {SerialSettings::Parity::None, 'N', "None", QSerialPort::NoParity},
    {SerialSettings::Parity::Odd, 'O', "Odd", QSerialPort::OddParity},
    {SerialSettings::Parity::Even, 'E', "Even", QSerialPort::EvenParity},
    {SerialSettings::Parity::Space, 'S', "Space", QSerialPort::SpaceParity},
    {SerialSettings::Parity::Mark, 'M', "Mark", QSerialPort::MarkParity},
}};

inline const Row& of(SerialSettings::Parity parity)
{
    for (const Row& row : kRows)
        if (row.parity == parity)
            return row;
    return kRows[0];
}

} // namespace ParityTable
