// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Frames.h"
#include "Hexedit.h"
#include "LinkClient.h"
#include "Recording.h"
#include "SimulatedDrive.h"
#include "SimulatedPort.h"

#include <QCoreApplication>
#include <QTimeZone>

// The recorder on simulated drives whose time moves only when the test says
// so: the link client's clock and the sample time stamps follow that time,
// and every frame the link sends is kept.
struct RecorderRig
{
    SimulatedPort port{SimulatedPort::Timing::Manual};
    Hexedit link{port};
    LinkClient client{link};
    QObject owner;
    LinkSession* session = client.openSession(&owner);
    double simMs = 0;
    double sentAtMs = 0;
    const QDateTime base{QDate(2026, 3, 1), QTime(12, 0), QTimeZone(3600)};
    QList<QByteArray> sent;

    RecorderRig()
    {
        port.open();
        link.clock = [this] { return simMs; };
        QObject::connect(&link, &Hexedit::frameSent, [this](const QByteArray& f) {
            sent.append(f);
            sentAtMs = simMs;
        });
    }

    QDateTime now() const { return base.addMSecs(qint64(simMs)); }
    void follow(Sampler& sampler)
    {
        sampler.now = [this] { return now(); };
    }
    SimulatedDrive& drive(quint8 address) { return *port.bus().drive(address); }

    // Lets simulated time pass in steps of 1 ms, handing every byte to the
    // link and letting the client hand on results and send what follows.
    void pass(double ms)
    {
        for (double t = 0; t < ms; t += 1) {
            port.advanceMs(1);
            simMs += 1;
            while (port.bytesWaiting() > 0)
                link.DrainTick();
            link.DrainTimer().stop();
            // The link's answer time-out runs on the wall clock; here it
            // follows the simulated one.
            if (link.AwaitingAnswer() && simMs - sentAtMs > link.AnswerTimeoutMs(sent.last()))
                link.AnswerTimer_Timer();
            QCoreApplication::processEvents();
        }
    }

    // A run command as the main window gives it.
    void command(quint8 address, quint8 code, const QString& hz)
    {
        link.PrepareControlWrite(address, code, hz);
        link.SendRequest();
    }
};
