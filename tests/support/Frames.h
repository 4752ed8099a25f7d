// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Hexedit.h"

#include <QByteArray>
#include <QString>
#include <initializer_list>

// Frames as the program and the drives put them on the line, built from their
// fields, so a test says which frame it means instead of spelling its bytes.

// Appends the CRC-16 (low byte first) to a frame body.
inline QByteArray withCrc(const QByteArray& body)
{
    return Hexedit::WithCrc(body);
}

// Upper-case hex pairs with a space between, as the traffic log shows bytes.
inline QString hex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// Address, function and register, then 16-bit words high byte first, CRC last.
inline QByteArray frameOf(quint8 address, quint8 function, quint16 reg,
                          std::initializer_list<quint16> words)
{
    QByteArray body;
    body.append(char(address))
        .append(char(function))
        .append(char(reg >> 8))
        .append(char(reg & 0xFF));
    for (const quint16 word : words)
        body.append(char(word >> 8)).append(char(word & 0xFF));
    return withCrc(body);
}

// A read request for one register, with the dialect's count of 0.
inline QByteArray readFrame(quint8 address, quint16 reg)
{
    return frameOf(address, 3, reg, {0});
}

// The function-16 control write a run command puts on the line.
inline QByteArray controlFrame(quint8 address, quint8 code, quint16 setpoint)
{
    QByteArray body = QByteArray::fromHex("10200000020400");
    body.prepend(char(address)).append(char(code));
    body.append(char(setpoint >> 8)).append(char(setpoint & 0xFF));
    return withCrc(body);
}

// A running-value answer: the value at 0x0D00 + index and its decimal code.
inline QByteArray runningValueAnswer(quint8 address, quint8 index, quint16 value, quint8 decimals)
{
    return frameOf(address, 3, quint16(0x0D00 | index), {value, decimals});
}

// A status answer: the status word, the direction/run flags and the fault flag.
inline QByteArray statusAnswer(quint8 address, quint16 word, quint8 flags, quint8 fault)
{
    return frameOf(address, 3, 0x0E00, {word, quint16(flags << 8 | fault)});
}

// A parameter read's answer or a write's echo (a write request looks the same).
inline QByteArray parameterAnswer(quint8 address, quint8 function, quint16 reg, quint16 value)
{
    return frameOf(address, function, reg, {value});
}

// A refusal: the function with its top bit set and the exception code.
inline QByteArray exceptionAnswer(quint8 address, quint8 function, quint8 code)
{
    QByteArray body;
    body.append(char(address)).append(char(function | 0x80)).append(char(code));
    return withCrc(body);
}

// The register a request or answer names (bytes 2 and 3); 0 for a frame too
// short to name one.
inline quint16 registerOf(const QByteArray& frame)
{
    return frame.size() >= 4 ? quint16(quint8(frame[2]) << 8 | quint8(frame[3])) : 0;
}
