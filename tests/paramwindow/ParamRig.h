// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AnswerBoxes.h"
#include "Drain.h"
#include "Frames.h"
#include "Hexedit.h"
#include "LineTurns.h"
#include "LoopbackPort.h"
#include "PasswordLock.h"

#include <QAction>
#include <QByteArray>
#include <QCoreApplication>
#include <QStringList>

// One open loopback line with the link, a stand-alone "Parameter Set" entry,
// the lock and a prompter that answers every box at once.
struct ParamRig
{
    LoopbackPort port;
    Hexedit link{port};
    QAction dataSet{QStringLiteral("Parameter Set")};
    Prompter prompter;
    PasswordLock lock;

    ParamRig()
    {
        port.open();
        answerNothing(link);
        answerBoxes(prompter);
    }

    QStringList messages() const
    {
        QStringList texts;
        for (const Prompter::Prompt& prompt : prompter.history())
            texts << prompt.text;
        return texts;
    }
    QStringList titles() const
    {
        QStringList texts;
        for (const Prompter::Prompt& prompt : prompter.history())
            texts << prompt.title;
        return texts;
    }

    // Lets a reply arrive as a drive would send it, then drains it by hand.
    void receive(const QByteArray& frame) { injectAndDrain(port, link, frame); }
};

// A read or write request as it goes out, and a drive's reply to it.
inline QByteArray request(quint8 address, quint8 function, quint8 group, quint8 index,
                          quint16 value = 0)
{
    return parameterAnswer(address, function, quint16(group << 8 | index), value);
}

inline void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
