// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Hexedit.h"
#include "LineTurns.h"
#include "LoopbackPort.h"
#include "Prompter.h"
#include "demo.h"

#include <QByteArray>
#include <QList>
#include <QMessageBox>
#include <QString>

// A main window over an in-memory port whose message boxes are answered here.
struct DemoBench
{
    LoopbackPort port;
    demo window{&port};
    QMessageBox::StandardButton answer = QMessageBox::Ok;

    DemoBench()
    {
        window.prompter().setResponder([this](const Prompter::Prompt&) { return answer; });
        answerNothing(window.link());
    }

    const QList<Prompter::Prompt>& prompts() { return window.prompter().history(); }

    void openPort()
    {
        window.Command1_Click();
        port.clearWritten();
    }

    // Hands every waiting byte to the link as its receive event and drain would.
    void receive(const QByteArray& bytes)
    {
        port.inject(bytes);
        for (int guard = 0; guard < 1000 && port.bytesWaiting() > 0; ++guard)
            window.link().DrainTick();
    }

    QStringList writtenHex() const
    {
        QStringList frames;
        for (const QByteArray& frame : port.written())
            frames << QString::fromLatin1(frame.toHex(' ').toUpper());
        return frames;
    }
};

// Appends the CRC-16 (low byte first) to a frame body.
inline QByteArray withCrc(const QByteArray& body)
{
    return Hexedit::WithCrc(body);
}

// A reply as a drive sends it: address, function 3, register, four data bytes.
inline QByteArray reply(quint8 address, quint8 high, quint8 low, quint16 word, quint8 b6, quint8 b7)
{
    QByteArray body;
    body.append(char(address)).append(char(3)).append(char(high)).append(char(low));
    body.append(char(word >> 8)).append(char(word & 0xFF)).append(char(b6)).append(char(b7));
    return withCrc(body);
}

inline QString hex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// The function-16 control write a run command puts on the line.
inline QString controlWrite(quint8 address, quint8 code, quint16 setpoint)
{
    return hex(withCrc(QByteArray::fromHex("10200000020400")
                           .prepend(char(address))
                           .append(char(code))
                           .append(char(setpoint >> 8))
                           .append(char(setpoint & 0xFF))));
}

// A read request for one register.
inline QString readRequest(quint8 address, quint16 reg)
{
    QByteArray body;
    body.append(char(address)).append(char(3)).append(char(reg >> 8)).append(char(reg & 0xFF));
    body.append(2, '\0');
    return hex(withCrc(body));
}
