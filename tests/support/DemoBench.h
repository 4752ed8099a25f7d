// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Drain.h"
#include "Frames.h"
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
    void receive(const QByteArray& bytes) { injectAndDrain(port, window.link(), bytes); }

    QStringList writtenHex() const
    {
        QStringList frames;
        for (const QByteArray& frame : port.written())
            frames << QString::fromLatin1(frame.toHex(' ').toUpper());
        return frames;
    }
};

// The function-16 control write a run command puts on the line, as hex.
inline QString controlWrite(quint8 address, quint8 code, quint16 setpoint)
{
    return hex(controlFrame(address, code, setpoint));
}

// A read request for one register, as hex.
inline QString readRequest(quint8 address, quint16 reg)
{
    return hex(readFrame(address, reg));
}
